#pragma once
// corvtool check PROJECT: every check of every block of a project that has a script, as a build
// would run them, for a team's CI: the findings, a summary per block and a total, in text or as
// one JSON document.

#include <iosfwd>
#include <string>
#include <vector>

namespace corv::tool {

// `args` are check's arguments naming one project. Exit codes as for a block's check: 0 every
// block fits and nothing is an error; 1 a block is over its room; 2 errors (warnings too with
// --strict), or a project or block that cannot be read; 3 usage.
[[nodiscard]] int RunProjectCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Whether check's arguments (options left out) name a project rather than a single block.
[[nodiscard]] bool NamesProject(const std::vector<std::string>& args);

}  // namespace corv::tool
