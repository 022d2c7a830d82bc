// The production match search against the exhaustive scan, command by command: under every
// length limit, around runs of one word, across the window's start and past 16-bit positions.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/block_encoder.h"
#include "support/codec_test_data.h"
#include "support/exhaustive_match_finder.h"

using namespace corv::core;
using corv::testing::RandomBytes;
using corv::testing::TextLikeBytes;

namespace {

// What the stream holds for a match: a literal, or a reference with its distance and length.
struct Command {
    BlockCommand kind = BlockCommand::Literal;
    uint32_t distance = 0;
    uint32_t length = 1;
    bool operator==(const Command&) const = default;
};

Command commandFor(WordMatch match) {
    if (match.length >= 2 && match.distance >= 16) return {BlockCommand::LongReference, match.distance, match.length};
    if (match.length >= 1 && match.distance <= 15) return {BlockCommand::ShortReference, match.distance, match.length};
    return {};
}

std::ostream& operator<<(std::ostream& out, const Command& command) {
    return out << static_cast<int>(command.kind) << " d" << command.distance << " L" << command.length;
}

// Asks both searches the same positions, each with a random length limit, moving on by the
// command's length as the encoder does, through the data and the words after it.
void expectSameCommands(const std::vector<uint8_t>& bytes, uint32_t seed) {
    const SourceWords words(bytes, static_cast<uint32_t>(bytes.size() / 2 - 8));
    const auto production = MakeIndexedMatchFinder(words);
    corv::testing::ExhaustiveMatchFinder reference(words);
    std::mt19937 random(seed);
    std::uniform_int_distribution<uint32_t> limit(1, kMaxMatchWords);
    for (uint32_t p = 0; p < words.count() + 8;) {
        const uint32_t maxLength = random() % 4 == 0 ? limit(random) : kMaxMatchWords;
        const Command expected = commandFor(reference.longestMatch(p, maxLength));
        ASSERT_EQ(commandFor(production->longestMatch(p, maxLength)), expected) << "p " << p << " limit " << maxLength;
        p += expected.length;
    }
}

// Runs of one of a few words, 1 to 20 long, each followed by one of a few other words.
std::vector<uint8_t> runsOfFewWords(size_t length, std::mt19937& random) {
    std::vector<uint8_t> bytes;
    std::uniform_int_distribution<int> runLength(1, 20);
    std::uniform_int_distribution<int> pick(0, 2);
    while (bytes.size() < length) {
        const auto word = static_cast<uint8_t>(pick(random));
        for (int i = runLength(random); i > 0; --i) bytes.push_back(word), bytes.push_back(0);
        bytes.push_back(static_cast<uint8_t>(0x10 + pick(random)));
        bytes.push_back(0);
    }
    bytes.resize(length);
    return bytes;
}

}  // namespace

TEST(MatchFinder, EveryLengthLimitGivesTheCommandsOfTheScan) {
    std::mt19937 random(31);
    expectSameCommands(TextLikeBytes(40000, random), 1);
    expectSameCommands(RandomBytes(20000, random, 2), 2);
    expectSameCommands(RandomBytes(20000, random, 3), 3);
    expectSameCommands(runsOfFewWords(30000, random), 4);
}

TEST(MatchFinder, RunsLongerThanTheWindowBetweenText) {
    // Positions answered outright inside a long run are never chained; the text after it is
    // searched in a window that the run has left.
    std::mt19937 random(8);
    std::vector<uint8_t> data;
    for (size_t run : {3000u, 2047u, 2048u, 2049u, 5000u}) {
        const auto text = TextLikeBytes(3000, random);
        data.insert(data.end(), text.begin(), text.end());
        data.insert(data.end(), 2 * run, 0);
    }
    expectSameCommands(data, 5);
    const SourceWords words(data, static_cast<uint32_t>(data.size() / 2 - 8));
    const auto production = MakeIndexedMatchFinder(words);
    EXPECT_EQ(EncodeBlockStream(words, *production).bytes, corv::testing::EncodeExhaustively(words).bytes);
}

TEST(MatchFinder, RunsAroundTheComparisonWidthAndTheSteppingLength) {
    // Runs are stepped over sixteen words and about 64 words at a time without chaining their
    // insides; each length comes twice, so that later runs and the words around them find the
    // earlier ones, whole or in part.
    std::mt19937 random(21);
    std::uniform_int_distribution<int> pick(0, 3);
    std::vector<uint8_t> data;
    for (int pass = 0; pass < 2; ++pass) {
        for (int length : {2, 15, 16, 17, 18, 32, 33, 63, 64, 65, 66, 79, 80, 81, 96, 130}) {
            for (int i = 0; i < 3; ++i) data.push_back(static_cast<uint8_t>(0x20 + pick(random))), data.push_back(1);
            const auto word = static_cast<uint8_t>(pick(random) % 2);
            for (int i = 0; i < length; ++i) data.push_back(word), data.push_back(0);
        }
    }
    data.insert(data.end(), 16, 0);  // the words after the data
    expectSameCommands(data, 7);
}

TEST(MatchFinder, RepeatsCloserToThePositionThanTheLongestMatch) {
    // The newest candidates of a short period end at the position asked for, which cuts their
    // matches; older ones of the same pair do not. Each period is broken off by a new word, so
    // that its first repeats are searched anew.
    std::mt19937 random(23);
    std::vector<uint8_t> data;
    for (size_t period = 1; period <= 18; ++period) {
        const auto unit = RandomBytes(2 * period, random, 5);
        for (int i = 0; i < 6; ++i) data.insert(data.end(), unit.begin(), unit.end());
        data.push_back(static_cast<uint8_t>(0x80 + period)), data.push_back(2);
    }
    data.insert(data.end(), 16, 0);  // the words after the data
    expectSameCommands(data, 9);
    expectSameCommands(std::vector<uint8_t>(data.begin(), data.begin() + 1000), 10);
}

TEST(MatchFinder, OneWordMatchIsTheOldestEqualWordOfTheWindow) {
    // Distinct words, with 0xAAAA at p and at a few places before it.
    const uint32_t p = 3000;
    const auto ask = [&](std::initializer_list<uint32_t> distances) {
        std::vector<uint8_t> bytes;
        for (uint32_t i = 0; i < p + 40; ++i) bytes.push_back(static_cast<uint8_t>(i)), bytes.push_back(static_cast<uint8_t>(0x10 + i / 256));
        for (uint32_t at : distances) bytes[2 * (p - at)] = 0xAA, bytes[2 * (p - at) + 1] = 0xAA;
        bytes[2 * p] = 0xAA, bytes[2 * p + 1] = 0xAA;
        const SourceWords words(bytes, p + 30);
        const Command production = commandFor(MakeIndexedMatchFinder(words)->longestMatch(p, kMaxMatchWords));
        corv::testing::ExhaustiveMatchFinder reference(words);
        EXPECT_EQ(production, commandFor(reference.longestMatch(p, kMaxMatchWords)));
        return production;
    };
    const Command nearest = {BlockCommand::ShortReference, 5, 1};
    EXPECT_EQ(ask({5}), nearest);
    EXPECT_EQ(ask({15, 5}), (Command{BlockCommand::ShortReference, 15, 1}));
    EXPECT_EQ(ask({16, 5}), Command{});             // the oldest lies 16 back: a literal
    EXPECT_EQ(ask({2048, 5}), Command{});           // the window's first word
    EXPECT_EQ(ask({2049, 5}), nearest);             // just before the window
    EXPECT_EQ(ask({16}), Command{});
}

TEST(MatchFinder, SourcesBeyondSixteenBitPositions) {
    std::mt19937 random(12);
    auto data = TextLikeBytes(140000, random);
    const auto tail = RandomBytes(4000, random, 3);
    std::copy(tail.begin(), tail.end(), data.end() - static_cast<std::ptrdiff_t>(tail.size()));
    expectSameCommands(data, 6);
}
