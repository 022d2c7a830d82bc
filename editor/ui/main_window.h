#pragma once
// The script editor's main window (myForm): the preview paint box Video, the status bar, the
// menu with every command, and the companion windows it creates at start and keeps placed
// around itself. The window only wires: the work is in EditorSession (editor/logic), the user
// is asked through ui::Dialogs.

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "editor/logic/editor_session.h"
#include "editor/logic/shown_string.h"
#include "editor/logic/window_placement.h"

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QMenu;
class QStatusBar;

namespace corv::ui {
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
class TextEditorWindow;
class VideoBox;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Start-up (FormCreate): the process's current folder becomes the start directory; the
    // companion windows are created after the main window, in their fixed order, and the key
    // dispatcher is installed on the application. `dialogs` must outlive the window.
    explicit MainWindow(ui::Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the windows visible at start: the main window, the Text Editor and List Data.
    void showWindowSet();

    // Who asks for a string choice: the program itself, a change of the script text (the editor
    // is then not scrolled), or the user's click (the string list then takes the focus).
    enum class ChoiceSender { Program, TextChanged, User };

    // Runs the open steps with the two files instead of asking for them (command line).
    void openWithFiles(const std::filesystem::path& rom, const std::filesystem::path& dataFile);

    [[nodiscard]] EditorSession& session() { return *session_; }
    [[nodiscard]] const EditorSession& session() const { return *session_; }
    // True while a long command lets events through; closing waits for it.
    [[nodiscard]] bool busy() const { return busy_; }
    // The live checks: room panel, string marks, Problems window and navigation.
    [[nodiscard]] LiveCheckWiring& liveChecks() const { return *live_; }
    // The client size recorded at start-up, used by the Window menu.
    [[nodiscard]] WindowSize defaultClientSize() const { return defaultClient_; }

    // Components and companion windows, by their designer names.
    VideoBox* Video = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* statusPanel0 = nullptr;
    QLabel* statusPanel1 = nullptr;
    QListWidget* ptrBox = nullptr;

    TextEditorWindow* TxtForm = nullptr;
    HexDataWindow* HexForm = nullptr;
    KanaTextWindow* KanaForm = nullptr;
    ListDataWindow* cmForm = nullptr;
    InsertProgressWindow* InsertForm = nullptr;
    KanaDumpWindow* viewKana = nullptr;

    QMenu* File1 = nullptr;
    QAction* OpenBinaryTextData1 = nullptr;
    QAction* LoadDataFile = nullptr;
    QAction* SaveTextFile1 = nullptr;
    QAction* SaveRomFile1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit1 = nullptr;
    QAction* Insert1 = nullptr;
    QAction* PATCHRomFile1 = nullptr;
    QAction* LoadTableFile1 = nullptr;
    QAction* InsertCOMPRESSIONintoROM1 = nullptr;
    QAction* FitHarderWhenOver1 = nullptr;
    QMenu* View1 = nullptr;
    QAction* DisplayTextEditor1 = nullptr;
    QAction* DTT = nullptr;
    QAction* ViewHexData1 = nullptr;
    QAction* DisplayKanaTextDump1 = nullptr;
    QAction* DecompresstoFiles1 = nullptr;
    QAction* HideCodes = nullptr;
    QAction* UseVWFRoutine1 = nullptr;
    QMenu* Program1 = nullptr;
    QAction* DumpMemory1 = nullptr;
    QAction* DumpKanatoafile1 = nullptr;
    QAction* ViewKanaDump1 = nullptr;
    QMenu* TextboxColor1 = nullptr;
    QAction* Blue1 = nullptr;
    QAction* Green1 = nullptr;
    QAction* Red1 = nullptr;
    QAction* Gradient1 = nullptr;
    QAction* Solid1 = nullptr;
    QAction* TEOnTop = nullptr;
    QMenu* Window1 = nullptr;
    QAction* DefaultWindowSize1 = nullptr;
    QAction* Zoominx21 = nullptr;

public slots:
    void OpenBinaryTextData1Click();
    void LoadDataFileClick();
    void SaveTextFile1Click();
    void SaveRomFile1Click();
    void Exit1Click();
    void Insert1Click();
    void PATCHRomFile1Click();
    void LoadTableFile1Click();
    void InsertCOMPRESSIONintoROM1Click();
    void FitHarderWhenOver1Click();
    void DisplayTextEditor1Click();
    void DTTClick();
    void ViewHexData1Click();
    void DisplayKanaTextDump1Click();
    void DecompresstoFiles1Click();
    void HideCodesClick();
    void UseVWFRoutine1Click();
    void DumpMemory1Click();
    void DumpKanatoafile1Click();
    void ViewKanaDump1Click();
    void Red1Click();
    void TEOnTopClick();
    void DefaultWindowSize1Click();
    void Zoominx21Click();

    void bListClick();
    void pListClick(ChoiceSender sender);

protected:
    void keyPressEvent(QKeyEvent* event) override;   // FormKeyDown
    void resizeEvent(QResizeEvent* event) override;  // FormResize
    void closeEvent(QCloseEvent* event) override;    // FormClose

private:
    void buildMenu();
    void createCompanions();
    void closeCompanions();
    void deleteCompanions();
    [[nodiscard]] QWidget* companion(script::EditorWindow window) const;
    void showStringNumber(unsigned index);
    void runBusy(const std::function<void()>& command);
    void applyDataFile(const std::optional<DataFileShown>& shown);
    void openSteps(RomOpenStep step, const std::function<std::optional<DataFileShown>()>& loadDataFile);
    void showWindow(QWidget* window);
    void syncChecks();
    void refreshBothViews();
    void placeCompanions(KanaTextPlace kana);
    void setClientSize(WindowSize client);
    void showString(const script::ResolvedString& resolved);
    [[nodiscard]] script::ScriptText& script();

    ui::Dialogs& dialogs_;
    std::unique_ptr<EditorSession> session_;
    std::unique_ptr<KeyDispatcher> dispatcher_;
    LiveCheckWiring* live_ = nullptr;  // a child of the window
    QActionGroup* colourGroup_ = nullptr;
    QActionGroup* styleGroup_ = nullptr;
    WindowSize defaultClient_;
    ShownString shownString_;
    QSize commandedSize_;  // the size the Window menu last asked for, until the window has it
    bool busy_ = false;
    bool closeRequested_ = false;
};

}  // namespace corv::editor
