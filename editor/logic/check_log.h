#pragma once
// The lines the insertion log adds for the errors the translation checks find in the script
// (the insertion goes ahead as it always did; these lines say what the game will get wrong).

#include <string>
#include <vector>

#include "check/block_check.h"

namespace corv::editor {

// One line per error of `report`, in string order, e.g.
// "; Check: STRING 6: \"XENDS\" is no closing line: string 6 runs on into string 7".
[[nodiscard]] std::vector<std::string> CheckErrorLogLines(const check::BlockReport& report);

}  // namespace corv::editor
