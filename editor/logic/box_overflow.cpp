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

std::vector<MarkedRow> MarkedRows(const std::vector<std::string>& lines, const LiveString& string,
                                  const check::BoxMetrics& box, const script::CharacterMap& characters,
                                  bool codesShown) {
    const BoxOverflow overflow = OverflowOf(string);
    const auto has = [](const auto& list, int line) {
        return std::any_of(list.begin(), list.end(), [&](const auto& item) { return item.line == line; });
    };
    std::vector<MarkedRow> marked;
    int row = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int line = int(i) + 1;
        const bool clipped = has(overflow.clipped, line);
        for (const int width : check::MeasureDrawnLineRows(lines[i], box, codesShown, characters)) {
            // The box starts a new row once the cursor reaches its width.
            const int drawn = 1 + (width >= box.width ? width / box.width : 0);
            const bool wide = width > box.width && has(overflow.wide, line);
            for (int k = 0; k < drawn; ++k, ++row) {
                if (wide || clipped) marked.push_back({row, wide, clipped});
            }
        }
    }
    return marked;
}

}  // namespace corv::editor
