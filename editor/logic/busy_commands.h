#pragma once
// While a long command lets pending events through, the menu items that would open, change or
// close the ROM or the script must not run in between; nor may the commands that redraw or read
// the block the insertion is rewriting.

#include <string_view>

namespace corv::editor {

// True for the component names of the menu items to disable while a long command runs.
[[nodiscard]] bool DisabledWhileBusy(std::string_view component);

// True for the menu items that redraw the string or read the current block (display and code
// switches, colours and styles, the three dumps, the moves to another string): they are disabled
// as well while the insertion rewrites the block.
[[nodiscard]] bool ReadsTheBlockBeingRewritten(std::string_view component);

}  // namespace corv::editor
