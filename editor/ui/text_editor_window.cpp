#include "editor/ui/text_editor_window.h"

#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

#include "editor/ui/companion_window.h"
#include "editor/ui/script_memo.h"
#include "project/editor_table.h"

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
    scriptEditor_->viewport()->installEventFilter(this);
}

int TextEditorWindow::fontSize() const { return scriptEditor_->font().pixelSize(); }

void TextEditorWindow::setFontSize(int pixels) {
    QFont font = scriptEditor_->font();
    font.setPixelSize(std::clamp(pixels, project::kMinEditorFontSize, project::kMaxEditorFontSize));
    scriptEditor_->setFont(font);
}

bool TextEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers().testFlag(Qt::ControlModifier) && wheel->angleDelta().y() != 0) {
            setFontSize(fontSize() + (wheel->angleDelta().y() > 0 ? 1 : -1));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TextEditorWindow::setStayOnTop(bool onTop) { SetStayOnTop(this, onTop); }

void TextEditorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

void TextEditorWindow::onTextChanged() {
    // Only typed()'s receivers change the text; that change, or one by another receiver, must not
    // start another round.
    if (reacting_) return;
    reacting_ = true;
    emit typed();
    emit scriptChanged();
    reacting_ = false;
}

}  // namespace corv::editor
