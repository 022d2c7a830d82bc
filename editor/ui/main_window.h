#pragma once
// The script editor's main window (myForm): the preview paint box Video, the status bar, the
// menu with every command, and the companion windows it creates at start and keeps placed
// around itself. The window only wires: the work is in EditorSession (editor/logic), the user
// is asked through dialogs::Dialogs.

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "editor/logic/editor_session.h"
#include "editor/logic/project_mode.h"
#include "editor/logic/string_choice_follow.h"
#include "editor/logic/window_placement.h"
#include "project/editor_table.h"
#include "project/project_file.h"

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QMenu;
class QStatusBar;

namespace corv::dialogs {
class Dialogs;
}

namespace corv::editor {

class HexDataWindow;
class InsertProgressWindow;
class KanaDumpWindow;
class KanaTextWindow;
class KeyDispatcher;
class ListDataWindow;
class LiveCheckWiring;
class ScriptFileWatcher;
class TextEditorWindow;
class VideoBox;
class WrapCommands;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Start-up (FormCreate): the process's current folder becomes the start directory; the
    // companion windows are created after the main window, in their fixed order, and the key
    // dispatcher is installed on the application. `dialogs` must outlive the window.
    explicit MainWindow(dialogs::Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the windows visible at start: the main window, the Text Editor and List Data.
    void showWindowSet();

    // Runs the open steps with the two files instead of asking for them (command line).
    void openWithFiles(const std::filesystem::path& rom, const std::filesystem::path& dataFile);
    // Runs the open steps with the ROM given and the block data file asked for (a ROM opened
    // from a file manager).
    void openWithRom(const std::filesystem::path& rom);
    // Opens a translation project: its original ROM (only ever read), data file, table and
    // scripts folder, and the state its [editor] table keeps. A project file with a problem is
    // named with its key and line and changes nothing.
    void openProjectFile(const std::filesystem::path& file);
    // The open translation project, if any.
    [[nodiscard]] const std::optional<project::ProjectFile>& project() const { return project_.file(); }
    // What the project file keeps of the editor when the project is closed.
    [[nodiscard]] project::EditorState editorState() const;

    [[nodiscard]] EditorSession& session() { return *session_; }
    [[nodiscard]] const EditorSession& session() const { return *session_; }
    // True while a long command lets events through; closing waits for it.
    [[nodiscard]] bool busy() const { return busy_; }
    // The live checks: room panel, string marks, Problems window and navigation.
    [[nodiscard]] LiveCheckWiring& liveChecks() const { return *live_; }
    // The application-wide keys: which menu item a key runs where it is pressed.
    [[nodiscard]] const KeyDispatcher& keys() const { return *dispatcher_; }
    // The client size recorded at start-up, used by the Window menu.
    [[nodiscard]] WindowSize defaultClientSize() const { return defaultClient_; }

    // Chooses the block selected in List Data, then its string 0.
    void chooseBlock();
    // Chooses the string selected in List Data and draws it; `sender` decides where
    // the Text Editor's caret and view go (see FollowFor).
    void chooseString(ChoiceSender sender);

protected:
    void keyPressEvent(QKeyEvent* event) override;   // FormKeyDown
    void resizeEvent(QResizeEvent* event) override;  // FormResize
    void closeEvent(QCloseEvent* event) override;    // FormClose

private slots:
    // File menu
    void openRomFile();
    void openDataFile();
    void openProject();
    void saveText();
    void saveRom();
    void exitProgram();
    // Edit menu
    void insertText();
    void patchRom();
    void loadTable();
    void insertCompression();
    void fitHarderWhenOver();
    void buildProject();
    // View menu
    void showTextEditor();
    void toggleTranslation();
    void showHexData();
    void showKanaText();
    void showListData();
    void toggleHideCodes();
    void toggleVariableWidth();
    // Program menu
    void dumpBlock();
    void dumpKana();
    void viewKanaDump();
    void chooseBoxLook();  // any item of Textbox Color...
    void setTextEditorOnTop();
    // Window menu
    void restoreDefaultSize();
    void zoomTwice();

private:
    // The window's parts, each created with its designer name (in the comment) as objectName,
    // by which the tests find it.
    struct Widgets {
        VideoBox* video = nullptr;            // Video: the preview paint box
        QStatusBar* statusBar = nullptr;      // StatusBar1
        QLabel* offsetPanel = nullptr;        // StatusPanel0: record offset and text pointer
        QLabel* linePanel = nullptr;          // StatusPanel1: the views' scroll lines
        QListWidget* pointerList = nullptr;   // ptrBox, kept hidden

        TextEditorWindow* textEditor = nullptr;          // TxtForm
        HexDataWindow* hexData = nullptr;                // HexForm
        KanaTextWindow* kanaText = nullptr;              // KanaForm
        ListDataWindow* listData = nullptr;              // cmForm
        InsertProgressWindow* insertProgress = nullptr;  // InsertForm
        KanaDumpWindow* kanaDump = nullptr;              // viewKana

        QMenu* fileMenu = nullptr;           // File1
        QAction* openRom = nullptr;          // OpenBinaryTextData1
        QAction* loadDataFile = nullptr;     // LoadDataFile
        QAction* openProject = nullptr;      // OpenProject1
        QAction* saveText = nullptr;         // SaveTextFile1
        QAction* saveRom = nullptr;          // SaveRomFile1
        QAction* exit = nullptr;             // Exit1
        QMenu* editMenu = nullptr;           // Edit1
        QAction* insertText = nullptr;       // Insert1
        QAction* buildProject = nullptr;     // BuildProject1
        QAction* patchRom = nullptr;         // PATCHRomFile1
        QAction* loadTable = nullptr;        // LoadTableFile1
        QAction* insertCompression = nullptr;  // InsertCOMPRESSIONintoROM1
        QAction* fitHarder = nullptr;        // FitHarderWhenOver1
        QMenu* viewMenu = nullptr;           // View1
        QAction* showTextEditor = nullptr;   // DisplayTextEditor1
        QAction* showTranslation = nullptr;  // DTT, hidden
        QAction* showHexData = nullptr;      // ViewHexData1
        QAction* showKanaText = nullptr;     // DisplayKanaTextDump1
        QAction* showListData = nullptr;     // DecompresstoFiles1, hidden
        QAction* hideCodes = nullptr;        // HideCodes
        QAction* variableWidth = nullptr;    // UseVWFRoutine1
        QMenu* programMenu = nullptr;        // Program1
        QAction* dumpBlock = nullptr;        // DumpMemory1
        QAction* dumpKana = nullptr;         // DumpKanatoafile1
        QAction* viewKanaDump = nullptr;     // ViewKanaDump1
        QMenu* boxColourMenu = nullptr;      // TextboxColor1
        QAction* boxBlue = nullptr;          // Blue1
        QAction* boxGreen = nullptr;         // Green1
        QAction* boxRed = nullptr;           // Red1
        QAction* boxGradient = nullptr;      // Gradient1
        QAction* boxSolid = nullptr;         // Solid1
        QAction* textEditorOnTop = nullptr;  // TEOnTop
        QMenu* windowMenu = nullptr;         // Window1
        QAction* defaultSize = nullptr;      // DefaultWindowSize1
        QAction* zoomTwice = nullptr;        // Zoominx21

        // The commands that must not run while a long command lets events through.
        std::vector<QAction*> disabledWhileBusy;
    };

    void buildMenu();
    void createCompanions();
    void closeCompanions();
    void deleteCompanions();
    [[nodiscard]] QWidget* companion(script::DataFileView view) const;
    void showStringNumber(unsigned index);
    void runBusy(const std::function<void()>& command);
    void applyDataFile(const std::optional<DataFileShown>& shown);
    void openSteps(RomOpenStep step, const std::function<std::optional<DataFileShown>()>& loadDataFile);
    void showWindow(QWidget* window);
    void syncChecks();
    void refreshBothViews();
    void placeCompanions(KanaTextPlace kana);
    void setClientSize(WindowSize client);
    // Hands a string the Hex Data and Kana Text windows do not show yet to both. Without one, the
    // string shown was drawn again: unless by `typing` (which keeps them as they are), both return
    // to their start, as loading it again would.
    void showNewString(const std::optional<script::ResolvedString>& resolved, bool typing = false);
    // Compares the current script file with what the editor loaded or saved, and loads it again
    // (quietly, or after asking when there are unsaved edits); waits for a long command to end.
    void checkScriptOnDisk();
    // Keeps the open project's editor state in its file and leaves the project.
    void closeProject();
    // Runs what `command` does in the project mode when that is not its own work on the ROM (the
    // project's build, or the message of a refusal); false when it is.
    bool runInProject(RomCommand command);
    void restoreEditorState(const project::EditorState& state);
    [[nodiscard]] script::ScriptText& script();
    // Pasted text with the open project's substitutions (the default list without a project)
    // applied; the line panel says how many characters they wrote differently.
    [[nodiscard]] QString substitutePasted(const QString& pasted);

    Widgets ui_;
    dialogs::Dialogs& dialogs_;
    std::unique_ptr<EditorSession> session_;
    ProjectMode project_;
    std::unique_ptr<KeyDispatcher> dispatcher_;
    LiveCheckWiring* live_ = nullptr;  // a child of the window
    ScriptFileWatcher* scriptWatcher_ = nullptr;  // a child of the window
    bool scriptCheckWaiting_ = false;  // the script changed on disk during a long command
    WrapCommands* wrap_ = nullptr;     // a child of the window
    QActionGroup* colourGroup_ = nullptr;
    QActionGroup* styleGroup_ = nullptr;
    WindowSize defaultClient_;
    QSize commandedSize_;  // the size the Window menu last asked for, until the window has it
    bool busy_ = false;
    bool closeRequested_ = false;
};

}  // namespace corv::editor
