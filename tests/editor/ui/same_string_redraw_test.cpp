// A string drawn again brings Hex Data's grid and Kana Text back to their start, as loading the
// string again would: after a click on the string already chosen and after a key in the main
// window. Typing in the Text Editor draws it again too, and leaves both where they are.

#include <QPlainTextEdit>
#include <QScrollBar>

#include "editor/ui/hex_data_window.h"
#include "editor/ui/main_window_fixture.h"

namespace corv::editor {

using testing::EditorFixture;
using corv::testing::Named;

class SameStringRedrawTest : public QObject {
    Q_OBJECT

    // Chooses the first string whose hex grid is longer than the window shows; its row.
    static int chooseLongString(EditorFixture& f) {
        QListWidget* pList = Named<QListWidget>(*f.form, "pList");
        HexDataWindow* hex = Named<HexDataWindow>(*f.form, "HexForm");
        hex->resize(hex->width(), 80);  // a few rows, so that a string of some length scrolls
        for (int row = 0; row < pList->count(); ++row) {
            clickString(f, row);
            const HexView& view = hex->view();
            if (int(view.length()) > (view.rows() + 1) * 16) return row;
        }
        return -1;
    }

    static void clickString(EditorFixture& f, int row) {
        QListWidget* pList = Named<QListWidget>(*f.form, "pList");
        pList->scrollToItem(pList->item(row));
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->visualItemRect(pList->item(row)).center());
    }

    // Scrolls the grid down past its last visible row and moves Kana Text's caret to the end.
    static void scrollBoth(EditorFixture& f) {
        HexDataWindow* hex = Named<HexDataWindow>(*f.form, "HexForm");
        for (int k = 0; k < hex->view().rows() + 2; ++k) QTest::keyClick(hex, Qt::Key_Down);
        QVERIFY(hex->view().scroll() > 0);
        QPlainTextEdit* kana = Named<QPlainTextEdit>(*f.form, "kanaEdit");
        kana->moveCursor(QTextCursor::End);
        QVERIFY(kana->textCursor().position() > 0);
    }

    static bool bothAtTheStart(EditorFixture& f) {
        return Named<HexDataWindow>(*f.form, "HexForm")->view().scroll() == 0 &&
               Named<QPlainTextEdit>(*f.form, "kanaEdit")->textCursor().position() == 0 &&
               Named<QPlainTextEdit>(*f.form, "kanaEdit")->verticalScrollBar()->value() == 0;
    }

private slots:
    void aClickOrAMainWindowKeyResetsTheViewsAndTypingKeepsThem() {
        EditorFixture f;
        f.open();
        QVERIFY(Named<HexDataWindow>(*f.form, "HexForm")->isVisible());
        const int row = chooseLongString(f);
        QVERIFY2(row >= 0, "the demo's first block has a string longer than the grid shows");

        scrollBoth(f);
        clickString(f, row);
        QVERIFY(bothAtTheStart(f));

        scrollBoth(f);
        QTest::keyClick(f.form.get(), Qt::Key_Right);
        QVERIFY(bothAtTheStart(f));

        // A key the main window swallows (Shift with a letter) draws nothing.
        scrollBoth(f);
        const int scrolled = Named<HexDataWindow>(*f.form, "HexForm")->view().scroll();
        QTest::keyClick(f.form.get(), Qt::Key_A, Qt::ShiftModifier);
        QCOMPARE(Named<HexDataWindow>(*f.form, "HexForm")->view().scroll(), scrolled);

        // Typing draws the string again from the edited text and leaves both views alone.
        Named<TextEditorWindow>(*f.form, "TxtForm")->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Named<TextEditorWindow>(*f.form, "TxtForm")));
        f.caretToLine(6);
        QTest::keyClicks(f.memo(), QStringLiteral("ab"));
        QCOMPARE(Named<HexDataWindow>(*f.form, "HexForm")->view().scroll(), scrolled);
        QVERIFY(Named<QPlainTextEdit>(*f.form, "kanaEdit")->textCursor().position() > 0);
        QVERIFY(f.dialogs.unexpected().empty());
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::SameStringRedrawTest)
#include "same_string_redraw_test.moc"
