#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "support/block_test_rom.h"
#include "support/temp_folder.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"

using namespace corv::core;
using corv::testing::TestRom;

namespace {

constexpr uint32_t kBlock = 0x8000;

uint16_t lowerWord(const BlockBuffer& buffer, size_t index) { return readLe16(buffer, index * 2); }

std::unique_ptr<BlockBuffer> garbageBuffer() {
    auto buffer = std::make_unique<BlockBuffer>();
    std::fill(buffer->begin(), buffer->end(), uint8_t{0xCD});
    return buffer;
}

}  // namespace

TEST(DecompressBlock, EightLiteralsAndTheLengthWordThatIsNotConsulted) {
    TestRom rom;
    rom.putHeader(kBlock, 4, {}, 1);
    rom.word(0x0000);
    for (uint16_t i = 0; i < 8; ++i) rom.word(static_cast<uint16_t>(0x1100 + i));
    auto buffer = garbageBuffer();

    EXPECT_EQ(DecompressBlock(rom.data, kBlock, *buffer), kBlock + 8 + 2 + 16);
    for (uint16_t i = 0; i < 8; ++i) EXPECT_EQ(lowerWord(*buffer, i), 0x1100 + i);
    EXPECT_EQ(lowerWord(*buffer, 8), 0);  // cleared before decoding
    EXPECT_EQ(DecompressedLength(*buffer), 4);
}

TEST(DecompressBlock, BadCheckWordLeavesTheWholeBufferZero) {
    TestRom rom;
    rom.putHeader(kBlock, 4, {}, 1, /*valid=*/false);
    auto buffer = garbageBuffer();
    EXPECT_EQ(DecompressBlock(rom.data, kBlock, *buffer), kBadBlockHeader);
    EXPECT_TRUE(std::all_of(buffer->begin(), buffer->end(), [](uint8_t b) { return b == 0; }));
}

TEST(DecompressBlock, ZeroGroupsAndNegativeGroupCountsDecodeNothing) {
    for (uint16_t groups : {uint16_t{0}, uint16_t{0x8000}, uint16_t{0xFFFF}}) {
        TestRom rom;
        rom.putHeader(kBlock, 0x20, {0xAAAA, 0xBBBB}, groups);
        rom.word(0x0000).word(0x1234);  // a group that must not be decoded
        auto buffer = garbageBuffer();
        EXPECT_EQ(DecompressBlock(rom.data, kBlock, *buffer), kBlock + 8 + 4) << groups;
        EXPECT_EQ(lowerWord(*buffer, 0), 0) << groups;
        EXPECT_EQ(DecompressedLength(*buffer), 0x20) << groups;
    }
}

TEST(DecompressBlock, DictionaryIndexCountsFromTheHeader) {
    TestRom rom;
    rom.putHeader(kBlock, 0x0010, {0xBEEF, 0xCAFE}, 1);
    rom.word(0x5000);  // dictionary, dictionary, then literals
    rom.word(4).word(0);
    for (int i = 0; i < 6; ++i) rom.word(5);
    auto buffer = std::make_unique<BlockBuffer>();
    DecompressBlock(rom.data, kBlock, *buffer);
    EXPECT_EQ(lowerWord(*buffer, 0), 0xBEEF);
    EXPECT_EQ(lowerWord(*buffer, 1), 0x0010);  // index 0 is w0 itself
    EXPECT_EQ(lowerWord(*buffer, 2), 5);
}

TEST(DecompressBlock, ShortReferenceShorterThanItsLengthRepeatsTheWord) {
    TestRom rom;
    rom.putHeader(kBlock, 10, {}, 1);
    rom.word(0x2000).word(0x1234).byte(0x03);  // literal, short ref (distance 2 bytes, length 8)
    for (int i = 0; i < 6; ++i) rom.word(0x7777);
    auto buffer = std::make_unique<BlockBuffer>();
    EXPECT_EQ(DecompressBlock(rom.data, kBlock, *buffer), kBlock + 8 + 2 + 2 + 1 + 12);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(lowerWord(*buffer, i), 0x1234) << i;
    EXPECT_EQ(lowerWord(*buffer, 5), 0x7777);
}

TEST(DecompressBlock, TrailingCommandsOfTheLastGroupReadTheirOperands) {
    TestRom rom;
    rom.putHeader(kBlock, 2, {}, 1);
    rom.word(0x8000).byte(0x00);  // short reference first, then seven literals
    for (int i = 0; i < 7; ++i) rom.word(static_cast<uint16_t>(i + 1));
    auto buffer = std::make_unique<BlockBuffer>();
    EXPECT_EQ(DecompressBlock(rom.data, kBlock, *buffer), kBlock + 8 + 2 + 1 + 14);
    EXPECT_EQ(lowerWord(*buffer, 0), 0);  // copied from before the start: the cleared area
    EXPECT_EQ(lowerWord(*buffer, 7), 7);
}

TEST(DecodeBlockStream, ReferenceBeforeTheStartWrapsToTheEndOfTheArea) {
    TestRom rom;
    rom.putHeader(kBlock, 0, {}, 1);
    rom.word(0x3000).word(0x1111).word(0xFFFF);  // literal, long ref: 8192 bytes back, 32 bytes
    for (int i = 0; i < 6; ++i) rom.word(0);
    std::vector<uint8_t> area(kBlockHalfSize);
    for (size_t i = 0; i < area.size(); ++i) area[i] = static_cast<uint8_t>(i * 7);
    const std::vector<uint8_t> before = area;
    const auto header = ReadBlockHeader(rom.data, kBlock);
    ASSERT_TRUE(header.has_value());
    const auto result = DecodeBlockStream(rom.data, kBlock, *header, std::span<uint8_t, kBlockHalfSize>(area));
    EXPECT_FALSE(result.truncated);
    EXPECT_EQ(result.produced, 2 + 32 + 12);
    for (size_t i = 0; i < 32; ++i) EXPECT_EQ(area[2 + i], before[kBlockHalfSize - 8192 + 2 + i]) << i;
}

TEST(DecodeBlockStream, OutputPositionWrapsAfterSixtyFourKibibytes) {
    // One literal and 2,055 copies of 32 bytes produce 65,762 bytes: more than the area holds.
    TestRom rom;
    rom.putHeader(kBlock, 0, {}, 257);
    for (int g = 0; g < 257; ++g) {
        rom.word(g == 0 ? 0x3FFF : 0xFFFF);  // first group starts with a literal
        for (int c = 0; c < 8; ++c) {
            if (g == 0 && c == 0) {
                rom.word(0x4242);
            } else {
                rom.word(0x000F);  // long ref: 2 bytes back, 32 bytes
            }
        }
    }
    std::vector<uint8_t> area(kBlockHalfSize, 0);
    const auto header = ReadBlockHeader(rom.data, kBlock);
    const auto result = DecodeBlockStream(rom.data, kBlock, *header, std::span<uint8_t, kBlockHalfSize>(area));
    EXPECT_EQ(result.end, rom.cursor);
    EXPECT_EQ(result.produced, static_cast<uint16_t>(2 + 32 * (257 * 8 - 1)));
    EXPECT_TRUE(std::all_of(area.begin(), area.end(), [](uint8_t b) { return b == 0x42; }));
}

TEST(DecompressBlock, NeverReadsPastTheRomData) {
    // A block whose groups run off the end of the data: ended there, no read outside.
    TestRom rom(0x100);
    rom.putHeader(0xF0, 0x40, {}, 20);
    rom.word(0x0000);
    auto data = rom.data;
    auto buffer = std::make_unique<BlockBuffer>();
    const uint32_t end = DecompressBlock(data, 0xF0, *buffer);
    EXPECT_LE(end, data.size());

    // Header itself past the end: fails its check.
    EXPECT_EQ(DecompressBlock(std::span<const uint8_t>(data).first(0xF4), 0xF0, *buffer), kBadBlockHeader);

    // A dictionary index that points past the data ends the block at that command.
    TestRom dict(0x200);
    dict.putHeader(0x100, 4, {}, 1);
    dict.word(0x4000).word(0x7FFF);
    const auto header = ReadBlockHeader(dict.data, 0x100);
    std::vector<uint8_t> area(kBlockHalfSize, 0);
    const auto result = DecodeBlockStream(dict.data, 0x100, *header, std::span<uint8_t, kBlockHalfSize>(area));
    EXPECT_TRUE(result.truncated);
    EXPECT_EQ(result.end, 0x100u + 8 + 2);
    EXPECT_EQ(result.produced, 0);
}

TEST(DumpDecompressedBlock, WritesTheRecordedLength) {
    auto buffer = std::make_unique<BlockBuffer>();
    for (size_t i = 0; i < buffer->size(); ++i) (*buffer)[i] = static_cast<uint8_t>(i);
    const corv::testing::TempFolder folder;
    const auto path = folder.path() / "dump.bin";
    ASSERT_TRUE(DumpDecompressedBlock(*buffer, 300, path));
    const auto written = ReadWholeFile(path);
    ASSERT_TRUE(written.has_value());
    ASSERT_EQ(written->size(), 300u);
    EXPECT_TRUE(std::equal(written->begin(), written->end(), buffer->begin()));
    ASSERT_TRUE(DumpDecompressedBlock(*buffer, 0, path));
    EXPECT_EQ(ReadWholeFile(path)->size(), 0u);
    EXPECT_FALSE(DumpDecompressedBlock(*buffer, 4, "/nonexistent-folder/dump.bin"));
}
