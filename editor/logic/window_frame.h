#pragma once
// Window sizes are outer sizes, frame included, as the windows were laid out for. A toolkit sets
// a window's client size, and the window system tells the frame around it only once the window
// is on screen; this is the arithmetic between the two.

#include "editor/logic/window_placement.h"

namespace corv::editor {

// The window system's frame around a client area, in pixels on each side.
struct FrameExtents {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

// The client size that keeps a window's outer size when its frame changes from `before` to
// `after` (from no frame at all to the real one when the window system first reports it). The
// result is never below 1 by 1, however thick the frame.
[[nodiscard]] WindowSize ClientSizeForFrame(WindowSize client, FrameExtents before, FrameExtents after);

}  // namespace corv::editor
