#pragma once
// View > Mark Overflow: marks drawn over the paint box, never into the preview picture. A red
// bar at the lower box's right edge beside each row drawn from a line wider than the box, and a
// red tail at its left edge beside each row the game's box cannot show before the next key wait
// or window clear (and along its bottom edge while such a row lies below the shown window).
// Hidden, the paint box shows the preview's own pixels.

#include <QWidget>

#include <functional>
#include <vector>

#include "editor/logic/box_overflow.h"

namespace corv::editor {

class OverflowMarks final : public QWidget {
    Q_OBJECT
public:
    struct Source {
        std::function<std::vector<MarkedRow>()> rows;  // the chosen string's marked rows
        std::function<int()> scrollOffset;             // the lower box's first shown layer row
        std::function<QSize()> screenSize;             // the preview screen's size in pixels
    };
    // Covers `video` and follows its size.
    OverflowMarks(QWidget* video, Source source);
    // Repaints the marks after the rows changed: only the lower box's text window, where they
    // stand, so the picture under the rest of the box is not drawn again.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Source source_;
};

}  // namespace corv::editor
