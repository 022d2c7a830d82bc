#pragma once
// The kana dump: the untranslated text of every string of a block, in script entry syntax.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/block_data_file.h"

namespace corv::script {

inline constexpr char kInsertedBlockLine[] = "Block is in english already.";

// The lines of a kana text: split at CR LF; an empty last line after a final line break does
// not count, so an empty text has no lines.
[[nodiscard]] std::vector<std::string> KanaTextLines(std::string_view text);

// The dump of the first `stringCount` records of the decompressed `block`, '\n' line ends:
// ".STRING i", the kana lines (or "Block is in english already." for the text records of an
// inserted block, "NON-TEXT DATA" for other records), ".ENDS" and an empty line per entry.
// Kana lines are not wrapped. The bytes are those of the code table (Shift-JIS).
[[nodiscard]] std::string KanaDump(std::span<const uint8_t> block, unsigned stringCount, bool inserted,
                                   const CodeMaps& maps);

}  // namespace corv::script
