#pragma once
// While a long command lets pending events through, the menu items that would open, change or
// close the ROM or the script must not run in between.

#include <string_view>

namespace corv::editor {

// True for the component names of the menu items to disable while a long command runs.
[[nodiscard]] bool DisabledWhileBusy(std::string_view component);

}  // namespace corv::editor
