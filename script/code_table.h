#pragma once
// The two sections of the block data file that fill the code maps: the code table (.TABLE ...
// .ENDTABLE) and the colour table (.COLORTABLE ... .ENDCOLOR). Each function handles one line
// of its section; the section's end line is recognised by the caller.

#include <string>
#include <string_view>

#include "script/block_data_file.h"

namespace corv::script {

// A code table line: a range line (".NULL first to last" for the 8-bit map, ".NULL16 ..." for
// the 16-bit map) or an entry line "code=text". Lines whose code cannot be read or lies beyond
// its map are ignored, as is the part of a range beyond the map.
void ApplyCodeTableLine(std::string_view line, CodeMaps& maps);

// A colour table line: ".NULL=colour" / ".NULL16=colour" colour the generated entries of a
// map, "code=colour" colours one entry.
void ApplyColourLine(std::string_view line, CodeMaps& maps);

// The text of a code table entry with its "\xHH" escapes turned into bytes. The character
// after each escape is dropped: data files were written for a reader that steps five
// characters per escape, so they separate escapes by one character.
[[nodiscard]] std::string RebuildEscapedText(std::string_view word);

}  // namespace corv::script
