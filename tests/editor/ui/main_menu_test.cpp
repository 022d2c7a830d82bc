// The main window's menu as the user meets it, item by item in menu order: the menu it sits in,
// its objectName, caption, shortcut, check mark and visibility, and whether it waits while an
// insertion runs. The rows below were read from the menu as it stood before it was made from a
// table, so that the table gives every item exactly as before.

#include <QMenu>
#include <QMenuBar>

#include "editor/ui/main_window_fixture.h"

namespace corv::editor {

using testing::EditorFixture;
using corv::testing::Named;

namespace {

// "menu > objectName | caption | shortcut | marks": the marks say checkable ("check"), checked at
// start ("on"), hidden ("hidden"), a separator ("rule"), a submenu ("menu") and disabled during an
// insertion ("busy").
QString Row(const QMenu* menu, const QAction* action, bool disabledWhileBusy) {
    QStringList marks;
    if (action->isSeparator()) marks << QStringLiteral("rule");
    if (action->menu() != nullptr) marks << QStringLiteral("menu");
    if (action->isCheckable()) marks << QStringLiteral("check");
    if (action->isChecked()) marks << QStringLiteral("on");
    if (!action->isVisible()) marks << QStringLiteral("hidden");
    if (disabledWhileBusy) marks << QStringLiteral("busy");
    return menu->objectName() + QStringLiteral(" > ") + action->objectName() + QStringLiteral(" | ") +
           action->text() + QStringLiteral(" | ") + action->shortcut().toString(QKeySequence::PortableText) +
           QStringLiteral(" | ") + marks.join(QLatin1Char(' '));
}

void AddRows(const QMenu* menu, const QSet<const QAction*>& disabled, QStringList& rows) {
    for (const QAction* action : menu->actions()) {
        rows << Row(menu, action, disabled.contains(action));
        if (const QMenu* sub = action->menu()) AddRows(sub, disabled, rows);
    }
}

// Every item of the menu bar, depth first, with the items disabled while the insertion ran.
QStringList MenuRows(const QMenuBar& bar, const QSet<const QAction*>& disabled) {
    QStringList rows;
    for (const QAction* top : bar.actions()) {
        rows << QStringLiteral("MainMenu1 > ") + top->menu()->objectName() + QStringLiteral(" | ") + top->text();
        AddRows(top->menu(), disabled, rows);
    }
    return rows;
}

// The items of `bar` disabled while an insertion of the demo's first block runs.
QSet<const QAction*> DisabledDuringInsertion(EditorFixture& f, const QMenuBar& bar) {
    QSet<const QAction*> disabled;
    bool seen = false;
    const auto collect = [&](const QMenu* menu, const auto& self) -> void {
        for (const QAction* action : menu->actions()) {
            if (!action->isEnabled()) disabled.insert(action);
            if (const QMenu* sub = action->menu()) self(sub, self);
        }
    };
    QObject::connect(Named<QListWidget>(*f.form, "ListBox1")->model(), &QAbstractItemModel::rowsInserted, f.form.get(),
                     [&] {
                         if (!f.form->busy() || seen) return;
                         seen = true;
                         for (const QAction* top : bar.actions()) collect(top->menu(), collect);
                     });
    f.dialogs.replyOpenFile(f.file(demo::kTableFileName));
    Named<QAction>(*f.form, "LoadTableFile1")->trigger();
    Named<QAction>(*f.form, "Insert1")->trigger();
    if (!seen) qFatal("the insertion wrote no log line while it ran");
    return disabled;
}

const QStringList kMenuBefore = {
    QStringLiteral("MainMenu1 > File1 | &File"),
    QStringLiteral("File1 > OpenBinaryTextData1 | &Open ROM File | Ctrl+O | busy"),
    QStringLiteral("File1 > LoadDataFile | Load Text Block Data File | Ctrl+F | busy"),
    QStringLiteral("File1 > OpenProject1 | Open &Project... | Ctrl+Shift+O | busy"),
    QStringLiteral("File1 > N2 |  |  | rule"),
    QStringLiteral("File1 > SaveTextFile1 | &Save Text File | Ctrl+S | busy"),
    QStringLiteral("File1 > SaveRomFile1 | S&ave Rom File | Ctrl+A | busy"),
    QStringLiteral("File1 > N1 |  |  | rule"),
    QStringLiteral("File1 > Exit1 | E&xit | Alt+X | busy"),
    QStringLiteral("MainMenu1 > Edit1 | &Edit"),
    QStringLiteral("Edit1 > Insert1 | &Insert Text File into ROM | Ctrl+I | busy"),
    QStringLiteral("Edit1 > BuildProject1 | &Build Project | Ctrl+R | busy"),
    QStringLiteral("Edit1 > PATCHRomFile1 | PATCH Rom File | Ctrl+P | busy"),
    QStringLiteral("Edit1 > LoadTableFile1 | Load &Table File | Ctrl+T | busy"),
    QStringLiteral("Edit1 > N7 |  |  | rule"),
    QStringLiteral("Edit1 > InsertCOMPRESSIONintoROM1 | Insert &COMPRESSION into ROM | Ctrl+C | busy"),
    QStringLiteral("Edit1 > N8 |  |  | rule"),
    QStringLiteral("Edit1 > FitHarderWhenOver1 | Fit Harder When Over |  | check"),
    QStringLiteral("Edit1 > N9 |  |  | rule"),
    QStringLiteral("Edit1 > NextUntranslated1 | Next Untranslated String | F3 | busy"),
    QStringLiteral("Edit1 > PreviousUntranslated1 | Previous Untranslated String | Shift+F3 | busy"),
    QStringLiteral("Edit1 > NextProblem1 | Next Problem | F4 | busy"),
    QStringLiteral("Edit1 > GoToString1 | Go to String... | Ctrl+G | busy"),
    QStringLiteral("Edit1 > FindText1 | Find in Script... | Ctrl+Shift+F | "),
    QStringLiteral("Edit1 > FindNext1 | Find Next | F6 | "),
    QStringLiteral("Edit1 > ReplaceText1 | Replace in Script... | Ctrl+Shift+H | busy"),
    QStringLiteral("Edit1 > ReplaceNext1 | Replace | F7 | busy"),
    QStringLiteral("Edit1 > ReplaceAll1 | Replace All | Shift+F7 | busy"),
    QStringLiteral("Edit1 > N10 |  |  | rule"),
    QStringLiteral("Edit1 > WrapString1 | Wrap String to Box | F8 | busy"),
    QStringLiteral("Edit1 > WrapBlock1 | Wrap Block to Box | Shift+F8 | busy"),
    QStringLiteral("MainMenu1 > View1 | &View"),
    QStringLiteral("View1 > DisplayTextEditor1 | Display &Text Editor | Ctrl+T | "),
    QStringLiteral("View1 > DTT | &Display Translated Text | Ctrl+D | check hidden busy"),
    QStringLiteral("View1 > ViewHexData1 | Display He&x Data | Ctrl+X | "),
    QStringLiteral("View1 > DisplayKanaTextDump1 | Display Kana Text Dump | Ctrl+K | "),
    QStringLiteral("View1 > DecompresstoFiles1 | Display Block Decompression Offsets | Ctrl+B | hidden busy"),
    QStringLiteral("View1 > N3 |  |  | rule"),
    QStringLiteral("View1 > HideCodes | &Hide Control Codes | Ctrl+H | check busy"),
    QStringLiteral("View1 > N4 |  |  | rule"),
    QStringLiteral("View1 > UseVWFRoutine1 | &Use VWF Routine | Ctrl+U | check on busy"),
    QStringLiteral("View1 > ShowProblems1 | Problems | Ctrl+E | "),
    QStringLiteral("View1 > MarkOverflow1 | Mark Overflow |  | check on"),
    QStringLiteral("View1 > WrapWhileTyping1 | Wrap While Typing |  | check"),
    QStringLiteral("MainMenu1 > Program1 | &Program"),
    QStringLiteral("Program1 > DumpMemory1 | Du&mp DECOMPRESSED BINARY Data | Ctrl+M | busy"),
    QStringLiteral("Program1 > DumpKanatoafile1 | Dump Ka&na to a file | Ctrl+N | busy"),
    QStringLiteral("Program1 > ViewKanaDump1 | &View Kana Dump | Ctrl+V | busy"),
    QStringLiteral("Program1 > TextboxColor1Item | Textbox Color... |  | menu"),
    QStringLiteral("TextboxColor1 > Blue1 | Blue |  | check on busy"),
    QStringLiteral("TextboxColor1 > Green1 | Green |  | check busy"),
    QStringLiteral("TextboxColor1 > Red1 | Red |  | check busy"),
    QStringLiteral("TextboxColor1 > N5 |  |  | rule"),
    QStringLiteral("TextboxColor1 > Gradient1 | Gradient |  | check on busy"),
    QStringLiteral("TextboxColor1 > Solid1 | Solid |  | check busy"),
    QStringLiteral("Program1 > N6 |  |  | rule"),
    QStringLiteral("Program1 > TEOnTop | Text Editor Stay on top |  | check"),
    QStringLiteral("MainMenu1 > Window1 | &Window"),
    QStringLiteral("Window1 > DefaultWindowSize1 | Default Window Size | Ctrl+W | "),
    QStringLiteral("Window1 > Zoominx21 | Zoom in x 2 |  | "),
    QStringLiteral("MainMenu1 > Help1 | &Help"),
    QStringLiteral("Help1 > About1 | &About |  | "),
};

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

private slots:
    void everyItemKeepsItsNameCaptionKeyMarksAndBusyRule() {
        EditorFixture f;
        f.open();
        const QMenuBar& bar = *Named<QMenuBar>(*f.form, "MainMenu1");
        const QSet<const QAction*> disabled = DisabledDuringInsertion(f, bar);
        QVERIFY(!disabled.isEmpty());
        const QStringList rows = MenuRows(bar, disabled);
        if (rows != kMenuBefore) {
            for (const QString& row : rows) qInfo().noquote() << row;
        }
        QCOMPARE(rows.size(), kMenuBefore.size());
        for (qsizetype n = 0; n < rows.size(); ++n) QCOMPARE(rows[n], kMenuBefore[n]);
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::MainMenuTest)
#include "main_menu_test.moc"
