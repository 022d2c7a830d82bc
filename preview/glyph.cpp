#include "preview/glyph.h"

namespace corv::preview {
namespace {

constexpr unsigned kTileRows = 8;

// Bit plane 1 of one font tile into `rows` (8 rows from `firstRow`); a tile past the end of
// the font leaves them clear.
void CopyTilePlane1(std::span<const uint8_t> gameFont, uint16_t tile, GlyphRows& rows, unsigned firstRow) {
    const size_t start = size_t{tile} * kFontTileBytes;
    if (start + kFontTileBytes > gameFont.size()) {
        return;
    }
    for (unsigned r = 0; r < kTileRows; ++r) {
        rows[firstRow + r] = gameFont[start + 2 * r + 1];
    }
}

uint16_t ReadLe16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

}  // namespace

GlyphCell GameFontCell(std::span<const uint8_t> romData, std::span<const uint8_t> gameFont, uint16_t code) {
    GlyphCell cell;
    const size_t entry = kCharacterTileTable + size_t{4} * code;
    if (entry + 4 > romData.size()) {
        return cell;
    }
    CopyTilePlane1(gameFont, ReadLe16(romData, entry), cell.rows, 0);
    CopyTilePlane1(gameFont, ReadLe16(romData, entry + 2), cell.rows, kTileRows);
    return cell;
}

GlyphCell TranslationCell(uint8_t code) { return GlyphCell{TranslationFont()[code]}; }

GlyphCell CentreCell(const GlyphCell& cell, unsigned glyphWidth) {
    unsigned used = 0;
    for (unsigned c = 0; c < 8; ++c) {
        for (unsigned r = 0; r < kGlyphRows; ++r) {
            if (cell.flag(r * glyphWidth + c)) {
                used = c + 1;
                break;
            }
        }
    }
    if (used == 0) {
        return cell;
    }
    const unsigned shift = (8 - used) / 2;
    GlyphCell centred;
    for (unsigned r = 0; r < kGlyphRows; ++r) {
        centred.rows[r] = static_cast<uint8_t>(cell.rows[r] >> shift);
    }
    return centred;
}

unsigned DrawCell(TextLayer& layer, const GlyphCell& cell, int x, int y, unsigned rows, unsigned columns,
                  Pixel colour) {
    const Pixel shadow = Palette()[kShadowIndex];
    const Pixel background = Palette()[kBackgroundIndex];
    const unsigned top = static_cast<unsigned>(((y % static_cast<int>(kLayerRows)) + kLayerRows) % kLayerRows);
    const unsigned left = static_cast<unsigned>(x < 0 ? 0 : x);
    unsigned measured = 0;
    for (unsigned r = 0; r < rows; ++r) {
        const unsigned layerRow = top + r;  // the layer wraps rows past 767 itself
        for (unsigned c = 0; c < columns; ++c) {
            if (cell.flag(r * columns + c)) {
                layer.setPixel(left + c, layerRow, colour);
                layer.setPixel(left + c + 1, layerRow, shadow);
                if (c > measured) {
                    measured = c;
                }
                if (measured == 0) {
                    measured = 1;
                }
            } else if (layer.pixel(left + c, layerRow) != shadow) {
                layer.setPixel(left + c, layerRow, background);
            }
        }
    }
    return measured;
}

int AdvanceAfter(int x, unsigned m, bool variableWidth) {
    if (!variableWidth) {
        return x + 8;
    }
    return x + static_cast<int>(m == 0 ? 4 : m) + 2;
}

}  // namespace corv::preview
