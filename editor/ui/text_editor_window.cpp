#include "editor/ui/text_editor_window.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

#include "editor/ui/companion_window.h"
#include "editor/ui/script_memo.h"

namespace corv::editor {

TextEditorWindow::TextEditorWindow(QWidget* parent)
    : QWidget(parent), TDMemo(new ScriptMemo(this)), Memo1(new QPlainTextEdit(this)), script_(*TDMemo) {
    setObjectName(QStringLiteral("TxtForm"));
    setWindowTitle(QStringLiteral("Text Editor"));
    MakeToolWindow(this);
    SetOuterBounds(this, {337, 21}, {326, 326});

    TDMemo->setObjectName(QStringLiteral("TDMemo"));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(CourierFont(12));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TDMemo);
    layout->addWidget(Memo1);
    TDMemo->setFocus();

    connect(TDMemo, &QPlainTextEdit::textChanged, this, &TextEditorWindow::onTextChanged);
}

void TextEditorWindow::setStayOnTop(bool onTop) { SetStayOnTop(this, onTop); }

void TextEditorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const Caret before = caret();
    emit resized();
    putBack(before, false);
}

void TextEditorWindow::onTextChanged() {
    // The receivers may move the caret (the search does), never the text; a change made by one
    // of them must not start another round.
    if (reacting_) return;
    reacting_ = true;
    const Caret before = caret();
    emit scriptChanged();
    putBack(before, true);
    reacting_ = false;
}

TextEditorWindow::Caret TextEditorWindow::caret() const {
    const QTextCursor cursor = TDMemo->textCursor();
    return {cursor.anchor(), cursor.position(), TDMemo->horizontalScrollBar()->value(),
            TDMemo->verticalScrollBar()->value()};
}

void TextEditorWindow::putBack(const Caret& before, bool withView) {
    const int horizontal = withView ? before.horizontalScroll : TDMemo->horizontalScrollBar()->value();
    const int vertical = withView ? before.verticalScroll : TDMemo->verticalScrollBar()->value();
    const int last = TDMemo->document()->characterCount() - 1;
    QTextCursor cursor = TDMemo->textCursor();
    cursor.setPosition(std::clamp(before.anchor, 0, last));
    cursor.setPosition(std::clamp(before.position, 0, last), QTextCursor::KeepAnchor);
    TDMemo->setTextCursor(cursor);
    TDMemo->horizontalScrollBar()->setValue(horizontal);
    TDMemo->verticalScrollBar()->setValue(vertical);
}

}  // namespace corv::editor
