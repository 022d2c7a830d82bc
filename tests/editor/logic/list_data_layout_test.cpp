#include "editor/logic/list_data_layout.h"

#include <gtest/gtest.h>

namespace corv::editor {
namespace {

TEST(ListDataLayout, OddWidthLeavesTheLastColumnFree) {
    const ListDataLayout layout = LayOutListData(301, 80);
    EXPECT_EQ(layout.blockList, (ListRect{0, 0, 150, 80}));
    EXPECT_EQ(layout.stringList, (ListRect{150, 0, 150, 80}));
}

TEST(ListDataLayout, CollapsedWindowGivesEmptyLists) {
    for (const auto& [width, height] : {std::pair{0, 0}, std::pair{1, 5}, std::pair{-7, -3}}) {
        const ListDataLayout layout = LayOutListData(width, height);
        EXPECT_EQ(layout.blockList.width, 0) << width;
        EXPECT_EQ(layout.stringList.width, 0) << width;
        EXPECT_GE(layout.blockList.height, 0) << height;
        EXPECT_EQ(layout.stringList.left, 0) << width;
    }
}

}  // namespace
}  // namespace corv::editor
