// Pasting into the Text Editor of the main window: what word processors type is written with
// the substitutions (the default list without a project), the line panel says how many, a letter
// the loaded table maps is kept, and what no script byte holds is still dropped.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>

#include "editor/ui/main_window_fixture.h"

namespace corv::editor {

using corv::testing::Named;
using testing::EditorFixture;

class PasteSubstitutionsTest : public QObject {
    Q_OBJECT

private slots:
    void pastedTypographicCharactersAreWrittenAsTheDefaultListSays() {
        EditorFixture f;
        f.memo()->setPlainText(QString());
        QApplication::clipboard()->setText(QStringLiteral("It\u2019s \u201Cok\u201D\u2026 \u20AC"));
        f.memo()->paste();
        // € has no substitution and no byte: it is dropped, as before.
        QCOMPARE(f.memo()->toPlainText(), QStringLiteral("It's \"ok\"... "));
        QCOMPARE(Named<QLabel>(*f.form, "StatusPanel1")->text(),
                 QStringLiteral("Pasted: 4 character(s) written as the substitutions say"));
    }

    void aLetterTheTableMapsIsPastedAsItIs() {
        EditorFixture f;
        const std::filesystem::path table = f.folder() / "letters.tbl";
        std::ofstream(table, std::ios::binary) << "7B=\xAB\n";
        f.dialogs.replyOpenFile(table);
        Named<QAction>(*f.form, "LoadTableFile1")->trigger();
        f.memo()->setPlainText(QString());
        const QString before = Named<QLabel>(*f.form, "StatusPanel1")->text();
        QApplication::clipboard()->setText(QStringLiteral("\u00ABni\u00F1o\u00BB"));
        f.memo()->paste();
        // « is the table's letter; » is written as the list says.
        QCOMPARE(f.memo()->toPlainText(), QStringLiteral("\u00ABni\u00F1o>>"));
        QVERIFY(Named<QLabel>(*f.form, "StatusPanel1")->text() != before);
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::PasteSubstitutionsTest)
#include "paste_substitutions_test.moc"
