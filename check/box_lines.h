#pragma once
// How the lower text box shows the lines of a translation: the drawn width of each line with
// the translation font, as the string preview lays it out, and the rows the box can show.

#include <string>
#include <string_view>
#include <vector>

#include "script/block_data_file.h"
#include "script/character_map.h"

namespace corv::check {

struct BoxMetrics {
    bool variableWidth = false;  // the data file's VWF setting
    int width = 216;             // the preview wraps a line once its cursor passes this column
    unsigned visibleRows = 6;    // 96 pixel rows of text window, 16 per line
};

// The lower box as the data file sets it up (the variable-width routine).
[[nodiscard]] BoxMetrics BoxOfDataFile(const script::BlockDataLoad& dataFile);

// The drawn widths of a script line: one per row it draws ([NEWLINE] inside the line starts a
// new row). Codes draw nothing, as in the game, except the player's name, which the preview
// stands in for with its "[Player]" label. Characters take the glyph of what their game byte
// shows (`characters`), as the preview draws them.
[[nodiscard]] std::vector<int> MeasureLineRows(std::string_view line, const BoxMetrics& box,
                                               const script::CharacterMap& characters);
// The rows as the preview draws the line with its code labels: with `codesShown` a window clear
// draws its label and breaks the line, as the lower box does when control codes are visible;
// without, the line is measured as MeasureLineRows does.
[[nodiscard]] std::vector<int> MeasureDrawnLineRows(std::string_view line, const BoxMetrics& box, bool codesShown,
                                                    const script::CharacterMap& characters);

}  // namespace corv::check
