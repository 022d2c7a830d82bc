#include "editor/ui/live_check_wiring.h"

#include <QAction>
#include <QLayout>
#include <QLabel>
#include <QMenu>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"
#include "editor/logic/live_texts.h"
#include "editor/logic/session_live_checks.h"
#include "editor/logic/string_index.h"
#include "preview/preview_screen.h"
#include "editor/logic/work_navigation.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/list_data_window.h"
#include "editor/ui/live_check_panels.h"
#include "editor/logic/box_overflow.h"
#include "editor/logic/editor_session.h"
#include "editor/ui/menu_items.h"
#include "editor/ui/overflow_marks.h"
#include "editor/ui/video_box.h"
#include "editor/ui/problems_window.h"
#include "editor/ui/script_memo.h"
#include "editor/ui/script_search_commands.h"
#include "editor/ui/string_marks.h"
#include "editor/ui/text_editor_window.h"

namespace corv::editor {
LiveCheckWiring::LiveCheckWiring(const EditorSession& session, const LiveCheckParts& parts, dialogs::Dialogs& dialogs,
                                 QObject* parent)
    : QObject(parent), session_(session), parts_(parts), dialogs_(dialogs) {
    // Under the Text Editor's text, where the translator types: the main window's status bar has
    // no width to spare at its fixed size, and the window may not grow over the preview's pixels.
    panels_ = new LiveCheckPanels(parts_.linePanel->font(), parts_.textEditor);
    parts_.textEditor->layout()->addWidget(panels_);

    OverflowMarks::Source source;
    source.rows = [this]() -> std::vector<MarkedRow> {
        const auto chosen = parts_.listData->selectedString();
        const LiveString* string = chosen && checks_.isOpen() ? checks_.string(unsigned(*chosen)) : nullptr;
        if (string == nullptr) return {};
        return MarkedRows(checks_.entryLines(string->number), *string, checks_.box(), checks_.characters(),
                          !session_.settings().hideCodes);
    };
    source.scrollOffset = [this] { return session_.screen().asciiLayer().scrollOffset(); };
    source.screenSize = [this] {
        const preview::PreviewScreen& screen = session_.screen();
        return session_.romLoaded() ? QSize(int(screen.width()), int(screen.height())) : QSize();
    };
    marks_ = new OverflowMarks(parts_.video, std::move(source));

    problems_ = new ProblemsWindow(parts_.window);
    problems_->setWindowFlag(Qt::Window);
    addMenuItems();
    connect(problems_, &ProblemsWindow::stringChosen, this, &LiveCheckWiring::chooseString);
    connect(problems_, &ProblemsWindow::removeEmptyLineAsked, this, &LiveCheckWiring::removeEmptyLine);
}

LiveCheckWiring::~LiveCheckWiring() = default;

void LiveCheckWiring::addMenuItems() {
    QMenu* edit = parts_.editMenu;
    edit->addSeparator()->setObjectName(QStringLiteral("N9"));
    items_.nextUntranslated = AddMenuItem(edit, "NextUntranslated1", QStringLiteral("Next Untranslated String"),
        QStringLiteral("F3"));
    items_.previousUntranslated =
        AddMenuItem(edit, "PreviousUntranslated1", QStringLiteral("Previous Untranslated String"),
            QStringLiteral("Shift+F3"));
    items_.nextProblem = AddMenuItem(edit, "NextProblem1", QStringLiteral("Next Problem"), QStringLiteral("F4"));
    items_.goToString = AddMenuItem(edit, "GoToString1", QStringLiteral("Go to String..."), QStringLiteral("Ctrl+G"));
    search_ = new ScriptSearchCommands(edit, parts_.textEditor, dialogs_, this);
    items_.showProblems =
        AddMenuItem(parts_.viewMenu, "ShowProblems1", QStringLiteral("Problems"), QStringLiteral("Ctrl+E"));
    items_.markOverflow = parts_.viewMenu->addAction(QStringLiteral("Mark Overflow"));
    items_.markOverflow->setObjectName(QStringLiteral("MarkOverflow1"));
    items_.markOverflow->setCheckable(true);
    items_.markOverflow->setChecked(true);
    connect(items_.markOverflow, &QAction::toggled, marks_, &QWidget::setVisible);

    const auto current = [this] { return parts_.listData->selectedString().value_or(-1); };
    connect(items_.nextUntranslated, &QAction::triggered, this, [this, current] {
        if (const auto n = NextUntranslated(checks_, current())) chooseString(*n);
    });
    connect(items_.previousUntranslated, &QAction::triggered, this, [this, current] {
        if (const auto n = PreviousUntranslated(checks_, current())) chooseString(*n);
    });
    connect(items_.nextProblem, &QAction::triggered, this, [this, current] {
        if (const auto n = NextProblem(checks_, current())) chooseString(*n);
    });
    connect(items_.goToString, &QAction::triggered, this, &LiveCheckWiring::goToString);
    connect(items_.showProblems, &QAction::triggered, this, &LiveCheckWiring::showProblems);
}

void LiveCheckWiring::showProblems() {
    // First shown beside the Text Editor, not over the main window; then where it was left.
    if (!problems_->isVisible() && !problemsPlaced_) {
        const QRect editor = parts_.textEditor->frameGeometry();
        problems_->move(editor.right() + 3, editor.top());
        problemsPlaced_ = true;
    }
    problems_->show();
    problems_->raise();
    problems_->activateWindow();
}

std::vector<QAction*> LiveCheckWiring::readingTheBlock() const {
    std::vector<QAction*> items{items_.nextUntranslated, items_.previousUntranslated, items_.nextProblem,
                                items_.goToString};
    for (QAction* item : search_->changingTheScript()) items.push_back(item);
    return items;
}

bool LiveCheckWiring::marksOverflow() const { return items_.markOverflow->isChecked(); }

void LiveCheckWiring::setMarkOverflow(bool on) { items_.markOverflow->setChecked(on); }

void LiveCheckWiring::blockChosen() {
    OpenLiveChecks(checks_, session_, parts_.textEditor->script().text());
    show(true);
}

void LiveCheckWiring::scriptChanged() {
    if (checks_.update(parts_.textEditor->script().text())) show(false);
}

void LiveCheckWiring::scriptSaved() {
    if (!parts_.textEditor->script().modified()) checks_.markBaseline();
}

void LiveCheckWiring::show(bool everything) {
    panels_->showChecks(checks_);
    marks_->refresh();
    if (everything) {
        parts_.listData->markStrings(checks_);
    } else {
        parts_.listData->markChangedStrings(checks_);
    }
    // Most keys change the figures only; the findings, and so the Problems list, stay.
    if (everything || !checks_.changedStrings().empty()) problems_->showRows(ProblemRows(checks_));
}

void LiveCheckWiring::chooseString(unsigned number) {
    if (parts_.busy()) return;
    parts_.listData->selectString(int(number));
    parts_.chooseString();
    TextEditorWindow* editor = parts_.textEditor;
    editor->show();
    editor->raise();
    editor->activateWindow();
    editor->memo().setFocus();
    editor->memo().ensureCursorVisible();
}

void LiveCheckWiring::goToString() {
    const unsigned count = session_.index().stringCount();
    if (!checks_.isOpen() || count == 0) return;
    const auto answer = dialogs_.askText("Go to String", "String number (0 to " + std::to_string(count - 1) + "):");
    if (!answer) return;
    if (const auto number = ParseStringNumber(*answer, count)) {
        chooseString(*number);
    } else {
        dialogs_.message("There is no string " + *answer + " in this block.");
    }
}

void LiveCheckWiring::removeEmptyLine(unsigned number) {
    const std::optional<ScriptCut> cut = TrailingEmptyLineCut(checks_, parts_.textEditor->script().text(), number);
    if (!cut) return;
    ScriptMemo& memo = parts_.textEditor->memo();
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(int(cut->start));
    cursor.setPosition(int(cut->start + cut->length), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();  // one step of the memo's undo
    memo.setTextCursor(cursor);
}

void LiveCheckWiring::insertionRan(const InsertionLog& log) {
    if (!log.written) return;
    // The text the insertion read (a program's setText sends no change signal).
    if (checks_.update(parts_.textEditor->script().text())) show(false);
    // The figures of the script the insertion just took; then the block as it now stands.
    // The room line goes just before the outcome, which ends the log between its two rules.
    InsertProgressWindow* window = parts_.insertProgress;
    window->insertLogLine(std::max(0, window->logLineCount() - int(log.outcomeLines)), InsertionRoomLine(checks_));
    blockChosen();
}

}  // namespace corv::editor
