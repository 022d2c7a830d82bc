// The main window's menu: captions, access keys, shortcuts, check marks and radio groups, one row
// per item. The shortcuts are shown in the menu but run only through the KeyDispatcher (see
// key_dispatcher.h): each action's own shortcut is limited to its menu so that Qt's shortcut map
// never acts on it.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <cstdint>

#include "about/help_menu.h"
#include "about/version.h"
#include "editor/ui/main_window.h"
#include "editor/ui/menu_items.h"

namespace corv::editor {

namespace {

// Whether an item waits while a long command (the insertion) lets events through: a command that
// opens, changes or closes the ROM or the script, or that redraws or reads the block, must not
// run while the insertion rewrites the block.
enum class Busy : uint8_t { Runs, Waits };

enum class Kind : uint8_t {
    Item,
    Check,        // checkable
    Hidden,       // kept under its name, answering its key, but not shown
    HiddenCheck,
    Colour,       // one of the box colours: a radio item
    Style,        // one of the box styles: a radio item
    Rule,         // a separator (only its name)
};

}  // namespace

void MainWindow::buildMenu() {
    using W = Widgets;
    using Slot = void (MainWindow::*)();
    // The menus, made where their first row below stands: the menu bar's in that order, the
    // Textbox Color submenu after View Kana Dump.
    struct Menu {
        QMenu* W::*menu;
        QMenu* W::*parent;  // nullptr: the menu bar
        const char* name;
        const char* caption;
        const char* itemName;  // a submenu's item in its parent menu
    };
    static constexpr Menu kMenus[] = {
        {&W::fileMenu, nullptr, "File1", "&File", nullptr},
        {&W::editMenu, nullptr, "Edit1", "&Edit", nullptr},
        {&W::viewMenu, nullptr, "View1", "&View", nullptr},
        {&W::programMenu, nullptr, "Program1", "&Program", nullptr},
        {&W::boxColourMenu, &W::programMenu, "TextboxColor1", "Textbox Color...", "TextboxColor1Item"},
        {&W::windowMenu, nullptr, "Window1", "&Window", nullptr},
    };
    struct Row {
        QMenu* W::*menu;
        QAction* W::*item;  // nullptr for a rule
        const char* name;
        const char* caption = nullptr;
        const char* key = nullptr;
        Busy busy = Busy::Runs;
        Slot slot = nullptr;
        Kind kind = Kind::Item;
    };
    static constexpr Row kRows[] = {
        {&W::fileMenu, &W::openRom, "OpenBinaryTextData1", "&Open ROM File", "Ctrl+O", Busy::Waits, &MainWindow::openRomFile},
        {&W::fileMenu, &W::loadDataFile, "LoadDataFile", "Load Text Block Data File", "Ctrl+F", Busy::Waits, &MainWindow::openDataFile},
        {&W::fileMenu, &W::openProject, "OpenProject1", "Open &Project...", "Ctrl+Shift+O", Busy::Waits, &MainWindow::openProject},
        {.menu = &W::fileMenu, .item = nullptr, .name = "N2", .kind = Kind::Rule},
        {&W::fileMenu, &W::saveText, "SaveTextFile1", "&Save Text File", "Ctrl+S", Busy::Waits, &MainWindow::saveText},
        {&W::fileMenu, &W::saveRom, "SaveRomFile1", "S&ave Rom File", "Ctrl+A", Busy::Waits, &MainWindow::saveRom},
        {.menu = &W::fileMenu, .item = nullptr, .name = "N1", .kind = Kind::Rule},
        {&W::fileMenu, &W::exit, "Exit1", "E&xit", "Alt+X", Busy::Waits, &MainWindow::exitProgram},

        {&W::editMenu, &W::insertText, "Insert1", "&Insert Text File into ROM", "Ctrl+I", Busy::Waits, &MainWindow::insertText},
        {&W::editMenu, &W::buildProject, "BuildProject1", "&Build Project", "Ctrl+R", Busy::Waits, &MainWindow::buildProject},
        {&W::editMenu, &W::patchRom, "PATCHRomFile1", "PATCH Rom File", "Ctrl+P", Busy::Waits, &MainWindow::patchRom},
        {&W::editMenu, &W::loadTable, "LoadTableFile1", "Load &Table File", "Ctrl+T", Busy::Waits, &MainWindow::loadTable},
        {.menu = &W::editMenu, .item = nullptr, .name = "N7", .kind = Kind::Rule},
        {&W::editMenu, &W::insertCompression, "InsertCOMPRESSIONintoROM1", "Insert &COMPRESSION into ROM", "Ctrl+C", Busy::Waits, &MainWindow::insertCompression},
        {.menu = &W::editMenu, .item = nullptr, .name = "N8", .kind = Kind::Rule},
        {&W::editMenu, &W::fitHarder, "FitHarderWhenOver1", "Fit Harder When Over", nullptr, Busy::Runs, &MainWindow::fitHarderWhenOver, Kind::Check},

        {&W::viewMenu, &W::showTextEditor, "DisplayTextEditor1", "Display &Text Editor", "Ctrl+T", Busy::Runs, &MainWindow::showTextEditor},
        {&W::viewMenu, &W::showTranslation, "DTT", "&Display Translated Text", "Ctrl+D", Busy::Waits, &MainWindow::toggleTranslation, Kind::HiddenCheck},
        {&W::viewMenu, &W::showHexData, "ViewHexData1", "Display He&x Data", "Ctrl+X", Busy::Runs, &MainWindow::showHexData},
        {&W::viewMenu, &W::showKanaText, "DisplayKanaTextDump1", "Display Kana Text Dump", "Ctrl+K", Busy::Runs, &MainWindow::showKanaText},
        {&W::viewMenu, &W::showListData, "DecompresstoFiles1", "Display Block Decompression Offsets", "Ctrl+B", Busy::Runs, &MainWindow::showListData, Kind::Hidden},
        {.menu = &W::viewMenu, .item = nullptr, .name = "N3", .kind = Kind::Rule},
        {&W::viewMenu, &W::hideCodes, "HideCodes", "&Hide Control Codes", "Ctrl+H", Busy::Waits, &MainWindow::toggleHideCodes, Kind::Check},
        {.menu = &W::viewMenu, .item = nullptr, .name = "N4", .kind = Kind::Rule},
        {&W::viewMenu, &W::variableWidth, "UseVWFRoutine1", "&Use VWF Routine", "Ctrl+U", Busy::Waits, &MainWindow::toggleVariableWidth, Kind::Check},

        {&W::programMenu, &W::dumpBlock, "DumpMemory1", "Du&mp DECOMPRESSED BINARY Data", "Ctrl+M", Busy::Waits, &MainWindow::dumpBlock},
        {&W::programMenu, &W::dumpKana, "DumpKanatoafile1", "Dump Ka&na to a file", "Ctrl+N", Busy::Waits, &MainWindow::dumpKana},
        {&W::programMenu, &W::viewKanaDump, "ViewKanaDump1", "&View Kana Dump", "Ctrl+V", Busy::Waits, &MainWindow::viewKanaDump},
        {&W::boxColourMenu, &W::boxBlue, "Blue1", "Blue", nullptr, Busy::Waits, &MainWindow::chooseBoxLook, Kind::Colour},
        {&W::boxColourMenu, &W::boxGreen, "Green1", "Green", nullptr, Busy::Waits, &MainWindow::chooseBoxLook, Kind::Colour},
        {&W::boxColourMenu, &W::boxRed, "Red1", "Red", nullptr, Busy::Waits, &MainWindow::chooseBoxLook, Kind::Colour},
        {.menu = &W::boxColourMenu, .item = nullptr, .name = "N5", .kind = Kind::Rule},
        {&W::boxColourMenu, &W::boxGradient, "Gradient1", "Gradient", nullptr, Busy::Waits, &MainWindow::chooseBoxLook, Kind::Style},
        {&W::boxColourMenu, &W::boxSolid, "Solid1", "Solid", nullptr, Busy::Waits, &MainWindow::chooseBoxLook, Kind::Style},
        {.menu = &W::programMenu, .item = nullptr, .name = "N6", .kind = Kind::Rule},
        {&W::programMenu, &W::textEditorOnTop, "TEOnTop", "Text Editor Stay on top", nullptr, Busy::Runs, &MainWindow::setTextEditorOnTop, Kind::Check},

        {&W::windowMenu, &W::defaultSize, "DefaultWindowSize1", "Default Window Size", "Ctrl+W", Busy::Runs, &MainWindow::restoreDefaultSize},
        {&W::windowMenu, &W::zoomTwice, "Zoominx21", "Zoom in x 2", nullptr, Busy::Runs, &MainWindow::zoomTwice},
    };

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    colourGroup_ = new QActionGroup(this);
    styleGroup_ = new QActionGroup(this);
    const auto menuOf = [this, bar](QMenu* W::*member) {
        if (ui_.*member != nullptr) return ui_.*member;
        for (const Menu& made : kMenus) {
            if (made.menu != member) continue;
            const QString caption = QString::fromLatin1(made.caption);
            QMenu* menu = made.parent ? (ui_.*made.parent)->addMenu(caption) : bar->addMenu(caption);
            menu->setObjectName(QString::fromLatin1(made.name));
            if (made.itemName) menu->menuAction()->setObjectName(QString::fromLatin1(made.itemName));
            ui_.*member = menu;
        }
        return ui_.*member;
    };
    for (const Row& row : kRows) {
        QMenu* menu = menuOf(row.menu);
        if (row.kind == Kind::Rule) {
            menu->addSeparator()->setObjectName(QString::fromLatin1(row.name));
            continue;
        }
        QAction* action = AddMenuItem(menu, row.name, QString::fromLatin1(row.caption),
                                      row.key ? QString::fromLatin1(row.key) : QString());
        action->setCheckable(row.kind != Kind::Item && row.kind != Kind::Hidden);
        action->setVisible(row.kind != Kind::Hidden && row.kind != Kind::HiddenCheck);
        if (row.kind == Kind::Colour) colourGroup_->addAction(action);
        if (row.kind == Kind::Style) styleGroup_->addAction(action);
        if (row.busy == Busy::Waits) ui_.disabledWhileBusy.push_back(action);
        connect(action, &QAction::triggered, this, row.slot);
        ui_.*row.item = action;
    }

    about::AddHelpMenu(*bar, dialogs_,
                       about::AboutText("CorvaneText", "The script editor of the CORVANE translation: reads the "
                                                       "game's strings, previews the translation and inserts it."));
}

}  // namespace corv::editor
