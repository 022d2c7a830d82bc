#include "editor/logic/progress_gauge.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace corv::editor {

void ProgressGauge::setRange(int minimum, int maximum) {
    if (minimum > maximum) std::swap(minimum, maximum);
    minimum_ = minimum;
    maximum_ = maximum;
}

int ProgressGauge::percent() const {
    if (position_ >= maximum_) return 100;
    if (position_ <= minimum_) return 0;
    // 64-bit so that a range spanning the whole int type cannot overflow.
    const int64_t done = int64_t{position_} - minimum_;
    const int64_t range = int64_t{maximum_} - minimum_;
    return static_cast<int>(done * 100 / range);
}

std::string ProgressGauge::percentText() const { return std::to_string(percent()) + "%"; }

}  // namespace corv::editor
