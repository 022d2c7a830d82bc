// The decompression walk over a pointer table: which entries give files, listing lines and
// list-box lines, what the files hold, and the two failures.

#include <gtest/gtest.h>

#include <algorithm>

#include "comp/area_walk.h"
#include "comp/comp_test_files.h"

namespace corv::comp {
namespace {

using testing::bytesOfWords;
using testing::hex8;
using testing::readFile;
using testing::readLines;
using testing::TempFolder;
using testing::TestRom;
using testing::writeFile;

constexpr uint32_t kGraphicsTable = 0x30000;
constexpr uint32_t kDataTable = 0xC0000;

const std::vector<uint16_t> kWordsA = {0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666, 0x7777, 0x8888};
const std::vector<uint16_t> kWordsB = {0xA1A1, 0xB2B2, 0xC3C3, 0xD4D4, 0xE5E5, 0xF6F6, 0x0707, 0x1818};

class AreaWalkTest : public ::testing::Test {
protected:
    void open(const TestRom& rom, bool headered = false) {
        const auto path = folder.path() / "rom.smc";
        writeFile(path, headered ? rom.withCopierHeader() : rom.data);
        state.startDirectory = folder.path();
        ASSERT_EQ(OpenRom(state, path).status, OpenRomStatus::Opened);
    }
    [[nodiscard]] std::filesystem::path dir(const char* name) const { return folder.path() / name; }

    TempFolder folder;
    UtilityState state;
};

TEST(AreaTables, TagsAndFolderNames) {
    EXPECT_EQ(AreaFromTag(0), Area::Graphics);
    EXPECT_EQ(AreaFromTag(1), Area::Data);
    EXPECT_EQ(AreaFromTag(2), Area::Text);
    EXPECT_EQ(AreaFromTag(3), std::nullopt);
    EXPECT_EQ(AreaFromTag(-1), std::nullopt);
    EXPECT_EQ(AreaDirectoryName(Area::Graphics), "00030200");
    EXPECT_EQ(AreaDirectoryName(Area::Data), "000C0200");
    EXPECT_EQ(AreaDirectoryName(Area::Text), "00100200");
    EXPECT_EQ(BlockFileName(0), "corv_000.dat");
    EXPECT_EQ(BlockFileName(321), "corv_321.dat");
    EXPECT_EQ(BlockFileName(1000), "corv_1000.dat");
}

TEST_F(AreaWalkTest, EntriesGiveFilesInvalidLinesOrNothing) {
    TestRom rom;
    const uint32_t endA = rom.literalBlock(0x40000, kWordsA);
    const uint32_t endB = rom.literalBlock(0x40100, kWordsB, 4);  // w0 4: the file still gets all 16 bytes
    rom.header(0x40200, 16, 1, {}, false);                          // fails its check
    const uint32_t endC = rom.literalBlock(0x40300, kWordsA);
    rom.header(static_cast<uint32_t>(rom.data.size() - 8), 16, 1);  // stream would run past the ROM
    rom.putEntry(kGraphicsTable, 0, 0xC40000);
    rom.putEntry(kGraphicsTable, 1, 0x3F0100);  // bank below $40: nothing at all
    rom.putEntry(kGraphicsTable, 2, 0x440100);
    rom.putEntry(kGraphicsTable, 3, 0x440200);
    rom.putEntry(kGraphicsTable, 4, 0x840300);
    rom.putEntry(kGraphicsTable, 5, 0xFFFFF0);  // far past the end of the image
    rom.putEntry(kGraphicsTable, 6, 0x400000 | static_cast<uint32_t>(rom.data.size() - 8));
    open(rom);

    const ListOutcome outcome = DecompressArea(state, Area::Graphics);
    EXPECT_TRUE(outcome.listCleared);
    EXPECT_EQ(outcome.message, std::nullopt);
    EXPECT_EQ(outcome.lines, (std::vector<std::string>{"Sucessfully decompressed \"corv_000.dat\"",
                                                       "Sucessfully decompressed \"corv_002.dat\"",
                                                       "Sucessfully decompressed \"corv_004.dat\""}));

    const auto out = dir("00030200");
    const std::string sep(1, std::filesystem::path::preferred_separator);
    const std::string base = folder.path().string() + sep + "00030200" + sep;
    EXPECT_EQ(readLines(out / "compfile.txt"),
              (std::vector<std::string>{
                  ".COMP " + base + "corv_000.dat  00040000  " + hex8(endA),
                  ".COMP " + base + "corv_002.dat  00040100  " + hex8(endB),
                  ".INVALID_DATA 00040200",
                  ".COMP " + base + "corv_004.dat  00040300  " + hex8(endC),
                  ".INVALID_DATA 003FFFF0",
                  ".INVALID_DATA " + hex8(static_cast<uint32_t>(rom.data.size() - 8)),
              }));
    EXPECT_EQ(readFile(out / "corv_000.dat"), bytesOfWords(kWordsA));
    EXPECT_EQ(readFile(out / "corv_002.dat"), bytesOfWords(kWordsB));
    EXPECT_EQ(readFile(out / "corv_004.dat"), bytesOfWords(kWordsA));
    for (const char* none : {"corv_001.dat", "corv_003.dat", "corv_005.dat", "corv_006.dat", "corv_007.dat"}) {
        EXPECT_FALSE(std::filesystem::exists(out / none)) << none;
    }
    // The walk only reads the ROM.
    EXPECT_EQ(std::vector<uint8_t>(state.rom.data().begin(), state.rom.data().end()), rom.data);
}

TEST_F(AreaWalkTest, BanksOfTheTwoMirrorsGiveTheSameBlock) {
    TestRom rom;
    rom.literalBlock(0x10000, kWordsA);
    rom.putEntry(kDataTable, 0, 0xC10000);
    rom.putEntry(kDataTable, 1, 0x410000);
    open(rom);
    const ListOutcome outcome = DecompressArea(state, Area::Data);
    ASSERT_EQ(outcome.lines.size(), 2u);
    const auto lines = readLines(dir("000C0200") / "compfile.txt");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("  00010000  0001001A"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("  00010000  0001001A"), std::string::npos) << lines[1];
}

TEST_F(AreaWalkTest, GroupCountOf0x8000OrMoreGivesAnEmptyFile) {
    TestRom rom;
    rom.header(0x40000, 16, 0x8000, {0xAAAA, 0xBBBB});
    rom.putEntry(kDataTable, 0, 0xC40000);
    open(rom);
    EXPECT_EQ(DecompressArea(state, Area::Data).lines.size(), 1u);
    EXPECT_TRUE(readFile(dir("000C0200") / "corv_000.dat").empty());
    const auto lines = readLines(dir("000C0200") / "compfile.txt");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("  00040000  0004000C"), std::string::npos) << lines[0];
}

// Block A fills the output area almost to its end with an 8-word pattern; block B starts with a
// long back-reference 8192 bytes back, which wraps to the end of the area.
TestRom wrapRom() {
    TestRom rom;
    rom.header(0x40000, 0, 256).word16(0x0000);
    for (uint16_t w : kWordsA) rom.word16(w);
    for (int group = 0; group < 255; ++group) {
        rom.word16(0xFFFF);
        for (int command = 0; command < 8; ++command) rom.word16(0x007F);  // 16 words from 8 back
    }
    rom.header(0x50000, 16, 1).word16(0xC000).word16(0xFFF0);  // 1 word from 4096 words back
    for (int i = 0; i < 7; ++i) rom.word16(0x0101);
    return rom;
}

TEST_F(AreaWalkTest, OutputAreaIsNotClearedBetweenBlocks) {
    TestRom rom = wrapRom();
    rom.putEntry(kDataTable, 0, 0xC40000);
    rom.putEntry(kDataTable, 1, 0xC50000);
    open(rom);
    ASSERT_EQ(DecompressArea(state, Area::Data).lines.size(), 2u);
    const auto fileA = readFile(dir("000C0200") / "corv_000.dat");
    EXPECT_EQ(fileA.size(), 16u + 255u * 256u);
    const auto fileB = readFile(dir("000C0200") / "corv_001.dat");
    ASSERT_EQ(fileB.size(), 16u);
    // 65536 - 8192 = 57344 is a multiple of the pattern's 16 bytes: its first word.
    EXPECT_EQ(fileB[0], 0x11);
    EXPECT_EQ(fileB[1], 0x11);
}

TEST_F(AreaWalkTest, OutputAreaIsZeroBeforeTheFirstBlockOfEveryRun) {
    TestRom rom = wrapRom();
    rom.putEntry(kDataTable, 0, 0xC40000);   // fills the area
    rom.putEntry(kGraphicsTable, 0, 0xC50000);  // reads from before its start
    open(rom);
    ASSERT_EQ(DecompressArea(state, Area::Data).lines.size(), 1u);
    ASSERT_EQ(DecompressArea(state, Area::Graphics).lines.size(), 1u);
    const auto fileB = readFile(dir("00030200") / "corv_000.dat");
    ASSERT_EQ(fileB.size(), 16u);
    EXPECT_EQ(fileB[0], 0x00);
    EXPECT_EQ(fileB[1], 0x00);
    EXPECT_EQ(fileB[2], 0x01);
}

TEST_F(AreaWalkTest, SecondRunReplacesTheListingAndFolderIgnoresTheCopierHeader) {
    TestRom rom;
    rom.literalBlock(0x40000, kWordsA);
    rom.putEntry(kDataTable, 0, 0xC40000);
    rom.putEntry(kDataTable, 2, 0xC40000);
    open(rom, /*headered=*/true);
    ASSERT_EQ(DecompressArea(state, Area::Data).lines.size(), 2u);
    const auto first = readLines(dir("000C0200") / "compfile.txt");
    ASSERT_EQ(first.size(), 2u);
    EXPECT_NE(first[0].find("  00040000  0004001A"), std::string::npos) << first[0];
    ASSERT_EQ(DecompressArea(state, Area::Data).lines.size(), 2u);
    EXPECT_EQ(readLines(dir("000C0200") / "compfile.txt"), first);
}

// A table that does not lie wholly inside a short image holds no pointers to read: its entries
// would be listed as blocks that are not there.
TEST_F(AreaWalkTest, TableRunningPastAShortImageIsRefusedWithoutAListing) {
    TestRom rom(0x100008);  // room for the first two text entries only
    rom.literalBlock(0x40000, kWordsA);
    rom.putEntry(0x100000, 0, 0xC40000);
    rom.putEntry(0x100000, 1, 0x000000);
    rom.putEntry(kDataTable, 0, 0xC40000);
    open(rom);
    EXPECT_FALSE(AreaTableInsideRom(state, Area::Text));
    EXPECT_TRUE(AreaTableInsideRom(state, Area::Data));

    const ListOutcome outcome = DecompressArea(state, Area::Text);
    EXPECT_FALSE(outcome.listCleared);
    EXPECT_TRUE(outcome.lines.empty());
    EXPECT_EQ(outcome.message, "Error: The table of this area lies past the end of the ROM.");
    EXPECT_FALSE(std::filesystem::exists(dir("00100200")));

    // The table ending exactly at the end of the image is read whole.
    TestRom exact(0xC0040);
    exact.literalBlock(0x40000, kWordsA);
    exact.putEntry(kDataTable, 15, 0xC40000);
    open(exact);
    EXPECT_TRUE(AreaTableInsideRom(state, Area::Data));
    EXPECT_FALSE(AreaTableInsideRom(state, Area::Text));
    const ListOutcome whole = DecompressArea(state, Area::Data);
    EXPECT_EQ(whole.message, std::nullopt);
    EXPECT_EQ(whole.lines, std::vector<std::string>{"Sucessfully decompressed \"corv_015.dat\""});
}

TEST_F(AreaWalkTest, ListingThatCannotBeCreatedStopsBeforeAnyFile) {
    TestRom rom;
    rom.literalBlock(0x40000, kWordsA);
    rom.putEntry(kDataTable, 0, 0xC40000);
    open(rom);
    std::filesystem::create_directories(dir("000C0200") / "compfile.txt");  // a folder in its way

    const ListOutcome outcome = DecompressArea(state, Area::Data);
    EXPECT_FALSE(outcome.listCleared);
    EXPECT_TRUE(outcome.lines.empty());
    EXPECT_EQ(outcome.message, "Error: Could not create needed directory.\n" +
                                   (dir("000C0200") / "compfile.txt").string() +
                                   ": not a regular file (a folder, block device or socket)");
    EXPECT_FALSE(std::filesystem::exists(dir("000C0200") / "corv_000.dat"));
}

TEST_F(AreaWalkTest, BlockFileThatCannotBeCreatedEndsTheWalkKeepingWhatWasWritten) {
    TestRom rom;
    rom.literalBlock(0x40000, kWordsA);
    rom.putEntry(kDataTable, 0, 0xC40000);
    rom.putEntry(kDataTable, 1, 0xC40000);
    rom.putEntry(kDataTable, 2, 0xC40000);
    open(rom);
    std::filesystem::create_directories(dir("000C0200") / "corv_001.dat");

    const ListOutcome outcome = DecompressArea(state, Area::Data);
    EXPECT_TRUE(outcome.listCleared);
    EXPECT_EQ(outcome.lines, std::vector<std::string>{"Sucessfully decompressed \"corv_000.dat\""});
    EXPECT_EQ(outcome.message, "Fatal Error: Could not open output file. Closing decompressor...\n" +
                                   (dir("000C0200") / "corv_001.dat").string() +
                                   ": not a regular file (a folder, block device or socket)");
    EXPECT_EQ(readLines(dir("000C0200") / "compfile.txt").size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir("000C0200") / "corv_002.dat"));
}

TEST_F(AreaWalkTest, NoRomDoesNothing) {
    state.startDirectory = folder.path();
    const ListOutcome outcome = DecompressArea(state, Area::Text);
    EXPECT_FALSE(outcome.listCleared);
    EXPECT_TRUE(outcome.lines.empty());
    EXPECT_EQ(outcome.message, std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(dir("00100200")));
}

}  // namespace
}  // namespace corv::comp
