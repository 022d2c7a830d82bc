#pragma once
// Wrapping every entry of a script text to the box (check/box_wrap.h). Only the text lines
// between an entry's ".STRING n" line and its ".ENDS" line change; the lines outside entries,
// an entry without its ".ENDS", one holding another keyword line and one longer than any block
// can hold stay as they are. An entry whose wrap would make a line the script's reader takes
// as structure (".ENDS" alone on a row) stays as it is too.

#include <string>
#include <string_view>
#include <vector>

#include "check/box_wrap.h"

namespace corv::check {

struct ScriptWrap {
    std::string text;                  // the script text, '\n' line ends as given
    unsigned entriesChanged = 0;
    std::vector<unsigned> cutEntries;  // strings with a word wider than the box, cut
    std::vector<unsigned> keptEntries; // strings left as they were: wrapping would change the structure
};

// `text`: a script with '\n' line ends.
[[nodiscard]] ScriptWrap WrapScript(std::string_view text, BoxWrapper& wrapper);

}  // namespace corv::check
