// The demo's game-style encoder: its streams decode back through the editor's decoder, and
// they really use the commands the production compressor never writes.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tools/block_stream_walk.h"
#include "core/block_decoder.h"
#include "tools/demo/demo_game.h"
#include "tools/demo/demo_random.h"
#include "tools/demo/game_encoder.h"

namespace {

using corv::demo::EncodeGameBlock;
using corv::demo::GameEncoderOptions;

std::vector<uint8_t> wordsToBytes(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) {
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    return bytes;
}

// Places an encoded block at 0x1000 of a small ROM and decodes it with the editor's decoder.
std::vector<uint8_t> decodeThroughCore(const std::vector<uint8_t>& block, uint16_t* length = nullptr,
                                       uint32_t* end = nullptr) {
    std::vector<uint8_t> rom(0x1000 + block.size() + 64, 0xEE);
    std::copy(block.begin(), block.end(), rom.begin() + 0x1000);
    auto buffer = std::make_unique<corv::core::BlockBuffer>();
    const uint32_t result = corv::core::DecompressBlock(rom, 0xC01000, *buffer);
    if (end != nullptr) *end = result;
    const uint16_t w0 = corv::core::DecompressedLength(*buffer);
    if (length != nullptr) *length = w0;
    return {buffer->begin(), buffer->begin() + w0};
}

TEST(GameEncoder, RunOfOneWordBecomesOverlappingCopies) {
    const std::vector<uint8_t> data = wordsToBytes(std::vector<uint16_t>(40, 0x1234));
    GameEncoderOptions options;
    options.dictionaryWords = 0;
    const auto encoded = EncodeGameBlock(data, options);
    std::vector<uint8_t> rom(encoded.bytes);
    const auto counts = corv::testing::WalkBlockStream(rom, 0);
    // One literal, copies of 16, 16 and 7 words from one word back, four filler literals.
    EXPECT_EQ(counts.groups, 1u);
    EXPECT_EQ(counts.literals, 5u);
    EXPECT_EQ(counts.shortReferences, 3u);
    EXPECT_EQ(counts.overlapping, 3u);
    EXPECT_EQ(counts.dictionary, 0u);
    EXPECT_EQ(decodeThroughCore(encoded.bytes), data);
}

TEST(GameEncoder, FrequentWordsGoThroughTheDictionary) {
    // Words that never repeat in order, but a few values recur: dictionary material.
    std::vector<uint16_t> words;
    for (uint16_t i = 0; i < 300; ++i) {
        words.push_back(static_cast<uint16_t>(0x2000 + i));
        if (i % 3 == 0) words.push_back(0x00AA);
    }
    const auto data = wordsToBytes(words);
    GameEncoderOptions options;
    options.dictionaryWords = 4;
    const auto encoded = EncodeGameBlock(data, options);
    ASSERT_FALSE(encoded.dictionary.empty());
    EXPECT_EQ(encoded.dictionary[0], 0x00AA);
    const auto counts = corv::testing::WalkBlockStream(encoded.bytes, 0);
    EXPECT_GT(counts.dictionary, 50u);
    EXPECT_EQ(counts.dictionaryBadIndex, 0u);
    EXPECT_EQ(decodeThroughCore(encoded.bytes), data);
}

TEST(GameEncoder, PaddingGroupsLengthenTheStreamButNotTheData) {
    corv::demo::DemoRandom random(7);
    std::vector<uint8_t> data(3000);
    for (auto& b : data) b = static_cast<uint8_t>(random.between(0, 3));
    GameEncoderOptions options;
    options.minimumStreamBytes = 8000;
    const auto encoded = EncodeGameBlock(data, options);
    EXPECT_GE(encoded.streamBytes(), 8000u);
    EXPECT_GT(encoded.paddingGroups, 0);
    uint16_t length = 0;
    uint32_t end = 0;
    EXPECT_EQ(decodeThroughCore(encoded.bytes, &length, &end), data);
    EXPECT_EQ(length, 3000);
    EXPECT_EQ(end, 0x1000 + encoded.bytes.size());  // the padding is part of the stream's room
}

TEST(GameEncoder, PaddingNeverLetsTheOutputWrapOntoTheData) {
    std::vector<uint8_t> data(60000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 % 251);
    GameEncoderOptions options;
    options.minimumStreamBytes = 200000;  // more than the output area allows
    const auto encoded = EncodeGameBlock(data, options);
    const auto counts = corv::testing::WalkBlockStream(encoded.bytes, 0);
    EXPECT_GT(encoded.paddingGroups, 0);
    EXPECT_LE(counts.produced, options.maximumOutputBytes);
    EXPECT_GT(counts.produced + 16, options.maximumOutputBytes);  // padded as far as the area allows
    EXPECT_EQ(decodeThroughCore(encoded.bytes), data);
}

TEST(GameEncoder, RandomDataOfManyLengthsRoundTrips) {
    corv::demo::DemoRandom random(11);
    for (uint32_t length : {0u, 2u, 14u, 16u, 18u, 1000u, 8190u, 33334u}) {
        std::vector<uint8_t> data(length);
        for (auto& b : data) b = static_cast<uint8_t>(random.chance(50) ? 0 : random.between(0, 255));
        const auto encoded = EncodeGameBlock(data, GameEncoderOptions{});
        EXPECT_EQ(decodeThroughCore(encoded.bytes), data) << "length " << length;
    }
}

// Over the demo ROM's text blocks, every kind of command the decoder knows occurs.
TEST(GameEncoder, DemoTextBlocksUseEveryCommandKind) {
    const auto game = corv::demo::BuildDemoGame();
    corv::testing::CommandCounts total;
    for (int index : game.textBlocks) {
        const auto& block = game.blocks[static_cast<size_t>(index)];
        const auto counts = corv::testing::WalkBlockStream(game.rom, block.romOffset);
        EXPECT_EQ(counts.endOffset, block.end) << block.name;
        EXPECT_EQ(counts.dictionaryBadIndex, 0u) << block.name;
        EXPECT_GT(counts.dictionary, 0u) << block.name;
        EXPECT_GT(counts.shortReferences, 0u) << block.name;
        EXPECT_GT(counts.longReferences, 0u) << block.name;
        EXPECT_GT(counts.overlapping, 0u) << block.name;
        total.literals += counts.literals;
    }
    EXPECT_GT(total.literals, 0u);
}

}  // namespace
