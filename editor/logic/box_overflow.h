#pragma once
// Where the lower box overflows for the chosen string, from its findings: the entry lines drawn
// wider than the box, and the lines whose rows the box cannot show before the next key wait or
// window clear. The window marks them on the drawn box when Mark Overflow is on.

#include <string>
#include <vector>

#include "check/box_lines.h"

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

// A row of the lower box's text layer (16 pixel rows each, 0 for the entry's first) to mark.
struct MarkedRow {
    int row = 0;
    bool wide = false;     // drawn from a line wider than the box (the box wraps it)
    bool clipped = false;  // a row the game's box cannot show before the next key wait or clear
};

// The rows of the entry's `lines` (its text lines) as the lower box lays them out, wrapping a
// row once it reaches the box's width, with the marks that `string`'s findings call for. The
// wrap is counted from the drawn widths: exact for the fixed-width font, close for the VWF one.
// `codesShown` is the preview's option: shown, a window clear draws its label and a row break.
[[nodiscard]] std::vector<MarkedRow> MarkedRows(const std::vector<std::string>& lines, const LiveString& string,
                                                const check::BoxMetrics& box, const script::CharacterMap& characters,
                                                bool codesShown = true);

}  // namespace corv::editor
