// The Hex Data window's rules: the copy of a string, its cells and colours, the arrow keys, the
// glyph behind the selected cell and the caption.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/logic/hex_view.h"
#include "script/string_decoder.h"

namespace corv::editor {
namespace {

std::vector<std::string> RowTexts(const HexView& view, int row) {
    std::vector<std::string> texts;
    for (int k = 0; k < view.columns(); ++k) texts.push_back(view.cell(row, k).text);
    return texts;
}

HexView Loaded(const std::vector<uint8_t>& bytes, bool byteMode = false, int rows = 11) {
    HexView view;
    view.load(bytes, byteMode, 0x1234);
    view.setClientHeight(rows * kHexLineHeight + kHexLineHeight - 1);
    return view;
}

TEST(HexViewCopy, StopsAtTheEndMarkOrBeforeAnyOtherFfByte) {
    HexView view = Loaded({0x34, 0x12, 0x00, 0xF0, 0xFF, 0xFF, 0x77, 0x77});
    EXPECT_EQ(view.length(), 6u);
    EXPECT_EQ(RowTexts(view, 0), (std::vector<std::string>{"1234", "F000", "FFFF", "0000", "0000", "0000", "0000", "0000"}));

    // The word 0x01FF: its low byte 0xFF ends the copy, although no end mark follows.
    view.load(std::vector<uint8_t>{0x34, 0x12, 0xFF, 0x01, 0xFF, 0xFF}, false, 0);
    EXPECT_EQ(view.length(), 2u);
    EXPECT_EQ(view.cell(0, 1).text, "0000");

    view.load(std::vector<uint8_t>{0xFF, 0xFF, 0x12}, false, 0);
    EXPECT_EQ(view.length(), 2u);
    EXPECT_EQ(view.cell(0, 0).text, "FFFF");

    view.load(std::vector<uint8_t>{0xFF, 0x00}, false, 0);
    EXPECT_EQ(view.length(), 0u);
    EXPECT_EQ(view.cell(0, 0).text, "0000");
}

TEST(HexViewCopy, NeverGrowsPastItsSizeNorReadsPastTheSource) {
    HexView view = Loaded(std::vector<uint8_t>(5000, 0x11));
    EXPECT_EQ(view.length(), kHexCopySize);

    // An end mark right at the copy's end does not fit: the copy keeps its 4,096 bytes.
    std::vector<uint8_t> bytes(kHexCopySize - 1, 0x22);
    bytes.push_back(0xFF);
    bytes.push_back(0xFF);
    view.load(bytes, false, 0);
    EXPECT_EQ(view.length(), kHexCopySize - 1);
    EXPECT_EQ(view.copy().back(), 0);

    // A source that ends without an end mark (the last string of a block).
    view.load(std::vector<uint8_t>{0x01, 0x02, 0x03}, false, 0);
    EXPECT_EQ(view.length(), 3u);
    EXPECT_EQ(view.cell(0, 0).text, "0201");
    EXPECT_EQ(view.cell(0, 1).text, "0003");
}

TEST(HexViewCells, SelectedCellRedOnWhiteOthersTealAndWhiteOnBlack) {
    HexView view = Loaded({0x34, 0x12, 0xFF, 0xFF});
    view.press(HexKey::Right);
    view.press(HexKey::Down);
    const HexCell selected = view.cell(1, 1);
    EXPECT_EQ(selected.textColour, 0xFF0000u);
    EXPECT_EQ(selected.background, 0xFFFFFFu);
    for (int k : {0, 2, 6}) EXPECT_EQ(view.cell(1, k).textColour, 0x008080u) << k;
    for (int k : {3, 7}) EXPECT_EQ(view.cell(0, k).textColour, 0xFFFFFFu) << k;
    EXPECT_EQ(view.cell(0, 1).textColour, 0xFFFFFFu);  // same column, other row
    EXPECT_EQ(view.cell(0, 1).background, 0u);
}

TEST(HexViewCells, MessageShownAsSixteenBytesPerRowWithTranslationGlyphs) {
    const std::string stream = script::MessageStream(script::kNonTextMessage);
    HexView view = Loaded(std::vector<uint8_t>(stream.begin(), stream.end()), true);
    EXPECT_TRUE(view.byteMode());
    EXPECT_EQ(view.columns(), 16);
    EXPECT_EQ(view.length(), 15u);  // 13 characters and the end mark
    EXPECT_EQ(RowTexts(view, 0), (std::vector<std::string>{"4E", "4F", "4E", "2D", "54", "45", "58", "54", "20", "44",
                                                           "41", "54", "41", "FF", "FF", "00"}));
    EXPECT_EQ(view.glyph(false), (HexGlyphChoice{false, 'N'}));
    view.press(HexKey::Right);
    EXPECT_EQ(view.glyph(false), (HexGlyphChoice{false, 'O'}));
}

TEST(HexViewCells, AResolvedStringIsShownAsAMessageInBytesOrAsItsGameWords) {
    HexView view;
    script::ResolvedString hacked;
    hacked.kind = script::ResolvedKind::HackedText;
    view.loadString(hacked);
    EXPECT_TRUE(view.byteMode());
    EXPECT_EQ(view.length(), hacked.message().size() + 2);  // with the end mark

    const std::vector<uint8_t> block{0x00, 0x00, 0x34, 0x12, 0xFF, 0xFF, 0x07};
    script::ResolvedString game;
    game.kind = script::ResolvedKind::GameString;
    game.textPointer = 2;
    game.string = std::span(block).subspan(2);
    view.loadString(game);
    view.setClientHeight(kHexLineHeight);
    EXPECT_FALSE(view.byteMode());
    EXPECT_EQ(view.length(), 4u);
    EXPECT_EQ(view.cell(0, 0).text, "1234");
    EXPECT_EQ(view.caption(), "Hex Data - $007E0002");
}

TEST(HexViewKeys, LeftAndRightWrapToTheRowBeforeAndAfter) {
    HexView view = Loaded({0x01, 0x00, 0xFF, 0xFF}, false, 3);
    ASSERT_EQ(view.rows(), 3);

    // Left on the very first cell: the last cell of the same row, no scroll.
    view.press(HexKey::Left);
    EXPECT_EQ(view.selectedColumn(), 7);
    EXPECT_EQ(view.selectedRow(), 0);
    EXPECT_EQ(view.scroll(), 0);

    // Right at the row's end: first cell of the next row.
    view.press(HexKey::Right);
    EXPECT_EQ(view.selectedColumn(), 0);
    EXPECT_EQ(view.selectedRow(), 1);

    // Right on the last cell of the last visible row scrolls by one row of 16 bytes.
    view.press(HexKey::Down);
    for (int k = 0; k < 7; ++k) view.press(HexKey::Right);
    ASSERT_EQ(view.selectedColumn(), 7);
    view.press(HexKey::Right);
    EXPECT_EQ(view.selectedColumn(), 0);
    EXPECT_EQ(view.selectedRow(), 2);
    EXPECT_EQ(view.scroll(), 16);

    // Left from the first cell of the top row scrolls back.
    view.press(HexKey::Up);
    view.press(HexKey::Up);
    view.press(HexKey::Left);
    EXPECT_EQ(view.scroll(), 0);
    EXPECT_EQ(view.selectedColumn(), 7);
    EXPECT_EQ(view.selectedRow(), 0);
    view.press(HexKey::Up);
    EXPECT_EQ(view.scroll(), 0);
}

TEST(HexViewKeys, ScrollStopsWithTheTopRowInsideTheCopy) {
    for (const bool byteMode : {false, true}) {
        HexView view = Loaded({0x01, 0x00, 0xFF, 0xFF}, byteMode, 4);
        for (int k = 0; k < 400; ++k) view.press(HexKey::Down);
        EXPECT_EQ(view.selectedRow(), 3);
        EXPECT_EQ(view.scroll(), byteMode ? 4064 : 4080);
        EXPECT_EQ(view.cell(3, 0).text, byteMode ? "00" : "0000");  // rows past the copy show zeros
    }
}

TEST(HexViewKeys, SelectionSurvivesALoadUnlessTheModeChanges) {
    HexView view = Loaded({0x01, 0x00, 0xFF, 0xFF}, false, 3);
    view.press(HexKey::Right);
    view.press(HexKey::Down);
    view.press(HexKey::Down);
    view.press(HexKey::Down);  // scrolls
    ASSERT_EQ(view.scroll(), 16);
    view.load(std::vector<uint8_t>{0x05, 0x00, 0xFF, 0xFF}, false, 0);
    EXPECT_EQ(view.scroll(), 0);
    EXPECT_EQ(view.selectedColumn(), 1);
    EXPECT_EQ(view.selectedRow(), 2);
    view.load(std::vector<uint8_t>{0x41, 0xFF, 0xFF}, true, 0);
    EXPECT_EQ(view.selectedColumn(), 0);
    EXPECT_EQ(view.selectedRow(), 0);
}

TEST(HexViewGlyph, GameCharacterTranslationByteOrBlankForNonCharacters) {
    HexView view = Loaded({0x31, 0x00, 0x00, 0xF0, 0x34, 0x12, 0xFF, 0xFF});
    EXPECT_EQ(view.glyph(false), (HexGlyphChoice{true, 0x0031}));
    view.press(HexKey::Right);
    EXPECT_EQ(view.glyph(false), (HexGlyphChoice{true, 0x0020}));  // the control word 0xF000
    view.press(HexKey::Right);
    EXPECT_EQ(view.glyph(false), (HexGlyphChoice{true, 0x0020}));  // 0x1234
    // With the translated preview shown, the byte at the column counted in bytes.
    EXPECT_EQ(view.glyph(true), (HexGlyphChoice{false, 0x00}));
    view.press(HexKey::Left);
    view.press(HexKey::Left);
    EXPECT_EQ(view.glyph(true), (HexGlyphChoice{false, 0x31}));
}

TEST(HexViewCaption, AddressOfTheSelectedCellOrOfTheLastByte) {
    HexView view = Loaded({0x34, 0x12, 0x00, 0xF0, 0xFF, 0xFF});  // text pointer 0x1234
    EXPECT_EQ(view.caption(), "Hex Data - $007E1234");
    view.press(HexKey::Right);
    view.press(HexKey::Right);
    EXPECT_EQ(view.caption(), "Hex Data - $007E1238");
    for (int k = 0; k < 3; ++k) view.press(HexKey::Right);
    EXPECT_EQ(view.caption(), "Hex Data - $007E1239");
    view.press(HexKey::Right);
    EXPECT_EQ(view.caption(), "Hex Data - $007E1239");
    view.load(std::vector<uint8_t>{0xFF, 0x00}, false, 0x00AB);
    EXPECT_EQ(view.caption(), "Hex Data - $007E00AB");  // nothing copied
}

}  // namespace
}  // namespace corv::editor
