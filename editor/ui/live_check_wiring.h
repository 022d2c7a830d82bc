#pragma once
// The live checks in the editor's windows: the room and progress panels under the Text Editor, the
// marks of List Data's strings, the Problems window, the Edit menu's navigation items, and the
// insertion's room line. It follows the main window's block choice, every change of the script
// text, the table load, the VWF and Fit Harder switches, the insertion and the script save.
// Everything runs on the user-interface thread: a key's checks take well under a millisecond.

#include <QObject>

#include <vector>

#include "editor/logic/live_checks.h"

class QAction;
class QLabel;
class QMenu;

namespace corv::dialogs {
class Dialogs;
}

namespace corv::editor {

class InsertProgressWindow;
class ListDataWindow;
class LiveCheckPanels;
class OverflowMarks;
class MainWindow;
class ProblemsWindow;
class ScriptSearchCommands;
class TextEditorWindow;
class VideoBox;

// The parts of the main window the live checks follow and add to.
struct LiveCheckParts {
    QLabel* linePanel = nullptr;    // the status bar's second panel, whose font the live panels share
    VideoBox* video = nullptr;      // the preview, on which the overflow marks lie
    QMenu* editMenu = nullptr;      // gets the navigation and find items
    QMenu* viewMenu = nullptr;      // gets Problems and Mark Overflow
    ListDataWindow* listData = nullptr;
    TextEditorWindow* textEditor = nullptr;
    InsertProgressWindow* insertProgress = nullptr;
    // Commands after which the block is checked again: what the checks depend on besides the
    // script text (the ROM's bytes and place, the table, VWF, Fit Harder When Over).
    std::vector<QAction*> changeTheChecks;
    QAction* saveText = nullptr;
};

class LiveCheckWiring final : public QObject {
    Q_OBJECT
public:
    // Adds the panels, the menu items and the Problems window to `window`'s `parts`; `dialogs`
    // must outlive it.
    LiveCheckWiring(MainWindow& window, const LiveCheckParts& parts, dialogs::Dialogs& dialogs);
    ~LiveCheckWiring() override;

    // A block was chosen (or what its checks depend on changed): check it all again.
    void blockChosen();
    // The script text changed: check what the change touched.
    void scriptChanged();
    // View > Problems: shows the Problems window, the first time beside the Text Editor, later
    // where the user left it (also when a project that kept it open is opened again).
    void showProblems();
    // An insertion of the current block ran (not a project's build): its log gets the room line
    // before its outcome, and the block as it now stands is checked again.
    void insertionRan();

    [[nodiscard]] const LiveChecks& checks() const { return checks_; }
    [[nodiscard]] LiveCheckPanels* panels() const { return panels_; }
    [[nodiscard]] ProblemsWindow* problems() const { return problems_; }
    [[nodiscard]] OverflowMarks* overflowMarks() const { return marks_; }
    // The items that read the block or change the script: while an insertion rewrites the one
    // and reads the other they must wait.
    [[nodiscard]] std::vector<QAction*> readingTheBlock() const;

    QAction* NextUntranslated = nullptr;
    QAction* PreviousUntranslated = nullptr;
    QAction* NextProblem = nullptr;
    QAction* GoToString = nullptr;
    QAction* ShowProblems = nullptr;
    QAction* MarkOverflow = nullptr;

private:
    void addMenuItems();
    void show(bool everything);
    void chooseString(unsigned number);
    void goToString();

    MainWindow& window_;
    LiveCheckParts parts_;
    dialogs::Dialogs& dialogs_;
    LiveChecks checks_;
    LiveCheckPanels* panels_ = nullptr;
    ProblemsWindow* problems_ = nullptr;
    OverflowMarks* marks_ = nullptr;
    ScriptSearchCommands* search_ = nullptr;
    bool problemsPlaced_ = false;  // the Problems window was placed at its first show
    bool logged_ = false;  // the insertion wrote its log: it ran
};

}  // namespace corv::editor
