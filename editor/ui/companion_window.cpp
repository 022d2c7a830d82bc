#include "editor/ui/companion_window.h"

#include <QWidget>

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
