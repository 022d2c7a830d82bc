// Recompression from a listing: line parsing, the result lines, what reaches the ROM, and the
// work area's leftovers after a file.

#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <cstdio>
#include "core/block_encoder.h"
#include "core/block_decoder.h"

#include <sstream>

#include "comp/area_walk.h"
#include "comp/listing_recompress.h"
#include "comp/comp_test_files.h"
#include "core/byte_order.h"

namespace corv::comp {
namespace {

using testing::bytesOfWords;
using testing::readLines;
using testing::TempFolder;
using testing::TestRom;
using testing::writeFile;
using testing::writeText;

const std::vector<uint16_t> kWords = {0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666, 0x7777, 0x8888};

TEST(ListingLines, KeywordIsTheFirstFiveCharactersInAnyCase) {
    EXPECT_TRUE(IsEntryLine(".COMP a 1 2"));
    EXPECT_TRUE(IsEntryLine(".comp a 1 2"));
    EXPECT_TRUE(IsEntryLine(".CoMp"));
    EXPECT_FALSE(IsEntryLine(" .COMP a 1 2"));
    EXPECT_FALSE(IsEntryLine("\t.COMP a 1 2"));
    EXPECT_FALSE(IsEntryLine(".INVALID_DATA 00040000"));
    EXPECT_FALSE(IsEntryLine(".COM"));
    EXPECT_FALSE(IsEntryLine(""));
}

TEST(ListingLines, FourFieldsWithHexNumbersInEitherCase) {
    const auto entry = ParseEntryLine(".COMP /a/b/corv_005.dat  0004ab00 \t 4AB1a");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->path, std::filesystem::path("/a/b/corv_005.dat"));
    EXPECT_EQ(entry->offset, 0x4AB00u);
    EXPECT_EQ(entry->end, 0x4AB1Au);
    const auto prefixed = ParseEntryLine(".comp x.dat 0x10 0X20");
    ASSERT_TRUE(prefixed.has_value());
    EXPECT_EQ(prefixed->offset, 0x10u);
    EXPECT_EQ(prefixed->end, 0x20u);
}

TEST(ListingLines, PathWithBlanksReadsBack) {
    const auto entry = ParseEntryLine(".COMP /home/my files/00100200/corv_001.dat  00140000  00140100");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->path, std::filesystem::path("/home/my files/00100200/corv_001.dat"));
    EXPECT_EQ(entry->offset, 0x140000u);
}

TEST(ListingLines, NumbersEndAtTheirFirstNonHexCharacterAndTheRestIsIgnored) {
    const auto commented = ParseEntryLine(".COMP /a/corv_001.dat  00145C00  00146AD4  ; note");
    ASSERT_TRUE(commented.has_value());
    EXPECT_EQ(commented->path, std::filesystem::path("/a/corv_001.dat"));
    EXPECT_EQ(commented->offset, 0x145C00u);
    EXPECT_EQ(commented->end, 0x146AD4u);
    const auto semicolon = ParseEntryLine(".COMP x.dat 145C00 1461B4;");
    ASSERT_TRUE(semicolon.has_value());
    EXPECT_EQ(semicolon->end, 0x1461B4u);
    const auto third = ParseEntryLine(".COMP my dir/x.dat 145C00 1461B4 99");
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->path, std::filesystem::path("my dir/x.dat"));
    EXPECT_EQ(third->offset, 0x145C00u);
    EXPECT_EQ(third->end, 0x1461B4u);
    // Folder names that begin with hexadecimal letters stay part of the path.
    const auto folders = ParseEntryLine(".COMP /home/Bad Folder/deca de/corv_002.dat 10 20");
    ASSERT_TRUE(folders.has_value());
    EXPECT_EQ(folders->path, std::filesystem::path("/home/Bad Folder/deca de/corv_002.dat"));
    EXPECT_EQ(folders->offset, 0x10u);
}

TEST(ListingLines, UnparseableLinesAreRefused) {
    EXPECT_EQ(ParseEntryLine(".COMP corv_000.dat 00040000"), std::nullopt);
    EXPECT_EQ(ParseEntryLine(".COMP corv_000.dat 0004G000 00040020"), std::nullopt);
    EXPECT_EQ(ParseEntryLine(".COMP corv_000.dat 00040000 100000000"), std::nullopt);  // past 32 bits
    EXPECT_EQ(ParseEntryLine(".COMP"), std::nullopt);
}

TEST(ListingFile, AFolderIsAListingThatCannotBeOpened) {
    // A folder opens for reading on some systems and then yields no lines: that would clear the
    // list and report nothing instead of saying that the listing could not be opened.
    TempFolder folder;
    EXPECT_FALSE(OpenListing(folder.path()).has_value());
    EXPECT_FALSE(OpenListing(folder.path() / "missing.txt").has_value());
    writeText(folder.path() / "compfile.txt", ".INVALID_DATA 00040000\n");
    EXPECT_TRUE(OpenListing(folder.path() / "compfile.txt").has_value());
}

TEST(ListingFile, AFifoIsRefusedWithoutWaitingForAWriter) {
    // Opening a FIFO for reading waits until something writes to it: the window would freeze.
    TempFolder folder;
    const auto fifo = folder.path() / "compfile.txt";
    ASSERT_TRUE(testing::makeFifo(fifo));
    bool opened = true;
    EXPECT_TRUE(testing::finishesWithoutAWriter(fifo, [&] { opened = OpenListing(fifo).has_value(); }));
    EXPECT_FALSE(opened);
}

class RecompressTest : public ::testing::Test {
protected:
    // A ROM with one literal block at 0x40000 (end 0x4001A) and one failing its check at 0x40100.
    void SetUp() override {
        rom.literalBlock(0x40000, kWords);
        rom.header(0x40100, 16, 1, {}, false);
        const auto path = folder.path() / "rom.smc";
        writeFile(path, rom.data);
        state.startDirectory = folder.path();
        ASSERT_EQ(OpenRom(state, path).status, OpenRomStatus::Opened);
    }
    std::filesystem::path put(const std::string& name, const std::vector<uint8_t>& bytes) {
        const auto path = folder.path() / name;
        writeFile(path, bytes);
        return path;
    }
    // Runs a listing given as text; returns the list-box lines.
    std::vector<std::string> run(const std::string& listing) {
        std::istringstream in(listing);
        std::vector<std::string> lines;
        handled.clear();
        summary = RecompressListing(state, in, [&](const LineResult& result) {
            handled.push_back(result);
            if (result.entry) lines.push_back(result.entry->line);
        });
        return lines;
    }
    std::string line(const std::string& keyword, const std::string& name, const char* numbers) {
        return keyword + " " + (folder.path() / name).string() + "  " + numbers + "\n";
    }
    [[nodiscard]] uint16_t romWord(uint32_t offset) const { return core::readLe16(state.rom.data(), offset); }

    TempFolder folder;
    TestRom rom;
    UtilityState state;
    std::vector<LineResult> handled;
    RecompressSummary summary;
};

TEST_F(RecompressTest, StreamEndingExactlyAtTheLimitFitsOneByteMoreDoesNot) {
    put("fits.dat", bytesOfWords({0x0102, 0x0304, 0x0506, 0x0708, 0x090A, 0x0B0C, 0x0D0E, 0x0F10}));
    // Eight different words: one group of eight literals, 18 bytes, ending at 0x4001A.
    EXPECT_EQ(run(line(".COMP", "fits.dat", "00040000  00040019")),
              std::vector<std::string>{"Error: Data size too large to recompress. [ fits.dat ] [ 1 BYTES over ]"});
    EXPECT_EQ(romWord(0x4000A), 0x1111);  // nothing written
    EXPECT_EQ(summary.written, 0u);

    EXPECT_EQ(run(line(".COMP", "fits.dat", "00040000  0004001A")),
              std::vector<std::string>{"Success: Data was recompressed completely! [ fits.dat ] "});
    EXPECT_EQ(romWord(0x40000), 16);      // size word = the file's size
    EXPECT_EQ(romWord(0x40004), 1);       // one group
    EXPECT_EQ(romWord(0x4000A), 0x0102);  // first literal after the control word
    EXPECT_EQ(summary.entries, 1u);
    EXPECT_EQ(summary.written, 1u);
    EXPECT_TRUE(summary.allWritten());
}

TEST_F(RecompressTest, TooLargeLineShowsTheWholeExcess) {
    // 16,000 different words: 2,000 groups of eight literals, 36,000 bytes against 18 of room,
    // an excess past 32,767 that must not come out negative.
    std::vector<uint16_t> words(16000);
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>(i);
    put("big.dat", bytesOfWords(words));
    EXPECT_EQ(run(line(".COMP", "big.dat", "00040000  0004001A")),
              std::vector<std::string>{"Error: Data size too large to recompress. [ big.dat ] [ 35982 BYTES over ]"});
    ASSERT_TRUE(handled[0].entry.has_value());
    EXPECT_EQ(handled[0].entry->excessBytes, 35982u);
}

TEST_F(RecompressTest, TooLargeLineShowsAnExcessPastSixteenBits) {
    // 30,000 different words: 3,750 groups of eight literals, 67,500 bytes after the 8-byte
    // header, against 26 bytes of room. The compressor's result code has 16 bits for the excess.
    std::vector<uint16_t> words(30000);
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>(i);
    put("huge.dat", bytesOfWords(words));
    EXPECT_EQ(run(line(".COMP", "huge.dat", "00040000  0004001A")),
              std::vector<std::string>{"Error: Data size too large to recompress. [ huge.dat ] [ 67482 BYTES over ]"});
    ASSERT_TRUE(handled[0].entry.has_value());
    EXPECT_EQ(handled[0].entry->excessBytes, 67482u);
    EXPECT_EQ(romWord(0x4000A), 0x1111);  // nothing written
}

TEST_F(RecompressTest, LinesThatAreNotEntriesArePassedOverQuietly) {
    put("a.dat", bytesOfWords(kWords));
    const std::string listing = ".INVALID_DATA 00040100\n"
                                "\n"
                                "; a comment\n"
                                " " + line(".COMP", "a.dat", "00040000  0004001A") +
                                "\t" + line(".COMP", "a.dat", "00040000  0004001A") +
                                line(".comp", "a.dat", "00040000  0004001A");
    EXPECT_EQ(run(listing), std::vector<std::string>{"Success: Data was recompressed completely! [ a.dat ] "});
    EXPECT_EQ(handled.size(), 6u);  // every line is handed back, so events go through after each
    EXPECT_EQ(summary.entries, 1u);
}

TEST_F(RecompressTest, InvalidBlockAndMissingFileAreReportedAndTheNextLineFollows) {
    put("a.dat", bytesOfWords(kWords));
    std::filesystem::create_directories(folder.path() / "folder.dat");
    const std::string listing = line(".COMP", "missing.dat", "00040000  0004001A") +
                                line(".COMP", "folder.dat", "00040000  0004001A") +
                                line(".COMP", "a.dat", "00040100  0004011A") +
                                line(".COMP", "a.dat", "00040000  0004001A");
    EXPECT_EQ(run(listing), (std::vector<std::string>{"Fatal Error: Could not open \"missing.dat\".",
                                                      "Fatal Error: Could not open \"folder.dat\".",
                                                      "Error: Invalid data block. [ a.dat ] ",
                                                      "Success: Data was recompressed completely! [ a.dat ] "}));
    ASSERT_EQ(handled.size(), 4u);
    EXPECT_FALSE(handled[0].letEventsThrough);
    EXPECT_FALSE(handled[1].letEventsThrough);
    EXPECT_TRUE(handled[2].letEventsThrough);
    EXPECT_EQ(handled[2].entry->status, EntryStatus::InvalidBlock);
    EXPECT_EQ(summary.entries, 4u);
    EXPECT_EQ(summary.written, 1u);
    EXPECT_FALSE(summary.allWritten());
    EXPECT_EQ(romWord(0x40100 + 6), static_cast<uint16_t>(core::BlockHeader::checkWordFor(16, 0, 1) + 1));
}

TEST_F(RecompressTest, RefusedEntriesWriteNothing) {
    put("a.dat", bytesOfWords(kWords));
    put("huge.dat", std::vector<uint8_t>(65535, 0x41));
    put("max.dat", std::vector<uint8_t>(65534, 0x41));
    const std::vector<uint8_t> before(state.rom.data().begin(), state.rom.data().end());
    const std::string listing = line(".COMP", "huge.dat", "00040000  0004001A") +
                                ".COMP " + (folder.path() / "a.dat").string() + "  00040000\n" +
                                line(".COMP", "a.dat", "00300000  00300100") +
                                line(".COMP", "a.dat", "0010FFFC  00110000");
    const auto lines = run(listing);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Error: Block file is too big to recompress. [ huge.dat ] [ 65535 BYTES, at most 65534 ]");
    EXPECT_EQ(handled[0].entry->status, EntryStatus::FileTooBig);
    EXPECT_EQ(handled[1].entry->status, EntryStatus::Unreadable);
    EXPECT_NE(lines[1].find("00040000"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], "Error: Block offset lies beyond the end of the ROM. [ a.dat ] [ 00300000 ]");
    EXPECT_EQ(handled[3].entry->status, EntryStatus::BeyondRom);  // header would straddle the end
    EXPECT_EQ(std::vector<uint8_t>(state.rom.data().begin(), state.rom.data().end()), before);
    EXPECT_EQ(summary.written, 0u);

    // 65,534 bytes is still taken (here it is simply too large for the room).
    EXPECT_EQ(run(line(".COMP", "max.dat", "00040000  0004001A"))[0].rfind("Error: Data size too large", 0), 0u);
}

TEST_F(RecompressTest, ListingOffsetMayBeABankedAddress) {
    put("a.dat", bytesOfWords(kWords));
    EXPECT_EQ(run(line(".COMP", "a.dat", "FFC40000  0004001A")),
              std::vector<std::string>{"Success: Data was recompressed completely! [ a.dat ] "});
    EXPECT_EQ(romWord(0x40000), 16);
}

TEST_F(RecompressTest, OddSizesFollowTheWordAfterTheData) {
    put("zero.dat", {0x11, 0x22, 0x00});
    put("nonzero.dat", {0x11, 0x22, 0x33});
    ASSERT_EQ(run(line(".COMP", "zero.dat", "00040000  0004001A")).size(), 1u);
    EXPECT_EQ(romWord(0x40000), 2);  // the last byte was zero and so was the one after it
    ASSERT_EQ(run(line(".COMP", "nonzero.dat", "00040000  0004001A")).size(), 1u);
    EXPECT_EQ(romWord(0x40000), 4);
}

TEST_F(RecompressTest, BytesAfterAFileAreWhatThePreviousFileLeft) {
    put("one.dat", {0x00});
    // In the fresh work area the word holding the byte reads 0: the length shrinks to 0.
    ASSERT_EQ(run(line(".COMP", "one.dat", "00040000  0004001A")).size(), 1u);
    EXPECT_EQ(romWord(0x40000), 0);
    EXPECT_EQ(romWord(0x40004), 0);  // no group at all

    put("before.dat", {0x00, 0x77, 0x00, 0x00});
    const std::string listing = line(".COMP", "before.dat", "00040000  0004001A") +
                                line(".COMP", "one.dat", "00040000  0004001A");
    ASSERT_EQ(run(listing).size(), 2u);
    // Now the byte after one.dat's data is the 0x77 that before.dat left: one byte longer.
    EXPECT_EQ(romWord(0x40000), 2);
    EXPECT_EQ(romWord(0x40004), 1);
}

TEST_F(RecompressTest, LaterFailureUndoesNothing) {
    put("a.dat", bytesOfWords({0x0102, 0x0304, 0x0506, 0x0708, 0x090A, 0x0B0C, 0x0D0E, 0x0F10}));
    const std::string listing = line(".COMP", "a.dat", "00040000  0004001A") +
                                line(".COMP", "gone.dat", "00040000  0004001A");
    EXPECT_EQ(run(listing).size(), 2u);
    EXPECT_EQ(romWord(0x4000A), 0x0102);
}

TEST_F(RecompressTest, WalkThenRecompressUnchangedRoundTripsWithABlankInTheFolderName) {
    const auto start = folder.path() / "with blank";
    std::filesystem::create_directories(start);
    state.startDirectory = start;
    // Point data entry 0 at the literal block; its unchanged file fits exactly.
    TestRom withTable = rom;
    withTable.putEntry(0xC0000, 0, 0xC40000);
    std::copy(withTable.data.begin(), withTable.data.end(), state.rom.data().begin());
    ASSERT_EQ(DecompressArea(state, Area::Data).lines.size(), 1u);

    const auto listingPath = start / "000C0200" / "compfile.txt";
    std::optional<std::ifstream> listing = OpenListing(listingPath);
    ASSERT_TRUE(listing.has_value());
    std::vector<std::string> lines;
    const RecompressSummary result = RecompressListing(state, *listing, [&](const LineResult& r) {
        if (r.entry) lines.push_back(r.entry->line);
    });
    EXPECT_EQ(lines, std::vector<std::string>{"Success: Data was recompressed completely! [ corv_000.dat ] "});
    EXPECT_TRUE(result.allWritten());
    EXPECT_EQ(std::vector<uint8_t>(state.rom.data().begin(), state.rom.data().end()), withTable.data);
    EXPECT_EQ(OpenListing(start / "nope.txt"), std::nullopt);
}

TEST_F(RecompressTest, NoRomReadsNothing) {
    state.releaseRom();
    EXPECT_TRUE(run(line(".COMP", "a.dat", "00040000  0004001A")).empty());
    EXPECT_TRUE(handled.empty());
}

TEST_F(RecompressTest, FitHarderWhenOverWritesWithTheMaximiserOnlyABlockThatIsOver) {
    // Runs of one word a few words apart: the maximiser's one-byte short references make its
    // stream smaller than the standard compressor's.
    std::vector<uint16_t> words;
    for (uint16_t k = 0; k < 48; ++k) words.push_back(k % 5 == 0 ? uint16_t(0x2000 + k) : uint16_t(0x4141));
    const std::vector<uint8_t> bytes = bytesOfWords(words);
    put("block.dat", bytes);
    std::vector<uint8_t> source(core::kBlockHalfSize, 0);
    std::copy(bytes.begin(), bytes.end(), source.begin());
    const auto measure = [&](core::Compressor which) {
        return core::MeasureBlockCompression(state.rom.data(), 0x40000, 0x50000, uint32_t(bytes.size()), source, which)
            .needed;
    };
    const uint64_t standard = measure(core::Compressor::Standard);
    const uint64_t maximised = measure(core::Compressor::Maximising);
    ASSERT_LT(maximised, standard);
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "00040000  %08X", unsigned(0x40000 + maximised));
    const std::string listing = line(".COMP", "block.dat", numbers);
    const std::vector<uint8_t> before(state.rom.data().begin(), state.rom.data().end());

    EXPECT_EQ(run(listing), std::vector<std::string>{"Error: Data size too large to recompress. [ block.dat ] [ " +
                                                     std::to_string(standard - maximised) + " BYTES over ]"});
    EXPECT_TRUE(std::equal(before.begin(), before.end(), state.rom.data().begin()));

    std::istringstream in(listing);
    const RecompressSummary harder = RecompressListing(state, in, {}, ListingCompressor::MaximisingWhenOver);
    EXPECT_EQ(harder.written, 1u);
    auto buffer = std::make_unique<core::BlockBuffer>();
    ASSERT_NE(core::DecompressBlock(state.rom.data(), 0x40000, *buffer), core::kBadBlockHeader);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), buffer->lower().begin()));

    // A block that fits gets the standard compressor's bytes under the option too.
    std::snprintf(numbers, sizeof numbers, "00040000  %08X", unsigned(0x40000 + standard));
    std::istringstream standardIn(line(".COMP", "block.dat", numbers));
    ASSERT_EQ(RecompressListing(state, standardIn, {}).written, 1u);
    const std::vector<uint8_t> withStandard(state.rom.data().begin(), state.rom.data().end());
    std::istringstream harderIn(line(".COMP", "block.dat", numbers));
    ASSERT_EQ(RecompressListing(state, harderIn, {}, ListingCompressor::MaximisingWhenOver).written, 1u);
    EXPECT_TRUE(std::equal(withStandard.begin(), withStandard.end(), state.rom.data().begin()));
}

}  // namespace
}  // namespace corv::comp
