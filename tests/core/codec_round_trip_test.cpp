// Random and text-like data of lengths across the whole range compress and decompress back to
// themselves, and the production match search makes exactly the choices of the exhaustive scan.

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "support/block_test_rom.h"
#include "support/codec_test_data.h"
#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "support/exhaustive_match_finder.h"

using namespace corv::core;
using corv::testing::RandomBytes;
using corv::testing::TextLikeBytes;

namespace {

constexpr uint32_t kBlock = 0x10000;

// Compresses `data` (followed in its buffer by `after`) into a block, decompresses it and checks
// both directions; also checks the production stream against the exhaustive scan.
void checkRoundTrip(const std::vector<uint8_t>& data, const std::vector<uint8_t>& after) {
    std::vector<uint8_t> buffer = data;
    buffer.insert(buffer.end(), after.begin(), after.end());
    const auto length = static_cast<uint32_t>(data.size());
    const uint32_t even = EvenBlockLength(buffer, length);

    const SourceWords words(buffer, even / 2);
    const auto fast = MakeIndexedMatchFinder(words);
    const EncodedStream production = EncodeBlockStream(words, *fast);
    const EncodedStream reference = corv::testing::EncodeExhaustively(words);
    ASSERT_EQ(production.groups, reference.groups) << "length " << length;
    ASSERT_EQ(production.bytes, reference.bytes) << "length " << length;

    corv::testing::TestRom rom(0x40000);
    rom.putHeader(kBlock, 0, {0x0102, 0x0304}, 0);
    ASSERT_EQ(CompressBlock(rom.data, kBlock, static_cast<uint32_t>(rom.data.size()), length, buffer), kCompressWritten);
    auto decoded = std::make_unique<BlockBuffer>();
    const uint32_t end = DecompressBlock(rom.data, kBlock, *decoded);
    ASSERT_EQ(end, kBlock + 12 + production.bytes.size()) << "length " << length;
    ASSERT_EQ(DecompressedLength(*decoded), even);
    for (uint32_t i = 0; i < even; ++i) {
        const uint8_t expected = i < buffer.size() ? buffer[i] : 0;
        ASSERT_EQ((*decoded)[i], expected) << "length " << length << " byte " << i;
    }
}

std::vector<size_t> sampledLengths(std::mt19937& random) {
    std::vector<size_t> lengths = {0, 1, 2, 3, 15, 16, 17, 31, 32, 33, 4095, 4096, 4097, 65533, 65534};
    std::uniform_int_distribution<size_t> any(0, 65534);
    for (int i = 0; i < 16; ++i) lengths.push_back(any(random));
    return lengths;
}

}  // namespace

TEST(CodecRoundTrip, TextLikeDataOfSampledLengths) {
    std::mt19937 random(1234);
    for (size_t length : sampledLengths(random)) {
        checkRoundTrip(TextLikeBytes(length, random), RandomBytes(16, random, 256));
    }
}

TEST(CodecRoundTrip, RandomDataOfSampledLengths) {
    std::mt19937 random(99);
    for (size_t length : sampledLengths(random)) {
        checkRoundTrip(RandomBytes(length, random, 256), RandomBytes(16, random, 256));
    }
}

TEST(CodecRoundTrip, SmallAlphabetsMakeManyEqualMatches) {
    std::mt19937 random(7);
    for (int alphabet : {1, 2, 3, 5}) {
        for (size_t length : {size_t{100}, size_t{5001}, size_t{30000}}) {
            checkRoundTrip(RandomBytes(length, random, alphabet), RandomBytes(16, random, alphabet));
        }
    }
}

TEST(CodecRoundTrip, PeriodicDataAroundTheShortAndLongDistances) {
    std::mt19937 random(3);
    for (size_t period : {1, 2, 14, 15, 16, 17, 31, 2047, 2048, 2049}) {
        const auto unit = RandomBytes(2 * period, random, 256);
        std::vector<uint8_t> data;
        while (data.size() < 20000) data.insert(data.end(), unit.begin(), unit.end());
        data.resize(20000);
        checkRoundTrip(data, RandomBytes(16, random, 256));
    }
}

TEST(CodecRoundTrip, WordsAfterTheDataTakePartInTheLastGroup) {
    // The words after the data repeat the data, so the last group's commands can match them.
    std::mt19937 random(5);
    for (size_t words = 1; words <= 40; ++words) {
        const auto data = RandomBytes(2 * words, random, 3);
        checkRoundTrip(data, data);
    }
}

TEST(CodecRoundTrip, RunsOfOneWordOfEveryLengthBetweenOtherWords) {
    // Runs of zeros of random lengths, as in string records.
    std::mt19937 random(17);
    std::uniform_int_distribution<int> runLength(1, 40);
    std::uniform_int_distribution<int> value(1, 4);
    for (int trial = 0; trial < 10; ++trial) {
        std::vector<uint8_t> data;
        while (data.size() < 6000) {
            for (int i = runLength(random); i > 0; --i) data.push_back(0), data.push_back(0);
            data.push_back(static_cast<uint8_t>(value(random)));
            data.push_back(0);
        }
        checkRoundTrip(data, RandomBytes(16, random, 2));
    }
}

TEST(CodecRoundTrip, LongRunAfterAWindowWithoutOne) {
    // A window of noise, then a run longer than a match: positions inside the run find their
    // candidates earlier in the same run, and the run goes on past them.
    std::mt19937 random(17);
    std::uniform_int_distribution<int> runLength(17, 50);
    std::uniform_int_distribution<int> noise(1, 250);
    std::vector<uint8_t> data;
    while (data.size() < 60000) {
        for (int i = 0; i < 2100; ++i) data.push_back(static_cast<uint8_t>(noise(random))), data.push_back(1);
        for (int i = runLength(random); i > 0; --i) data.push_back(0), data.push_back(0);
    }
    data.resize(60000);
    checkRoundTrip(data, RandomBytes(16, random, 256));
}
