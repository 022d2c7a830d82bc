// The Hex Data window on the offscreen platform with strings of the demo game: what it paints
// (cells, colours, the magnified glyph), its caption and its arrow keys.

#include <QtTest/QtTest>

#include <memory>

#include "core/block_decoder.h"
#include "editor/ui/hex_data_window.h"
#include "support/widget_lookup.h"
#include "preview/glyph.h"
#include "preview/string_preview.h"
#include "script/string_decoder.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {

using corv::testing::Named;

class HexDataWindowTest : public QObject {
    Q_OBJECT

private:
    demo::DemoGame game_;
    std::vector<uint8_t> font_;
    std::unique_ptr<core::BlockBuffer> buffer_ = std::make_unique<core::BlockBuffer>();
    const demo::DemoBlock* block_ = nullptr;
    // A text record of the first text block that starts with a character and has no 0xFF low bytes.
    unsigned textRecord_ = 0;
    bool loaded_ = true;
    bool translated_ = false;
    std::unique_ptr<HexDataWindow> window_;

    std::span<const uint8_t> blockBytes() const { return buffer_->lower(); }
    script::ResolvedString resolve(unsigned index) const { return script::ResolveString(blockBytes(), index, false); }

    // The cells' pixel boxes of row 0, in the window's own font.
    std::vector<QRect> rowBoxes(int row) const {
        const QFontMetrics metrics(window_->font());
        std::vector<QRect> boxes;
        int x = 0;
        for (int k = 0; k < window_->view().columns(); ++k) {
            const int width = metrics.horizontalAdvance(QString::fromStdString(window_->view().cell(row, k).text));
            boxes.emplace_back(x, row * kHexLineHeight, width, kHexLineHeight);
            x += width;
        }
        return boxes;
    }

    static bool holds(const QImage& image, const QRect& box, QColor colour) {
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                if (image.pixelColor(x, y) == colour) return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase() {
        game_ = demo::BuildDemoGame();
        font_ = preview::LoadGameFont(game_.rom);
        QVERIFY(!font_.empty());
        block_ = &game_.blocks.at(static_cast<size_t>(game_.textBlocks.at(0)));
        QVERIFY(core::DecompressBlock(game_.rom, block_->address, *buffer_) != core::kBadBlockHeader);
        bool found = false;
        for (unsigned k = 0; k < block_->records.size() && !found; ++k) {
            const demo::DemoRecord& record = block_->records[k];
            if (record.type != 2 || record.words.size() < 4 || record.words[0] >= 0x1000) continue;
            found = std::none_of(record.words.begin(), record.words.end() - 1,
                                 [](uint16_t word) { return (word & 0xFF) == 0xFF; });
            textRecord_ = k;
        }
        QVERIFY(found);
    }

    void init() {
        loaded_ = true;
        translated_ = false;
        window_ = std::make_unique<HexDataWindow>();
        HexDataWindow::Sources sources;
        sources.romLoaded = [this] { return loaded_; };
        sources.displayTranslated = [this] { return translated_; };
        sources.gameFontCell = [this](uint16_t code) { return preview::GameFontCell(game_.rom, font_, code); };
        window_->setSources(std::move(sources));
    }

    void startsHiddenWithItsNamesAndBounds() {
        QCOMPARE(window_->objectName(), QStringLiteral("HexForm"));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Hex Data"));
        QVERIFY(!window_->isVisible());
        QCOMPARE(window_->geometry().size(), QSize(397, 175));
        QCOMPARE(Named<QWidget>(*window_, "chPic")->objectName(), QStringLiteral("chPic"));
        QCOMPARE(Named<QWidget>(*window_, "chPic")->geometry(), QRect(256, 4, 128, 128));
        QCOMPARE(window_->view().rows(), 175 / 15);
        // Before any string, the window is black.
        const QImage shot = window_->grab().toImage();
        QVERIFY(!holds(shot, shot.rect().adjusted(0, 0, -150, 0), Qt::white));
    }

    void paintsTheWordsOfAGameStringInColours() {
        const script::ResolvedString resolved = resolve(textRecord_);
        window_->loadString(resolved);
        const demo::DemoRecord& record = block_->records[textRecord_];
        QCOMPARE(window_->windowTitle(), QString::asprintf("Hex Data - $%08X", 0x7E0000u | record.textPointer));
        QCOMPARE(window_->view().columns(), 8);
        for (size_t w = 0; w < record.words.size() && w < 16; ++w) {
            QCOMPARE(window_->view().cell(static_cast<int>(w / 8), static_cast<int>(w % 8)).text,
                     QString::asprintf("%04X", record.words[w]).toStdString());
        }

        const QImage shot = window_->grab().toImage();
        const std::vector<QRect> boxes = rowBoxes(0);
        // The selected first cell: red text on white; then white text on black (odd column)
        // and teal on black (even column).
        QVERIFY(holds(shot, boxes[0], QColor(0xFF, 0, 0)));
        QVERIFY(holds(shot, boxes[0], Qt::white));
        QVERIFY(holds(shot, boxes[1], Qt::white));
        QVERIFY(!holds(shot, boxes[1], QColor(0xFF, 0, 0)));
        QVERIFY(holds(shot, boxes[2], QColor(0x00, 0x80, 0x80)));
        QVERIFY(!holds(shot, boxes[2], Qt::white));
        // The row is eight cells side by side, left of the glyph box.
        QVERIFY(boxes[7].right() < 256);
    }

    void glyphBoxShowsTheSelectedCharacterMagnified() {
        window_->loadString(resolve(textRecord_));
        const uint16_t code = block_->records[textRecord_].words[0];
        const preview::GlyphCell cell = preview::GameFontCell(game_.rom, font_, code);
        const QImage box = Named<QWidget>(*window_, "chPic")->grab().toImage();
        QCOMPARE(box.size(), QSize(128, 128));
        const auto& palette = preview::Palette();
        int set = 0;
        for (unsigned i = 0; i < 128; ++i) {
            const int column = static_cast<int>(i % 8);
            const int row = static_cast<int>(i / 8);
            const preview::Pixel pixel = palette[cell.flag(i) ? 15 : 0];
            const QColor expected = QImage(reinterpret_cast<const uchar*>(&pixel), 1, 1, 2, QImage::Format_RGB16).pixelColor(0, 0);
            // Every glyph pixel is a block of 16 x 8 screen pixels.
            QCOMPARE(box.pixelColor(column * 16 + 1, row * 8 + 1), expected);
            QCOMPARE(box.pixelColor(column * 16 + 14, row * 8 + 6), expected);
            set += cell.flag(i) ? 1 : 0;
        }
        QVERIFY(set > 0);
        // With the translated preview shown the same cell stands for a translation font byte.
        translated_ = true;
        QCOMPARE(window_->glyphImage(), HexGlyphImage(preview::TranslationCell(static_cast<uint8_t>(code))));
    }

    void arrowKeysMoveTheSelectionAndItsCaption() {
        window_->loadString(resolve(textRecord_));
        const uint32_t base = 0x7E0000u | block_->records[textRecord_].textPointer;
        QTest::keyClick(window_.get(), Qt::Key_Left);  // wraps to the row's last cell
        QCOMPARE(window_->view().selectedColumn(), 7);
        QTest::keyClick(window_.get(), Qt::Key_Home);  // not an arrow: nothing moves
        QTest::keyClick(window_.get(), Qt::Key_Right);
        QTest::keyClick(window_.get(), Qt::Key_Up);
        QTest::keyClick(window_.get(), Qt::Key_Right);
        QCOMPARE(window_->view().selectedColumn(), 1);
        QCOMPARE(window_->view().selectedRow(), 0);
        QCOMPARE(window_->windowTitle(), QString::asprintf("Hex Data - $%08X", base + 2));
        const QImage shot = window_->grab().toImage();
        const std::vector<QRect> boxes = rowBoxes(0);
        QVERIFY(holds(shot, boxes[1], QColor(0xFF, 0, 0)));
        QVERIFY(!holds(shot, boxes[0], QColor(0xFF, 0, 0)));
    }

    void recordWithoutTextShowsTheMessageBytes() {
        unsigned other = 0;
        while (other < block_->records.size() && block_->records[other].type == 2) ++other;
        QVERIFY(other < block_->records.size());
        window_->loadString(resolve(other));
        QCOMPARE(window_->view().columns(), 16);
        QCOMPARE(window_->view().cell(0, 0).text, std::string("4E"));  // 'N' of NON-TEXT DATA
        QCOMPARE(window_->glyphImage(), HexGlyphImage(preview::TranslationCell('N')));
    }

    void resizingRecountsTheRows() {
        window_->loadString(resolve(textRecord_));
        window_->resize(397, 60);
        (void)window_->grab();  // the grid takes its rows from the height it is drawn at
        QCOMPARE(window_->view().rows(), 4);
    }

    void withoutRomNothingIsLoadedOrDrawn() {
        loaded_ = false;
        window_->loadString(resolve(textRecord_));
        QVERIFY(!window_->view().loaded());
        QCOMPARE(window_->windowTitle(), QStringLiteral("Hex Data"));
        loaded_ = true;
        window_->loadString(resolve(textRecord_));
        loaded_ = false;  // the ROM went away (a wrong title was opened)
        const QImage shot = window_->grab().toImage();
        QVERIFY(!holds(shot, QRect(0, 0, 250, 150), Qt::white));
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::HexDataWindowTest)
#include "hex_data_window_test.moc"
