// Blocks near 64 KiB: the decoder's output position wraps at 65,536 bytes, so the commands of the
// last group, which also encode the words after the data, must never carry it that far.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "core/block_readback.h"
#include "core/byte_order.h"
#include "support/block_test_rom.h"
#include "support/exhaustive_match_finder.h"

using namespace corv::core;
using corv::testing::TestRom;

namespace {

constexpr uint32_t kBlock = 0x10000;

enum class Fill { Zero, Random, Repeated };

std::vector<uint8_t> makeData(Fill fill, size_t length, std::mt19937& random) {
    std::vector<uint8_t> bytes(length, 0);
    std::uniform_int_distribution<int> pick(0, 255);
    if (fill == Fill::Random) {
        for (auto& b : bytes) b = static_cast<uint8_t>(pick(random));
    } else if (fill == Fill::Repeated) {
        // A short unit repeated: long matches at every distance that is a multiple of it.
        const std::vector<uint8_t> unit = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
        for (size_t i = 0; i < length; ++i) bytes[i] = unit[i % unit.size()];
    }
    return bytes;
}

// Compresses the data into a block and checks that it decodes back to the even length's bytes.
void expectRoundTrip(const std::vector<uint8_t>& buffer, uint32_t length, const char* what) {
    TestRom rom(0x30000);
    rom.putHeader(kBlock, 0, {0x0102}, 0);
    const uint32_t result = CompressBlock(rom.data, kBlock, static_cast<uint32_t>(rom.data.size()), length, buffer);
    ASSERT_EQ(result, kCompressWritten) << what << " length " << length;
    auto decoded = std::make_unique<BlockBuffer>();
    ASSERT_NE(DecompressBlock(rom.data, kBlock, *decoded), kBadBlockHeader);
    const uint32_t even = EvenBlockLength(buffer, length);
    for (uint32_t i = 0; i < even; ++i) {
        ASSERT_EQ((*decoded)[i], buffer[i]) << what << " length " << length << " byte " << i;
    }
}

}  // namespace

TEST(BlockRoom, EveryLengthNear64KiBRoundTripsWhateverFollowsTheData) {
    std::mt19937 random(2024);
    for (const Fill fill : {Fill::Zero, Fill::Random, Fill::Repeated}) {
        const auto data = makeData(fill, kBlockHalfSize, random);
        for (uint32_t length = 65400; length <= kMaxBlockFileSize; ++length) {
            // The words after the data: zeros, noise, and a copy of the data's start (which the
            // last group's back-references can match).
            auto zeros = data;
            auto noise = data;
            auto repeat = data;
            for (size_t i = length; i < data.size(); ++i) {
                zeros[i] = 0;
                noise[i] = static_cast<uint8_t>(random());
                repeat[i] = data[i - length];
            }
            expectRoundTrip(zeros, length, "zero tail");
            expectRoundTrip(noise, length, "noise tail");
            expectRoundTrip(repeat, length, "repeated tail");
        }
    }
}

TEST(BlockRoom, ProductionSearchAgreesWithTheExhaustiveScanAtTheEnd) {
    // The production search and the exhaustive scan make the same choices under the room limit,
    // also at the very end of the largest blocks.
    std::mt19937 random(77);
    for (const Fill fill : {Fill::Zero, Fill::Repeated}) {
        const auto data = makeData(fill, kBlockHalfSize, random);
        for (uint32_t length : {65490u, 65512u, 65520u, 65522u, 65530u, 65534u}) {
            const SourceWords words(data, length / 2);
            const auto fast = MakeIndexedMatchFinder(words);
            const EncodedStream production = EncodeBlockStream(words, *fast);
            const EncodedStream reference = corv::testing::EncodeExhaustively(words);
            EXPECT_EQ(production.bytes, reference.bytes) << "length " << length;
        }
    }
}

TEST(BlockRoom, GroupsThatWouldStartInTheLastWordsRoundTrip) {
    // Every pair repeated at distance 2 makes one command write two words and moves the later
    // group starts by one word, so the last group of the largest block starts at each of the
    // eight word positions 32,760 to 32,767 in turn.
    std::mt19937 random(5);
    for (size_t shift = 0; shift < 8; ++shift) {
        auto data = makeData(Fill::Random, kBlockHalfSize, random);
        for (size_t k = 0; k < shift; ++k) {
            const size_t at = 60000 + 100 * k;
            std::copy(data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + 4),
                      data.begin() + static_cast<std::ptrdiff_t>(at + 4));
        }
        expectRoundTrip(data, kMaxBlockFileSize, "shifted groups");
        const SourceWords words(data, kMaxBlockFileSize / 2);
        const auto fast = MakeIndexedMatchFinder(words);
        EXPECT_EQ(EncodeBlockStream(words, *fast).bytes, corv::testing::EncodeExhaustively(words).bytes);
    }
}

TEST(BlockReadBack, AStreamThatDecodesWronglyIsNeverWritten) {
    std::mt19937 random(11);
    const auto data = makeData(Fill::Random, 4000, random);
    const SourceWords words(data, 2000);
    const auto finder = MakeIndexedMatchFinder(words);
    const EncodedStream good = EncodeBlockStream(words, *finder);

    TestRom rom(0x30000);
    rom.putHeader(kBlock, 0, {0x0102}, 0);
    const auto before = rom.data;
    EncodedStream changed = good;
    changed.bytes[5] ^= 0x40;  // inside the first literal
    EXPECT_EQ(WriteBlockIfItReadsBack(rom.data, kBlock, changed, words), kCompressReadBackFailed);
    EncodedStream oneGroupShort = good;
    --oneGroupShort.groups;
    EXPECT_EQ(WriteBlockIfItReadsBack(rom.data, kBlock, oneGroupShort, words), kCompressReadBackFailed);
    EXPECT_EQ(rom.data, before);

    ASSERT_EQ(WriteBlockIfItReadsBack(rom.data, kBlock, good, words), kCompressWritten);
    auto decoded = std::make_unique<BlockBuffer>();
    ASSERT_NE(DecompressBlock(rom.data, kBlock, *decoded), kBadBlockHeader);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), decoded->begin()));
    EXPECT_EQ(readLe16(rom.data, kBlock + 2), 1);  // the dictionary length stays
    EXPECT_EQ(readLe16(rom.data, kBlock + 8), 0x0102);
}
