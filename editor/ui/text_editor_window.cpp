#include "editor/ui/text_editor_window.h"

#include <QVBoxLayout>

#include "editor/ui/companion_window.h"
#include "editor/ui/script_memo.h"

namespace corv::editor {

TextEditorWindow::TextEditorWindow(QWidget* parent)
    : QWidget(parent),
      scriptEditor_(new ScriptMemo(this)),
      scratchEditor_(new QPlainTextEdit(this)),
      script_(*scriptEditor_) {
    setObjectName(QStringLiteral("TxtForm"));
    setWindowTitle(QStringLiteral("Text Editor"));
    MakeToolWindow(this);
    SetOuterBounds(this, {337, 21}, {326, 326});

    scriptEditor_->setObjectName(QStringLiteral("TDMemo"));
    scratchEditor_->setObjectName(QStringLiteral("Memo1"));
    scratchEditor_->setFont(CourierFont(12));
    scratchEditor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    scratchEditor_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scriptEditor_);
    layout->addWidget(scratchEditor_);
    scriptEditor_->setFocus();

    connect(scriptEditor_, &QPlainTextEdit::textChanged, this, &TextEditorWindow::onTextChanged);
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
