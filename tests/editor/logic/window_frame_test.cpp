// The client size that keeps a window's outer size once the window system reports its frame.

#include <gtest/gtest.h>

#include "editor/logic/window_frame.h"

namespace corv::editor {
namespace {

TEST(WindowFrame, TheFirstReportedFrameIsTakenFromTheClientAndLaterChangesOnlyByTheirDifference) {
    const FrameExtents none;
    const FrameExtents titled{2, 29, 2, 2};
    // The Text Editor laid out as 326 by 326 outer pixels under a title bar of 27 and borders of 2.
    const WindowSize fitted = ClientSizeForFrame({326, 326}, none, titled);
    EXPECT_EQ(fitted, (WindowSize{322, 295}));
    // The same frame reported again, or another one of the same total, changes nothing.
    EXPECT_EQ(ClientSizeForFrame(fitted, titled, titled), fitted);
    EXPECT_EQ(ClientSizeForFrame(fitted, titled, FrameExtents{0, 31, 4, 0}), fitted);
    // A thinner frame later gives the client the room back, left/right and top/bottom apart.
    EXPECT_EQ(ClientSizeForFrame(fitted, titled, FrameExtents{1, 20, 1, 1}), (WindowSize{324, 305}));
    EXPECT_EQ(ClientSizeForFrame(fitted, titled, none), (WindowSize{326, 326}));
}

TEST(WindowFrame, AFrameThickerThanTheWindowLeavesAOnePixelClient) {
    EXPECT_EQ(ClientSizeForFrame({20, 10}, {}, FrameExtents{15, 30, 15, 5}), (WindowSize{1, 1}));
}

}  // namespace
}  // namespace corv::editor
