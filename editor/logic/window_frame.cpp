#include "editor/logic/window_frame.h"

#include <algorithm>

namespace corv::editor {

WindowSize ClientSizeForFrame(WindowSize client, FrameExtents before, FrameExtents after) {
    const int width = client.width + (before.left + before.right) - (after.left + after.right);
    const int height = client.height + (before.top + before.bottom) - (after.top + after.bottom);
    return {std::max(width, 1), std::max(height, 1)};
}

}  // namespace corv::editor
