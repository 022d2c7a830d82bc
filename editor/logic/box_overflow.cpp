#include "editor/logic/box_overflow.h"

#include <algorithm>

namespace corv::editor {

BoxOverflow OverflowOf(const LiveString& string) {
    BoxOverflow overflow;
    for (const check::Finding& finding : string.findings) {
        if (finding.kind == check::FindingKind::LineTooWide) {
            // A line with [NEWLINE] inside has a finding per row that is too wide.
            if (!overflow.wide.empty() && overflow.wide.back().line == finding.line) {
                overflow.wide.back().pixelsOver = std::max(overflow.wide.back().pixelsOver, finding.amount);
            } else {
                overflow.wide.push_back({finding.line, finding.amount});
            }
        } else if (finding.kind == check::FindingKind::LineBeyondBox) {
            overflow.clipped.push_back({finding.line, finding.amount});
        }
    }
    return overflow;
}

}  // namespace corv::editor
