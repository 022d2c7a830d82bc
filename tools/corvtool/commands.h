#pragma once
// Every corvtool command and the dispatch of a command line to one of them: the program's whole
// behaviour, in a library that the program and its tests link.

#include <iosfwd>
#include <string>
#include <vector>

#include "tools/corvtool/command.h"

namespace corv::tool {

// Runs one corvtool command line (the words after the program's name) and returns its exit code.
[[nodiscard]] int RunCorvtool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace corv::tool
