#pragma once
// The live checks in the editor's windows: the room and progress panels under the Text Editor, the
// marks of List Data's strings, the Problems window, the Edit menu's navigation items, and the
// insertion's room line. The main window tells it, in the order its own work needs, of the block
// choice, every change of the script text, the commands the checks depend on (the ROM, the table,
// the VWF and Fit Harder switches), the insertion and the script save.
// Everything runs on the user-interface thread: a key's checks take well under a millisecond.

#include <QObject>

#include <functional>
#include <vector>

#include "editor/logic/live_checks.h"
#include "editor/logic/outcome_last_log.h"

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace corv::dialogs {
class Dialogs;
}

namespace corv::editor {

class EditorSession;
class InsertProgressWindow;
class ListDataWindow;
class LiveCheckPanels;
class OverflowMarks;
class ProblemsWindow;
class ScriptSearchCommands;
class TextEditorWindow;
class VideoBox;

// The parts of the main window the live checks follow and add to, and what they ask of it.
struct LiveCheckParts {
    QWidget* window = nullptr;      // the main window: the Problems window's parent
    QLabel* linePanel = nullptr;    // the status bar's second panel, whose font the live panels share
    VideoBox* video = nullptr;      // the preview, on which the overflow marks lie
    QMenu* editMenu = nullptr;      // gets the navigation and find items
    QMenu* viewMenu = nullptr;      // gets Problems and Mark Overflow
    ListDataWindow* listData = nullptr;
    TextEditorWindow* textEditor = nullptr;
    InsertProgressWindow* insertProgress = nullptr;
    // True while a long command lets events through: a string chosen in the Problems window waits.
    std::function<bool()> busy;
    // Draws the string selected in List Data, as the user's choice.
    std::function<void()> chooseString;
};

class LiveCheckWiring final : public QObject {
    Q_OBJECT
public:
    // Adds the panels, the menu items and the Problems window to the main window's `parts`; the
    // checks open the current block of `session`. `session` and `dialogs` must outlive it.
    LiveCheckWiring(const EditorSession& session, const LiveCheckParts& parts, dialogs::Dialogs& dialogs,
                    QObject* parent);
    ~LiveCheckWiring() override;

    // A block was chosen (or what its checks depend on changed: the ROM's bytes and place, the
    // table, VWF, Fit Harder When Over): check it all again.
    void blockChosen();
    // The script text changed: check what the change touched.
    void scriptChanged();
    // Save Text File ran: a script now as it is on disk is where "grew most" counts from.
    void scriptSaved();
    // View > Problems: shows the Problems window, the first time beside the Text Editor, later
    // where the user left it (also when a project that kept it open is opened again).
    void showProblems();
    // An insertion of the current block ran (not a project's build) and left `log`: when it wrote
    // one, the log gets the room line before its outcome, and the block as it now stands is checked
    // again.
    void insertionRan(const InsertionLog& log);

    [[nodiscard]] const LiveChecks& checks() const { return checks_; }
    [[nodiscard]] LiveCheckPanels* panels() const { return panels_; }
    [[nodiscard]] ProblemsWindow* problems() const { return problems_; }
    [[nodiscard]] OverflowMarks* overflowMarks() const { return marks_; }
    // The items that read the block or change the script: while an insertion rewrites the one
    // and reads the other they must wait.
    [[nodiscard]] std::vector<QAction*> readingTheBlock() const;
    // View > Mark Overflow, which a project's [editor] table keeps.
    [[nodiscard]] bool marksOverflow() const;
    void setMarkOverflow(bool on);

private:
    // The menu items, each created with its objectName (in the comment), by which the tests find it.
    struct Items {
        QAction* nextUntranslated = nullptr;      // NextUntranslated1
        QAction* previousUntranslated = nullptr;  // PreviousUntranslated1
        QAction* nextProblem = nullptr;           // NextProblem1
        QAction* goToString = nullptr;            // GoToString1
        QAction* showProblems = nullptr;          // ShowProblems1
        QAction* markOverflow = nullptr;          // MarkOverflow1
    };

    void addMenuItems();
    void show(bool everything);
    void chooseString(unsigned number);
    void goToString();
    // Takes the empty line that string `number`'s entry ends with out of the script, one undo step.
    void removeEmptyLine(unsigned number);

    const EditorSession& session_;
    LiveCheckParts parts_;
    Items items_;
    dialogs::Dialogs& dialogs_;
    LiveChecks checks_;
    LiveCheckPanels* panels_ = nullptr;
    ProblemsWindow* problems_ = nullptr;
    OverflowMarks* marks_ = nullptr;
    ScriptSearchCommands* search_ = nullptr;
    bool problemsPlaced_ = false;  // the Problems window was placed at its first show
};

}  // namespace corv::editor
