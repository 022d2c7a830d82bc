#include "editor/logic/list_data_layout.h"

#include <algorithm>

namespace corv::editor {

ListDataLayout LayOutListData(int clientWidth, int clientHeight) {
    const int half = std::max(clientWidth, 0) / 2;
    const int height = std::max(clientHeight, 0);
    ListDataLayout layout;
    layout.blockList = {0, 0, half, height};
    layout.stringList = {layout.blockList.width, 0, half, height};
    return layout;
}

}  // namespace corv::editor
