// The main window's keys on the demo game: the menu shortcuts wherever they are pressed (the
// item first in menu order wins, hidden items answer, disabled ones are passed over, text
// widgets do not get to claim them), the scroll keys with their limits, and the Window menu's
// placement of the companion windows.

#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>

#include "editor/ui/hex_data_window.h"
#include "editor/ui/kana_dump_window.h"
#include "editor/ui/kana_text_window.h"
#include "editor/ui/main_window_fixture.h"

namespace corv::editor {

using corv::testing::Named;
using testing::EditorFixture;
using testing::Messages;

class MainWindowKeysTest : public QObject {
    Q_OBJECT

private slots:
    void controlTLoadsATableAndPassesToTheNextItemOnlyWhenDisabled() {
        EditorFixture f;
        MainWindow& form = *f.form;
        Named<TextEditorWindow>(form, "TxtForm")->hide();
        f.dialogs.replyOpenFile(std::nullopt);
        QTest::keyClick(&form, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(f.dialogs.calls().size(), size_t{1});
        QCOMPARE(f.dialogs.calls()[0].request.title, std::string("Open TABLE File"));
        QCOMPARE(f.dialogs.calls()[0].request.filter, std::string("Table File | *.tbl"));
        QVERIFY(!Named<TextEditorWindow>(form, "TxtForm")->isVisible());

        Named<QAction>(form, "LoadTableFile1")->setEnabled(false);
        QTest::keyClick(&form, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(Named<TextEditorWindow>(form, "TxtForm")->isVisible());
        QCOMPARE(f.dialogs.calls().size(), size_t{1});
    }

    void hiddenItemsAnswerTheirShortcuts() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        QVERIFY(!Named<QAction>(form, "DTT")->isVisible() && !Named<QAction>(form, "DecompresstoFiles1")->isVisible());
        Named<ListDataWindow>(form, "cmForm")->hide();
        QTest::keyClick(&form, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(Named<ListDataWindow>(form, "cmForm")->isVisible());
        QSignalSpy translated(Named<QAction>(form, "DTT"), &QAction::triggered);
        QTest::keyClick(&form, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(translated.count(), 1);
        // Choosing the string again leaves the mark clear.
        QVERIFY(!Named<QAction>(form, "DTT")->isChecked());
    }

    void shortcutsPressedInTheTextEditorRunMenuCommands() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        Named<TextEditorWindow>(form, "TxtForm")->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Named<TextEditorWindow>(form, "TxtForm")));
        ScriptMemo* memo = f.memo();
        const std::string text = Named<TextEditorWindow>(form, "TxtForm")->script().text();
        memo->selectAll();
        QApplication::clipboard()->setText(QStringLiteral("keep"));

        f.dialogs.clearRecord();
        QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);  // Insert COMPRESSION: no table yet
        QTest::keyClick(memo, Qt::Key_X, Qt::ControlModifier);  // Display Hex Data
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);  // View Kana Dump
        QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);  // Save Rom File
        QTest::keyClick(memo, Qt::Key_S, Qt::ControlModifier);  // Save Text File
        const QString scriptName = QString::fromStdString(form.session().index().scriptPath().filename().string());
        QCOMPARE(Messages(f.dialogs), (QStringList{QStringLiteral("Error: Must load a table file first!"),
                                                   QStringLiteral("ROM File saved successfully!"),
                                                   QStringLiteral("\"") + scriptName + " was saved successfully!"}));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep"));
        QCOMPARE(Named<TextEditorWindow>(form, "TxtForm")->script().text(), text);
        QVERIFY(Named<HexDataWindow>(form, "HexForm")->isVisible());
        QVERIFY(Named<KanaDumpWindow>(form, "viewKana")->isVisible());
        QVERIFY(!Named<QPlainTextEdit>(form, "kanaMemo")->toPlainText().isEmpty());

        // While the main window is disabled the keys are the text widget's own again.
        form.setEnabled(false);
        Named<ListDataWindow>(form, "cmForm")->hide();
        QTest::keyClick(memo, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(!Named<ListDataWindow>(form, "cmForm")->isVisible());
        QCOMPARE(Messages(f.dialogs).size(), 3);
    }

    void exitAndStayOnTopFromTheKeyboardAndTheMenu() {
        EditorFixture f;
        MainWindow& form = *f.form;
        Named<QAction>(form, "TEOnTop")->trigger();
        QVERIFY(Named<QAction>(form, "TEOnTop")->isChecked());
        QVERIFY(Named<TextEditorWindow>(form, "TxtForm")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(Named<KanaTextWindow>(form, "KanaForm")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(Named<TextEditorWindow>(form, "TxtForm")->isVisible());
        Named<QAction>(form, "TEOnTop")->trigger();
        QVERIFY(!Named<TextEditorWindow>(form, "TxtForm")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!Named<KanaTextWindow>(form, "KanaForm")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        QTest::keyClick(Named<ScriptMemo>(form, "TDMemo"), Qt::Key_X, Qt::AltModifier);
        QVERIFY(!form.isVisible());
        QVERIFY(!Named<TextEditorWindow>(form, "TxtForm")->isVisible());
        QVERIFY(!form.session().running());
    }

    void scrollKeysMoveOneViewWithinItsLimits() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        form.activateWindow();
        form.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QString untouched = QStringLiteral("untouched");
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            Named<QLabel>(form, "StatusPanel1")->setText(untouched);
            QTest::keyClick(&form, key, modifiers);
            return Named<QLabel>(form, "StatusPanel1")->text();
        };
        QCOMPARE(press(Qt::Key_Up, Qt::ShiftModifier), untouched);
        const QImage top = Named<VideoBox>(form, "Video")->picture();
        QCOMPARE(press(Qt::Key_Down, Qt::ShiftModifier), QStringLiteral("Line {Kana, Ascii}: 1, 0"));
        QVERIFY(Named<VideoBox>(form, "Video")->picture() != top);
        for (int i = 1; i < 42; ++i) press(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(press(Qt::Key_Down, Qt::ControlModifier), QStringLiteral("Line {Kana, Ascii}: 1, 42"));
        QCOMPARE(press(Qt::Key_Down, Qt::ControlModifier), untouched);
        QCOMPARE(press(Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier), untouched);
        QCOMPARE(press(Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier), QStringLiteral("Line {Kana, Ascii}: 1, 41"));
        QCOMPARE(press(Qt::Key_A, Qt::ShiftModifier), untouched);

        // A plain key redraws both views, which leaves the translated mark clear.
        form.session().settings().showTranslation = true;
        Named<QAction>(form, "DTT")->setChecked(true);
        QCOMPARE(press(Qt::Key_A, Qt::NoModifier), QStringLiteral("Line {Kana, Ascii}: 1, 41"));
        QVERIFY(!Named<QAction>(form, "DTT")->isChecked());
        QCOMPARE(press(Qt::Key_Left, Qt::NoModifier), QStringLiteral("Line {Kana, Ascii}: 1, 41"));

        // Choosing a string from the list puts both views back at the top.
        Named<ListDataWindow>(form, "cmForm")->selectString(1);
        form.chooseString(ChoiceSender::Program);
        QCOMPARE(Named<QLabel>(form, "StatusPanel1")->text(), QStringLiteral("Line {Kana, Ascii}: 0, 0"));
    }

    void windowMenuPlacesTheCompanions() {
        EditorFixture f;
        MainWindow& form = *f.form;
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(Named<VideoBox>(form, "Video")->size(), QSize(320, 256));

        form.showMaximized();
        QTRY_VERIFY(form.isMaximized());
        Named<QAction>(form, "Zoominx21")->trigger();
        QTRY_VERIFY(!form.isMaximized());
        QTRY_COMPARE(Named<VideoBox>(form, "Video")->size(), QSize(640, 512));
        const QRect main = form.frameGeometry();
        const QRect text = Named<TextEditorWindow>(form, "TxtForm")->frameGeometry();
        const QRect list = Named<ListDataWindow>(form, "cmForm")->frameGeometry();
        QCOMPARE(text.topLeft(), QPoint(main.left() + main.width() + 2, main.top()));
        QCOMPARE(list.topLeft(), QPoint(text.left(), text.top() + text.height() + 2));
        QCOMPARE(Named<KanaTextWindow>(form, "KanaForm")->frameGeometry().topLeft(),
                 QPoint(list.left(), list.top() + list.height() + 2));

        QTest::keyClick(&form, Qt::Key_W, Qt::ControlModifier);
        QTRY_COMPARE(Named<VideoBox>(form, "Video")->size(), QSize(320, 256));
        const QRect small = form.frameGeometry();
        QCOMPARE(Named<KanaTextWindow>(form, "KanaForm")->frameGeometry().topLeft(),
                 QPoint(small.left(), small.top() + small.height() + 2));
        QCOMPARE(Named<TextEditorWindow>(form, "TxtForm")->frameGeometry().topLeft(),
                 QPoint(small.left() + small.width() + 2, small.top()));
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::MainWindowKeysTest)
#include "main_window_keys_test.moc"
