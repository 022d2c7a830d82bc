#include "editor/ui/script_memo.h"

#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>

#include "editor/ui/companion_window.h"
#include "editor/ui/latin1_text.h"

namespace corv::editor {

ScriptMemo::ScriptMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(CourierFont(12));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    // Reached by clicking, never by Tab.
    setFocusPolicy(Qt::ClickFocus);
}

void ScriptMemo::keyPressEvent(QKeyEvent* event) {
    const bool shiftDelete = event->key() == Qt::Key_Delete && event->modifiers().testFlag(Qt::ShiftModifier);
    const QString typed = event->text();
    const bool unstorable = std::any_of(typed.begin(), typed.end(), [](QChar c) { return !FitsScriptByte(c); });
    if (shiftDelete || unstorable) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ScriptMemo::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    const QString text = pasteFilter_ ? pasteFilter_(source->text()) : source->text();
    insertPlainText(KeepScriptCharacters(text));
}

}  // namespace corv::editor
