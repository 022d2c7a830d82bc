#include "editor/ui/text_editor_window.h"

#include <QVBoxLayout>

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
    emit resized();
}

void TextEditorWindow::onTextChanged() {
    // The receivers never change the text; should one of them, that change must not start
    // another round.
    if (reacting_) return;
    reacting_ = true;
    emit scriptChanged();
    reacting_ = false;
}

}  // namespace corv::editor
