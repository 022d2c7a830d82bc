#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "support/block_test_rom.h"
#include "core/block_encoder.h"

using namespace corv::core;
using corv::testing::TestRom;

namespace {

constexpr uint32_t kBlock = 0x4000;
constexpr uint32_t kBank = 0xC00000;  // the same block seen through a high bank

std::vector<uint8_t> wordsToBytes(std::initializer_list<uint16_t> words, size_t padTo = 0) {
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) {
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    if (bytes.size() < padTo) bytes.resize(padTo, 0);
    return bytes;
}

EncodedStream encode(const std::vector<uint8_t>& bytes, uint32_t wordCount) {
    const SourceWords words(bytes, wordCount);
    auto finder = MakeIndexedMatchFinder(words);
    return EncodeBlockStream(words, *finder);
}

}  // namespace

TEST(CompressBlock, ThreeEqualWordsTakeTheOlderOfTwoEqualMatches) {
    TestRom rom;
    const uint32_t stream = rom.putHeader(kBlock, 0x100, {0xD1C7, 0x0042}, 7);
    const auto source = wordsToBytes({0x1111, 0x1111, 0x1111}, 64);

    ASSERT_EQ(CompressBlock(rom.data, kBank | kBlock, 0x10000, 6, source), kCompressWritten);
    const std::vector<uint8_t> expected = {0x00, 0x28, 0x11, 0x11, 0x00, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), rom.data.begin() + stream));
    EXPECT_EQ(readLe16(rom.data, kBlock), 6);
    EXPECT_EQ(readLe16(rom.data, kBlock + 2), 2);  // dictionary kept
    EXPECT_EQ(readLe16(rom.data, kBlock + 4), 1);
    EXPECT_EQ(readLe16(rom.data, kBlock + 6), static_cast<uint16_t>(0x10000 - (6 + 2 + 1)));
    EXPECT_EQ(readLe16(rom.data, kBlock + 8), 0xD1C7);
}

TEST(EncodeBlockStream, ReferenceKindsFollowDistanceAndLength) {
    // Fifteen distinct words repeated at distance 15: one short reference with high nibble 14.
    std::vector<uint8_t> period15;
    for (int r = 0; r < 3; ++r)
        for (uint16_t i = 0; i < 15; ++i) period15.push_back(static_cast<uint8_t>(0x10 + i)), period15.push_back(0x80);
    auto s15 = encode(period15, 45);
    // Group 1: eight literals; group 2: seven literals then the reference at word 15.
    EXPECT_EQ(s15.bytes[2 + 16] & 0x03, 0x02);  // second group's control word, last command
    EXPECT_EQ(s15.bytes[2 + 16 + 2 + 14], 0xEE);

    // Sixteen distinct words repeated at distance 16: a long reference with bits 15..4 = 15.
    std::vector<uint8_t> period16;
    for (int r = 0; r < 2; ++r)
        for (uint16_t i = 0; i < 16; ++i) period16.push_back(static_cast<uint8_t>(0x20 + i)), period16.push_back(0x80);
    auto s16 = encode(period16, 32);
    ASSERT_EQ(s16.groups, 3);
    const size_t third = 2 * (2 + 16);
    EXPECT_EQ(s16.bytes[third + 1] >> 6, 0x03);
    EXPECT_EQ(readLe16(s16.bytes, third + 2), 0x00FF);

    // A single word repeated at distance 16 stays a literal.
    std::vector<uint8_t> single;
    for (uint16_t i = 0; i < 17; ++i) single.push_back(static_cast<uint8_t>(i == 16 ? 0x30 : 0x30 + i)), single.push_back(0x90);
    single.push_back(0x55), single.push_back(0x90);
    auto s1 = encode(single, 18);
    EXPECT_EQ(s1.groups, 3);
    EXPECT_EQ(s1.bytes[2 * 18 + 1] >> 6, 0x00);  // third group, first command: literal
}

TEST(EncodeBlockStream, RunOfOneWordReferencesNoFurtherThanItsDistanceAllows) {
    std::vector<uint8_t> run(2 * 40, 0);
    for (size_t i = 0; i < run.size(); i += 2) run[i] = 0x77;
    const auto s = encode(run, 40);
    // literal 7777, then short ref (d1,L1), then (d2,L2), (d4,L4), (d8,L8), (d16 -> long, L16)...
    EXPECT_EQ(readLe16(s.bytes, 0) >> 12, 0b0010);
    EXPECT_EQ(s.bytes[4], 0x00);
    EXPECT_EQ(s.bytes[5], 0x11);
    EXPECT_EQ(s.bytes[6], 0x33);
    EXPECT_EQ(s.bytes[7], 0x77);
    EXPECT_EQ(readLe16(s.bytes, 8), 0x00FF);
}

TEST(EncodeBlockStream, GroupCountFollowsTheWordCount) {
    std::vector<uint8_t> bytes(2 * 100);
    std::iota(bytes.begin(), bytes.end(), uint8_t{1});
    EXPECT_EQ(encode(bytes, 0).groups, 0);
    EXPECT_TRUE(encode(bytes, 0).bytes.empty());
    EXPECT_EQ(encode(bytes, 8 * 3).groups, 3);
    EXPECT_EQ(encode(bytes, 8 * 3).bytes.size(), 3u * 18);
    EXPECT_EQ(encode(bytes, 8 * 3 + 1).groups, 4);
}

TEST(EvenBlockLength, OddLengthsFollowTheWordHoldingTheLastByte) {
    const std::vector<uint8_t> zeroAfter = {1, 2, 3, 4, 0, 0, 9};
    EXPECT_EQ(EvenBlockLength(zeroAfter, 5), 4u);
    const std::vector<uint8_t> valueAfter = {1, 2, 3, 4, 0, 7};
    EXPECT_EQ(EvenBlockLength(valueAfter, 5), 6u);
    const std::vector<uint8_t> lastByteSet = {1, 2, 3, 4, 5, 0};
    EXPECT_EQ(EvenBlockLength(lastByteSet, 5), 6u);
    EXPECT_EQ(EvenBlockLength(lastByteSet, 4), 4u);
}

TEST(CompressBlock, ExactFitIsWrittenAndOneByteMoreIsRefused) {
    std::vector<uint8_t> source(2 * 57);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 37 + 11);
    const size_t size = encode(source, 57).bytes.size();

    TestRom tight;
    const uint32_t stream = tight.putHeader(kBlock, 2, {}, 1);
    std::fill(tight.data.begin() + stream, tight.data.begin() + stream + size + 8, uint8_t{0xEE});
    const auto before = tight.data;
    const auto limit = static_cast<uint32_t>(stream + size);

    const uint32_t over = CompressBlock(tight.data, kBlock, limit - 1, 114, source);
    EXPECT_TRUE(IsTooLarge(over));
    EXPECT_EQ(ExcessBytes(over), 1u);
    EXPECT_EQ(tight.data, before);

    ASSERT_EQ(CompressBlock(tight.data, kBlock, limit, 114, source), kCompressWritten);
    EXPECT_EQ(tight.data[limit], 0xEE);  // bytes after the new end stay
    EXPECT_EQ(readLe16(tight.data, kBlock), 114);
}

TEST(CompressBlock, LargeExcessIsReportedWhole) {
    std::mt19937 random(11);
    std::vector<uint8_t> source(40000);
    for (auto& b : source) b = static_cast<uint8_t>(random());
    const size_t size = encode(source, 20000).bytes.size();
    TestRom rom;
    const uint32_t stream = rom.putHeader(kBlock, 0, {}, 0);
    const uint32_t result = CompressBlock(rom.data, kBlock, stream, 40000, source);
    ASSERT_TRUE(IsTooLarge(result));
    EXPECT_GT(size, 32768u);
    EXPECT_EQ(ExcessBytes(result), size);
}

TEST(CompressBlock, BadOldHeaderIsNeverWritten) {
    const auto source = wordsToBytes({1, 2, 3});
    TestRom rom;
    rom.putHeader(kBlock, 2, {}, 1, /*valid=*/false);
    const auto before = rom.data;
    EXPECT_EQ(CompressBlock(rom.data, kBlock, 0x10000, 6, source), kCompressBadHeader);
    EXPECT_EQ(CompressBlock(rom.data, kBlock, kBlock, 6, source), kCompressBadHeader);
    EXPECT_EQ(rom.data, before);
    // A block position past the data cannot hold a header either.
    EXPECT_EQ(CompressBlock(rom.data, 0x3FFFFF, 0x400000, 6, source), kCompressBadHeader);
}

TEST(CompressBlock, EmptyDataRewritesTheHeaderWithoutGroups) {
    TestRom rom;
    const uint32_t stream = rom.putHeader(kBlock, 0x40, {0x1234}, 5);
    rom.data[stream] = 0xAB;
    ASSERT_EQ(CompressBlock(rom.data, kBlock, stream, 0, std::span<const uint8_t>()), kCompressWritten);
    EXPECT_EQ(readLe16(rom.data, kBlock), 0);
    EXPECT_EQ(readLe16(rom.data, kBlock + 4), 0);
    EXPECT_EQ(readLe16(rom.data, kBlock + 6), static_cast<uint16_t>(0x10000 - 1));
    EXPECT_EQ(rom.data[stream], 0xAB);
}

TEST(CompressBlock, RoomEndsAtTheEndOfTheRomData) {
    const auto source = wordsToBytes({1, 2, 3, 4, 5, 6, 7, 8});
    TestRom rom(0x110);
    rom.putHeader(0x100, 16, {}, 1);
    const uint32_t result = CompressBlock(rom.data, 0x100, 0x1000, 16, source);
    ASSERT_TRUE(IsTooLarge(result));
    EXPECT_EQ(ExcessBytes(result), 0x108u + 18 - 0x110);
}

TEST(CompressBlock, LengthBeyondTheSizeWordIsRefused) {
    std::vector<uint8_t> source(70000, 1);
    TestRom rom;
    rom.putHeader(kBlock, 2, {}, 1);
    const auto before = rom.data;
    EXPECT_TRUE(IsTooLarge(CompressBlock(rom.data, kBlock, 0x20000, 65536, source)));
    EXPECT_EQ(rom.data, before);
}
