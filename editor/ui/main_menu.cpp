// The main window's menu: captions, access keys, shortcuts, check marks and radio groups. The
// shortcuts are shown in the menu but run only through the KeyDispatcher (see key_dispatcher.h):
// each action's own shortcut is limited to its menu so that Qt's shortcut map never acts on it.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "about/help_menu.h"
#include "about/version.h"
#include "editor/ui/main_window.h"
#include "editor/ui/menu_items.h"

namespace corv::editor {

namespace {

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}


void AddSeparator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); }

QAction* AddCheck(QMenu* menu, const char* name, const QString& caption, const QString& shortcut = {}) {
    QAction* action = AddMenuItem(menu, name, caption, shortcut);
    action->setCheckable(true);
    return action;
}

QAction* AddRadio(QMenu* menu, QActionGroup* group, const char* name, const QString& caption) {
    QAction* action = AddCheck(menu, name, caption);
    group->addAction(action);
    return action;
}

}  // namespace

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    // Marks a command that opens, changes or closes the ROM or the script, or that redraws or
    // reads the block: while a long command (the insertion) lets events through and rewrites
    // the block, it must not run in between.
    const auto disabledWhileBusy = [this](QAction* action) {
        ui_.disabledWhileBusy.push_back(action);
        return action;
    };

    ui_.fileMenu = AddMenu(bar, "File1", QStringLiteral("&File"));
    ui_.openRom = disabledWhileBusy(
        AddMenuItem(ui_.fileMenu, "OpenBinaryTextData1", QStringLiteral("&Open ROM File"), QStringLiteral("Ctrl+O")));
    ui_.loadDataFile = disabledWhileBusy(
        AddMenuItem(ui_.fileMenu, "LoadDataFile", QStringLiteral("Load Text Block Data File"),
            QStringLiteral("Ctrl+F")));
    ui_.openProject = disabledWhileBusy(
        AddMenuItem(ui_.fileMenu, "OpenProject1", QStringLiteral("Open &Project..."), QStringLiteral("Ctrl+Shift+O")));
    AddSeparator(ui_.fileMenu, "N2");
    ui_.saveText = disabledWhileBusy(
        AddMenuItem(ui_.fileMenu, "SaveTextFile1", QStringLiteral("&Save Text File"), QStringLiteral("Ctrl+S")));
    ui_.saveRom = disabledWhileBusy(
        AddMenuItem(ui_.fileMenu, "SaveRomFile1", QStringLiteral("S&ave Rom File"), QStringLiteral("Ctrl+A")));
    AddSeparator(ui_.fileMenu, "N1");
    ui_.exit = disabledWhileBusy(AddMenuItem(ui_.fileMenu, "Exit1", QStringLiteral("E&xit"), QStringLiteral("Alt+X")));

    ui_.editMenu = AddMenu(bar, "Edit1", QStringLiteral("&Edit"));
    ui_.insertText = disabledWhileBusy(
        AddMenuItem(ui_.editMenu, "Insert1", QStringLiteral("&Insert Text File into ROM"), QStringLiteral("Ctrl+I")));
    ui_.buildProject = disabledWhileBusy(
        AddMenuItem(ui_.editMenu, "BuildProject1", QStringLiteral("&Build Project"), QStringLiteral("Ctrl+R")));
    ui_.patchRom = disabledWhileBusy(
        AddMenuItem(ui_.editMenu, "PATCHRomFile1", QStringLiteral("PATCH Rom File"), QStringLiteral("Ctrl+P")));
    ui_.loadTable = disabledWhileBusy(
        AddMenuItem(ui_.editMenu, "LoadTableFile1", QStringLiteral("Load &Table File"), QStringLiteral("Ctrl+T")));
    AddSeparator(ui_.editMenu, "N7");
    ui_.insertCompression =
        disabledWhileBusy(AddMenuItem(ui_.editMenu, "InsertCOMPRESSIONintoROM1",
                                  QStringLiteral("Insert &COMPRESSION into ROM"), QStringLiteral("Ctrl+C")));
    AddSeparator(ui_.editMenu, "N8");
    ui_.fitHarder = AddCheck(ui_.editMenu, "FitHarderWhenOver1", QStringLiteral("Fit Harder When Over"));

    ui_.viewMenu = AddMenu(bar, "View1", QStringLiteral("&View"));
    ui_.showTextEditor =
        AddMenuItem(ui_.viewMenu, "DisplayTextEditor1", QStringLiteral("Display &Text Editor"),
            QStringLiteral("Ctrl+T"));
    ui_.showTranslation = disabledWhileBusy(
        AddCheck(ui_.viewMenu, "DTT", QStringLiteral("&Display Translated Text"), QStringLiteral("Ctrl+D")));
    ui_.showTranslation->setVisible(false);
    ui_.showHexData =
        AddMenuItem(ui_.viewMenu, "ViewHexData1", QStringLiteral("Display He&x Data"), QStringLiteral("Ctrl+X"));
    ui_.showKanaText = AddMenuItem(ui_.viewMenu, "DisplayKanaTextDump1", QStringLiteral("Display Kana Text Dump"),
                               QStringLiteral("Ctrl+K"));
    ui_.showListData = AddMenuItem(ui_.viewMenu, "DecompresstoFiles1",
                               QStringLiteral("Display Block Decompression Offsets"), QStringLiteral("Ctrl+B"));
    ui_.showListData->setVisible(false);
    AddSeparator(ui_.viewMenu, "N3");
    ui_.hideCodes = disabledWhileBusy(
        AddCheck(ui_.viewMenu, "HideCodes", QStringLiteral("&Hide Control Codes"), QStringLiteral("Ctrl+H")));
    AddSeparator(ui_.viewMenu, "N4");
    ui_.variableWidth = disabledWhileBusy(
        AddCheck(ui_.viewMenu, "UseVWFRoutine1", QStringLiteral("&Use VWF Routine"), QStringLiteral("Ctrl+U")));

    ui_.programMenu = AddMenu(bar, "Program1", QStringLiteral("&Program"));
    ui_.dumpBlock = disabledWhileBusy(AddMenuItem(ui_.programMenu, "DumpMemory1",
                                                  QStringLiteral("Du&mp DECOMPRESSED BINARY Data"),
                                                  QStringLiteral("Ctrl+M")));
    ui_.dumpKana = disabledWhileBusy(
        AddMenuItem(ui_.programMenu, "DumpKanatoafile1", QStringLiteral("Dump Ka&na to a file"),
            QStringLiteral("Ctrl+N")));
    ui_.viewKanaDump = disabledWhileBusy(
        AddMenuItem(ui_.programMenu, "ViewKanaDump1", QStringLiteral("&View Kana Dump"), QStringLiteral("Ctrl+V")));
    ui_.boxColourMenu = ui_.programMenu->addMenu(QStringLiteral("Textbox Color..."));
    ui_.boxColourMenu->setObjectName(QStringLiteral("TextboxColor1"));
    ui_.boxColourMenu->menuAction()->setObjectName(QStringLiteral("TextboxColor1Item"));
    colourGroup_ = new QActionGroup(this);
    styleGroup_ = new QActionGroup(this);
    ui_.boxBlue = disabledWhileBusy(AddRadio(ui_.boxColourMenu, colourGroup_, "Blue1", QStringLiteral("Blue")));
    ui_.boxGreen = disabledWhileBusy(AddRadio(ui_.boxColourMenu, colourGroup_, "Green1", QStringLiteral("Green")));
    ui_.boxRed = disabledWhileBusy(AddRadio(ui_.boxColourMenu, colourGroup_, "Red1", QStringLiteral("Red")));
    AddSeparator(ui_.boxColourMenu, "N5");
    ui_.boxGradient =
        disabledWhileBusy(AddRadio(ui_.boxColourMenu, styleGroup_, "Gradient1", QStringLiteral("Gradient")));
    ui_.boxSolid = disabledWhileBusy(AddRadio(ui_.boxColourMenu, styleGroup_, "Solid1", QStringLiteral("Solid")));
    AddSeparator(ui_.programMenu, "N6");
    ui_.textEditorOnTop = AddCheck(ui_.programMenu, "TEOnTop", QStringLiteral("Text Editor Stay on top"));

    ui_.windowMenu = AddMenu(bar, "Window1", QStringLiteral("&Window"));
    ui_.defaultSize =
        AddMenuItem(ui_.windowMenu, "DefaultWindowSize1", QStringLiteral("Default Window Size"),
            QStringLiteral("Ctrl+W"));
    ui_.zoomTwice = AddMenuItem(ui_.windowMenu, "Zoominx21", QStringLiteral("Zoom in x 2"));

    about::AddHelpMenu(*bar, dialogs_,
                       about::AboutText("CorvaneText", "The script editor of the CORVANE translation: reads the "
                                                       "game's strings, previews the translation and inserts it."));

    connect(ui_.openRom, &QAction::triggered, this, &MainWindow::openRomFile);
    connect(ui_.loadDataFile, &QAction::triggered, this, &MainWindow::openDataFile);
    connect(ui_.openProject, &QAction::triggered, this, &MainWindow::openProject);
    connect(ui_.saveText, &QAction::triggered, this, &MainWindow::saveText);
    connect(ui_.saveRom, &QAction::triggered, this, &MainWindow::saveRom);
    connect(ui_.exit, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(ui_.insertText, &QAction::triggered, this, &MainWindow::insertText);
    connect(ui_.buildProject, &QAction::triggered, this, &MainWindow::buildProject);
    connect(ui_.patchRom, &QAction::triggered, this, &MainWindow::patchRom);
    connect(ui_.loadTable, &QAction::triggered, this, &MainWindow::loadTable);
    connect(ui_.insertCompression, &QAction::triggered, this, &MainWindow::insertCompression);
    connect(ui_.fitHarder, &QAction::triggered, this, &MainWindow::fitHarderWhenOver);
    connect(ui_.showTextEditor, &QAction::triggered, this, &MainWindow::showTextEditor);
    connect(ui_.showTranslation, &QAction::triggered, this, &MainWindow::toggleTranslation);
    connect(ui_.showHexData, &QAction::triggered, this, &MainWindow::showHexData);
    connect(ui_.showKanaText, &QAction::triggered, this, &MainWindow::showKanaText);
    connect(ui_.showListData, &QAction::triggered, this, &MainWindow::showListData);
    connect(ui_.hideCodes, &QAction::triggered, this, &MainWindow::toggleHideCodes);
    connect(ui_.variableWidth, &QAction::triggered, this, &MainWindow::toggleVariableWidth);
    connect(ui_.dumpBlock, &QAction::triggered, this, &MainWindow::dumpBlock);
    connect(ui_.dumpKana, &QAction::triggered, this, &MainWindow::dumpKana);
    connect(ui_.viewKanaDump, &QAction::triggered, this, &MainWindow::viewKanaDump);
    for (QAction* item : {ui_.boxBlue, ui_.boxGreen, ui_.boxRed, ui_.boxGradient, ui_.boxSolid}) {
        connect(item, &QAction::triggered, this, &MainWindow::chooseBoxLook);
    }
    connect(ui_.textEditorOnTop, &QAction::triggered, this, &MainWindow::setTextEditorOnTop);
    connect(ui_.defaultSize, &QAction::triggered, this, &MainWindow::restoreDefaultSize);
    connect(ui_.zoomTwice, &QAction::triggered, this, &MainWindow::zoomTwice);
}

}  // namespace corv::editor
