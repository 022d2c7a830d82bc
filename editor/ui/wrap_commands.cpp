#include "editor/ui/wrap_commands.h"

#include <QAction>
#include <QMenu>
#include <QTextCursor>

#include "editor/logic/entry_wrap.h"
#include "editor/ui/latin1_text.h"
#include "editor/ui/menu_items.h"
#include "editor/ui/script_memo.h"
#include "editor/ui/text_editor_window.h"

namespace corv::editor {

WrapCommands::WrapCommands(QMenu* editMenu, QMenu* viewMenu, TextEditorWindow* editor, WrapperSource wrapper,
                           QObject* parent)
    : QObject(parent), editor_(editor), wrapper_(std::move(wrapper)) {
    editMenu->addSeparator()->setObjectName(QStringLiteral("N10"));
    items_.wrapString = AddMenuItem(editMenu, "WrapString1", QStringLiteral("Wrap String to Box"), QStringLiteral("F8"));
    items_.wrapBlock =
        AddMenuItem(editMenu, "WrapBlock1", QStringLiteral("Wrap Block to Box"), QStringLiteral("Shift+F8"));
    items_.wrapWhileTyping = viewMenu->addAction(QStringLiteral("Wrap While Typing"));
    items_.wrapWhileTyping->setObjectName(QStringLiteral("WrapWhileTyping1"));
    items_.wrapWhileTyping->setCheckable(true);
    connect(items_.wrapString, &QAction::triggered, this, &WrapCommands::wrapString);
    connect(items_.wrapBlock, &QAction::triggered, this, &WrapCommands::wrapBlock);
    connect(editor_, &TextEditorWindow::typed, this, &WrapCommands::typed);
}

bool WrapCommands::wrapsWhileTyping() const { return items_.wrapWhileTyping->isChecked(); }

void WrapCommands::setWrapWhileTyping(bool on) { items_.wrapWhileTyping->setChecked(on); }

void WrapCommands::wrapString() {
    const int caret = editor_->memo().textCursor().position();
    check::BoxWrapper wrapper = wrapper_();
    apply(WrapEntryEdit(editor_->script().text(), size_t(caret), size_t(caret), wrapper), false);
}

void WrapCommands::wrapBlock() {
    const int caret = editor_->memo().textCursor().position();
    check::BoxWrapper wrapper = wrapper_();
    apply(WrapBlockEdit(editor_->script().text(), size_t(caret), wrapper), false);
}

void WrapCommands::typed() {
    if (!wrapsWhileTyping()) return;
    const int caret = editor_->memo().textCursor().position();
    check::BoxWrapper wrapper = wrapper_();
    apply(WrapEntryEdit(editor_->script().text(), size_t(caret), size_t(caret), wrapper), true);
}

void WrapCommands::apply(const std::optional<WrapEdit>& edit, bool joinPrevious) {
    if (!edit) return;
    ScriptMemo& memo = editor_->memo();
    QTextCursor cursor = memo.textCursor();
    if (joinPrevious) {
        cursor.joinPreviousEditBlock();
    } else {
        cursor.beginEditBlock();
    }
    cursor.setPosition(int(edit->start));
    cursor.setPosition(int(edit->start + edit->length), QTextCursor::KeepAnchor);
    cursor.insertText(BytesToEditorText(edit->replacement));
    cursor.endEditBlock();
    cursor.setPosition(int(edit->caret));
    memo.setTextCursor(cursor);
}

}  // namespace corv::editor
