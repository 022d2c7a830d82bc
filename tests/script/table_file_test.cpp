#include <gtest/gtest.h>

#include <fstream>

#include "script/table_file.h"
#include "script/script_test_support.h"

namespace corv::script {
namespace {

TableFile Parsed(std::string_view text) {
    TableFile table;
    table.parse(text);
    return table;
}

size_t FilledSlots(const TableFile::Slots& slots) {
    size_t n = 0;
    for (const auto& slot : slots) n += slot.has_value();
    return n;
}

TEST(TableFile, TwoDigitCodesGoToTheSingleOrMultiCharacterMapByTextLength) {
    const TableFile table = Parsed("8A=ab\n8A=a\n8B=\n");
    EXPECT_EQ(table.multiCharacters()[0x8A], "ab");
    EXPECT_EQ(table.singleCharacters()[0x8A], "a");
    // An empty text fills its slot; the neighbour stays empty.
    ASSERT_TRUE(table.singleCharacters()[0x8B].has_value());
    EXPECT_EQ(*table.singleCharacters()[0x8B], "");
    EXPECT_FALSE(table.singleCharacters()[0x8C].has_value());
    EXPECT_EQ(FilledSlots(table.dictionary()), 0u);
}

TEST(TableFile, DictionaryKeepsOnlyTheLowByteAndTheLastLineWins) {
    const TableFile table = Parsed("018A=the\nFF8A=and\n0102=of\n");
    EXPECT_EQ(table.dictionaryWord(0x8A), "and");
    EXPECT_EQ(table.dictionaryWord(0x02), "of");
    EXPECT_EQ(FilledSlots(table.dictionary()), 2u);
    EXPECT_FALSE(table.dictionaryWord(256).has_value());
    EXPECT_FALSE(table.dictionaryWord(100000).has_value());
}

TEST(TableFile, TextsAreKeptByteForByteWithSpaces) {
    const TableFile table = Parsed("8A= x\n8B=a=b \n41=\x82\xA0\n");
    EXPECT_EQ(table.multiCharacters()[0x8A], " x");
    EXPECT_EQ(table.multiCharacters()[0x8B], "a=b ");
    EXPECT_EQ(table.multiCharacters()[0x41], "\x82\xA0");
}

TEST(TableFile, EqualsSignElsewhereIsIgnoredAndPositionTwoComesFirst) {
    const TableFile ignored = Parsed("123=abc\n12345=abc\n=x\n# comment\n\n");
    EXPECT_EQ(FilledSlots(ignored.singleCharacters()) + FilledSlots(ignored.multiCharacters()) +
                  FilledSlots(ignored.dictionary()),
              0u);
    const TableFile both = Parsed("12=4=x\n");
    EXPECT_EQ(both.multiCharacters()[0x12], "4=x");
    EXPECT_EQ(FilledSlots(both.dictionary()), 0u);
}

TEST(TableFile, UnreadableCodeReadsAsZeroNegativeCodeNamesNoSlot) {
    const TableFile table = Parsed("G1=x\n-1=y\n-001=zz\n1G=w\n");
    EXPECT_EQ(table.singleCharacters()[0x00], "x");
    EXPECT_EQ(table.singleCharacters()[0x01], "w");  // reading stops at the G
    EXPECT_EQ(FilledSlots(table.singleCharacters()), 2u);
    EXPECT_EQ(FilledSlots(table.multiCharacters()), 0u);
    EXPECT_EQ(FilledSlots(table.dictionary()), 0u);
}

TEST(TableFile, CrLfLineEndsAndAFinalLineWithoutLineEnd) {
    const TableFile table = Parsed("8A=ab\r\n0120=word\r\n8C=cd");
    EXPECT_EQ(table.multiCharacters()[0x8A], "ab");
    EXPECT_EQ(table.dictionaryWord(0x20), "word");
    EXPECT_EQ(table.multiCharacters()[0x8C], "cd");
}

TEST(TableFile, LongLinesArriveInPiecesOf254Characters) {
    // The first piece holds "41=" and 251 characters; the rest of the line is read as a line of
    // its own, which here is an entry again.
    const std::string line = "41=" + std::string(251, 'a') + "42=yy" + "\n";
    const TableFile table = Parsed(line);
    EXPECT_EQ(table.multiCharacters()[0x41], std::string(251, 'a'));
    EXPECT_EQ(table.multiCharacters()[0x42], "yy");
}

TEST(TableFile, ParsingAgainLeavesNothingOfTheFirstTable) {
    TableFile table;
    table.parse("8A=ab\n0120=word\n");
    table.parse("8B=c\n");
    EXPECT_FALSE(table.multiCharacters()[0x8A].has_value());
    EXPECT_FALSE(table.dictionaryWord(0x20).has_value());
    EXPECT_EQ(table.singleCharacters()[0x8B], "c");
}

TEST(TableFile, LoadRecordsTheNameEvenWhenTheFileCannotBeOpened) {
    const test::TempFolder scratch;
    const auto& dir = scratch.path();
    const auto good = dir / "good.tbl";
    std::ofstream(good, std::ios::binary) << "0120=word\r\n";
    TableFile table;
    EXPECT_FALSE(table.hasName());
    EXPECT_EQ(table.load(good), TableLoadResult::Loaded);
    EXPECT_EQ(table.dictionaryWord(0x20), "word");

    const auto missing = dir / "missing.tbl";
    EXPECT_EQ(table.load(missing), TableLoadResult::CannotOpen);
    EXPECT_TRUE(table.hasName());
    EXPECT_EQ(table.fileName(), missing);
    EXPECT_EQ(table.dictionaryWord(0x20), "word");  // the maps keep their content
    EXPECT_EQ(table.load(dir), TableLoadResult::CannotOpen);  // a folder is no table file
}

}  // namespace
}  // namespace corv::script
