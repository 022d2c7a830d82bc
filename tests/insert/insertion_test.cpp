// The insertion pipeline on small blocks whose records, texts and room the tests control.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "insert/insert_test_support.h"
#include "insert/insertion.h"

namespace corv::insert {
using namespace corv::script;
namespace {

using ::testing::ElementsAre;
using namespace testing_support;

constexpr uint32_t kBlockOffset = 0x10000;
constexpr uint32_t kBlockAddress = 0xC10000;  // maps to kBlockOffset
constexpr uint32_t kRomSize = 0x20000;
constexpr char kRule[] = ";#####################################################;";

// A ROM holding a valid (empty) header at kBlockOffset and a recognisable pattern elsewhere.
core::RomImage makeRom(uint16_t dictionaryWords = 0) {
    std::vector<uint8_t> bytes(kRomSize);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    const uint16_t length = 0x100;
    core::writeLe16(bytes, kBlockOffset, length);
    core::writeLe16(bytes, kBlockOffset + 2, dictionaryWords);
    core::writeLe16(bytes, kBlockOffset + 4, 0);
    core::writeLe16(bytes, kBlockOffset + 6, core::BlockHeader::checkWordFor(length, dictionaryWords, 0));
    return core::RomImage(std::move(bytes), "insert_test.smc");
}

struct Fixture {
    core::RomImage rom = makeRom();
    std::unique_ptr<core::BlockBuffer> buffer = std::make_unique<core::BlockBuffer>();
    TableFile table = LoadedTable("");
    MemoryScriptText script;
    std::vector<uint8_t> preview = std::vector<uint8_t>(kPreviewByteBufferSize);
    RecordingProgress progress;
    insert::InsertionBlock block;
    uint32_t endOfRoom = kBlockOffset + 0x8000;

    Fixture(const std::vector<TestRecord>& records, uint32_t dataOffset, const std::vector<uint8_t>& data,
            std::string_view scriptText, uint32_t blockLength) {
        FillBlock(*buffer, records, dataOffset, data);
        script.setText(scriptText);
        block.index = 0;
        block.blockAddress = kBlockAddress;
        block.stringCount = static_cast<uint16_t>(records.size());
        block.length = blockLength;
    }
    insert::InsertionResult run() {
        return insert::InsertScript(rom, *buffer, block, endOfRoom, script, table, preview, progress);
    }
    std::vector<uint8_t> bytesAt(uint32_t offset, size_t count) const {
        return {buffer->begin() + offset, buffer->begin() + offset + count};
    }
};

// Three text strings, the second sharing the first one's old text.
Fixture sharedTextFixture() {
    return Fixture({{2, 0x100}, {2, 0x100}, {2, 0x104}}, 0x100, {'o', 'l', 'd', 0xFF, 'x', 0xFF},
                   ".STRING 0\nAB\n.ENDS\n.STRING 1\nunused\n.ENDS\n.STRING 2\nCD\n.ENDS\n", 0x106);
}

TEST(InsertionLayout, SharedTextIsEncodedOnce) {
    Fixture f = sharedTextFixture();
    const insert::InsertionResult result = f.run();
    EXPECT_EQ(result.outcome, insert::InsertionOutcome::Inserted);
    EXPECT_EQ(TextPointer(*f.buffer, 0), 0x100);
    EXPECT_EQ(TextPointer(*f.buffer, 1), 0x100);
    EXPECT_EQ(TextPointer(*f.buffer, 2), 0x103);
    EXPECT_THAT(f.bytesAt(0x100, 6), ElementsAre('A', 'B', 0xFF, 'C', 'D', 0xFF));
    EXPECT_EQ(result.newLength, 0x106u);
}

TEST(InsertionLayout, CompressedBlockDecodesToTheNewLayout) {
    Fixture f = sharedTextFixture();
    ASSERT_EQ(f.run().outcome, insert::InsertionOutcome::Inserted);
    const std::vector<uint8_t> laidOut = f.bytesAt(0, 0x106);
    core::BlockBuffer check{};
    const uint32_t end = core::DecompressBlock(f.rom.data(), kBlockAddress, check);
    ASSERT_NE(end, core::kBadBlockHeader);
    EXPECT_LE(end, f.endOfRoom);
    EXPECT_EQ(core::DecompressedLength(check), 0x106);
    EXPECT_EQ(std::vector<uint8_t>(check.begin(), check.begin() + 0x106), laidOut);
}

TEST(InsertionLayout, NonTextRecordsKeepTheirData) {
    // Record 1 is data of 3 bytes; the last record is data running to the block's end.
    Fixture f({{2, 0x120}, {7, 0x122}, {2, 0x125}, {9, 0x127}}, 0x120,
              {'a', 0xFF, 0xD1, 0xD2, 0xD3, 'b', 0xFF, 0xE1, 0xE2},
              ".STRING 0\nxyz\n.ENDS\n.STRING 2\n\n.ENDS\n", 0x129);
    ASSERT_EQ(f.run().outcome, insert::InsertionOutcome::Inserted);
    EXPECT_EQ(TextPointer(*f.buffer, 0), 0x120);
    EXPECT_EQ(TextPointer(*f.buffer, 1), 0x124);
    EXPECT_EQ(TextPointer(*f.buffer, 2), 0x127);
    EXPECT_EQ(TextPointer(*f.buffer, 3), 0x128);
    EXPECT_THAT(f.bytesAt(0x120, 10), ElementsAre('x', 'y', 'z', 0xFF, 0xD1, 0xD2, 0xD3, 0xFF, 0xE1, 0xE2));
}

TEST(InsertionRefusals, TextInsideTheRecordsIsRefused) {
    // Two records end at 0x80 with the terminator word at 0x80-0x81: string 0 may not start there.
    Fixture f({{2, 0x81}, {2, 0x84}}, 0x81, {'a', 0xFF, 0, 'b', 0xFF}, ".STRING 0\nx\n.ENDS\n.STRING 1\ny\n.ENDS\n",
              0x86);
    const auto before = f.bytesAt(0, 0x100);
    const insert::InsertionResult result = f.run();
    EXPECT_EQ(result.outcome, insert::InsertionOutcome::LayoutTooLarge);
    EXPECT_EQ(f.bytesAt(0, 0x100), before);
    EXPECT_FALSE(f.rom.modified());

    Fixture ok({{2, 0x82}, {2, 0x84}}, 0x82, {'a', 0xFF, 'b', 0xFF}, ".STRING 0\nx\n.ENDS\n.STRING 1\ny\n.ENDS\n",
               0x86);
    EXPECT_EQ(ok.run().outcome, insert::InsertionOutcome::Inserted);
}

TEST(InsertionLayout, MissingEntryGetsPlaceholderWithoutTerminator) {
    std::vector<TestRecord> records;
    for (uint16_t k = 0; k < 7; ++k) records.push_back({2, static_cast<uint16_t>(0x200 + 2 * k)});
    std::vector<uint8_t> data(14, 0xFF);
    std::string text;
    for (int k = 0; k < 7; ++k) {
        if (k != 5) text += ".STRING " + std::to_string(k) + "\nq\n.ENDS\n";
    }
    Fixture f(records, 0x200, data, text, 0x20E);
    const insert::InsertionResult result = f.run();
    ASSERT_EQ(result.outcome, insert::InsertionOutcome::Inserted);
    EXPECT_EQ(result.missingEntries, std::vector<int>{5});
    const uint16_t at = TextPointer(*f.buffer, 5);
    EXPECT_EQ(at, 0x200 + 5 * 2);
    EXPECT_EQ(TextPointer(*f.buffer, 6) - at, 17);
    EXPECT_EQ(insert::MissingEntryPlaceholder(5), "Error String:   5");
    const std::vector<uint8_t> placeholder = f.bytesAt(at, 17);
    EXPECT_EQ(std::string(placeholder.begin(), placeholder.end()), "Error String:   5");
    EXPECT_TRUE(f.progress.log.size() == 4) << "only the outcome block is logged";
}

TEST(InsertionLayout, BytesBeforeStringZeroStayAndTailIsDropped) {
    // 4 bytes between the records and string 0's text stay; the old tail after the texts goes.
    Fixture f({{2, 0x84}}, 0x80, {0x11, 0x22, 0x33, 0x44, 'l', 'o', 'n', 'g', 0xFF}, ".STRING 0\nS\n.ENDS\n", 0x89);
    const insert::InsertionResult result = f.run();
    ASSERT_EQ(result.outcome, insert::InsertionOutcome::Inserted);
    EXPECT_THAT(f.bytesAt(0x80, 6), ElementsAre(0x11, 0x22, 0x33, 0x44, 'S', 0xFF));
    EXPECT_EQ(result.newLength, 0x86u);
}

TEST(InsertionProgressReport, CaptionsGaugeAndSuccessLog) {
    Fixture f = sharedTextFixture();
    ASSERT_EQ(f.run().outcome, insert::InsertionOutcome::Inserted);
    EXPECT_EQ(f.progress.starts, 1);
    EXPECT_THAT(f.progress.captions,
                ElementsAre("Building Pointer Table...", "Converting Text...", "Sorting Pointers...", "Inserting Text..."));
    EXPECT_EQ(f.progress.gaugeMinimum, 0);
    EXPECT_EQ(f.progress.gaugeMaximum, 2);
    EXPECT_GE(f.progress.pendingPasses, 12);
    EXPECT_THAT(f.progress.log, ElementsAre(kRule, "; All text was inserted successfully, and...",
                                            "; Success: \".BLOCK C10000\" compressed successfully!", kRule));
    EXPECT_TRUE(f.rom.modified());
}

TEST(InsertionProgressReport, GaugeFollowsEachPhase) {
    // Three strings: each phase runs the gauge over 0..2; the layout also moves it to the number
    // of entries after every entry.
    Fixture f = sharedTextFixture();
    ASSERT_EQ(f.run().outcome, insert::InsertionOutcome::Inserted);
    EXPECT_THAT(f.progress.events,
                ElementsAre("start", "range 0..2", "caption Building Pointer Table...", "gauge 0", "gauge 1",
                            "gauge 2", "caption Converting Text...", "gauge 0", "gauge 1", "gauge 2",
                            "caption Sorting Pointers...", "gauge 0", "gauge 1", "gauge 2",
                            "caption Inserting Text...", "gauge 0", "gauge 3", "gauge 1", "gauge 3", "gauge 2",
                            "gauge 3"));
}

TEST(InsertionRoom, ExactFitIsWrittenOneByteOverIsNot) {
    // With no room at all the compressor reports the block's full compressed size as the excess.
    Fixture probe = sharedTextFixture();
    probe.endOfRoom = kBlockOffset + 8;
    const insert::InsertionResult sized = probe.run();
    ASSERT_EQ(sized.outcome, insert::InsertionOutcome::DoesNotFit);
    const uint32_t streamSize = sized.excessBytes;
    ASSERT_GT(streamSize, 0u);

    Fixture over = sharedTextFixture();
    over.endOfRoom = kBlockOffset + 8 + streamSize - 1;
    const std::vector<uint8_t> before(over.rom.fileBytes().begin(), over.rom.fileBytes().end());
    const insert::InsertionResult tooLarge = over.run();
    EXPECT_EQ(tooLarge.outcome, insert::InsertionOutcome::DoesNotFit);
    EXPECT_EQ(tooLarge.excessBytes, 1u);
    EXPECT_THAT(over.progress.log,
                ElementsAre(kRule, "; All text was inserted successfully, but...",
                            "; Error: \".BLOCK C10000\" did not compress successfully! [ 1 BYTE(S) OVER ]", kRule));
    EXPECT_EQ(std::vector<uint8_t>(over.rom.fileBytes().begin(), over.rom.fileBytes().end()), before);
    EXPECT_FALSE(over.rom.modified());

    Fixture exact = sharedTextFixture();
    exact.endOfRoom = kBlockOffset + 8 + streamSize;
    EXPECT_EQ(exact.run().outcome, insert::InsertionOutcome::Inserted);
    EXPECT_TRUE(exact.rom.modified());
}

TEST(InsertionMark, BlockThreeMarksSizeMinusFour) {
    Fixture f = sharedTextFixture();
    f.block.index = 3;
    ASSERT_EQ(f.run().outcome, insert::InsertionOutcome::Inserted);
    EXPECT_EQ(f.rom.data()[f.rom.dataSize() - 4], 3);
    // Outside the block's room, the mark is the only byte that changed.
    const core::RomImage original = makeRom();
    size_t changedOutside = 0;
    for (size_t i = 0; i < f.rom.dataSize(); ++i) {
        const bool inRoom = i >= kBlockOffset && i < f.endOfRoom;
        if (!inRoom && f.rom.data()[i] != original.data()[i]) ++changedOutside;
    }
    EXPECT_EQ(changedOutside, 1u);

    Fixture big = sharedTextFixture();
    big.block.index = 0x103;  // only the low 8 bits are stored
    ASSERT_EQ(big.run().outcome, insert::InsertionOutcome::Inserted);
    EXPECT_EQ(big.rom.data()[big.rom.dataSize() - 1 - 0x103], 0x03);
}

TEST(InsertionRefusals, NoTableDoesNothing) {
    Fixture f = sharedTextFixture();
    f.table = TableFile();
    const auto before = f.bytesAt(0, 0x200);
    const insert::InsertionResult result = f.run();
    EXPECT_EQ(result.outcome, insert::InsertionOutcome::NoTable);
    EXPECT_EQ(result.message, "Error: Must load a table file first!");
    EXPECT_EQ(f.progress.starts, 0);
    EXPECT_EQ(f.bytesAt(0, 0x200), before);
}

TEST(InsertionRefusals, NonTextRecordWithoutDataStopsBeforeWriting) {
    Fixture f({{2, 0x100}, {5, 0x102}, {2, 0x102}}, 0x100, {'a', 0xFF, 'b', 0xFF},
              ".STRING 0\nx\n.ENDS\n.STRING 2\ny\n.ENDS\n", 0x104);
    const auto before = f.bytesAt(0, 0x200);
    const auto romBefore = std::vector<uint8_t>(f.rom.fileBytes().begin(), f.rom.fileBytes().end());
    const insert::InsertionResult result = f.run();
    EXPECT_EQ(result.outcome, insert::InsertionOutcome::PointerError);
    EXPECT_EQ(result.message, "Error: Poiner calculation error. Must redo \"TEXT CONVERSION\" routine.");
    EXPECT_EQ(f.bytesAt(0, 0x200), before);
    EXPECT_EQ(std::vector<uint8_t>(f.rom.fileBytes().begin(), f.rom.fileBytes().end()), romBefore);
    EXPECT_FALSE(f.rom.modified());
}

TEST(InsertionRefusals, LayoutPastSixtyFourKilobytesIsRefused) {
    const std::string huge(0xFF00, 'w');
    Fixture f({{2, 0x100}, {2, 0x102}}, 0x100, {'a', 0xFF, 'b', 0xFF},
              ".STRING 0\n" + huge + "\n.ENDS\n.STRING 1\nsecond\n.ENDS\n", 0x104);
    const auto before = f.bytesAt(0, 0x200);
    const auto romBefore = std::vector<uint8_t>(f.rom.fileBytes().begin(), f.rom.fileBytes().end());
    const insert::InsertionResult result = f.run();
    EXPECT_EQ(result.outcome, insert::InsertionOutcome::LayoutTooLarge);
    ASSERT_TRUE(result.message.has_value());
    EXPECT_THAT(*result.message, ::testing::HasSubstr("Nothing was written"));
    EXPECT_THAT(f.progress.log, ::testing::Contains(::testing::HasSubstr("Nothing was written to the ROM")));
    EXPECT_EQ(f.bytesAt(0, 0x200), before);
    EXPECT_EQ(std::vector<uint8_t>(f.rom.fileBytes().begin(), f.rom.fileBytes().end()), romBefore);
    EXPECT_FALSE(f.rom.modified());
}

TEST(InsertionRefusals, DamagedOldHeaderWritesNothing) {
    Fixture f = sharedTextFixture();
    f.rom.data()[kBlockOffset + 6] ^= 0x01;
    const auto romBefore = std::vector<uint8_t>(f.rom.fileBytes().begin(), f.rom.fileBytes().end());
    const insert::InsertionResult result = f.run();
    EXPECT_EQ(result.outcome, insert::InsertionOutcome::BadOldHeader);
    EXPECT_EQ(std::vector<uint8_t>(f.rom.fileBytes().begin(), f.rom.fileBytes().end()), romBefore);
    EXPECT_FALSE(f.rom.modified());
    ASSERT_EQ(f.progress.log.size(), 5u);
    EXPECT_EQ(f.progress.log[3], "; Nothing was written to the ROM.");
}

TEST(InsertionRefusals, BlockWithoutStringsOrWithMoreRecordsThanFit) {
    Fixture f({}, 0x40, {}, "", 0x40);
    EXPECT_EQ(f.run().outcome, insert::InsertionOutcome::NoStrings);
    EXPECT_FALSE(f.rom.modified());

    Fixture tooMany = sharedTextFixture();
    tooMany.block.stringCount = 1024;  // the terminator would lie past 64 KiB
    const auto before = std::vector<uint8_t>(tooMany.rom.fileBytes().begin(), tooMany.rom.fileBytes().end());
    EXPECT_EQ(tooMany.run().outcome, insert::InsertionOutcome::NoStrings);
    EXPECT_EQ(std::vector<uint8_t>(tooMany.rom.fileBytes().begin(), tooMany.rom.fileBytes().end()), before);
    EXPECT_EQ(tooMany.progress.starts, 0);
}

TEST(InsertionEndOfRoom, SearchedWhenNotDetermined) {
    Fixture f = sharedTextFixture();
    f.endOfRoom = 0;
    // The scan starts at the last string's old text pointer (0x104) in the ROM data.
    std::fill(f.rom.data().begin() + 0x104, f.rom.data().begin() + 0x120, 0x00);
    f.rom.data()[0x111] = 0xFF;
    (void)f.run();
    EXPECT_EQ(f.endOfRoom, 0x111u);

    // An end byte right at the pointer still ends the room one byte after it.
    Fixture atPointer = sharedTextFixture();
    atPointer.endOfRoom = 0;
    std::fill(atPointer.rom.data().begin() + 0x104, atPointer.rom.data().begin() + 0x120, 0x00);
    atPointer.rom.data()[0x104] = 0xFF;
    (void)atPointer.run();
    EXPECT_EQ(atPointer.endOfRoom, 0x105u);

    Fixture none = sharedTextFixture();
    none.endOfRoom = 0;
    std::fill(none.rom.data().begin() + 0x104, none.rom.data().end(), 0x00);
    const insert::InsertionResult result = none.run();
    EXPECT_EQ(result.outcome, insert::InsertionOutcome::EndOfTextNotFound);
    EXPECT_EQ(result.message,
              "Error: Could not find \"End of Text\".       You can manually set the \"End of Text\" like so       "
              "in the Format text file. \".ENDBLOCK $offset\".");
    EXPECT_EQ(none.endOfRoom, 0u);
}

TEST(InsertionLog, UnclosedEscapeIsLoggedAndInsertionGoesOn) {
    Fixture f({{2, 0x100}}, 0x100, {'a', 0xFF}, ".STRING 0\n[$41\n.ENDS\n", 0x102);
    ASSERT_EQ(f.run().outcome, insert::InsertionOutcome::Inserted);
    ASSERT_EQ(f.progress.log.size(), 5u);
    EXPECT_EQ(f.progress.log[0],
              "Error: HEX-data read with no terminating ']' character.\nText: \"[$41\", String Index: 0");
    EXPECT_THAT(f.bytesAt(0x100, 2), ElementsAre(0x41, 0xFF));
}

}  // namespace
}  // namespace corv::insert
