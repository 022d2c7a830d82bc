#pragma once
// The insertion progress gauge: a range and a position set by the insertion, shown as a bar with
// its percentage written on it.

#include <string>

namespace corv::editor {

class ProgressGauge {
public:
    // A range given upside down is taken the right way round.
    void setRange(int minimum, int maximum);
    void setPosition(int position) { position_ = position; }

    [[nodiscard]] int minimum() const { return minimum_; }
    [[nodiscard]] int maximum() const { return maximum_; }
    [[nodiscard]] int position() const { return position_; }

    // Whole percent done, 0 to 100. The insertion moves the position past the maximum at the end
    // of its layout phase and a one-string block has an empty range: both count as 100 once the
    // position has reached the maximum, never more.
    [[nodiscard]] int percent() const;
    // "%d%%", the text written on the bar.
    [[nodiscard]] std::string percentText() const;

private:
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};

}  // namespace corv::editor
