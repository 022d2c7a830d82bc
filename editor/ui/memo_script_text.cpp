#include "editor/ui/memo_script_text.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

#include "editor/ui/latin1_text.h"

namespace corv::editor {

MemoScriptText::MemoScriptText(QPlainTextEdit& memo) : memo_(memo) {
    QObject::connect(&memo_, &QPlainTextEdit::textChanged, &memo_, [this] { textCache_.reset(); });
}

int MemoScriptText::lineCount() const { return memo_.document()->blockCount(); }

std::string MemoScriptText::line(int index) const {
    if (index < 0 || index >= lineCount()) return {};
    return EditorTextToBytes(memo_.document()->findBlockByNumber(index).text());
}

std::string MemoScriptText::text() const {
    // The raw text: toPlainText() would turn no-break spaces (byte 0xA0) into blanks.
    if (!textCache_) textCache_ = EditorTextToBytes(memo_.document()->toRawText());
    return *textCache_;
}

void MemoScriptText::setText(std::string_view text) {
    // A load is no edit: the widget's change signals stay quiet, so the string choice is not
    // rerun halfway through choosing a block.
    const QSignalBlocker quiet(&memo_);
    const bool wasModified = modified();
    textCache_.reset();
    memo_.setPlainText(BytesToEditorText(text));
    setModified(wasModified);
}

size_t MemoScriptText::selectionStart() const { return static_cast<size_t>(memo_.textCursor().selectionStart()); }

size_t MemoScriptText::selectionLength() const {
    const QTextCursor cursor = memo_.textCursor();
    return static_cast<size_t>(cursor.selectionEnd() - cursor.selectionStart());
}

void MemoScriptText::setCaret(size_t position) {
    // Setting the cursor scrolls it into view; the search decides about the view on its own.
    const int horizontal = memo_.horizontalScrollBar()->value();
    const int vertical = memo_.verticalScrollBar()->value();
    QTextCursor cursor = memo_.textCursor();
    cursor.setPosition(static_cast<int>(std::min(position, static_cast<size_t>(lastPosition()))));
    memo_.setTextCursor(cursor);
    memo_.horizontalScrollBar()->setValue(horizontal);
    memo_.verticalScrollBar()->setValue(vertical);
}

int MemoScriptText::lineOfPosition(size_t position) const {
    const int clamped = static_cast<int>(std::min(position, static_cast<size_t>(lastPosition())));
    return memo_.document()->findBlock(clamped).blockNumber();
}

// Without line wrapping every line is one step of the vertical scroll bar.
int MemoScriptText::firstVisibleLine() const { return memo_.verticalScrollBar()->value(); }

void MemoScriptText::scrollLines(int delta) {
    QScrollBar* bar = memo_.verticalScrollBar();
    bar->setValue(bar->value() + delta);
}

bool MemoScriptText::modified() const { return memo_.document()->isModified(); }

void MemoScriptText::setModified(bool modified) { memo_.document()->setModified(modified); }

// The document counts one more character than its text: the end of the last paragraph.
int MemoScriptText::lastPosition() const { return memo_.document()->characterCount() - 1; }

}  // namespace corv::editor
