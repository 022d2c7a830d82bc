// The character map of the table file's single-character lines: what it maps, what it refuses
// (with the line), its warnings, and the bytes both encoders write with it.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "script/character_map.h"
#include "script/preview_encoder.h"
#include "script/script_encoder.h"
#include "script/table_file.h"

namespace corv::script {
namespace {

// The table of the Spanish and German letters: ñ ü ó ß drawn at 7B-7E.
constexpr char kLettersTable[] = "# letters\n7B=\xF1\n7C=\xFC\n7D=\xF3\n7E=\xDF\n0105=the\n";

TableFile Parsed(std::string_view text) {
    TableFile table;
    table.parse(text);
    return table;
}

std::vector<uint8_t> Encoded(const std::vector<std::string>& lines, const CharacterMap& characters) {
    std::vector<uint8_t> bytes(256);
    bytes.resize(EncodeLines(lines, 0, bytes, nullptr, characters));
    return bytes;
}

TEST(CharacterMap, SingleCharacterLinesMapLettersToTheirBytesBothWays) {
    const TableFile table = Parsed(kLettersTable);
    const CharacterMap& map = table.characterMap();
    EXPECT_TRUE(table.refusedCharacterLines().empty());
    EXPECT_TRUE(table.characterWarnings().empty());
    EXPECT_EQ(map.byteOf('\xF1'), 0x7B);
    EXPECT_EQ(map.byteOf('\xDF'), 0x7E);
    EXPECT_EQ(map.characterOf(0x7C), '\xFC');
    EXPECT_TRUE(map.mapsCharacter('\xF3'));
    EXPECT_TRUE(map.givesByte(0x7D));
    // Characters without a line keep their own byte, and so does the byte's reading.
    EXPECT_EQ(map.byteOf('n'), 'n');
    EXPECT_EQ(map.characterOf('n'), 'n');
    EXPECT_FALSE(map.mapsCharacter('{'));
    EXPECT_FALSE(map.isIdentity());
}

TEST(CharacterMap, TablesWithoutLettersGiveTheIdentity) {
    EXPECT_TRUE(TableFile().characterMap().isIdentity());
    // The demo's lines map characters to themselves; multi-character and dictionary lines map nothing.
    const TableFile table = Parsed("0101=the\n20= \n41=A\n42=B\n8A=ka\n");
    EXPECT_TRUE(table.characterMap().isIdentity());
    EXPECT_TRUE(table.refusedCharacterLines().empty());
}

TEST(CharacterMap, RefusedLinesAreNamedWithTheirLineAndReason) {
    // Line 2 empty, line 3 a UTF-8 ñ, line 4 a control code byte, line 6 the dictionary byte; a
    // long line before line 6 is read in pieces but counts as one line.
    const std::string text = "7B=\xF1\n7C=\n7D=\xC3\xB1\nF1=\xF1\n" + std::string(300, 'x') + "\n01=a\n";
    const TableFile table = Parsed(text);
    const auto& refused = table.refusedCharacterLines();
    ASSERT_EQ(refused.size(), 4u);
    EXPECT_EQ(refused[0].line.line, 2u);
    EXPECT_EQ(refused[0].problem, CharacterLineProblem::EmptyText);
    EXPECT_EQ(refused[1].line.line, 3u);
    EXPECT_EQ(refused[1].problem, CharacterLineProblem::Utf8Text);
    EXPECT_EQ(refused[2].line.line, 4u);
    EXPECT_EQ(refused[2].problem, CharacterLineProblem::ControlCodeByte);
    EXPECT_EQ(refused[3].line.line, 6u);
    EXPECT_EQ(refused[3].problem, CharacterLineProblem::DictionaryByte);
    EXPECT_EQ(RefusedCharacterLineText(refused[2]),
              "line 4 (F1=\xC3\xB1): byte F1 is a control code in the game (F0-FF); a letter needs a byte below F0");
    EXPECT_EQ(RefusedCharacterLineText(refused[1]),
              "line 3 (7D=\xC3\xB1): the letter is written in UTF-8 (two bytes); save the table file as Latin-1");
    // The accepted line still maps; the refused ones do not.
    EXPECT_EQ(table.characterMap().byteOf('\xF1'), 0x7B);
    EXPECT_FALSE(table.characterMap().givesByte(0xF1));
    // The maps are read as before: the UTF-8 line still fills the multi-character map.
    EXPECT_EQ(table.multiCharacters()[0x7D], "\xC3\xB1");
}

TEST(CharacterMap, CarriageReturnLineEndsCountLinesToo) {
    const TableFile table = Parsed("7B=\xF1\r\n\r\nFC=\xFC\r\n");
    ASSERT_EQ(table.refusedCharacterLines().size(), 1u);
    EXPECT_EQ(table.refusedCharacterLines()[0].line.line, 3u);
}

TEST(CharacterMap, ALetterOnTwoLinesAndAReplacedByteAreWarnedAbout) {
    const TableFile table = Parsed("7B=\xF1\n7C=\xF1\n7D=\xFC\n7D=\xF3\n");
    const auto& warnings = table.characterWarnings();
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].warning, CharacterLineWarning::SlotReplaced);
    EXPECT_EQ(warnings[0].line.line, 4u);
    EXPECT_EQ(warnings[0].earlier.line, 3u);
    EXPECT_EQ(warnings[1].warning, CharacterLineWarning::CharacterTwice);
    EXPECT_EQ(warnings[1].line.line, 2u);
    const CharacterMap& map = table.characterMap();
    EXPECT_EQ(map.byteOf('\xF1'), 0x7C);  // the later line is written
    EXPECT_EQ(map.characterOf(0x7B), '\xF1');
    EXPECT_EQ(map.characterOf(0x7C), '\xF1');
    EXPECT_FALSE(map.mapsCharacter('\xFC'));  // its byte went to another letter
    EXPECT_EQ(map.characterOf(0x7D), '\xF3');
}

TEST(CharacterMap, ReloadingATableLeavesNothingOfTheFirstMap) {
    TableFile table = Parsed(kLettersTable);
    table.parse("0101=a\n");
    EXPECT_TRUE(table.characterMap().isIdentity());
    table.parse("FC=\xFC\n");
    table.release();
    EXPECT_TRUE(table.refusedCharacterLines().empty());
}

TEST(CharacterMap, TheScriptEncoderWritesMappedBytes) {
    const TableFile table = Parsed(kLettersTable);
    const std::vector<std::string> lines = {"ni\xF1o \xFC" "ber", "Stra\xDF" "e[KEY]"};
    EXPECT_EQ(Encoded(lines, table.characterMap()),
              (std::vector<uint8_t>{'n', 'i', 0x7B, 'o', ' ', 0x7C, 'b', 'e', 'r', 0xFD, 'S', 't', 'r', 'a', 0x7E, 'e',
                                    0xF0, 0xFF}));
    // Without the lines the same text writes the letters' own bytes, as always.
    EXPECT_EQ(Encoded(lines, CharacterMap{}),
              (std::vector<uint8_t>{'n', 'i', 0xF1, 'o', ' ', 0xFC, 'b', 'e', 'r', 0xFD, 'S', 't', 'r', 'a', 0xDF, 'e',
                                    0xF0, 0xFF}));
}

TEST(CharacterMap, EscapesAndKeywordsAreNotMapped) {
    // A line may map a letter onto the byte of an escape's digit; escapes are raw bytes.
    const TableFile table = Parsed("41=\xF1\n");
    EXPECT_EQ(Encoded({"[$F1]\xF1[KEY]"}, table.characterMap()), (std::vector<uint8_t>{0xF1, 0x41, 0xF0, 0xFF}));
}

TEST(CharacterMap, ThePreviewStreamHoldsTheGameBytes) {
    const TableFile table = Parsed(kLettersTable);
    const std::array<std::string, 3> entry = {".STRING 0", "\xBF" "D\xF3nde?", ".ENDS"};
    std::vector<uint8_t> stream(64);
    stream.resize(EncodePreview(entry, stream, table.characterMap()));
    EXPECT_EQ(stream, (std::vector<uint8_t>{0xBF, 'D', 0x7D, 'n', 'd', 'e', '?', 0xFF, 0xFF}));
}

TEST(CharacterMap, CharacterNamesShowTheLetterAndItsCodePoint) {
    EXPECT_EQ(CharacterName(0xFC), "\xC3\xBC (U+00FC)");
    EXPECT_EQ(CharacterName('a'), "a (U+0061)");
    EXPECT_EQ(CharacterName(0xA0), "U+00A0");
    EXPECT_EQ(Latin1LetterInUtf8("\xC3\xB1"), uint8_t{0xF1});
    EXPECT_FALSE(Latin1LetterInUtf8("\xE2\x80\x99").has_value());
    EXPECT_FALSE(Latin1LetterInUtf8("ab").has_value());
}

}  // namespace
}  // namespace corv::script
