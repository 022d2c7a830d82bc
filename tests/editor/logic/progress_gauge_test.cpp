#include "editor/logic/progress_gauge.h"

#include <climits>

#include <gtest/gtest.h>

namespace corv::editor {
namespace {

ProgressGauge gaugeAt(int minimum, int maximum, int position) {
    ProgressGauge gauge;
    gauge.setRange(minimum, maximum);
    gauge.setPosition(position);
    return gauge;
}

TEST(ProgressGauge, PercentIsTruncatedShareOfTheRange) {
    EXPECT_EQ(gaugeAt(0, 9, 0).percent(), 0);
    EXPECT_EQ(gaugeAt(0, 9, 1).percent(), 11);   // 11.1
    EXPECT_EQ(gaugeAt(0, 9, 8).percent(), 88);   // 88.9
    EXPECT_EQ(gaugeAt(0, 9, 9).percent(), 100);
    EXPECT_EQ(gaugeAt(10, 20, 15).percent(), 50);
    EXPECT_EQ(gaugeAt(0, 2, 1).percentText(), "50%");
}

TEST(ProgressGauge, PositionOutsideTheRangeIsHeldAtItsEnds) {
    // The layout phase moves the position to the entry count, one past the maximum.
    EXPECT_EQ(gaugeAt(0, 9, 10).percent(), 100);
    EXPECT_EQ(gaugeAt(5, 9, -3).percent(), 0);
}

TEST(ProgressGauge, EmptyOrReversedRange) {
    // A block of one string: minimum 0, maximum 0, the single step done at position 0.
    EXPECT_EQ(gaugeAt(0, 0, 0).percent(), 100);
    // A block without strings gives maximum -1: taken as the range -1..0.
    const ProgressGauge reversed = gaugeAt(0, -1, 0);
    EXPECT_EQ(reversed.minimum(), -1);
    EXPECT_EQ(reversed.maximum(), 0);
    EXPECT_EQ(reversed.percent(), 100);
}

TEST(ProgressGauge, WholeIntRangeDoesNotOverflow) {
    EXPECT_EQ(gaugeAt(INT_MIN, INT_MAX, 0).percent(), 50);
    EXPECT_EQ(gaugeAt(INT_MIN, INT_MAX, INT_MAX - 1).percent(), 99);
}

}  // namespace
}  // namespace corv::editor
