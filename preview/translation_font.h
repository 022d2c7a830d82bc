#pragma once
// The built-in 8x16 font of translated text, code labels and messages: narrow glyphs set flush
// left in their cell, so that their drawn width gives the variable advance.

#include <array>
#include <cstdint>

namespace corv::preview {

inline constexpr unsigned kGlyphRows = 16;

// Row r of a glyph is byte r (row 0 at the top); bit 7 is the leftmost pixel.
using GlyphRows = std::array<uint8_t, kGlyphRows>;

// All 256 glyphs, indexed by the 8-bit character code. Codes 0x21-0x7F (except 0x25) and the
// common Latin-1 letters and signs (accented letters, ß, ¡ ¿ « ») have a glyph; every other
// code, the space included, is blank. The letters from 0xF0 up are drawn only through a table
// line that gives them a byte of the game: in the 8-bit stream such a byte after a character
// is read as a control code.
[[nodiscard]] const std::array<GlyphRows, 256>& TranslationFont();

}  // namespace corv::preview
