#include "editor/ui/video_box.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "editor/logic/editor_session.h"

namespace corv::editor {

namespace {

// The screen bitmap as a 5-6-5 image, without a copy: it lives as long as the session.
QImage ScreenImage(const preview::PreviewScreen& screen) {
    return QImage(reinterpret_cast<const uchar*>(screen.bits()), static_cast<int>(screen.width()),
                  static_cast<int>(screen.height()),
                  static_cast<qsizetype>(screen.pitch() * sizeof(preview::Pixel)), QImage::Format_RGB16);
}

}  // namespace

VideoBox::VideoBox(const EditorSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("Video"));
    setFocusPolicy(Qt::NoFocus);
    // The window's background is black: without a ROM nothing else is painted here.
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

QImage VideoBox::picture() const {
    QImage image(size(), QImage::Format_RGB16);
    image.fill(Qt::black);
    if (session_.romLoaded()) {
        QPainter painter(&image);
        painter.drawImage(rect(), ScreenImage(session_.screen()));
    }
    return image;
}

void VideoBox::showScreenChanges() {
    if (!session_.romLoaded()) {
        shown_.clear();
        return update();
    }
    const preview::PreviewScreen& screen = session_.screen();
    const auto width = static_cast<int>(screen.width());
    const auto height = static_cast<int>(screen.height());
    const auto pitch = static_cast<size_t>(screen.pitch());
    const size_t pixels = pitch * static_cast<size_t>(height);
    const preview::Pixel* bits = screen.bits();
    if (shown_.size() != pixels || shownWidth_ != width) {
        rememberShown();
        return update();
    }
    int first = height;
    int last = 0;
    for (int row = 0; row < height; ++row) {
        const size_t start = static_cast<size_t>(row) * pitch;
        if (!std::equal(bits + start, bits + start + pitch, shown_.begin() + static_cast<std::ptrdiff_t>(start))) {
            first = std::min(first, row);
            last = row + 1;
        }
    }
    if (first >= last) return;
    rememberShown();
    update(rowsRect(first, last));
}

void VideoBox::rememberShown() {
    const preview::PreviewScreen& screen = session_.screen();
    shown_.assign(screen.bits(), screen.bits() + static_cast<size_t>(screen.pitch()) * screen.height());
    shownWidth_ = static_cast<int>(screen.width());
}

QRect VideoBox::rowsRect(int first, int last) const {
    const int rows = std::max(1, static_cast<int>(session_.screen().height()));
    // One row more on each side: a stretched row may cover a part of the box's next pixel row.
    const int top = std::max(0, (first - 1) * height() / rows);
    const int bottom = std::min(height(), ((last + 1) * height() + rows - 1) / rows);
    return QRect(0, top, width(), bottom - top);
}

void VideoBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!session_.romLoaded()) return;
    if (event->rect().contains(rect())) rememberShown();
    painter.drawImage(rect(), ScreenImage(session_.screen()));
}

}  // namespace corv::editor
