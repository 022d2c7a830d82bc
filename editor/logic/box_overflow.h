#pragma once
// Where the lower box overflows for the chosen string, from its findings: the entry lines drawn
// wider than the box, and the lines whose rows the box cannot show before the next key wait or
// window clear. The window marks them on the drawn box when Mark Overflow is on.

#include <vector>

#include "editor/logic/live_checks.h"

namespace corv::editor {

struct WideLine {
    int line = 0;         // entry line, 1 for the first text line
    int pixelsOver = 0;   // the widest of its rows past the box's width
};

struct ClippedLine {
    int line = 0;  // entry line, 1 for the first text line
    int row = 0;   // the row it ends on, counted from the last key wait or window clear
};

struct BoxOverflow {
    std::vector<WideLine> wide;        // in line order, each line once
    std::vector<ClippedLine> clipped;  // in line order
    [[nodiscard]] bool empty() const { return wide.empty() && clipped.empty(); }
};

[[nodiscard]] BoxOverflow OverflowOf(const LiveString& string);

}  // namespace corv::editor
