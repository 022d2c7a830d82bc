#include "editor/ui/overflow_marks.h"

#include <QEvent>
#include <QPainter>

#include "preview/text_box_renderer.h"

namespace corv::editor {
namespace {

// The lower box on the preview screen, from the renderer's layout: its text window starts 8 rows
// into the box and shows six rows of 16; text starts at kTextWindowLeft and wraps at 216 pixels;
// the box's inner edge lies one pixel inside its frame.
constexpr int kRowHeight = 16;
constexpr int kShownRows = int(preview::kTextWindowRows) / kRowHeight;
constexpr int kWindowTop = int(preview::kAsciiFrameTop) + 8;
constexpr int kLeftEdge = int(preview::kFrameLeft) + 1;
constexpr int kRightEdge = int(preview::kTextWindowLeft) + preview::kAsciiWrapColumn;
constexpr int kBarWidth = 3;

}  // namespace

OverflowMarks::OverflowMarks(QWidget* video, Source source) : QWidget(video), source_(std::move(source)) {
    setObjectName(QStringLiteral("OverflowMarks"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(video->rect());
    video->installEventFilter(this);
}

bool OverflowMarks::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void OverflowMarks::refresh() {
    const QSize screen = source_.screenSize();
    if (screen.isEmpty()) return update();
    // The band from one row above the window to one below it, in the box's own pixels.
    const int top = (kWindowTop - 1) * height() / screen.height();
    const int bottom = ((kWindowTop + kShownRows * kRowHeight + 1) * height() + screen.height() - 1) / screen.height();
    update(QRect(0, top, width(), bottom - top));
}

void OverflowMarks::paintEvent(QPaintEvent*) {
    const QSize screen = source_.screenSize();
    if (screen.isEmpty()) return;
    const std::vector<MarkedRow> rows = source_.rows();
    if (rows.empty()) return;
    QPainter painter(this);
    painter.scale(double(width()) / screen.width(), double(height()) / screen.height());
    const QColor red(0xE0, 0x20, 0x20);
    const int first = source_.scrollOffset() / kRowHeight;
    bool clippedBelow = false;
    for (const MarkedRow& row : rows) {
        const int shown = row.row - first;
        if (shown >= kShownRows) clippedBelow = clippedBelow || row.clipped;
        if (shown < 0 || shown >= kShownRows) continue;
        const int y = kWindowTop + shown * kRowHeight;
        if (row.wide) painter.fillRect(kRightEdge, y, kBarWidth, kRowHeight, red);
        if (row.clipped) painter.fillRect(kLeftEdge, y, kBarWidth, kRowHeight, red);
    }
    if (clippedBelow) painter.fillRect(kLeftEdge, kWindowTop + kShownRows * kRowHeight - 2, kRightEdge - kLeftEdge, 2, red);
}

}  // namespace corv::editor
