#pragma once
// The List Data window's two lists side by side: the block list on the left, the string list on
// the right, each half of the client width (integer division), both the full client height.
// With an odd width the rightmost pixel column stays free.

namespace corv::editor {

struct ListRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const ListRect&, const ListRect&) = default;
};

struct ListDataLayout {
    ListRect blockList;   // bList
    ListRect stringList;  // pList
};

// Negative sizes (a window being collapsed) lay out as empty lists.
[[nodiscard]] ListDataLayout LayOutListData(int clientWidth, int clientHeight);

}  // namespace corv::editor
