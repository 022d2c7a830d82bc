// Commands where nothing may be lost or read half-written, in the real windows with their keys:
// Alt+X with unsaved text and no block chosen says why it cannot save and stays open; Ctrl+I
// with a ROM but no block follows the insertion's table rule; during an insertion the keys of
// the commands that redraw or read the block, and keys in the main window, do nothing.

#include <QLabel>

#include "editor/ui/main_window_fixture.h"

namespace corv::editor {

using testing::EditorFixture;
using testing::Items;
using testing::Messages;
using corv::testing::Named;

class GuardedCommandsTest : public QObject {
    Q_OBJECT

    // A ROM open, the data file dialog cancelled: no block is chosen.
    static void openRomWithoutBlock(EditorFixture& f) {
        f.dialogs.replyOpenFile(f.file(demo::kRomFileName));
        f.dialogs.replyOpenFile(std::nullopt);
        Named<QAction>(*f.form, "OpenBinaryTextData1")->trigger();
        QVERIFY(f.form->session().romLoaded());
        QVERIFY(!f.form->session().index().hasBlock());
    }

private slots:
    void altXWithUnsavedTextAndNoBlockSaysWhyAndStaysOpen() {
        EditorFixture f;
        openRomWithoutBlock(f);
        QTest::keyClicks(f.memo(), QStringLiteral("typed before any block"));
        QVERIFY(Named<TextEditorWindow>(*f.form, "TxtForm")->script().modified());
        f.dialogs.clearRecord();
        f.dialogs.replyYesNo(true);  // save the text?
        QTest::keyClick(f.memo(), Qt::Key_X, Qt::AltModifier);
        QCOMPARE(Messages(f.dialogs),
                 QStringList{QStringLiteral("Error: Could not save the text file (no block is chosen)")});
        QVERIFY(f.form->isVisible());
        QVERIFY(f.form->session().running());
        QCOMPARE(QString::fromStdString(Named<TextEditorWindow>(*f.form, "TxtForm")->script().text()),
                 QStringLiteral("typed before any block"));
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void controlIWithARomButNoBlockAsksForTheTableFirst() {
        EditorFixture f;
        openRomWithoutBlock(f);
        f.dialogs.clearRecord();
        QTest::keyClick(f.form.get(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(Messages(f.dialogs), QStringList{QStringLiteral("Error: Must load a table file first!")});
        QVERIFY(!Named<InsertProgressWindow>(*f.form, "InsertForm")->isVisible());
    }

    void duringAnInsertionTheKeysOfTheBlocksReadersDoNothing() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        f.dialogs.replyOpenFile(f.file(demo::kTableFileName));
        Named<QAction>(form, "LoadTableFile1")->trigger();
        const QString lines = Named<QLabel>(form, "StatusPanel1")->text();
        const bool hideCodes = Named<QAction>(form, "HideCodes")->isChecked();
        const bool variableWidth = Named<QAction>(form, "UseVWFRoutine1")->isChecked();
        const bool blue = Named<QAction>(form, "Blue1")->isChecked();
        const int ascii = int(form.session().screen().asciiLayer().scrollOffset());
        bool pressed = false;
        QObject::connect(Named<QListWidget>(form, "ListBox1")->model(), &QAbstractItemModel::rowsInserted, &form, [&] {
            if (!form.busy() || pressed) return;
            pressed = true;
            for (const Qt::Key key : {Qt::Key_D, Qt::Key_H, Qt::Key_U, Qt::Key_N, Qt::Key_V, Qt::Key_M, Qt::Key_Down}) {
                QTest::keyClick(&form, key, Qt::ControlModifier);
            }
            QTest::keyClick(&form, Qt::Key_Right);
            QTest::keyClick(&form, Qt::Key_F3);
        });
        f.dialogs.clearRecord();
        QTest::keyClick(&form, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(pressed);
        QVERIFY(!form.busy());
        QVERIFY(form.session().currentBlockInserted());
        // Nothing ran: no check mark moved, no view scrolled, no dump asked for a file or showed.
        QCOMPARE(Named<QAction>(form, "HideCodes")->isChecked(), hideCodes);
        QCOMPARE(Named<QAction>(form, "UseVWFRoutine1")->isChecked(), variableWidth);
        QCOMPARE(Named<QAction>(form, "Blue1")->isChecked(), blue);
        QCOMPARE(int(form.session().screen().asciiLayer().scrollOffset()), ascii);
        QCOMPARE(Named<QLabel>(form, "StatusPanel1")->text(), lines);
        QVERIFY(!Named<KanaDumpWindow>(form, "viewKana")->isVisible());
        for (const auto& call : f.dialogs.calls()) QVERIFY(call.kind == dialogs::ScriptedDialogs::Kind::Message);
        QCOMPARE(Named<ListDataWindow>(form, "cmForm")->selectedString(), std::optional<int>(0));
        QVERIFY(f.dialogs.unexpected().empty());
        // Afterwards the same keys work again.
        QTest::keyClick(&form, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(int(form.session().screen().asciiLayer().scrollOffset()), ascii + 16);
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::GuardedCommandsTest)
#include "guarded_commands_test.moc"
