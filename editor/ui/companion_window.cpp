#include "editor/ui/companion_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "editor/logic/window_frame.h"

namespace corv::editor {

QFont CourierFont(int pixelSize) {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

void MakeToolWindow(QWidget* window) {
    window->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

namespace {

// Watches a window's frame and adjusts its client size whenever the frame the window system
// reports differs from the one already allowed for.
class OuterSizeKeeper final : public QObject {
public:
    explicit OuterSizeKeeper(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == window_ && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)) {
            fitFrame();
        }
        return false;
    }

private:
    void fitFrame() {
        // A hidden window, or one the window manager has not framed yet (also the case while
        // its flags change and it is recreated), reports no frame; that says nothing new.
        if (!window_->isVisible()) return;
        const QRect outer = window_->frameGeometry();
        const QRect client = window_->geometry();
        const FrameExtents frame{client.left() - outer.left(), client.top() - outer.top(),
                                 outer.right() - client.right(), outer.bottom() - client.bottom()};
        if (frame == FrameExtents{} || frame == allowedFor_) return;
        const WindowSize size = ClientSizeForFrame({client.width(), client.height()}, allowedFor_, frame);
        allowedFor_ = frame;
        window_->resize(size.width, size.height);
    }

    QWidget* window_;
    FrameExtents allowedFor_;
};

}  // namespace

void SetOuterBounds(QWidget* window, QPoint position, QSize outer) {
    window->move(position);
    window->resize(outer);
    new OuterSizeKeeper(window);
}

void SetOuterSizeCentred(QWidget* window, QSize outer) {
    QRect bounds(QPoint(0, 0), outer);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) bounds.moveCenter(screen->geometry().center());
    SetOuterBounds(window, bounds.topLeft(), outer);
}

void SetStayOnTop(QWidget* window, bool onTop) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    const bool wasVisible = window->isVisible();
    const QPoint position = window->pos();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) {
        window->move(position);
        window->show();
    }
}

FixedRowDelegate::FixedRowDelegate(int rowHeight, QObject* parent)
    : QStyledItemDelegate(parent), rowHeight_(rowHeight) {}

QSize FixedRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(rowHeight_);
    return size;
}

}  // namespace corv::editor
