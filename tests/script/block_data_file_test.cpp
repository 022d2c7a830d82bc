#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "script/block_data_file.h"
#include "script/code_table.h"
#include "script/script_test_support.h"

namespace corv::script {
namespace {

using Kind = SettingOperation::Kind;

class BlockDataFileTest : public ::testing::Test {
protected:
    BlockDataLoad parse(std::string_view text, const FormatSettings& current = {}) {
        return ParseBlockDataFile(text, *maps, current);
    }
    DataFileSettings statesAfter(std::string_view text, DataFileSettings start = {}) {
        const BlockDataLoad load = parse(text);
        ApplySettings(start, load.operations);
        return start;
    }
    std::unique_ptr<CodeMaps> maps = std::make_unique<CodeMaps>();
};

TEST_F(BlockDataFileTest, OnlyBlockLinesGiveTheBlocksAndTouchNothingElse) {
    FormatSettings current;
    const BlockDataLoad load = parse("; blocks\n.BLOCK D01000\n.block 545c00\n.BLOCK\n.BLOCKS 12\n", current);
    ASSERT_EQ(load.blocks.size(), 4u);
    EXPECT_EQ(load.blocks[0].address, 0xD01000u);
    EXPECT_EQ(load.blocks[0].listLine, "Block D01000");
    EXPECT_EQ(load.blocks[1].listLine, "Block 545C00");
    EXPECT_EQ(load.blocks[2].address, 0u);  // unreadable address counts as 0
    EXPECT_EQ(load.blocks[2].listLine, "Block 0");
    EXPECT_EQ(load.blocks[3].address, 0x12u);  // a longer word with the same beginning matches
    EXPECT_TRUE(load.operations.empty());
    EXPECT_FALSE(load.formatRead);
    EXPECT_EQ(load.format, current);
    EXPECT_EQ(load.format.boxWidth, 0);
    EXPECT_FALSE(load.fontAddress.has_value());
}

TEST_F(BlockDataFileTest, EndBlockSetsTheRoomOfTheBlockAboveAsARomOffset) {
    const BlockDataLoad load = parse(".ENDBLOCK $100000\n.BLOCK D40000\n.ENDBLOCK $145A17\n.BLOCK D01000\n"
                                     ".endblock D02E0F\n.BLOCK 545C00\n.ENDBLOCK\n.BLOCK 550000\n");
    ASSERT_EQ(load.blocks.size(), 4u);
    EXPECT_EQ(load.blocks[0].endOfRoom, std::optional<uint32_t>(0x145A17));
    EXPECT_EQ(load.blocks[1].endOfRoom, std::optional<uint32_t>(0x102E0F));  // an address maps to its offset
    EXPECT_FALSE(load.blocks[2].endOfRoom.has_value());                    // no value
    EXPECT_FALSE(load.blocks[3].endOfRoom.has_value());
    EXPECT_EQ(load.blocks[0].listLine, "Block D40000");
}

TEST_F(BlockDataFileTest, AtMost4096BlocksTheRestIgnored) {
    std::string text;
    for (int i = 0; i < 4100; ++i) text += ".BLOCK " + std::to_string(i) + "\n";
    const BlockDataLoad load = parse(text);
    EXPECT_EQ(load.blocks.size(), kMaxBlocks);
    EXPECT_EQ(load.ignoredBlocks, 4u);
    EXPECT_EQ(load.blocks.back().address, 0x4095u);
}

TEST_F(BlockDataFileTest, VwfAndControlCodesEndInvertedByTheirCommands) {
    for (bool start : {false, true}) {
        DataFileSettings states;
        states.variableWidth = start;
        states.hideCodes = start;
        EXPECT_FALSE(statesAfter(".VWF\n", states).variableWidth);
        EXPECT_TRUE(statesAfter(".VWF on\n", states).variableWidth);
        EXPECT_FALSE(statesAfter(".VWF off\n", states).variableWidth);
        EXPECT_TRUE(statesAfter(".CONTROLCODES hide\n", states).hideCodes);
        EXPECT_FALSE(statesAfter(".CONTROLCODES SHOW\n", states).hideCodes);
        EXPECT_FALSE(statesAfter(".CONTROLCODES\n", states).hideCodes);
    }
    // The order the editor replays: set the switch, then run the command that inverts it.
    const BlockDataLoad load = parse(".VWF ON\n");
    SettingOperation set;
    set.kind = Kind::Set;
    set.setting = PreviewSwitch::VariableWidth;
    set.value = false;
    SettingOperation toggle;
    toggle.kind = Kind::Toggle;
    toggle.setting = PreviewSwitch::VariableWidth;
    const std::vector<SettingOperation> expected = {set, toggle};
    EXPECT_EQ(load.operations, expected);
}

TEST_F(BlockDataFileTest, TransTextShowRunsTheDisplayCommandOtherValuesNothing) {
    EXPECT_TRUE(statesAfter(".TransText show\n").showTranslation);
    EXPECT_TRUE(parse(".TransText hide\n.TransText\n").operations.empty());
}

TEST_F(BlockDataFileTest, TextboxSubKeywordsAreCaseSensitiveAndLaterOnesWin) {
    DataFileSettings red = statesAfter(".textbox .color.red .solid\n");
    EXPECT_EQ(red.colour, TextBoxColour::Red);
    EXPECT_EQ(red.style, TextBoxStyle::Solid);
    EXPECT_EQ(statesAfter(".TEXTBOX .color.red\n").colour, TextBoxColour::Red);
    const DataFileSettings untouched = statesAfter(".textbox .COLOR.RED\n");
    EXPECT_EQ(untouched, DataFileSettings{});
    const DataFileSettings both = statesAfter(".textbox .color.red .color.blue .gradient .solid\n");
    EXPECT_EQ(both.colour, TextBoxColour::Red);
    EXPECT_EQ(both.style, TextBoxStyle::Gradient);
}

TEST_F(BlockDataFileTest, WindowDirectivesShowUnlessHide) {
    const DataFileSettings states = statesAfter(".TextWindow HIDE\n.HexWindow show\n.KanaWindow anything\n");
    EXPECT_FALSE(states.scriptTextShown);
    EXPECT_TRUE(states.hexDataShown);
    EXPECT_TRUE(states.kanaTextShown);
    EXPECT_TRUE(statesAfter(".TextWindow hide\n.TextWindow\n").scriptTextShown);
}

TEST_F(BlockDataFileTest, FormatFieldsWidthsAndBoxWidth) {
    const BlockDataLoad load = parse(".FORMAT 38 16 8 1 8 0 1 2 3\n");
    EXPECT_TRUE(load.formatRead);
    EXPECT_EQ(load.format.boxWidth, 304);
    EXPECT_EQ(load.format.glyphHeight(), 16);
    EXPECT_EQ(load.format.glyphWidth(), 8);
    EXPECT_EQ(load.format.bytes[7], 3);

    // Missing numbers keep the fields as they were; the width is computed again.
    const BlockDataLoad partial = parse(".FORMAT 10\n", load.format);
    EXPECT_EQ(partial.format.boxWidthCount, 10);
    EXPECT_EQ(partial.format.boxWidth, 80);
    EXPECT_EQ(partial.format.glyphHeight(), 16);

    // Values are cut to their fields; the product is taken in 16 bits.
    const BlockDataLoad cut = parse(".FORMAT 70000 300 8 1 20\n");
    EXPECT_EQ(cut.format.boxWidthCount, 70000 & 0xFFFF);
    EXPECT_EQ(cut.format.glyphHeight(), 300 & 0xFF);
    EXPECT_EQ(cut.format.boxWidth, static_cast<uint16_t>((70000 & 0xFFFF) * 20));

    const BlockDataLoad stopped = parse(".FORMAT 20 x 9\n", load.format);
    EXPECT_EQ(stopped.format.boxWidthCount, 20);
    EXPECT_EQ(stopped.format.glyphWidth(), 8);  // reading stopped at the x
}

TEST_F(BlockDataFileTest, FontAddressIsStored) {
    EXPECT_EQ(parse(".Font 060000\n").fontAddress, 0x060000u);
    EXPECT_FALSE(parse(".Font\n").fontAddress.has_value());
}

TEST_F(BlockDataFileTest, CodeTableEntries) {
    const BlockDataLoad load = parse(".TABLE\n8A=ka\n0A8A=ka\n8B=\n8C=two words\nA8C=3\n 8D=x\n.ENDTABLE\n.BLOCK 10\n");
    // The map follows the position of the equals sign, not the number of digits.
    EXPECT_EQ(maps->wordEntry(0x0A8C).text, "3");
    EXPECT_EQ(maps->wordEntry(0x008D).text, "x");
    EXPECT_TRUE(maps->byteEntry(0x8D).text.empty());
    EXPECT_EQ(maps->byteEntry(0x8A).text, "ka");
    EXPECT_EQ(maps->byteEntry(0x8A).length, 2);
    EXPECT_FALSE(maps->byteEntry(0x8A).generated);
    EXPECT_EQ(maps->wordEntry(0x0A8A).text, "ka");
    EXPECT_EQ(maps->wordEntry(0x0A8A).length, 2);
    EXPECT_EQ(maps->byteEntry(0x8B).text, "[$8B]");
    EXPECT_TRUE(maps->byteEntry(0x8B).generated);
    EXPECT_EQ(maps->byteEntry(0x8B).length, 0);
    EXPECT_EQ(maps->byteEntry(0x8C).text, "two");  // the text ends at white space
    EXPECT_EQ(maps->byteEntry(0x8C).colour, kDefaultColourIndex);
    EXPECT_EQ(load.blocks.size(), 1u);  // the section ended at .ENDTABLE
}

TEST_F(BlockDataFileTest, RangeLinesGenerateTextsWithoutLength) {
    (void)parse(".TABLE\n0105=x\n.NULL16 $0100 to $01FF\n.NULL $FF - $00\n0106=yy\n.ENDTABLE\n");
    EXPECT_EQ(maps->wordEntry(0x0100).text, "[$100]");
    EXPECT_EQ(maps->wordEntry(0x01FF).text, "[$1FF]");
    EXPECT_TRUE(maps->wordEntry(0x0150).generated);
    EXPECT_EQ(maps->wordEntry(0x0150).length, 0);
    EXPECT_FALSE(maps->wordEntry(0x0200).generated);
    EXPECT_TRUE(maps->wordEntry(0x0200).text.empty());
    // A range over an explicit entry makes it a range code: its text and its length.
    EXPECT_EQ(maps->wordEntry(0x0105).text, "[$105]");
    EXPECT_EQ(maps->wordEntry(0x0105).length, 0);
    // An explicit entry after the range keeps the generated flag.
    EXPECT_EQ(maps->wordEntry(0x0106).text, "yy");
    EXPECT_TRUE(maps->wordEntry(0x0106).generated);
    for (unsigned code = 0; code < 256; ++code) {
        EXPECT_TRUE(maps->byteEntry(static_cast<uint8_t>(code)).generated) << code;
    }
    EXPECT_EQ(maps->byteEntry(0x05).text, "[$05]");
}

TEST_F(BlockDataFileTest, CodesAndRangesBeyondTheirMapAreIgnored) {
    (void)parse(".TABLE\n1FFFF=x\nZZ=y\n.NULL $F0 to $1FF\n.NULL16 -5 to 3\n.NULL16 $FFFE $FFFF\n.ENDTABLE\n");
    EXPECT_TRUE(maps->wordEntry(0xFFFF).text.empty());
    EXPECT_TRUE(maps->byteEntry(0x00).text.empty());   // ZZ names no entry
    EXPECT_TRUE(maps->byteEntry(0xF0).generated);
    EXPECT_TRUE(maps->byteEntry(0xFF).generated);
    EXPECT_FALSE(maps->byteEntry(0xEF).generated);
    EXPECT_TRUE(maps->wordEntry(0x0000).generated);
    EXPECT_TRUE(maps->wordEntry(0x0003).generated);
    EXPECT_FALSE(maps->wordEntry(0x0004).generated);
    EXPECT_FALSE(maps->wordEntry(0xFFFE).generated);  // a range line needs four words
}

TEST_F(BlockDataFileTest, ColourTableActsOnTheMapsAsTheyStand) {
    (void)parse(".COLORTABLE\n.NULL16=$03\n.ENDCOLOR\n"
                ".TABLE\n.NULL16 $10 - $12\n.NULL $20 - $20\n0013=x\n.ENDTABLE\n"
                ".colored\n.NULL16=$03\n.NULL=4\n0013=7\n14=x9\n.NULL16 5\n.ENDCOLOR\n");
    EXPECT_EQ(maps->wordEntry(0x10).colour, 3);
    EXPECT_EQ(maps->wordEntry(0x12).colour, 3);
    EXPECT_EQ(maps->wordEntry(0x13).colour, 7);
    EXPECT_EQ(maps->byteEntry(0x20).colour, 4);
    EXPECT_EQ(maps->byteEntry(0x14).colour, 9);
    EXPECT_EQ(maps->byteEntry(0x21).colour, kDefaultColourIndex);
    EXPECT_EQ(maps->wordEntry(0x14).colour, kDefaultColourIndex);
}

TEST_F(BlockDataFileTest, SectionsConsumeTheirLinesUpToTheEndWordOrTheFile) {
    const BlockDataLoad load = parse(".COLORTABLE\n.BLOCK 1\n.ENDCOLOR\n.BLOCK 2\n.TABLE\n.BLOCK 3\n41=a\n");
    ASSERT_EQ(load.blocks.size(), 1u);
    EXPECT_EQ(load.blocks[0].address, 2u);
    EXPECT_EQ(maps->byteEntry(0x41).text, "a");
}

TEST_F(BlockDataFileTest, CodeMapsPersistAcrossLoadsWhileBlocksAreRebuilt) {
    (void)parse(".TABLE\n0041=a\n0042=b\n.ENDTABLE\n.BLOCK 10\n");
    const BlockDataLoad second = parse(".TABLE\n0042=B\n.ENDTABLE\n.BLOCK 20\n");
    EXPECT_EQ(maps->wordEntry(0x41).text, "a");
    EXPECT_EQ(maps->wordEntry(0x42).text, "B");
    ASSERT_EQ(second.blocks.size(), 1u);
    EXPECT_EQ(second.blocks[0].address, 0x20u);
}

TEST_F(BlockDataFileTest, BackslashXEscapesDropTheCharacterAfterThem) {
    (void)parse(".TABLE\n0041=\\x82_\\xA0\n0042=\\x82\\xA0\n0043=a\\x41\n0044=\\xZZ\n.ENDTABLE\n");
    EXPECT_EQ(maps->wordEntry(0x41).text, "\x82\xA0");
    EXPECT_EQ(maps->wordEntry(0x41).length, 2);
    // Back to back, the second escape loses its backslash and stays text.
    EXPECT_EQ(maps->wordEntry(0x42).text, "\x82xA0");
    EXPECT_EQ(maps->wordEntry(0x42).length, 4);
    EXPECT_EQ(maps->wordEntry(0x43).text, "aA");  // an escape at the end of the word
    EXPECT_EQ(maps->wordEntry(0x44).text, "\\xZZ");
    EXPECT_EQ(RebuildEscapedText("\\x00z"), std::string(1, '\0'));
}

TEST_F(BlockDataFileTest, NumberSyntax) {
    EXPECT_EQ(ParseDataNumber("$1F"), 31);
    EXPECT_EQ(ParseDataNumber("x1F"), 31);
    EXPECT_EQ(ParseDataNumber("X1f"), 31);
    EXPECT_EQ(ParseDataNumber("0x1F"), 31);
    EXPECT_EQ(ParseDataNumber("0X1F"), 31);
    EXPECT_EQ(ParseDataNumber("\\x1F"), 31);
    EXPECT_EQ(ParseDataNumber("'A"), 65);
    EXPECT_EQ(ParseDataNumber("'\xE0"), -32);  // the character's code is signed
    EXPECT_EQ(ParseDataNumber("12abc"), 12);
    EXPECT_EQ(ParseDataNumber("abc"), 0);
    EXPECT_EQ(ParseDataNumber("$"), 0);
    EXPECT_EQ(ParseDataNumber(""), 0);
}

TEST_F(BlockDataFileTest, LinesArriveInPiecesOf255CharactersAndCrLfIsALineEnd) {
    // A 255-character comment followed on the same line by a directive: the second piece is a
    // line of its own.
    const BlockDataLoad load = parse(std::string(255, ';') + ".BLOCK 123\r\n.VWF ON\r\n");
    ASSERT_EQ(load.blocks.size(), 1u);
    EXPECT_EQ(load.blocks[0].address, 0x123u);
    DataFileSettings states;
    ApplySettings(states, load.operations);
    EXPECT_TRUE(states.variableWidth);
}

TEST_F(BlockDataFileTest, LoadFromFile) {
    const test::TempFolder scratch;
    const auto& dir = scratch.path();
    EXPECT_FALSE(LoadBlockDataFile(dir / "missing.txt", *maps).has_value());
    EXPECT_FALSE(LoadBlockDataFile(dir, *maps).has_value());
    std::ofstream(dir / "corvane.txt", std::ios::binary) << ".BLOCK D01000\r\n.TABLE\r\n0041=a\r\n";
    const auto load = LoadBlockDataFile(dir / "corvane.txt", *maps);
    ASSERT_TRUE(load.has_value());
    EXPECT_EQ(load->blocks.size(), 1u);
    EXPECT_EQ(maps->wordEntry(0x41).text, "a");
}

}  // namespace
}  // namespace corv::script
