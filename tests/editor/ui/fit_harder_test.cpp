// Edit > Fit Harder When Over on the demo game: off at start; the largest block translated into
// English-like text does not go in without it, and goes in with it, the log saying which
// compressor wrote the block.

#include <QMenu>

#include "editor/ui/main_window_fixture.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "tools/demo/demo_translation.h"

namespace corv::editor {

using testing::EditorFixture;
using testing::Named;
using testing::Items;

class FitHarderTest : public QObject {
    Q_OBJECT

    // The block list row of the largest text block.
    static int largestRow() {
        int largest = 0;
        for (int n = 0; n < int(EditorFixture::game().textBlocks.size()); ++n) {
            if (EditorFixture::textBlock(size_t(n)).data.size() > EditorFixture::textBlock(size_t(largest)).data.size()) {
                largest = n;
            }
        }
        return largest;
    }
    static std::string translation(int row) {
        script::CodeMaps maps;
        (void)script::ParseBlockDataFile(EditorFixture::game().blockDataFile, maps);
        const demo::DemoBlock& block = EditorFixture::textBlock(size_t(row));
        std::vector<uint8_t> bytes(block.data);
        bytes.resize(core::kBlockHalfSize);
        const std::string dump = script::KanaDump(bytes, unsigned(block.records.size()), false, maps);
        return demo::TranslateDemoScript(dump, demo::kEnglishLettersPerKana, 7);
    }

private slots:
    void largestTranslatedBlockGoesInOnlyWhenFittingHarder() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        QCOMPARE(Named<QAction>(form, "FitHarderWhenOver1")->text(), QStringLiteral("Fit Harder When Over"));
        QVERIFY(Named<QAction>(form, "FitHarderWhenOver1")->isCheckable());
        QVERIFY(!Named<QAction>(form, "FitHarderWhenOver1")->isChecked());
        QVERIFY(Named<QMenu>(form, "Edit1")->actions().contains(Named<QAction>(form, "FitHarderWhenOver1")));

        f.dialogs.replyOpenFile(f.file(demo::kTableFileName));
        Named<QAction>(form, "LoadTableFile1")->trigger();
        const int row = largestRow();
        QListWidget* bList = Named<QListWidget>(form, "bList");
        QTest::mouseClick(bList->viewport(), Qt::LeftButton, {}, bList->visualItemRect(bList->item(row)).center());
        QCOMPARE(form.session().index().currentBlock(), std::optional<size_t>(size_t(row)));
        f.memo()->setPlainText(QString::fromLatin1(translation(row)));

        Named<QAction>(form, "Insert1")->trigger();
        const QStringList refused = Items(Named<QListWidget>(form, "ListBox1"));
        QVERIFY(!refused.filter(QStringLiteral("BYTE(S) OVER ]")).isEmpty());
        QVERIFY(refused.filter(QStringLiteral("Fit Harder")).isEmpty());
        QVERIFY(!form.session().currentBlockInserted());

        Named<QAction>(form, "FitHarderWhenOver1")->trigger();
        QVERIFY(Named<QAction>(form, "FitHarderWhenOver1")->isChecked());
        QVERIFY(form.session().fitHarderWhenOver());
        Named<QAction>(form, "Insert1")->trigger();
        const QStringList log = Items(Named<QListWidget>(form, "ListBox1"));
        QCOMPARE(log.filter(QStringLiteral("compressed successfully!")).size(), 1);
        const QStringList harder = log.filter(QStringLiteral("; Fit Harder When Over: "));
        QCOMPARE(harder.size(), 1);
        QVERIFY(harder[0].endsWith(QStringLiteral("the maximising compressor wrote the block.")));
        QVERIFY(form.session().currentBlockInserted());
        QVERIFY(form.session().rom().modified());

        Named<QAction>(form, "FitHarderWhenOver1")->trigger();
        QVERIFY(!form.session().fitHarderWhenOver());
        QVERIFY(f.dialogs.unexpected().empty());
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::FitHarderTest)
#include "fit_harder_test.moc"
