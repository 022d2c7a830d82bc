#include "editor/ui/video_box.h"

#include <QImage>
#include <QPainter>

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

void VideoBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!session_.romLoaded()) return;
    painter.drawImage(rect(), ScreenImage(session_.screen()));
}

}  // namespace corv::editor
