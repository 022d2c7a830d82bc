#pragma once
// How deep a TOML text nests, found before the parser sees it. The parser recurses, and so does
// the freeing of what it built, once per level: a table 40,000 levels deep, made by a dotted key
// or a table heading of 40,000 parts in an 80 KB file, overflows the stack. A project file needs
// three levels ([blocks.D40000] skip = true); anything past a small limit is refused.
//
// The depth of a value is the number of parts of its table heading, plus those of its dotted
// key, plus one for each array or inline table around it (and the parts of the keys inside an
// inline table). The scan follows strings, comments and the key-or-value position of TOML; on
// text that is no TOML it may count more than a parser would, never less.

#include <optional>
#include <string_view>

namespace corv::project {

// The deepest nesting a project file may hold.
inline constexpr int kMostProjectNesting = 16;

// The 1-based line where `text` first nests deeper than `limit`, or std::nullopt.
[[nodiscard]] std::optional<int> LineNestedTooDeep(std::string_view text, int limit);

}  // namespace corv::project
