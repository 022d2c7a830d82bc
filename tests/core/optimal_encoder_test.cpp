// The maximising compressor: sound streams for every kind and length of data, never longer than
// the standard compressor's, as small as an exhaustive search over all parses finds, and using
// each freedom the decoder allows.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>

#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "core/byte_order.h"
#include "core/optimal_encoder.h"
#include "support/block_test_rom.h"
#include "support/codec_test_data.h"
#include "support/stream_walk.h"

using namespace corv::core;
using corv::testing::StreamCommand;
using corv::testing::StreamFault;
using corv::testing::WalkStream;

namespace {

constexpr uint32_t kMaxWordsPast = 7;

std::vector<uint8_t> bytesOfWords(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> bytes(words.size() * 2);
    for (size_t i = 0; i < words.size(); ++i) writeLe16(bytes, i * 2, words[i]);
    return bytes;
}

// Runs of one word, of random lengths up to 40 words.
std::vector<uint8_t> runHeavyBytes(size_t length, std::mt19937& random) {
    std::vector<uint16_t> words;
    std::uniform_int_distribution<int> run(1, 40);
    std::uniform_int_distribution<int> value(0, 5);
    while (words.size() * 2 < length + 2) words.insert(words.end(), run(random), static_cast<uint16_t>(value(random)));
    auto bytes = bytesOfWords(words);
    bytes.resize(length);
    return bytes;
}

// One unit of `period` random words repeated, with a changed word now and then.
std::vector<uint8_t> periodicBytes(size_t length, uint32_t period, std::mt19937& random) {
    std::vector<uint16_t> unit(period);
    for (auto& w : unit) w = static_cast<uint16_t>(random());
    std::vector<uint16_t> words((length + 1) / 2);
    for (size_t i = 0; i < words.size(); ++i) words[i] = random() % 97 == 0 ? uint16_t(random()) : unit[i % period];
    auto bytes = bytesOfWords(words);
    bytes.resize(length);
    return bytes;
}

// The standard compressor's stream, as the default writes it.
EncodedStream standardStream(const SourceWords& words) {
    const auto finder = MakeIndexedMatchFinder(words);
    return EncodeBlockStream(words, *finder);
}

// The optimal stream is sound and never longer than the standard one, and the maximised stream
// is the smaller of the two, the standard one when the optimal one gains nothing.
void checkStreams(const std::vector<uint8_t>& data, const char* kind) {
    const SourceWords words(data, static_cast<uint32_t>(data.size() / 2));
    const EncodedStream optimal = EncodeOptimalStream(words);
    const auto fault = StreamFault(words, optimal, kMaxWordsPast);
    ASSERT_FALSE(fault.has_value()) << kind << " length " << data.size() << ": " << *fault;
    const EncodedStream standard = standardStream(words);
    ASSERT_LE(optimal.bytes.size(), standard.bytes.size()) << kind << " length " << data.size();
    const EncodedStream maximised = EncodeMaximisedStream(words);
    const EncodedStream& expected = optimal.bytes.size() < standard.bytes.size() ? optimal : standard;
    ASSERT_EQ(maximised.bytes, expected.bytes) << kind << " length " << data.size();
    ASSERT_EQ(maximised.groups, expected.groups) << kind << " length " << data.size();
}

std::vector<size_t> testedLengths(std::mt19937& random) {
    std::vector<size_t> lengths;
    for (size_t length = 0; length <= 40; ++length) lengths.push_back(length);
    std::uniform_int_distribution<size_t> any(41, 65399);
    for (int i = 0; i < 6; ++i) lengths.push_back(any(random));
    return lengths;
}

// The fewest bytes of any stream of literals, short and long references that decodes to `words`:
// every command at every position, every distance and length tried one by one, a copy checked by
// doing it word after word as the decoder does; a command may also run past the data, and the
// last group is filled with the cheapest commands (one byte each).
class ExhaustiveParse {
public:
    explicit ExhaustiveParse(std::vector<uint16_t> words) : words_(std::move(words)) {}

    [[nodiscard]] uint32_t fewestBytes() { return words_.empty() ? 0 : from(0, 0); }

private:
    uint32_t from(uint32_t p, uint32_t slot) {
        const auto n = static_cast<uint32_t>(words_.size());
        if (p >= n) return slot == 0 ? 0 : 8 - slot;
        const auto key = std::make_pair(p, slot);
        if (const auto known = memo_.find(key); known != memo_.end()) return known->second;
        const uint32_t control = slot == 0 ? 2 : 0;
        const uint32_t next = (slot + 1) % 8;
        uint32_t best = control + 2 + from(p + 1, next);  // literal
        for (uint32_t d = 1; d <= std::min(p, kLongReachWords); ++d) {
            for (uint32_t length = 1; length <= 16; ++length) {
                if (!copies(p, d, length)) break;
                const uint32_t operand = d <= 16 ? 1 : 2;
                best = std::min(best, control + operand + from(p + length, next));
            }
        }
        memo_[key] = best;
        return best;
    }

    // Whether copying `length` words from `d` back at p writes the data's words there.
    [[nodiscard]] bool copies(uint32_t p, uint32_t d, uint32_t length) const {
        std::vector<uint16_t> out(words_.begin(), words_.begin() + p);
        for (uint32_t i = 0; i < length; ++i) out.push_back(out[p + i - d]);
        for (uint32_t i = 0; i < length && p + i < words_.size(); ++i) {
            if (out[p + i] != words_[p + i]) return false;
        }
        return true;
    }

    std::vector<uint16_t> words_;
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> memo_;
};

// The fewest bytes for `words` by a shortest path over the same states, its longest copies found
// by trying every source within reach one by one: checks the match search on data too long for
// the exhaustive parse.
uint32_t fewestBytesTryingEverySource(const std::vector<uint16_t>& words) {
    const auto n = static_cast<uint32_t>(words.size());
    std::vector<uint32_t> cost((n + 1) * 8, ~0u);
    cost[0] = 0;
    for (uint32_t p = 0; p < n; ++p) {
        uint32_t longestShort = 0;
        uint32_t longest = 0;
        for (uint32_t d = 1; d <= std::min(p, kLongReachWords); ++d) {
            uint32_t length = 0;
            while (length < 16 && p + length < n && words[p + length] == words[p + length - d]) ++length;
            if (d <= 16) longestShort = std::max(longestShort, length);
            longest = std::max(longest, length);
        }
        for (uint32_t s = 0; s < 8; ++s) {
            if (cost[p * 8 + s] == ~0u) continue;
            const uint32_t base = cost[p * 8 + s] + (s == 0 ? 2 : 0);
            const auto relax = [&](uint32_t length, uint32_t bytes) {
                uint32_t& to = cost[(p + length) * 8 + (s + 1) % 8];
                to = std::min(to, base + bytes);
            };
            relax(1, 2);
            for (uint32_t length = 1; length <= longest; ++length) relax(length, length <= longestShort ? 1 : 2);
        }
    }
    uint32_t best = ~0u;
    for (uint32_t s = 0; s < 8; ++s) {
        if (cost[n * 8 + s] != ~0u) best = std::min(best, cost[n * 8 + s] + (s == 0 ? 0 : 8 - s));
    }
    return best;
}

const StreamCommand* commandAt(const std::vector<StreamCommand>& commands, uint32_t position) {
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const StreamCommand& c) { return c.position == position; });
    return it == commands.end() ? nullptr : &*it;
}

std::vector<uint16_t> distinctWords(uint16_t first, size_t count) {
    std::vector<uint16_t> words(count);
    for (size_t i = 0; i < count; ++i) words[i] = static_cast<uint16_t>(first + i);
    return words;
}

// The walk of the optimal stream of `words`, after checking that it is sound.
std::vector<StreamCommand> optimalCommands(const std::vector<uint16_t>& words) {
    const auto bytes = bytesOfWords(words);
    const SourceWords source(bytes, static_cast<uint32_t>(words.size()));
    const EncodedStream stream = EncodeOptimalStream(source);
    const auto fault = StreamFault(source, stream, kMaxWordsPast);
    EXPECT_FALSE(fault.has_value()) << *fault;
    return WalkStream(stream).commands;
}

}  // namespace

TEST(OptimalEncoder, EveryKindOfDataAtLengthsUpTo64KiBDecodesBackAndNeverGrows) {
    std::mt19937 random(321);
    auto lengths = testedLengths(random);
    const auto text = corv::testing::TextLikeBytes(kMaxBlockFileSize, random);
    const auto noise = corv::testing::RandomBytes(kMaxBlockFileSize, random, 256);
    const auto runs = runHeavyBytes(kMaxBlockFileSize, random);
    const auto periodic = periodicBytes(kMaxBlockFileSize, 7, random);
    // Text-like data at every length near 64 KiB, the other kinds at every ninth.
    for (size_t length = 65400; length <= kMaxBlockFileSize; ++length) {
        if (length % 9 != 0) checkStreams(std::vector<uint8_t>(text.begin(), text.begin() + std::ptrdiff_t(length)), "text");
        if (length % 9 == 0 || length == kMaxBlockFileSize) lengths.push_back(length);
    }
    for (const size_t length : lengths) {
        for (const auto* kind : {&text, &noise, &runs, &periodic}) {
            const std::vector<uint8_t> data(kind->begin(), kind->begin() + static_cast<std::ptrdiff_t>(length));
            const char* name = kind == &text ? "text" : kind == &noise ? "random" : kind == &runs ? "runs" : "periodic";
            checkStreams(data, name);
        }
    }
}

TEST(OptimalEncoder, PeriodsAroundTheShortAndLongReachDecodeBack) {
    std::mt19937 random(5);
    for (const uint32_t period : {1u, 2u, 15u, 16u, 17u, 300u, 4095u, 4096u, 4097u}) {
        checkStreams(periodicBytes(20000, period, random), "periodic");
    }
}

TEST(OptimalEncoder, EqualsAnExhaustiveSearchOverAllParsesOfSmallInputs) {
    std::mt19937 random(77);
    int compared = 0;
    for (const int alphabet : {1, 2, 3, 4, 8}) {
        std::uniform_int_distribution<int> pick(0, alphabet - 1);
        std::uniform_int_distribution<size_t> size(0, 24);
        for (int round = 0; round < 60; ++round) {
            std::vector<uint16_t> words(size(random));
            for (auto& w : words) w = static_cast<uint16_t>(0x100 * pick(random));
            const auto bytes = bytesOfWords(words);
            const SourceWords source(bytes, static_cast<uint32_t>(words.size()));
            const EncodedStream stream = EncodeOptimalStream(source);
            ASSERT_FALSE(StreamFault(source, stream, kMaxWordsPast).has_value());
            ASSERT_EQ(stream.bytes.size(), ExhaustiveParse(words).fewestBytes())
                << "alphabet " << alphabet << " words " << words.size();
            ++compared;
        }
    }
    EXPECT_EQ(compared, 300);
}

TEST(OptimalEncoder, MatchSearchFindsWhatTryingEverySourceFinds) {
    std::mt19937 random(17);
    std::vector<std::vector<uint16_t>> inputs;
    // Runs of a few words, up to 40 long.
    std::vector<uint16_t> runs;
    while (runs.size() < 9000) runs.insert(runs.end(), random() % 40 + 1, static_cast<uint16_t>(random() % 4));
    inputs.push_back(runs);
    // Distinct words with a run of zeros now and then, some of them further apart than 4,096.
    std::vector<uint16_t> sparse;
    while (sparse.size() < 12000) {
        for (auto i = static_cast<uint32_t>(random() % 3000); i > 0; --i) sparse.push_back(static_cast<uint16_t>(0x100 + random() % 0xF000));
        sparse.insert(sparse.end(), random() % 20 + 2, 0);
        sparse.push_back(static_cast<uint16_t>(random() % 3));
    }
    inputs.push_back(sparse);
    // Text-like data and repeats just inside and outside the long reach.
    const auto text = corv::testing::TextLikeBytes(16000, random);
    inputs.emplace_back(text.size() / 2);
    for (size_t i = 0; i < inputs.back().size(); ++i) inputs.back()[i] = readLe16(text, i * 2);
    const auto periodic = periodicBytes(2 * 9000, static_cast<uint32_t>(4095 + random() % 3), random);
    inputs.emplace_back(periodic.size() / 2);
    for (size_t i = 0; i < inputs.back().size(); ++i) inputs.back()[i] = readLe16(periodic, i * 2);

    for (const auto& words : inputs) {
        const auto bytes = bytesOfWords(words);
        const SourceWords source(bytes, static_cast<uint32_t>(words.size()));
        EXPECT_EQ(EncodeOptimalStream(source).bytes.size(), fewestBytesTryingEverySource(words)) << words.size();
    }
}

TEST(OptimalEncoder, ReachesExactly4096WordsBackAndNoFurther) {
    auto words = distinctWords(0x1000, 16);
    const auto filler = distinctWords(0x4000, 4080);
    words.insert(words.end(), filler.begin(), filler.end());
    auto tooFar = words;
    const auto repeat = distinctWords(0x1000, 16);
    words.insert(words.end(), repeat.begin(), repeat.end());  // at word 4096
    const auto commands = optimalCommands(words);
    const StreamCommand* at4096 = commandAt(commands, 4096);
    ASSERT_NE(at4096, nullptr);
    EXPECT_EQ(at4096->kind, BlockCommand::LongReference);
    EXPECT_EQ(at4096->distance, 4096u);
    EXPECT_EQ(at4096->length, 16u);

    tooFar.push_back(0x7777);
    tooFar.insert(tooFar.end(), repeat.begin(), repeat.end());  // at word 4097
    const auto farCommands = optimalCommands(tooFar);
    const StreamCommand* at4097 = commandAt(farCommands, 4097);
    ASSERT_NE(at4097, nullptr);
    EXPECT_EQ(at4097->kind, BlockCommand::Literal);
}

TEST(OptimalEncoder, ShortReferencesReach16WordsBack) {
    // The second half can only be copied from 16 back: in one byte per command, never two.
    auto words = distinctWords(0x1000, 16);
    words.insert(words.end(), words.begin(), words.end());
    const auto commands = optimalCommands(words);
    uint32_t copied = 0;
    for (const StreamCommand& c : commands) {
        if (c.position < 16 || c.position >= 32) continue;
        EXPECT_EQ(c.kind, BlockCommand::ShortReference) << "at " << c.position;
        EXPECT_EQ(c.distance, 16u) << "at " << c.position;
        copied += c.length;
    }
    EXPECT_EQ(copied, 16u);
}

// A stream costs one byte per literal or long reference more than its commands' slots, and 10 per
// group: these data fit one group of eight commands only when a copy overlaps its own output.
TEST(OptimalEncoder, CopiesOverlapTheirOwnOutput) {
    std::vector<uint16_t> run(17, 0xBEEF);  // one word and sixteen more of it
    const auto after = distinctWords(0x2000, 6);
    run.insert(run.end(), after.begin(), after.end());
    const auto runCommands = optimalCommands(run);
    ASSERT_EQ(runCommands.size(), 8u);
    EXPECT_EQ(runCommands[1].kind, BlockCommand::ShortReference);
    EXPECT_EQ(runCommands[1].distance, 1u);
    EXPECT_EQ(runCommands[1].length, 16u);

    std::vector<uint16_t> periodic;  // three words and sixteen repeats of them
    for (int i = 0; i < 19; ++i) periodic.push_back(static_cast<uint16_t>(0xA0 + i % 3));
    const auto tail = distinctWords(0x3000, 4);
    periodic.insert(periodic.end(), tail.begin(), tail.end());
    const auto repeats = optimalCommands(periodic);
    ASSERT_EQ(repeats.size(), 8u);
    const StreamCommand* at3 = commandAt(repeats, 3);
    ASSERT_NE(at3, nullptr);
    EXPECT_EQ(at3->distance, 3u);
    EXPECT_EQ(at3->length, 16u);
}

TEST(OptimalEncoder, NearCopyInShortFormWinsOverAnOlderLongOne) {
    const auto phrase = distinctWords(0x1000, 4);
    auto words = phrase;
    const auto filler = distinctWords(0x4000, 100);
    words.insert(words.end(), filler.begin(), filler.end());
    words.insert(words.end(), phrase.begin(), phrase.end());  // at 104: only a long copy reaches
    const auto gap = distinctWords(0x5000, 6);
    words.insert(words.end(), gap.begin(), gap.end());
    words.insert(words.end(), phrase.begin(), phrase.end());  // at 114: 10 back, or 114 back
    const auto commands = optimalCommands(words);
    const StreamCommand* at104 = commandAt(commands, 104);
    const StreamCommand* at114 = commandAt(commands, 114);
    ASSERT_NE(at104, nullptr);
    ASSERT_NE(at114, nullptr);
    EXPECT_EQ(at104->kind, BlockCommand::LongReference);
    EXPECT_EQ(at104->distance, 104u);
    EXPECT_EQ(at114->kind, BlockCommand::ShortReference);
    EXPECT_EQ(at114->distance, 10u);
    EXPECT_EQ(at114->length, 4u);
}

TEST(OptimalEncoder, LastGroupEndsWithFewestWordsPastTheDataAndNeverPast64KiB) {
    // A single word: a literal and seven one-word copies of it, one byte each.
    const auto one = optimalCommands({0x1234});
    ASSERT_EQ(one.size(), 8u);
    for (size_t i = 1; i < 8; ++i) EXPECT_EQ(one[i].kind, BlockCommand::ShortReference);
    // 32,767 distinct-ish words: the last group may write one word past the data and no more.
    std::mt19937 random(3);
    const auto noise = corv::testing::RandomBytes(kMaxBlockFileSize, random, 256);
    const SourceWords words(noise, kMaxBlockFileSize / 2);
    const auto walk = WalkStream(EncodeOptimalStream(words));
    EXPECT_LE(walk.wordsWritten, kOutputWords);
}

TEST(OptimalEncoder, MaximisingCompressorFitsWhereTheStandardOneIsOverAndReadsBack) {
    std::mt19937 random(11);
    const auto data = corv::testing::TextLikeBytes(6000, random);
    constexpr uint32_t kBlock = 0x10000;
    corv::testing::TestRom rom(0x30000);
    rom.putHeader(kBlock, 0, {0x0102}, 0);
    const auto end = static_cast<uint32_t>(rom.data.size());
    const CompressionMeasure standard = MeasureBlockCompression(rom.data, kBlock, end, 6000, data);
    const CompressionMeasure maximised =
        MeasureBlockCompression(rom.data, kBlock, end, 6000, data, Compressor::Maximising);
    ASSERT_LT(maximised.needed, standard.needed);

    const auto limit = static_cast<uint32_t>(kBlock + maximised.needed);
    const auto before = rom.data;
    const uint32_t refused = CompressBlock(rom.data, kBlock, limit, 6000, data);
    ASSERT_TRUE(IsTooLarge(refused));
    EXPECT_EQ(ExcessBytes(refused), standard.needed - maximised.needed);
    EXPECT_EQ(rom.data, before);

    ASSERT_EQ(CompressBlock(rom.data, kBlock, limit, 6000, data, Compressor::Maximising), kCompressWritten);
    auto decoded = std::make_unique<BlockBuffer>();
    EXPECT_EQ(DecompressBlock(rom.data, kBlock, *decoded), limit);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), decoded->begin()));
    EXPECT_EQ(DecompressedLength(*decoded), 6000);
}
