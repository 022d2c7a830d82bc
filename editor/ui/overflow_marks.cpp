#include "editor/ui/overflow_marks.h"

#include <QEvent>
#include <QPainter>

#include "preview/text_box_renderer.h"

namespace corv::editor {
namespace {

// The lower box on the preview screen: its text window starts 8 rows into the box at y 136 and
// shows 96 rows (six of 16); text starts at x 16 and wraps at 216 pixels; the box's inner edge
// lies at x 8 and 8 + 29 x 8.
constexpr int kWindowTop = 144;
constexpr int kRowHeight = 16;
constexpr int kShownRows = 6;
constexpr int kLeftEdge = 9;
constexpr int kRightEdge = 16 + preview::kAsciiWrapColumn;
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
