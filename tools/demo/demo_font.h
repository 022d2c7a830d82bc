#pragma once
// The demo game's font: 8x16 glyphs for the character codes, cut into 8x8 tiles in the console's
// 2-bit planar layout (row r = bytes 2r and 2r+1). The glyph is in bit plane 1, which the
// preview reads; plane 0 repeats it, so the game would draw it in colour 3.

#include <array>
#include <cstdint>
#include <vector>

namespace corv::demo {

struct DemoFont {
    std::vector<uint8_t> tiles;  // 16 bytes per tile; tile 0 is blank
    // Per character code 0x00-0xFF: top and bottom tile numbers (0 and 0 for codes without a glyph).
    std::array<std::array<uint16_t, 2>, 256> tileOfCode{};
    // The 16 rows of the glyph of each code (bit 7 = leftmost pixel), as the tiles draw it.
    std::array<std::array<uint8_t, 16>, 256> rowsOfCode{};
};

[[nodiscard]] DemoFont BuildDemoFont();

}  // namespace corv::demo
