#pragma once
// Glyph cells from the two fonts, and the drawing of one cell into a text layer with its
// one-pixel shadow and the advance that follows it.

#include <cstdint>
#include <span>

#include "preview/palette.h"
#include "preview/preview_screen.h"
#include "preview/translation_font.h"
#include "script/character_map.h"

namespace corv::preview {

// Where the game keeps its character tile table: 4 bytes per 16-bit character code, the top
// tile number and then the bottom tile number, both little-endian.
inline constexpr uint32_t kCharacterTileTable = 0x9BDB;
inline constexpr unsigned kFontTileBytes = 16;

// 16 rows of 8 pixel flags. The flag with index i is row i / 8, column i % 8; drawing with a
// glyph width w other than 8 reads row r, column c at index r * w + c, so a cell can be read
// with another row length. Indexes beyond the 128 flags are clear.
struct GlyphCell {
    GlyphRows rows{};

    [[nodiscard]] bool flag(unsigned index) const {
        return index < kGlyphRows * 8 && (rows[index / 8] & (0x80u >> (index % 8))) != 0;
    }
    friend bool operator==(const GlyphCell&, const GlyphCell&) = default;
};

// The cell of a game character: rows 0-7 are bit plane 1 (the odd bytes) of the top tile,
// rows 8-15 that of the bottom tile. A tile that lies beyond the end of `gameFont` gives blank
// rows; a table entry that lies beyond the end of `romData` gives a blank cell.
[[nodiscard]] GlyphCell GameFontCell(std::span<const uint8_t> romData, std::span<const uint8_t> gameFont,
                                     uint16_t code);

// The cell of an 8-bit code in the built-in translation font.
[[nodiscard]] GlyphCell TranslationCell(uint8_t code);

// True when the translation font draws `code` (the space counts as drawn: it is meant blank).
[[nodiscard]] bool HasTranslationGlyph(uint8_t code);

// A hollow box, drawn where the font has no glyph for a letter of the character map.
[[nodiscard]] GlyphCell MissingGlyphCell();

// The cell the lower box shows for the game byte `byte`: the translation font's glyph of the
// character the map gives the byte (the missing-glyph box when the font has none), or of the
// byte itself when no table line gives it.
[[nodiscard]] GlyphCell ShownCell(uint8_t byte, const script::CharacterMap& characters);

// Centres a translated glyph: u is one more than the rightmost column (0-7) that holds a set
// flag when the cell is read with row length `glyphWidth`; every row is shifted right by
// (8 - u) / 2. A blank cell stays as it is.
[[nodiscard]] GlyphCell CentreCell(const GlyphCell& cell, unsigned glyphWidth);

// Draws `cell` at (x, y) of `layer` with `rows` x `columns` pixels in `colour`. A set flag
// paints its pixel and the shadow colour one pixel to its right; a clear flag paints the
// background unless the pixel already holds a shadow, so the next glyph's left edge does not
// wipe the shadow of the one before. Returns the measured width: the rightmost set column,
// at least 1 when any pixel is set, 0 for a blank cell.
unsigned DrawCell(TextLayer& layer, const GlyphCell& cell, int x, int y, unsigned rows, unsigned columns,
                  Pixel colour);

// The width DrawCell returns for `cell` drawn with `rows` x `columns` pixels, without drawing.
[[nodiscard]] unsigned MeasureCell(const GlyphCell& cell, unsigned rows, unsigned columns);

// The x after a glyph of measured width `m`: variable (labels, or with the variable-width
// routine on) m + 2, a blank counting as 4; otherwise fixed 8.
[[nodiscard]] int AdvanceAfter(int x, unsigned m, bool variableWidth);

}  // namespace corv::preview
