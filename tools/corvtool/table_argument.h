#pragma once
// The TABLE argument of the commands that write or read game bytes: the table file read, its
// refused character lines reported (the command stops: the map it gives is not the team's) and
// its warnings told.

#include <iosfwd>
#include <string>
#include <string_view>

#include "script/table_file.h"

namespace corv::tool {

// Loads `path` into `table`. False, with one error line per problem naming `command` and the
// file, when it cannot be read or a character line is refused; warnings go to `err` as notes.
[[nodiscard]] bool LoadCharacterTable(script::TableFile& table, const std::string& path, std::string_view command,
                                      std::ostream& err);

}  // namespace corv::tool
