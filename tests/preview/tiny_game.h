#pragma once
// A hand-made game small enough to reason about pixel by pixel: a ROM with a character tile
// table, a font of four tiles and a text block whose records the tests add.

#include <cstdint>
#include <string>
#include <vector>

#include "preview/text_box_renderer.h"

namespace corv::preview::testing {

// Game characters of the tiny font.
inline constexpr uint16_t kBlankChar = 0;   // both tiles blank
inline constexpr uint16_t kBlockChar = 1;   // all 8 x 16 pixels set
inline constexpr uint16_t kBarChar = 2;     // only column 0 set
inline constexpr uint16_t kPlane0Char = 3;  // pixels only in bit plane 0: the preview shows none
inline constexpr uint16_t kFarTileChar = 4; // top tile beyond the font, bottom tile the block
inline constexpr uint16_t kEnd = 0xFFFF;
inline constexpr uint16_t kNewLine = 0xFD00;

class TinyGame {
public:
    TinyGame();

    // Adds a text record whose string is `words` (the end mark is not added); returns its index.
    unsigned addString(const std::vector<uint16_t>& words);
    unsigned addNonTextRecord();
    // Puts `bytes` into the preview byte buffer, followed by FF FF.
    void setPreviewText(const std::string& bytes);
    // Writes the inserted mark of block 0 into the ROM.
    void markInserted();

    [[nodiscard]] PreviewSources sources(unsigned stringIndex) const;

    std::vector<uint8_t> rom;
    std::vector<uint8_t> font;
    std::vector<uint8_t> block;
    std::vector<uint8_t> preview;

private:
    unsigned records_ = 0;
    size_t nextText_ = 0x800;
};

// A format as data files for this game set it: box width 304, glyphs 16 rows by 8 columns.
[[nodiscard]] script::FormatSettings StandardFormat();

}  // namespace corv::preview::testing
