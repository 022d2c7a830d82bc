// The Kana Text and Current Kana Dump windows on the offscreen platform with the demo game: the
// kana shown for a string, the wrap the dumps take from the Kana Text editor, the dump file's
// bytes and the dump window's text.

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest/QtTest>

#include <fstream>
#include <memory>

#include "core/block_decoder.h"
#include "dialogs/scripted_dialogs.h"
#include "editor/logic/kana_dump_command.h"
#include "editor/ui/kana_dump_window.h"
#include "editor/ui/kana_text_window.h"
#include "support/widget_lookup.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/sjis.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {

using corv::testing::Named;

namespace {

QStringList qtLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines) out << KanaDisplayText(line);
    return out;
}

// The lines the editor itself lays out, its wraps included.
QStringList editorLines(QPlainTextEdit* edit) {
    QStringList lines;
    QTextDocument* document = edit->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        (void)document->documentLayout()->blockBoundingRect(block);  // lays the block out
        const QTextLayout* layout = block.layout();
        if (layout->lineCount() == 0) {
            lines << block.text();
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            lines << block.text().mid(layout->lineAt(i).textStart(), layout->lineAt(i).textLength());
        }
    }
    return lines;
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class KanaWindowsTest : public QObject {
    Q_OBJECT

private:
    demo::DemoGame game_;
    std::unique_ptr<script::CodeMaps> maps_ = std::make_unique<script::CodeMaps>();
    std::unique_ptr<core::BlockBuffer> buffer_ = std::make_unique<core::BlockBuffer>();
    const demo::DemoBlock* block_ = nullptr;
    unsigned longest_ = 0;  // the text record with the longest kana line
    std::unique_ptr<KanaTextWindow> kana_;

    std::span<const uint8_t> blockBytes() const { return buffer_->lower(); }
    script::ResolvedString resolve(unsigned index) const { return script::ResolveString(blockBytes(), index, false); }

    KanaDumpSource source(const std::filesystem::path& start) const {
        KanaDumpSource source;
        source.romLoaded = true;
        source.startDirectory = start;
        source.block = blockBytes();
        source.stringCount = static_cast<unsigned>(block_->records.size());
        source.maps = maps_.get();
        return source;
    }

private slots:
    void initTestCase() {
        game_ = demo::BuildDemoGame();
        (void)script::ParseBlockDataFile(game_.blockDataFile, *maps_);
        block_ = &game_.blocks.at(static_cast<size_t>(game_.textBlocks.at(0)));
        QVERIFY(core::DecompressBlock(game_.rom, block_->address, *buffer_) != core::kBadBlockHeader);
        size_t longest = 0;
        for (unsigned k = 0; k < block_->records.size(); ++k) {
            if (block_->records[k].type != 2) continue;
            for (const std::string& line : script::KanaTextLines(block_->records[k].text)) {
                if (ShiftJisCharacters(line).size() > longest) {
                    longest = ShiftJisCharacters(line).size();
                    longest_ = k;
                }
            }
        }
        QVERIFY(longest > 10);
    }

    void init() { kana_ = std::make_unique<KanaTextWindow>(); }

    void kanaTextWindowShowsTheStringsKana() {
        QCOMPARE(kana_->objectName(), QStringLiteral("KanaForm"));
        QCOMPARE(Named<QPlainTextEdit>(*kana_, "kanaEdit")->objectName(), QStringLiteral("kanaEdit"));
        QCOMPARE(kana_->windowTitle(), QStringLiteral("Kana Text: String #0"));
        QCOMPARE(kana_->geometry().size(), QSize(326, 129));
        QVERIFY(Named<QPlainTextEdit>(*kana_, "kanaEdit")->isReadOnly());

        kana_->loadKana(resolve(longest_), *maps_);
        kana_->showStringNumber(longest_);
        const QString expected = QString::fromStdString(script::ShiftJisToUtf8(block_->records[longest_].text))
                                     .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(Named<QPlainTextEdit>(*kana_, "kanaEdit")->toPlainText(), expected);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(kana_->windowTitle(), QStringLiteral("Kana Text: String #%1").arg(longest_));

        // A record without text empties the editor.
        unsigned other = 0;
        while (block_->records[other].type == 2) ++other;
        kana_->loadKana(resolve(other), *maps_);
        QCOMPARE(Named<QPlainTextEdit>(*kana_, "kanaEdit")->toPlainText(), QString());
    }

    void underscoresAreDrawnInBothKanaWindows() {
        KanaDumpWindow dump;
        for (QPlainTextEdit* editor : {Named<QPlainTextEdit>(*kana_, "kanaEdit"), Named<QPlainTextEdit>(dump, "kanaMemo")}) {
            editor->window()->show();
            const auto drawn = [&](const QString& text) {
                editor->setPlainText(text);
                QCoreApplication::processEvents();
                return editor->viewport()->grab().toImage();
            };
            const QImage with = drawn(QStringLiteral("[MEM_Text]"));
            const QImage without = drawn(QStringLiteral("[MEM Text]"));
            // The underscore's pixels are dark, not a grey that reads as a space.
            int darkest = 255;
            for (int y = 0; y < with.height(); ++y) {
                for (int x = 0; x < with.width(); ++x) {
                    if (with.pixel(x, y) != without.pixel(x, y)) darkest = std::min(darkest, qGray(with.pixel(x, y)));
                }
            }
            QVERIFY2(darkest < 96, qPrintable(editor->objectName() + QStringLiteral(": %1").arg(darkest)));
        }
    }

    void lineWrapCutsWhereTheEditorWraps() {
        const std::string text = block_->records[longest_].text;
        for (const int width : {326, 160, 110}) {
            kana_->resize(width, 129);
            const std::vector<std::string> measuredHidden = KanaWindowLines(text, kana_->lineWrap());
            kana_->show();
            QVERIFY(QTest::qWaitForWindowExposed(kana_.get()));
            kana_->loadKana(resolve(longest_), *maps_);
            QCOMPARE(qtLines(KanaWindowLines(text, kana_->lineWrap())),
                     editorLines(Named<QPlainTextEdit>(*kana_, "kanaEdit")));
            // Measured before the window was shown, the same cuts.
            QCOMPARE(qtLines(measuredHidden), editorLines(Named<QPlainTextEdit>(*kana_, "kanaEdit")));
            kana_->hide();
        }
        // At the narrowest the longest line is wrapped at least once.
        QVERIFY(KanaWindowLines(text, kana_->lineWrap()).size() > script::KanaTextLines(text).size());
    }

    void dumpToFileWritesTheWrappedBytes() {
        testing::TempFolder folder("kana-window-dump");
        kana_->resize(120, 129);
        kana_->loadKana(resolve(longest_), *maps_);
        const QString before = Named<QPlainTextEdit>(*kana_, "kanaEdit")->toPlainText();

        dialogs::ScriptedDialogs dialogs;
        const auto path = folder.path() / "dump.txt";
        dialogs.replySaveFile(path);
        QCOMPARE(DumpKanaToFile(dialogs, source(folder.path()), kana_->lineWrap()), KanaDumpOutcome::Written);
        QCOMPARE(dialogs.messages(), std::vector<std::string>{"Text Data dumped to the file!"});

        // The file: the dump with CR LF, the code table's bytes untouched; its lines put back
        // together give the unwrapped dump.
        const std::string bytes = readBytes(path);
        std::string expected;
        for (char c : KanaDumpFileText(KanaDumpEntries(source(folder.path()), kana_->lineWrap()))) {
            if (c == '\n') expected += '\r';
            expected += c;
        }
        QCOMPARE(bytes, expected);
        const std::string unwrapped = script::KanaDump(blockBytes(), source(folder.path()).stringCount, false, *maps_);
        QVERIFY(std::count(bytes.begin(), bytes.end(), '\n') > std::count(unwrapped.begin(), unwrapped.end(), '\n'));
        QVERIFY(bytes.find(block_->records[longest_].text.substr(0, 4)) != std::string::npos);
        QCOMPARE(Named<QPlainTextEdit>(*kana_, "kanaEdit")->toPlainText(), before);
    }

    void viewShowsTheDumpInItsWindow() {
        KanaDumpWindow view;
        QCOMPARE(view.objectName(), QStringLiteral("viewKana"));
        QCOMPARE(Named<QPlainTextEdit>(view, "kanaMemo")->objectName(), QStringLiteral("kanaMemo"));
        QCOMPARE(view.windowTitle(), QStringLiteral("Current Kana Dump"));
        QCOMPARE(view.size(), QSize(402, 337));
        QVERIFY(!view.isVisible());

        kana_->loadKana(resolve(longest_), *maps_);
        const QString before = Named<QPlainTextEdit>(*kana_, "kanaEdit")->toPlainText();
        KanaDumpSource dump = source({});
        dump.romLoaded = false;
        view.viewDump(dump, kana_->lineWrap());
        QVERIFY(!view.isVisible());

        dump.romLoaded = true;
        view.viewDump(dump, kana_->lineWrap());
        QVERIFY(view.isVisible());
        QVERIFY(Named<QPlainTextEdit>(view, "kanaMemo")->isVisible());
        const QString text = Named<QPlainTextEdit>(view, "kanaMemo")->toPlainText();
        QCOMPARE(text, KanaDisplayText(KanaDumpViewText(KanaDumpEntries(dump, kana_->lineWrap()))));
        QVERIFY(text.startsWith(QStringLiteral(".STRING 0\n")));
        QVERIFY(text.contains(QString::fromStdString(script::ShiftJisToUtf8(block_->records[longest_].text.substr(0, 4)))));
        QCOMPARE(Named<QPlainTextEdit>(*kana_, "kanaEdit")->toPlainText(), before);

        // An inserted block shows no kana.
        dump.inserted = true;
        view.viewDump(dump, kana_->lineWrap());
        QVERIFY(Named<QPlainTextEdit>(view, "kanaMemo")
                    ->toPlainText()
                    .contains(QStringLiteral("\nBlock is in english already.\n")));
        QVERIFY(!Named<QPlainTextEdit>(view, "kanaMemo")
                     ->toPlainText()
                     .contains(
                         QString::fromStdString(script::ShiftJisToUtf8(block_->records[longest_].text.substr(0, 4)))));
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::KanaWindowsTest)
#include "kana_windows_test.moc"
