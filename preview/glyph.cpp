#include "preview/glyph.h"

#include <algorithm>
#include <array>
#include <cstring>

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

bool HasTranslationGlyph(uint8_t code) {
    const GlyphRows& rows = TranslationFont()[code];
    return code == ' ' || std::any_of(rows.begin(), rows.end(), [](uint8_t row) { return row != 0; });
}

GlyphCell MissingGlyphCell() {
    // The height of a capital (rows 2-12), five columns wide.
    GlyphCell cell;
    for (unsigned r = 2; r <= 12; ++r) cell.rows[r] = (r == 2 || r == 12) ? 0xF8 : 0x88;
    return cell;
}

GlyphCell ShownCell(uint8_t byte, const script::CharacterMap& characters) {
    if (!characters.givesByte(byte)) return TranslationCell(byte);
    const auto character = static_cast<uint8_t>(characters.characterOf(byte));
    return HasTranslationGlyph(character) ? TranslationCell(character) : MissingGlyphCell();
}

GlyphCell CentreCell(const GlyphCell& cell, unsigned glyphWidth) {
    unsigned used = 0;
    if (glyphWidth == 8) {
        // Cell rows are drawn rows: the rightmost set bit over all rows gives the width used.
        unsigned columns = 0;
        for (uint8_t row : cell.rows) {
            columns |= row;
        }
        while (columns != 0) {
            ++used;
            columns = (columns << 1) & 0xFFu;
        }
    } else {
        for (unsigned c = 0; c < 8; ++c) {
            for (unsigned r = 0; r < kGlyphRows; ++r) {
                if (cell.flag(r * glyphWidth + c)) {
                    used = c + 1;
                    break;
                }
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

namespace {

// The measured width of rows whose set pixels are `used` (bit 7 = column 0): the rightmost set
// column, at least 1, or 0 when nothing is set.
unsigned MeasuredWidth(unsigned used) {
    unsigned rightmost = 0;
    for (unsigned c = 0; c < 8; ++c) {
        if (used & (0x80u >> c)) {
            rightmost = c;
        }
    }
    return used == 0 ? 0 : (rightmost == 0 ? 1 : rightmost);
}

// One drawn row of an 8-column cell. Walking left to right, a set pixel paints its colour and
// a shadow to its right and a clear one paints background unless it holds a shadow; so pixel c
// ends as the colour when set, as a shadow when pixel c - 1 is set or it held one already, and
// as background otherwise; pixel 8 takes a shadow when pixel 7 is set. Columns past the stored
// width are dropped.
void DrawRow8Clipped(std::span<Pixel> line, unsigned left, uint8_t bits, Pixel colour, Pixel shadow,
                     Pixel background) {
    for (unsigned c = 0; c <= 8 && left + c < line.size(); ++c) {
        const unsigned px = left + c;
        const bool set = c < 8 && (bits & (0x80u >> c)) != 0;
        const bool shadowed = c > 0 && (bits & (0x80u >> (c - 1))) != 0;
        if (set) {
            line[px] = colour;
        } else if (shadowed) {
            line[px] = shadow;
        } else if (c < 8 && line[px] != shadow) {
            line[px] = background;
        }
    }
}

// The same rule four pixels at a time, each 16-bit lane of a 64-bit word one pixel (lane 0 the
// leftmost, as the pixels lie in memory).
constexpr uint64_t kLow15 = 0x7FFF7FFF7FFF7FFFull;
constexpr uint64_t kTopBits = 0x8000800080008000ull;

// Lane masks for four column flags given as a nibble whose bit 3 is the leftmost column.
constexpr std::array<uint64_t, 16> kNibbleLanes = [] {
    std::array<uint64_t, 16> lanes{};
    for (unsigned nibble = 0; nibble < 16; ++nibble) {
        for (unsigned lane = 0; lane < 4; ++lane) {
            if (nibble & (8u >> lane)) {
                lanes[nibble] |= uint64_t{0xFFFF} << (16 * lane);
            }
        }
    }
    return lanes;
}();

constexpr uint64_t Spread(Pixel value) { return uint64_t{value} * 0x0001000100010001ull; }

// Full lanes where `word` equals `pattern` lane by lane.
uint64_t EqualLanes(uint64_t word, uint64_t pattern) {
    const uint64_t x = word ^ pattern;
    const uint64_t nonZero = (((x & kLow15) + kLow15) | x) & kTopBits;
    return ((nonZero >> 15) * 0xFFFF) ^ ~uint64_t{0};
}

void DrawRow8(std::span<Pixel> line, unsigned left, uint8_t bits, Pixel colour, Pixel shadow, Pixel background) {
    if (left + 9 > line.size()) {
        DrawRow8Clipped(line, left, bits, colour, shadow, background);
        return;
    }
    const uint8_t shadowed = static_cast<uint8_t>((bits >> 1) & ~bits);
    const uint64_t colours = Spread(colour);
    const uint64_t shadows = Spread(shadow);
    const uint64_t backgrounds = Spread(background);
    Pixel* p = line.data() + left;
    for (unsigned half = 0; half < 2; ++half) {
        const unsigned shift = 4 - 4 * half;  // high nibble: columns 0-3
        const uint64_t set = kNibbleLanes[(bits >> shift) & 0xF];
        uint64_t old;
        std::memcpy(&old, p + 4 * half, sizeof old);
        const uint64_t shade = (kNibbleLanes[(shadowed >> shift) & 0xF] | EqualLanes(old, shadows)) & ~set;
        const uint64_t result = (set & colours) | (shade & shadows) | (~(set | shade) & backgrounds);
        std::memcpy(p + 4 * half, &result, sizeof result);
    }
    if (bits & 0x01) {
        p[8] = shadow;
    }
}

}  // namespace

unsigned DrawCell(TextLayer& layer, const GlyphCell& cell, int x, int y, unsigned rows, unsigned columns,
                  Pixel colour) {
    const Pixel shadow = Palette()[kShadowIndex];
    const Pixel background = Palette()[kBackgroundIndex];
    const unsigned top = static_cast<unsigned>(((y % static_cast<int>(kLayerRows)) + kLayerRows) % kLayerRows);
    const unsigned left = static_cast<unsigned>(x < 0 ? 0 : x);

    if (columns == 8) {
        // Drawn rows are cell rows (rows past the 16 of the cell are blank).
        unsigned used = 0;
        for (unsigned r = 0; r < rows; ++r) {
            const uint8_t bits = r < kGlyphRows ? cell.rows[r] : 0;
            used |= bits;
            DrawRow8(layer.rowForWriting(top + r), left, bits, colour, shadow, background);
        }
        return MeasuredWidth(used);
    }

    unsigned measured = 0;
    for (unsigned r = 0; r < rows; ++r) {
        // Rows past 767 continue at the top of the layer; columns past the stored width are dropped.
        const std::span<Pixel> line = layer.rowForWriting(top + r);
        for (unsigned c = 0; c < columns; ++c) {
            const unsigned px = left + c;
            if (cell.flag(r * columns + c)) {
                if (px < kLayerStride) {
                    line[px] = colour;
                }
                if (px + 1 < kLayerStride) {
                    line[px + 1] = shadow;
                }
                if (c > measured) {
                    measured = c;
                }
                if (measured == 0) {
                    measured = 1;
                }
            } else if (px < kLayerStride && line[px] != shadow) {
                line[px] = background;
            }
        }
    }
    return measured;
}

unsigned MeasureCell(const GlyphCell& cell, unsigned rows, unsigned columns) {
    unsigned measured = 0;
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned c = 0; c < columns; ++c) {
            if (cell.flag(r * columns + c)) measured = std::max(measured, c == 0 ? 1u : c);
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
