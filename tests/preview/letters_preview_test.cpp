// The lower box with a character map: a byte that a table line gives to a letter is drawn as
// that letter (its own glyph of the translation font, or a hollow box where the font has none),
// at the width the letter's glyph has; without the map the same bytes draw as before.

#include <gtest/gtest.h>

#include "preview/glyph.h"
#include "preview/text_box_renderer.h"
#include "script/table_file.h"
#include "preview/tiny_game.h"

namespace corv::preview {
namespace {

constexpr Pixel kWhite = 0xFFFF;

struct LetterRig {
    testing::TinyGame game;
    PreviewScreen screen;
    TextBoxRenderer renderer{screen};
    PreviewOptions options;
    script::FormatSettings format = testing::StandardFormat();

    // Draws the game bytes `bytes` in the lower box with `characters` (null: no map).
    void draw(const std::string& bytes, const script::CharacterMap* characters) {
        game.setPreviewText(bytes);
        PreviewSources sources = game.sources(game.addString({}));
        sources.characters = characters;
        renderer.drawStringSelection(sources, options, format, true);
    }
};

script::TableFile Table(std::string_view text) {
    script::TableFile table;
    table.parse(text);
    return table;
}

// The lower layer's pixels of the glyph cell at x (8 columns and its shadow, 16 rows) match
// `cell` drawn alone at the origin of an empty layer.
bool DrawnAs(const TextLayer& layer, int x, const GlyphCell& cell) {
    TextLayer alone(layer.rowLength());
    DrawCell(alone, CentreCell(cell, 8), 0, 0, 16, 8, kWhite);
    for (unsigned r = 0; r < 16; ++r) {
        for (unsigned c = 0; c < 9; ++c) {
            if (layer.pixel(static_cast<unsigned>(x) + c, r) != alone.pixel(c, r)) return false;
        }
    }
    return true;
}

TEST(LettersPreview, AMappedByteShowsItsLetter) {
    const script::TableFile table = Table("7B=\xF1\n7C=\xFC\n");
    LetterRig rig;
    rig.draw("ni{o", &table.characterMap());
    const TextLayer& layer = rig.screen.asciiLayer();
    EXPECT_TRUE(DrawnAs(layer, 16, TranslationCell(0xF1)));  // the third glyph: ñ, not "{"
    EXPECT_FALSE(DrawnAs(layer, 16, TranslationCell('{')));
    EXPECT_TRUE(DrawnAs(layer, 0, TranslationCell('n')));
    // The tilde stands on rows 2-3 over the n's body.
    EXPECT_EQ(layer.pixel(16 + 3, 2), kWhite);

    LetterRig plain;
    plain.draw("ni{o", nullptr);
    EXPECT_TRUE(DrawnAs(plain.screen.asciiLayer(), 16, TranslationCell('{')));
}

TEST(LettersPreview, ALetterTheFontLacksShowsTheMissingGlyphBox) {
    const script::TableFile table = Table("7B=\xFE\n");  // þ: no glyph in the translation font
    ASSERT_FALSE(HasTranslationGlyph(0xFE));
    LetterRig rig;
    rig.draw("a{", &table.characterMap());
    EXPECT_TRUE(DrawnAs(rig.screen.asciiLayer(), 8, MissingGlyphCell()));
}

TEST(LettersPreview, MappedLettersAdvanceByTheirOwnGlyphWithTheVariableWidth) {
    const script::TableFile table = Table("7C=\xDF\n");  // ß on "|", a one-column glyph
    LetterRig mapped;
    mapped.options.variableWidth = true;
    mapped.draw("|A", &table.characterMap());
    LetterRig letter;
    letter.options.variableWidth = true;
    letter.draw("\xDF" "A", nullptr);  // ß itself, which the 8-bit stream draws as a letter
    for (unsigned x = 0; x < 24; ++x) {
        for (unsigned y = 0; y < 16; ++y) {
            EXPECT_EQ(mapped.screen.asciiLayer().pixel(x, y), letter.screen.asciiLayer().pixel(x, y)) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace corv::preview
