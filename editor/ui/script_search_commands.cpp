#include "editor/ui/script_search_commands.h"

#include <QAction>
#include <QMenu>
#include <QTextCursor>

#include "dialogs/dialogs.h"
#include "editor/logic/script_search.h"
#include "editor/ui/latin1_text.h"
#include "editor/ui/menu_items.h"
#include "editor/ui/script_memo.h"
#include "editor/ui/text_editor_window.h"

namespace corv::editor {
ScriptSearchCommands::ScriptSearchCommands(QMenu* editMenu, TextEditorWindow* editor, dialogs::Dialogs& dialogs,
                                           QObject* parent)
    : QObject(parent), editor_(editor), dialogs_(dialogs) {
    items_.findText =
        AddMenuItem(editMenu, "FindText1", QStringLiteral("Find in Script..."), QStringLiteral("Ctrl+Shift+F"));
    items_.findNext = AddMenuItem(editMenu, "FindNext1", QStringLiteral("Find Next"), QStringLiteral("F6"));
    items_.replaceText =
        AddMenuItem(editMenu, "ReplaceText1", QStringLiteral("Replace in Script..."), QStringLiteral("Ctrl+Shift+H"));
    items_.replaceNext = AddMenuItem(editMenu, "ReplaceNext1", QStringLiteral("Replace"), QStringLiteral("F7"));
    items_.replaceAll = AddMenuItem(editMenu, "ReplaceAll1", QStringLiteral("Replace All"), QStringLiteral("Shift+F7"));

    connect(items_.findText, &QAction::triggered, this, [this] {
        if (askFind()) selectNext();
    });
    connect(items_.findNext, &QAction::triggered, this, [this] {
        if (!findText_.empty() || askFind()) selectNext();
    });
    connect(items_.replaceText, &QAction::triggered, this, [this] {
        if (askFind() && askReplacement()) selectNext();
    });
    connect(items_.replaceNext, &QAction::triggered, this, &ScriptSearchCommands::replaceNext);
    connect(items_.replaceAll, &QAction::triggered, this, &ScriptSearchCommands::replaceAll);
}

bool ScriptSearchCommands::askFind() {
    const auto answer = dialogs_.askText("Find in Script", "Find:");
    if (!answer || answer->empty()) return false;
    findText_ = *answer;
    findBytes_ = AnswerToScriptBytes(*answer);
    return true;
}

bool ScriptSearchCommands::askReplacement() {
    // An empty replacement deletes the matches.
    const auto answer = dialogs_.askText("Replace in Script", "Replace \"" + findText_ + "\" with:");
    if (!answer) return false;
    // A character no script byte can hold is left out, as when it is typed or pasted.
    const QString kept = KeepScriptCharacters(QString::fromUtf8(answer->data(), qsizetype(answer->size())));
    replacement_ = EditorTextToBytes(kept);
    replacementGiven_ = true;
    return true;
}

void ScriptSearchCommands::notFound() { dialogs_.message(NotFoundMessage(findText_)); }

bool ScriptSearchCommands::selectNext() {
    ScriptMemo& memo = editor_->memo();
    const std::string text = editor_->script().text();
    const auto match =
        findBytes_ ? FindIgnoringCase(text, *findBytes_, size_t(memo.textCursor().selectionEnd())) : std::nullopt;
    if (!match) {
        notFound();
        return false;
    }
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(int(match->start));
    cursor.setPosition(int(match->start + match->length), QTextCursor::KeepAnchor);
    memo.setTextCursor(cursor);
    editor_->show();
    editor_->activateWindow();
    memo.setFocus();
    memo.ensureCursorVisible();
    return true;
}

void ScriptSearchCommands::replaceNext() {
    if ((findText_.empty() || !replacementGiven_) && !(askFind() && askReplacement())) return;
    ScriptMemo& memo = editor_->memo();
    QTextCursor cursor = memo.textCursor();
    // Only the match the caret holds is replaced; otherwise the next match is shown first.
    if (findBytes_ && SameIgnoringCase(EditorTextToBytes(cursor.selectedText()), *findBytes_)) {
        cursor.insertText(BytesToEditorText(replacement_));
        memo.setTextCursor(cursor);
    }
    selectNext();
}

void ScriptSearchCommands::replaceAll() {
    if ((findText_.empty() || !replacementGiven_) && !(askFind() && askReplacement())) return;
    const std::string text = editor_->script().text();
    const ReplacedStretch stretch =
        findBytes_ ? ReplaceAllIgnoringCase(text, *findBytes_, replacement_) : ReplacedStretch{};
    if (stretch.count == 0) {
        notFound();
        return;
    }
    ScriptMemo& memo = editor_->memo();
    const int caret = memo.textCursor().position();
    // One edit from the first match to the last: one change, one undo step.
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(int(stretch.start));
    cursor.setPosition(int(stretch.start + stretch.length), QTextCursor::KeepAnchor);
    cursor.insertText(BytesToEditorText(stretch.replacement));
    cursor.setPosition(int(CaretAfterReplace(size_t(caret), stretch)));
    memo.setTextCursor(cursor);
    dialogs_.message(ReplacedMessage(stretch.count, findText_));
}

}  // namespace corv::editor
