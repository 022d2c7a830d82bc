// Glyph sources and the drawing of one glyph: binding font rows, game-font cells, centring,
// shadows and advances.

#include <gtest/gtest.h>

#include "preview/glyph.h"
#include "preview/translation_font.h"
#include "preview/tiny_game.h"

namespace corv::preview {
namespace {

using testing::TinyGame;

constexpr Pixel kWhite = 0xFFFF;
constexpr Pixel kShadow = 0x10A2;

GlyphRows Rows(std::initializer_list<unsigned> values) {
    GlyphRows rows{};
    size_t i = 0;
    for (unsigned v : values) {
        rows[i++] = static_cast<uint8_t>(v);
    }
    return rows;
}

TEST(PreviewTranslationFont, BindingGlyphsHaveTheirExactRows) {
    const auto& font = TranslationFont();
    EXPECT_EQ(font[0x21], Rows({0, 0, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0, 0x80, 0x80, 0, 0, 0}));
    EXPECT_EQ(font[0x30], Rows({0, 0, 0x60, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x60, 0, 0, 0}));
    EXPECT_EQ(font[0x41], Rows({0, 0, 0x60, 0x90, 0x90, 0x90, 0x90, 0xF0, 0x90, 0x90, 0x90, 0x90, 0x90, 0, 0, 0}));
    EXPECT_EQ(font[0x57], Rows({0, 0, 0xA8, 0xA8, 0xA8, 0xA8, 0xA8, 0xA8, 0xA8, 0xA8, 0xA8, 0x50, 0x50, 0, 0, 0}));
    EXPECT_EQ(font[0x61], Rows({0, 0, 0, 0, 0, 0x60, 0x90, 0x10, 0x70, 0x90, 0x90, 0xB0, 0x50, 0, 0, 0}));
    EXPECT_EQ(font[0x6D], Rows({0, 0, 0, 0, 0, 0x50, 0x50, 0xA8, 0xA8, 0xA8, 0xA8, 0xA8, 0xA8, 0, 0, 0}));
}

TEST(PreviewTranslationFont, CoversPrintableAsciiExceptPercentAndIsNarrowAndLeftAligned) {
    const auto& font = TranslationFont();
    const auto blank = [&](unsigned code) { return font[code] == GlyphRows{}; };
    unsigned highGlyphs = 0;
    for (unsigned code = 0; code < 256; ++code) {
        const bool drawn = (code >= 0x21 && code <= 0x7F && code != 0x25) || (code >= 0xA1 && code <= 0xFE && !blank(code));
        SCOPED_TRACE(code);
        if (code >= 0xA1 && code <= 0xFE) {
            highGlyphs += drawn ? 1 : 0;
        }
        if (!drawn) {
            EXPECT_TRUE(blank(code));
            continue;
        }
        ASSERT_FALSE(blank(code));
        uint8_t used = 0;
        for (uint8_t row : font[code]) {
            used = static_cast<uint8_t>(used | row);
        }
        EXPECT_TRUE(used & 0x80) << "glyph does not start at column 0";
        EXPECT_FALSE(used & 0x01) << "glyph fills all 8 columns";
    }
    EXPECT_GE(highGlyphs, 4u);
    EXPECT_LE(highGlyphs, 60u);
    // The letters and signs of Spanish, German and French text that a table line may give a
    // byte of the game (those from F0 up are drawn only that way).
    for (const unsigned code : {0xA1u, 0xABu, 0xBBu, 0xBFu, 0xC0u, 0xC1u, 0xC2u, 0xC4u, 0xC7u, 0xC8u, 0xC9u, 0xCAu,
                                0xCDu, 0xD1u, 0xD3u, 0xD6u, 0xDAu, 0xDCu, 0xDFu, 0xE1u, 0xE9u, 0xEDu, 0xF1u, 0xF3u,
                                0xF6u, 0xFAu, 0xFCu}) {
        EXPECT_FALSE(blank(code)) << code;
    }
}

TEST(PreviewGameFontCell, ReadsBitPlaneOneOfTheTopAndBottomTiles) {
    TinyGame game;
    // Character 5: top tile 2 (column 0), bottom tile 1 (full); plane 0 of tile 3 never shows.
    game.rom[kCharacterTileTable + 20] = 2;
    game.rom[kCharacterTileTable + 22] = 1;
    const GlyphCell cell = GameFontCell(game.rom, game.font, 5);
    for (unsigned r = 0; r < 8; ++r) {
        EXPECT_EQ(cell.rows[r], 0x80) << r;
        EXPECT_EQ(cell.rows[r + 8], 0xFF) << r;
    }
    EXPECT_EQ(GameFontCell(game.rom, game.font, testing::kPlane0Char), GlyphCell{});
}

TEST(PreviewGameFontCell, CharactersZeroAndOneReadTheirTilesAt9BDBAnd9BDF) {
    TinyGame game;
    std::fill(game.rom.begin() + kCharacterTileTable, game.rom.begin() + kCharacterTileTable + 8, uint8_t{0});
    game.rom[0x9BDB] = 1;  // character 0: top tile 1
    game.rom[0x9BE1] = 2;  // character 1: bottom tile 2 (0x9BDF + 2)
    EXPECT_EQ(GameFontCell(game.rom, game.font, 0).rows[0], 0xFF);
    EXPECT_EQ(GameFontCell(game.rom, game.font, 0).rows[8], 0x00);
    EXPECT_EQ(GameFontCell(game.rom, game.font, 1).rows[0], 0x00);
    EXPECT_EQ(GameFontCell(game.rom, game.font, 1).rows[8], 0x80);
}

TEST(PreviewGameFontCell, TilesBeyondTheFontAndEntriesBeyondTheRomAreBlank) {
    TinyGame game;
    const GlyphCell far = GameFontCell(game.rom, game.font, testing::kFarTileChar);
    EXPECT_EQ(far.rows[0], 0x00);   // tile 100 lies past the 4-tile font
    EXPECT_EQ(far.rows[15], 0xFF);  // the bottom tile still exists
    // Character 0x3000's entry (0x9BDB + 0xC000) lies past the 64 KiB ROM.
    EXPECT_EQ(GameFontCell(game.rom, game.font, 0x3000), GlyphCell{});
}

TEST(PreviewCentreCell, ShiftsByHalfTheUnusedColumns) {
    EXPECT_EQ(CentreCell(TranslationCell(0x41), 8).rows[7], 0xF0 >> 2);  // 4 columns used: 2 right
    EXPECT_EQ(CentreCell(TranslationCell(0x57), 8).rows[2], 0xA8 >> 1);  // 5 used: 1 right
    EXPECT_EQ(CentreCell(TranslationCell(0x21), 8).rows[2], 0x80 >> 3);  // 1 used: 3 right
    EXPECT_EQ(CentreCell(TranslationCell(0x20), 8), GlyphCell{});
}

TEST(PreviewDrawCell, MeasuresTheRightmostColumnAndAdvances) {
    TextLayer layer(kKanaRowLength);
    // The space: blank, 6 with variable width (labels, VWF on), 8 with the fixed advance.
    const unsigned space = DrawCell(layer, TranslationCell(0x20), 0, 0, 16, 8, kWhite);
    EXPECT_EQ(space, 0u);
    EXPECT_EQ(AdvanceAfter(0, space, true), 6);
    EXPECT_EQ(AdvanceAfter(0, space, false), 8);
    // 0x41 in a label: rightmost column 3, advance 5.
    const unsigned a = DrawCell(layer, TranslationCell(0x41), 0, 0, 16, 8, kWhite);
    EXPECT_EQ(a, 3u);
    EXPECT_EQ(AdvanceAfter(10, a, true), 15);
    // 0x41 centred (translated text with VWF): rightmost column 5, advance 7.
    const unsigned centred = DrawCell(layer, CentreCell(TranslationCell(0x41), 8), 0, 32, 16, 8, kWhite);
    EXPECT_EQ(centred, 5u);
    EXPECT_EQ(AdvanceAfter(0, centred, true), 7);
    // Only column 0 set: m counts as 1, advance 3.
    const unsigned bar = DrawCell(layer, TranslationCell(0x21), 0, 64, 16, 8, kWhite);
    EXPECT_EQ(bar, 1u);
    EXPECT_EQ(AdvanceAfter(0, bar, true), 3);
}

TEST(PreviewDrawCell, CastsAShadowThatLaterClearPixelsKeep) {
    TextLayer layer(kKanaRowLength);
    // '!' at x = 4: column 0 set on rows 2-9, its shadow at x = 5.
    DrawCell(layer, TranslationCell(0x21), 4, 0, 16, 8, kWhite);
    EXPECT_EQ(layer.pixel(4, 2), kWhite);
    EXPECT_EQ(layer.pixel(5, 2), kShadow);
    EXPECT_EQ(layer.pixel(5, 10), 0);  // row 10 of '!' is clear: no shadow there
    // A blank glyph drawn over the shadow column clears every pixel except the shadow.
    layer.setPixel(6, 2, kWhite);
    DrawCell(layer, TranslationCell(0x20), 5, 0, 16, 8, kWhite);
    EXPECT_EQ(layer.pixel(5, 2), kShadow);
    EXPECT_EQ(layer.pixel(6, 2), 0);
    EXPECT_EQ(layer.pixel(4, 2), kWhite);  // left of the blank glyph: untouched
}

TEST(PreviewDrawCell, SideBySidePixelsOverwriteTheFirstShadowWithText) {
    TextLayer layer(kKanaRowLength);
    // Row 7 of 'A' is F0: columns 0-3 set, so only column 4 holds a shadow.
    DrawCell(layer, TranslationCell(0x41), 0, 0, 16, 8, kWhite);
    for (unsigned c = 0; c < 4; ++c) {
        EXPECT_EQ(layer.pixel(c, 7), kWhite) << c;
    }
    EXPECT_EQ(layer.pixel(4, 7), kShadow);
}

TEST(PreviewDrawCell, WrapsRowsPastTheLayerEndAndDropsColumnsPastItsWidth) {
    TextLayer layer(kKanaRowLength);
    DrawCell(layer, TranslationCell(0x30), 300, 760, 16, 8, kWhite);
    EXPECT_EQ(layer.pixel(300, 763), kWhite);  // row 3 of '0' at 760 + 3
    EXPECT_EQ(layer.pixel(303, 763), kWhite);  // column 3, the last stored column is 303
    EXPECT_EQ(layer.pixel(300, 4), 0x0000);    // row 12 = layer row 772 -> 4 : ".##."
    EXPECT_EQ(layer.pixel(301, 4), kWhite);
    // y itself is reduced first: 768 + 2 draws at row 2.
    TextLayer other(kKanaRowLength);
    DrawCell(other, TranslationCell(0x21), 0, 770, 16, 8, kWhite);
    EXPECT_EQ(other.pixel(0, 4), kWhite);
}

TEST(PreviewDrawCell, AnotherGlyphWidthReadsTheCellWithThatRowLength) {
    TextLayer layer(kKanaRowLength);
    // Width 16: drawn row r shows cell rows 2r and 2r + 1 side by side. '0' rows 2 and 3 are
    // 60 and 90, so drawn row 1 is .##.....#..#....
    DrawCell(layer, TranslationCell(0x30), 0, 0, 16, 16, kWhite);
    EXPECT_EQ(layer.pixel(1, 1), kWhite);
    EXPECT_EQ(layer.pixel(8, 1), kWhite);
    EXPECT_EQ(layer.pixel(9, 1), kShadow);
    EXPECT_EQ(layer.pixel(11, 1), kWhite);
    // Drawn rows 8 and up read past the 128 flags: clear.
    for (unsigned x = 0; x < 16; ++x) {
        EXPECT_EQ(layer.pixel(x, 9), 0) << x;
    }
}

}  // namespace
}  // namespace corv::preview
