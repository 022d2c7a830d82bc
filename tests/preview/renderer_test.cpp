// The two text boxes: layout, wrapping, labels, messages, frames and box colours, scrolling,
// and what a pass records and hands on.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "preview/frame_tiles.h"
#include "preview/text_box_renderer.h"
#include "script/string_record.h"
#include "preview/tiny_game.h"

namespace corv::preview {
namespace {

using script::TextBoxColour;
using script::TextBoxStyle;
using testing::kBarChar;
using testing::kBlockChar;
using testing::kNewLine;
using testing::TinyGame;

constexpr Pixel kWhite = 0xFFFF;
constexpr Pixel kLabelYellow = 0xFFEA;
constexpr Pixel kPlayerRed = 0xFAAA;
constexpr Pixel kShadow = 0x10A2;

struct Rig {
    TinyGame game;
    PreviewScreen screen;
    TextBoxRenderer renderer{screen};
    PreviewOptions options;
    script::FormatSettings format = testing::StandardFormat();

    void draw(unsigned index, bool translated = false) {
        renderer.drawStringSelection(game.sources(index), options, format, translated);
    }
    [[nodiscard]] Pixel kana(unsigned x, unsigned y) const { return screen.kanaLayer().pixel(x, y); }
    [[nodiscard]] Pixel ascii(unsigned x, unsigned y) const { return screen.asciiLayer().pixel(x, y); }
    [[nodiscard]] Pixel shown(unsigned x, unsigned y) const { return screen.bitmapRow(y)[x]; }
};

std::vector<uint16_t> Repeat(uint16_t word, unsigned count) { return std::vector<uint16_t>(count, word); }

TEST(PreviewUntranslatedPass, BreaksTheLineOnceXReaches288) {
    Rig rig;
    const unsigned s = rig.game.addString(Repeat(kBarChar, 37));
    rig.draw(s);
    EXPECT_EQ(rig.kana(35 * 8, 0), kWhite);  // glyph 36 of the first line
    EXPECT_EQ(rig.kana(288, 0), 0x0000);     // nothing at x = 288
    EXPECT_EQ(rig.kana(0, 16), kWhite);      // glyph 37 starts the second line
    EXPECT_EQ(rig.kana(8, 16), 0x0000);
}

TEST(PreviewUntranslatedPass, VariableWidthPacksGlyphsByTheirDrawnWidth) {
    Rig rig;
    rig.options.variableWidth = true;
    const unsigned s = rig.game.addString({kBarChar, kBlockChar, kBarChar});
    rig.draw(s);
    // Bar advances 3, block (rightmost column 7) advances 9.
    EXPECT_EQ(rig.kana(0, 0), kWhite);
    EXPECT_EQ(rig.kana(1, 0), kShadow);
    EXPECT_EQ(rig.kana(3, 0), kWhite);
    EXPECT_EQ(rig.kana(10, 0), kWhite);
    EXPECT_EQ(rig.kana(11, 0), kShadow);  // the block's shadow, kept by the bar's clear pixels
    EXPECT_EQ(rig.kana(12, 0), kWhite);
}

TEST(PreviewUntranslatedPass, LineBreaksUseTheGlyphHeightAndWrapPastRow767) {
    Rig rig;
    rig.format.bytes[0] = 12;  // glyph height 12: a line break moves 12 rows
    std::vector<uint16_t> words = {kBlockChar, kNewLine, kBarChar};
    rig.draw(rig.game.addString(words));
    EXPECT_EQ(rig.kana(0, 12), kWhite);
    EXPECT_EQ(rig.kana(0, 11), kWhite);   // block glyph row 11
    EXPECT_EQ(rig.kana(3, 12), 0x0000);   // the bar's clear columns overwrote nothing but background

    Rig wrap;
    words = {kBlockChar};
    for (int i = 0; i < 48; ++i) {
        words.push_back(kNewLine);  // 48 x 16 = 768: back to row 0
    }
    words.push_back(kBarChar);
    wrap.draw(wrap.game.addString(words));
    EXPECT_EQ(wrap.kana(0, 0), kWhite);
    EXPECT_EQ(wrap.kana(1, 0), kShadow);
    EXPECT_EQ(wrap.kana(2, 0), 0x0000);  // the bar's clear pixels erased the block there
}

TEST(PreviewUntranslatedPass, LabelsUseTheirColoursAndTheBuiltInFont) {
    Rig rig;
    const unsigned s = rig.game.addString({0xF000, 0xF400});
    rig.draw(s);
    // "[Key]" in label colour from x = 0; '[' is 3 wide, 'K' at its advance.
    bool sawLabel = false;
    bool sawPlayer = false;
    for (unsigned x = 0; x < 200; ++x) {
        for (unsigned y = 0; y < 16; ++y) {
            sawLabel |= rig.kana(x, y) == kLabelYellow;
            sawPlayer |= rig.kana(x, y) == kPlayerRed;
            EXPECT_NE(rig.kana(x, y), kWhite) << x << ',' << y;
        }
    }
    EXPECT_TRUE(sawLabel);
    EXPECT_TRUE(sawPlayer);

    Rig hidden;
    hidden.options.hideCodes = true;
    hidden.draw(hidden.game.addString({0xF000, 0xF300, 0xF500}));
    for (unsigned x = 0; x < kLayerStride; ++x) {
        for (unsigned y = 0; y < 32; ++y) {
            ASSERT_EQ(hidden.kana(x, y), 0x0000) << x << ',' << y;
        }
    }
}

TEST(PreviewUntranslatedPass, ClearWindowBreaksTheLineInsideItsLabel) {
    Rig shown;
    shown.draw(shown.game.addString({0xFC00, kBarChar}));
    EXPECT_EQ(shown.kana(0, 16), kWhite);  // after "[ClrWin]" and its break, at 16 rows (label)

    Rig hidden;
    hidden.options.hideCodes = true;
    hidden.draw(hidden.game.addString({0xFC00, kBarChar, 0xFC00, kBarChar}));
    EXPECT_EQ(hidden.kana(0, 0), kWhite);   // first FC: nothing
    EXPECT_EQ(hidden.kana(0, 16), kWhite);  // second FC: line break
}

TEST(PreviewUntranslatedPass, DrawsTheStringItIsHandedAndItsPointerStaysTheRecords) {
    Rig rig;
    const unsigned text = rig.game.addString({kBarChar});
    const unsigned other = rig.game.addNonTextRecord();
    const PreviewSources textSources = rig.game.sources(text);
    ASSERT_TRUE(textSources.romText.has_value());
    EXPECT_FALSE(textSources.romText->messageFlag());
    EXPECT_EQ(textSources.romText->textPointer, 0x800);
    rig.draw(text);
    EXPECT_EQ(rig.kana(0, 0), kWhite);  // the bar glyph
    const PreviewSources otherSources = rig.game.sources(other);
    ASSERT_TRUE(otherSources.romText.has_value());
    EXPECT_TRUE(otherSources.romText->messageFlag());
    EXPECT_EQ(otherSources.romText->message(), "NON-TEXT DATA");
    EXPECT_FALSE(script::IsTextRecord(rig.game.block, other));  // the shown pointer stays 0x800
}

TEST(PreviewUntranslatedPass, ARewrittenBlockShowsAMessageThoughTheRecordKeepsItsPointer) {
    Rig rig;
    rig.game.markInserted();
    rig.game.addString({kBlockChar});
    const unsigned second = rig.game.addString({kBarChar});
    const PreviewSources sources = rig.game.sources(second);
    ASSERT_TRUE(sources.romText.has_value());
    EXPECT_TRUE(sources.romText->messageFlag());
    // After string 0's block glyph and end mark.
    EXPECT_EQ(script::RecordTextPointer(rig.game.block, second), 0x804);
    rig.draw(second);
    EXPECT_EQ(rig.kana(0, 0), 0x0000);  // no bar glyph: the message instead
}

TEST(PreviewUntranslatedPass, MessagesDrawInWhiteWithTheBuiltInFont) {
    Rig rig;
    rig.draw(rig.game.addNonTextRecord());
    // "N" of "NON-TEXT DATA": its left column is set on rows 2-12.
    EXPECT_EQ(rig.kana(0, 2), kWhite);
    EXPECT_EQ(rig.kana(0, 12), kWhite);

    Rig hacked;
    hacked.game.markInserted();
    hacked.draw(hacked.game.addString({kBlockChar}));
    EXPECT_EQ(hacked.kana(7, 0), 0x0000);  // no block glyph: "E" of the message instead
    EXPECT_EQ(hacked.kana(0, 2), kWhite);
}

TEST(PreviewDrawPass, WithoutAFormatInstallsTheDefaultsAndDrawsNothing) {
    Rig rig;
    rig.format = {};
    const unsigned s = rig.game.addString({kBlockChar});
    rig.renderer.redraw(rig.game.sources(s), rig.options, rig.format);
    EXPECT_EQ(rig.format.boxWidth, 144);
    EXPECT_EQ(rig.format.glyphHeight(), 16);
    EXPECT_EQ(rig.format.glyphWidth(), 16);
    EXPECT_EQ(rig.format.bytes[2], 1);
    EXPECT_EQ(rig.format.bytes[7], 3);
    // Only the translated box was drawn; the upper box area stays black.
    for (unsigned y = 0; y < 120; ++y) {
        for (unsigned x = 0; x < rig.screen.width(); ++x) {
            ASSERT_EQ(rig.shown(x, y), 0x0000) << x << ',' << y;
        }
    }
    EXPECT_EQ(rig.shown(8, 136), kFrameBlack);
    EXPECT_EQ(rig.shown(9, 136), kFrameGrey);
    // The next drawing draws both; the untranslated pass sets the box width to 304.
    rig.renderer.redraw(rig.game.sources(s), rig.options, rig.format);
    EXPECT_EQ(rig.format.boxWidth, 304);
    EXPECT_EQ(rig.shown(9, 8), kFrameGrey);
}

TEST(PreviewDrawPass, DrawsNothingWithoutAString) {
    Rig rig;
    PreviewSources sources = rig.game.sources(rig.game.addString({kBlockChar}));
    sources.romText.reset();  // no block chosen or no data file loaded
    rig.renderer.redraw(sources, rig.options, rig.format);
    for (Pixel p : rig.screen.bitmap()) {
        ASSERT_EQ(p, 0x0000);
    }
}

TEST(PreviewTranslatedPass, CentresGlyphsAndWrapsAt216) {
    Rig rig;
    rig.game.setPreviewText(std::string(28, 'A'));
    rig.draw(rig.game.addString({}), true);
    // 'A' centred: columns 2-5; 27 glyphs of 8 fill x = 0..215, the 28th starts line 2.
    EXPECT_EQ(rig.ascii(2, 7), kWhite);
    EXPECT_EQ(rig.ascii(5, 7), kWhite);
    EXPECT_EQ(rig.ascii(6, 7), kShadow);
    EXPECT_EQ(rig.ascii(26 * 8 + 2, 7), kWhite);
    EXPECT_EQ(rig.ascii(2, 16 + 7), kWhite);
    EXPECT_EQ(rig.ascii(8 + 2, 16 + 7), 0x0000);

    Rig vwf;
    vwf.options.variableWidth = true;
    vwf.game.setPreviewText("AA");
    vwf.draw(vwf.game.addString({}), true);
    EXPECT_EQ(vwf.ascii(7 + 2, 7), kWhite);  // the second 'A' 7 pixels on, centred again
}

TEST(PreviewTranslatedPass, KeepsTheUpperBoxAndOverlaysOntoTheLowerOne) {
    Rig rig;
    rig.game.setPreviewText("!");
    rig.draw(rig.game.addString({kBlockChar}), true);
    // Upper box still there: block glyph at the kana window origin.
    EXPECT_EQ(rig.shown(16, 16), kWhite);
    // '!' centred 3 right, row 2, at the ASCII window origin (16, 144).
    EXPECT_EQ(rig.shown(16 + 3, 144 + 2), kWhite);
    EXPECT_EQ(rig.shown(16 + 4, 144 + 2), kShadow);
    // Text layer zeros are transparent: the box colour shows through.
    EXPECT_EQ(rig.shown(16 + 5, 144 + 2), BoxColour(rig.options, 144 + 2 - kAsciiFrameTop));
}

TEST(PreviewFrame, EmptyStringDrawsBothFramesWithPlainInteriors) {
    Rig rig;
    rig.game.setPreviewText("");
    rig.draw(rig.game.addString({}), true);
    for (unsigned top : {kKanaFrameTop, kAsciiFrameTop}) {
        const unsigned columns = top == kKanaFrameTop ? kKanaFrameColumns : kAsciiFrameColumns;
        for (unsigned y = top + 4; y < top + 104; ++y) {  // between the top and bottom edge lines
            for (unsigned x = kFrameLeft + 4; x < kFrameLeft + columns * 8 - 4; ++x) {
                ASSERT_EQ(rig.shown(x, y), BoxColour(rig.options, y - top)) << x << ',' << y;
            }
        }
        EXPECT_EQ(rig.shown(kFrameLeft, top), kFrameBlack);
        EXPECT_EQ(rig.shown(kFrameLeft + 1, top), kFrameGrey);
        EXPECT_EQ(rig.shown(kFrameLeft + columns * 8 - 1, top + 111), kFrameBlack);
    }
    // Frame map of the last pass: 14 rows, 29 columns.
    const FrameMap& map = rig.screen.frameMap();
    EXPECT_EQ(map.rows, 14u);
    EXPECT_EQ(map.columns, 29u);
    EXPECT_EQ(map.at(0, 0), kTileTopLeft);
    EXPECT_EQ(map.at(0, 27), kTileTop);
    EXPECT_EQ(map.at(0, 28), kTileTopRight);
    EXPECT_EQ(map.at(6, 0), kTileLeft);
    EXPECT_EQ(map.at(6, 1), kTileInterior);
    EXPECT_EQ(map.at(13, 28), kTileBottomRight);
}

TEST(PreviewFrame, SolidAndGradientDifferOnlyInsideTheBoxes) {
    Rig gradient;
    Rig solid;
    solid.options.style = TextBoxStyle::Solid;
    for (Rig* rig : {&gradient, &solid}) {
        rig->game.setPreviewText("Wa!");
        rig->draw(rig->game.addString({kBlockChar, kBarChar}), true);
    }
    unsigned differing = 0;
    for (unsigned y = 0; y < gradient.screen.height(); ++y) {
        for (unsigned x = 0; x < gradient.screen.width(); ++x) {
            const Pixel g = gradient.shown(x, y);
            const Pixel s = solid.shown(x, y);
            if (g == s) {
                continue;
            }
            ++differing;
            const bool upper = y >= kKanaFrameTop && y < kKanaFrameTop + 112;
            const unsigned top = upper ? kKanaFrameTop : kAsciiFrameTop;
            ASSERT_EQ(s, 0x001F) << x << ',' << y;  // solid blue interior
            ASSERT_EQ(g, BoxColour(gradient.options, y - top)) << x << ',' << y;
        }
    }
    EXPECT_GT(differing, 10000u);
}

TEST(PreviewFrame, ShadowFallsOnTheBoxColour) {
    Rig rig;
    rig.options.colour = TextBoxColour::Red;
    rig.options.style = TextBoxStyle::Solid;
    rig.draw(rig.game.addString({kBarChar}));
    EXPECT_EQ(rig.shown(16, 16), kWhite);
    EXPECT_EQ(rig.shown(17, 16), kShadow);
    EXPECT_EQ(rig.shown(18, 16), 0xF800);
}

TEST(PreviewScroll, OffsetSixteenShowsLayerRows16To111) {
    Rig rig;
    const unsigned s = rig.game.addString({kBarChar, kNewLine, kBlockChar});
    rig.screen.kanaLayer().setScrollOffset(16);
    rig.renderer.redraw(rig.game.sources(s), rig.options, rig.format);
    EXPECT_EQ(rig.shown(16 + 7, 16), kWhite);  // the block of line 2 at the window's top
    EXPECT_NE(rig.shown(16 + 7, 16 + 95), kWhite);

    TextLayer layer(kKanaRowLength);
    layer.setScrollOffset(700);
    EXPECT_EQ(layer.scrollOffset(), 672u);
    layer.setScrollOffset(-16);
    EXPECT_EQ(layer.scrollOffset(), 0u);
    layer.setScrollOffset(40);
    EXPECT_EQ(layer.scrollOffset(), 32u);
    EXPECT_TRUE(layer.scrollLines(1));
    EXPECT_EQ(layer.scrollOffset(), 48u);
    layer.setScrollOffset(672);
    EXPECT_FALSE(layer.scrollLines(1));
}

TEST(PreviewDrawPass, AnyBytesAndFormatStayInsideTheLayersAndBoxes) {
    // Random strings, streams and format fields: nothing is written outside the storage (the
    // sanitizer build checks that), and nothing appears outside the two boxes on the screen.
    std::mt19937 random(20261208);
    for (int round = 0; round < 40; ++round) {
        Rig rig;
        std::vector<uint16_t> words(random() % 400);
        for (uint16_t& w : words) {
            w = static_cast<uint16_t>(random() % 3 == 0 ? 0xF000 + random() % 0x0F00 : random() % 8);
        }
        rig.game.addString(words);
        std::string stream(random() % 600, '\0');
        for (char& c : stream) {
            c = static_cast<char>(random() % 256);
        }
        rig.game.setPreviewText(stream);
        rig.format.bytes[0] = static_cast<uint8_t>(random() % 256);  // glyph height
        rig.format.bytes[1] = static_cast<uint8_t>(random() % 256);  // glyph width
        rig.options.hideCodes = random() % 2 == 0;
        rig.options.variableWidth = random() % 2 == 0;
        rig.screen.kanaLayer().setScrollOffset(static_cast<int>(random() % 800));
        rig.renderer.redraw(rig.game.sources(0), rig.options, rig.format);
        rig.renderer.drawStringSelection(rig.game.sources(0), rig.options, rig.format, true);
        for (unsigned y = 0; y < rig.screen.height(); ++y) {
            const bool inBox = (y >= kKanaFrameTop && y < kKanaFrameTop + 112) ||
                               (y >= kAsciiFrameTop && y < kAsciiFrameTop + 112);
            for (unsigned x = 0; x < rig.screen.width(); ++x) {
                if (!inBox || x < kFrameLeft) {
                    ASSERT_EQ(rig.shown(x, y), 0x0000) << round << ": " << x << ',' << y;
                }
            }
        }
    }
}

TEST(PreviewScreen, TakesAnySizeFromTheMinimumUp) {
    PreviewScreen small(100, 100);
    EXPECT_EQ(small.width(), 320u);
    EXPECT_EQ(small.height(), 256u);
    PreviewScreen big(640, 512);
    EXPECT_EQ(big.width(), 640u);
    EXPECT_EQ(big.pitch(), 640u);
    EXPECT_EQ(big.bitmap().size(), 640u * 512u);
    TinyGame game;
    TextBoxRenderer renderer(big);
    PreviewOptions options;
    auto format = testing::StandardFormat();
    renderer.drawStringSelection(game.sources(game.addString({kBlockChar})), options, format, false);
    EXPECT_EQ(big.bitmapRow(16)[16], kWhite);
    EXPECT_EQ(big.bitmapRow(16)[400], 0x0000);
}

}  // namespace
}  // namespace corv::preview
