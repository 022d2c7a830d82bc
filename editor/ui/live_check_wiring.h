#pragma once
// The live checks in the editor's windows: the room and progress panels of the status bar, the
// marks of List Data's strings, the Problems window, the Edit menu's navigation items, and the
// insertion's room line. It follows the main window's block choice, every change of the script
// text, the table load, the VWF and Fit Harder switches, the insertion and the script save.
// Everything runs on the user-interface thread: a key's checks take well under a millisecond.

#include <QObject>

#include "editor/logic/live_checks.h"

class QAction;

namespace corv::ui {
class Dialogs;
}

namespace corv::editor {

class LiveCheckPanels;
class OverflowMarks;
class MainWindow;
class ProblemsWindow;

class LiveCheckWiring final : public QObject {
    Q_OBJECT
public:
    // Adds the panels, the menu items and the Problems window to `window`; `dialogs` must outlive it.
    LiveCheckWiring(MainWindow& window, ui::Dialogs& dialogs);
    ~LiveCheckWiring() override;

    // A block was chosen (or what its checks depend on changed): check it all again.
    void blockChosen();
    // The script text changed: check what the change touched.
    void scriptChanged();

    [[nodiscard]] const LiveChecks& checks() const { return checks_; }
    [[nodiscard]] LiveCheckPanels* panels() const { return panels_; }
    [[nodiscard]] ProblemsWindow* problems() const { return problems_; }
    [[nodiscard]] OverflowMarks* overflowMarks() const { return marks_; }

    QAction* NextUntranslated = nullptr;
    QAction* PreviousUntranslated = nullptr;
    QAction* NextProblem = nullptr;
    QAction* GoToString = nullptr;
    QAction* FindText = nullptr;
    QAction* FindNext = nullptr;
    QAction* ShowProblems = nullptr;
    QAction* MarkOverflow = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addMenuItems();
    void fitPanels();
    void show(bool everything);
    void chooseString(unsigned number);
    void goToString();
    void find(bool askFirst);
    void insertionRan();

    MainWindow& window_;
    ui::Dialogs& dialogs_;
    LiveChecks checks_;
    LiveCheckPanels* panels_ = nullptr;
    ProblemsWindow* problems_ = nullptr;
    OverflowMarks* marks_ = nullptr;
    std::string findText_;
    bool logged_ = false;  // the insertion wrote its log: it ran
};

}  // namespace corv::editor
