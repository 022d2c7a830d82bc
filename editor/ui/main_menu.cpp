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

namespace corv::editor {

namespace {

QMenu* AddMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(QKeySequence(shortcut));
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    return action;
}

void AddSeparator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); }

QAction* AddCheck(QMenu* menu, const char* name, const QString& caption, const QString& shortcut = {}) {
    QAction* action = AddItem(menu, name, caption, shortcut);
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

    File1 = AddMenu(bar, "File1", QStringLiteral("&File"));
    OpenBinaryTextData1 = AddItem(File1, "OpenBinaryTextData1", QStringLiteral("&Open ROM File"), QStringLiteral("Ctrl+O"));
    LoadDataFile = AddItem(File1, "LoadDataFile", QStringLiteral("Load Text Block Data File"), QStringLiteral("Ctrl+F"));
    AddSeparator(File1, "N2");
    SaveTextFile1 = AddItem(File1, "SaveTextFile1", QStringLiteral("&Save Text File"), QStringLiteral("Ctrl+S"));
    SaveRomFile1 = AddItem(File1, "SaveRomFile1", QStringLiteral("S&ave Rom File"), QStringLiteral("Ctrl+A"));
    AddSeparator(File1, "N1");
    Exit1 = AddItem(File1, "Exit1", QStringLiteral("E&xit"), QStringLiteral("Alt+X"));

    Edit1 = AddMenu(bar, "Edit1", QStringLiteral("&Edit"));
    Insert1 = AddItem(Edit1, "Insert1", QStringLiteral("&Insert Text File into ROM"), QStringLiteral("Ctrl+I"));
    PATCHRomFile1 = AddItem(Edit1, "PATCHRomFile1", QStringLiteral("PATCH Rom File"), QStringLiteral("Ctrl+P"));
    LoadTableFile1 = AddItem(Edit1, "LoadTableFile1", QStringLiteral("Load &Table File"), QStringLiteral("Ctrl+T"));
    AddSeparator(Edit1, "N7");
    InsertCOMPRESSIONintoROM1 = AddItem(Edit1, "InsertCOMPRESSIONintoROM1", QStringLiteral("Insert &COMPRESSION into ROM"),
                                        QStringLiteral("Ctrl+C"));
    AddSeparator(Edit1, "N8");
    FitHarderWhenOver1 = AddCheck(Edit1, "FitHarderWhenOver1", QStringLiteral("Fit Harder When Over"));

    View1 = AddMenu(bar, "View1", QStringLiteral("&View"));
    DisplayTextEditor1 = AddItem(View1, "DisplayTextEditor1", QStringLiteral("Display &Text Editor"), QStringLiteral("Ctrl+T"));
    DTT = AddCheck(View1, "DTT", QStringLiteral("&Display Translated Text"), QStringLiteral("Ctrl+D"));
    DTT->setVisible(false);
    ViewHexData1 = AddItem(View1, "ViewHexData1", QStringLiteral("Display He&x Data"), QStringLiteral("Ctrl+X"));
    DisplayKanaTextDump1 = AddItem(View1, "DisplayKanaTextDump1", QStringLiteral("Display Kana Text Dump"), QStringLiteral("Ctrl+K"));
    DecompresstoFiles1 = AddItem(View1, "DecompresstoFiles1", QStringLiteral("Display Block Decompression Offsets"),
                                 QStringLiteral("Ctrl+B"));
    DecompresstoFiles1->setVisible(false);
    AddSeparator(View1, "N3");
    HideCodes = AddCheck(View1, "HideCodes", QStringLiteral("&Hide Control Codes"), QStringLiteral("Ctrl+H"));
    AddSeparator(View1, "N4");
    UseVWFRoutine1 = AddCheck(View1, "UseVWFRoutine1", QStringLiteral("&Use VWF Routine"), QStringLiteral("Ctrl+U"));

    Program1 = AddMenu(bar, "Program1", QStringLiteral("&Program"));
    DumpMemory1 = AddItem(Program1, "DumpMemory1", QStringLiteral("Du&mp DECOMPRESSED BINARY Data"), QStringLiteral("Ctrl+M"));
    DumpKanatoafile1 = AddItem(Program1, "DumpKanatoafile1", QStringLiteral("Dump Ka&na to a file"), QStringLiteral("Ctrl+N"));
    ViewKanaDump1 = AddItem(Program1, "ViewKanaDump1", QStringLiteral("&View Kana Dump"), QStringLiteral("Ctrl+V"));
    TextboxColor1 = Program1->addMenu(QStringLiteral("Textbox Color..."));
    TextboxColor1->setObjectName(QStringLiteral("TextboxColor1"));
    TextboxColor1->menuAction()->setObjectName(QStringLiteral("TextboxColor1Item"));
    colourGroup_ = new QActionGroup(this);
    styleGroup_ = new QActionGroup(this);
    Blue1 = AddRadio(TextboxColor1, colourGroup_, "Blue1", QStringLiteral("Blue"));
    Green1 = AddRadio(TextboxColor1, colourGroup_, "Green1", QStringLiteral("Green"));
    Red1 = AddRadio(TextboxColor1, colourGroup_, "Red1", QStringLiteral("Red"));
    AddSeparator(TextboxColor1, "N5");
    Gradient1 = AddRadio(TextboxColor1, styleGroup_, "Gradient1", QStringLiteral("Gradient"));
    Solid1 = AddRadio(TextboxColor1, styleGroup_, "Solid1", QStringLiteral("Solid"));
    AddSeparator(Program1, "N6");
    TEOnTop = AddCheck(Program1, "TEOnTop", QStringLiteral("Text Editor Stay on top"));

    Window1 = AddMenu(bar, "Window1", QStringLiteral("&Window"));
    DefaultWindowSize1 = AddItem(Window1, "DefaultWindowSize1", QStringLiteral("Default Window Size"), QStringLiteral("Ctrl+W"));
    Zoominx21 = AddItem(Window1, "Zoominx21", QStringLiteral("Zoom in x 2"));

    about::AddHelpMenu(*bar, dialogs_,
                       about::AboutText("CorvaneText", "The script editor of the CORVANE translation: reads the "
                                                       "game's strings, previews the translation and inserts it."));

    connect(OpenBinaryTextData1, &QAction::triggered, this, &MainWindow::OpenBinaryTextData1Click);
    connect(LoadDataFile, &QAction::triggered, this, &MainWindow::LoadDataFileClick);
    connect(SaveTextFile1, &QAction::triggered, this, &MainWindow::SaveTextFile1Click);
    connect(SaveRomFile1, &QAction::triggered, this, &MainWindow::SaveRomFile1Click);
    connect(Exit1, &QAction::triggered, this, &MainWindow::Exit1Click);
    connect(Insert1, &QAction::triggered, this, &MainWindow::Insert1Click);
    connect(PATCHRomFile1, &QAction::triggered, this, &MainWindow::PATCHRomFile1Click);
    connect(LoadTableFile1, &QAction::triggered, this, &MainWindow::LoadTableFile1Click);
    connect(InsertCOMPRESSIONintoROM1, &QAction::triggered, this, &MainWindow::InsertCOMPRESSIONintoROM1Click);
    connect(FitHarderWhenOver1, &QAction::triggered, this, &MainWindow::FitHarderWhenOver1Click);
    connect(DisplayTextEditor1, &QAction::triggered, this, &MainWindow::DisplayTextEditor1Click);
    connect(DTT, &QAction::triggered, this, &MainWindow::DTTClick);
    connect(ViewHexData1, &QAction::triggered, this, &MainWindow::ViewHexData1Click);
    connect(DisplayKanaTextDump1, &QAction::triggered, this, &MainWindow::DisplayKanaTextDump1Click);
    connect(DecompresstoFiles1, &QAction::triggered, this, &MainWindow::DecompresstoFiles1Click);
    connect(HideCodes, &QAction::triggered, this, &MainWindow::HideCodesClick);
    connect(UseVWFRoutine1, &QAction::triggered, this, &MainWindow::UseVWFRoutine1Click);
    connect(DumpMemory1, &QAction::triggered, this, &MainWindow::DumpMemory1Click);
    connect(DumpKanatoafile1, &QAction::triggered, this, &MainWindow::DumpKanatoafile1Click);
    connect(ViewKanaDump1, &QAction::triggered, this, &MainWindow::ViewKanaDump1Click);
    for (QAction* item : {Blue1, Green1, Red1, Gradient1, Solid1}) {
        connect(item, &QAction::triggered, this, &MainWindow::Red1Click);
    }
    connect(TEOnTop, &QAction::triggered, this, &MainWindow::TEOnTopClick);
    connect(DefaultWindowSize1, &QAction::triggered, this, &MainWindow::DefaultWindowSize1Click);
    connect(Zoominx21, &QAction::triggered, this, &MainWindow::Zoominx21Click);
}

}  // namespace corv::editor
