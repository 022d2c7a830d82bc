#include "tools/demo/game_encoder.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <unordered_map>

namespace corv::demo {
namespace {

constexpr uint32_t kMaxLengthWords = 16;
constexpr uint32_t kShortMaxDistance = 16;   // 4-bit distance field, distance - 1
constexpr uint32_t kLongMaxDistance = 4096;  // 12-bit distance field, distance - 1
constexpr uint32_t kMaxCandidates = 512;     // a bounded hash chain, as a cartridge-era tool would
constexpr uint16_t kFirstDictionaryIndex = 4;  // indexes 0-3 are the header words

enum Command : uint16_t { kLiteral = 0, kDictionary = 1, kShort = 2, kLong = 3 };

class GroupWriter {
public:
    explicit GroupWriter(std::vector<uint8_t>& out) : out_(out) {}

    void command(Command kind, std::span<const uint8_t> operand) {
        if (count_ == 0) {
            controlAt_ = out_.size();
            out_.push_back(0);
            out_.push_back(0);
            ++groups_;
        }
        control_ = static_cast<uint16_t>((control_ << 2) | kind);
        out_.insert(out_.end(), operand.begin(), operand.end());
        if (++count_ == 8) flush();
    }
    void word(Command kind, uint16_t value) {
        const std::array<uint8_t, 2> bytes{static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
        command(kind, bytes);
    }
    void byte(Command kind, uint8_t value) { command(kind, std::span(&value, 1)); }

    [[nodiscard]] bool groupOpen() const { return count_ != 0; }
    [[nodiscard]] uint16_t groups() const { return groups_; }

private:
    void flush() {
        out_[controlAt_] = static_cast<uint8_t>(control_ & 0xFF);
        out_[controlAt_ + 1] = static_cast<uint8_t>(control_ >> 8);
        control_ = 0;
        count_ = 0;
    }

    std::vector<uint8_t>& out_;
    size_t controlAt_ = 0;
    uint16_t control_ = 0;
    int count_ = 0;
    uint16_t groups_ = 0;
};

std::vector<uint16_t> chooseDictionary(const std::vector<uint16_t>& words, uint32_t size) {
    std::unordered_map<uint16_t, uint32_t> counts;
    for (uint16_t w : words) ++counts[w];
    std::vector<std::pair<uint16_t, uint32_t>> ranked(counts.begin(), counts.end());
    // Most frequent first; ties by value so the result does not depend on hashing.
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    std::vector<uint16_t> dictionary;
    for (const auto& [value, count] : ranked) {
        if (dictionary.size() == size || count < 2) break;
        dictionary.push_back(value);
    }
    return dictionary;
}

struct Match {
    uint32_t length = 0;
    uint32_t distance = 0;
};

// Longest match for position p, the nearest one winning ties; the source may run into the
// words being produced (the decoder copies byte by byte, so that repeats them).
Match findMatch(const std::vector<uint16_t>& words, const std::vector<uint32_t>& chain, uint32_t p) {
    Match best;
    uint32_t candidates = 0;
    for (auto it = chain.rbegin(); it != chain.rend() && candidates < kMaxCandidates; ++it, ++candidates) {
        const uint32_t j = *it;
        if (p - j > kLongMaxDistance) break;
        uint32_t length = 0;
        while (length < kMaxLengthWords && p + length < words.size() && words[j + length] == words[p + length]) {
            ++length;
        }
        if (length > best.length) best = {length, p - j};
        if (best.length == kMaxLengthWords) break;
    }
    return best;
}

}  // namespace

GameEncodedBlock EncodeGameBlock(std::span<const uint8_t> data, const GameEncoderOptions& options) {
    if (data.size() % 2 != 0 || data.size() > 65534) throw std::invalid_argument("block data must be even and below 64 KiB");
    std::vector<uint16_t> words(data.size() / 2);
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));

    GameEncodedBlock block;
    block.dictionary = chooseDictionary(words, options.dictionaryWords);
    std::unordered_map<uint16_t, uint16_t> dictionaryIndex;
    for (size_t i = 0; i < block.dictionary.size(); ++i) {
        dictionaryIndex.emplace(block.dictionary[i], static_cast<uint16_t>(kFirstDictionaryIndex + i));
    }

    std::vector<uint8_t> stream;
    GroupWriter writer(stream);
    std::unordered_map<uint16_t, std::vector<uint32_t>> chains;
    const uint32_t n = static_cast<uint32_t>(words.size());
    uint32_t p = 0;
    while (p < n) {
        const auto chain = chains.find(words[p]);
        const Match match = chain == chains.end() ? Match{} : findMatch(words, chain->second, p);
        const auto entry = dictionaryIndex.find(words[p]);
        uint32_t advance = 1;
        if (match.length >= 2 && match.distance <= kShortMaxDistance) {
            writer.byte(kShort, static_cast<uint8_t>(((match.distance - 1) << 4) | (match.length - 1)));
            advance = match.length;
        } else if (match.length >= 2) {
            writer.word(kLong, static_cast<uint16_t>(((match.distance - 1) << 4) | (match.length - 1)));
            advance = match.length;
        } else if (entry != dictionaryIndex.end()) {
            writer.word(kDictionary, entry->second);
        } else if (match.length == 1 && match.distance <= kShortMaxDistance) {
            writer.byte(kShort, static_cast<uint8_t>((match.distance - 1) << 4));
        } else {
            writer.word(kLiteral, words[p]);
        }
        for (uint32_t i = 0; i < advance; ++i) chains[words[p + i]].push_back(p + i);
        p += advance;
    }
    uint32_t produced = 2 * n;
    while (writer.groupOpen()) {  // the last group always has eight commands
        writer.word(kLiteral, 0);
        produced += 2;
    }
    const uint16_t realGroups = writer.groups();
    while (stream.size() < options.minimumStreamBytes && produced + 16 <= options.maximumOutputBytes) {
        for (int i = 0; i < 8; ++i) writer.word(kLiteral, 0);
        produced += 16;
    }
    block.groups = writer.groups();
    block.paddingGroups = static_cast<uint16_t>(block.groups - realGroups);

    const auto length = static_cast<uint16_t>(data.size());
    const auto dictionarySize = static_cast<uint16_t>(block.dictionary.size());
    const auto check = static_cast<uint16_t>(0x10000 - ((length + dictionarySize + block.groups) & 0xFFFF));
    for (uint16_t w : {length, dictionarySize, block.groups, check}) {
        block.bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        block.bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    for (uint16_t w : block.dictionary) {
        block.bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        block.bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    block.bytes.insert(block.bytes.end(), stream.begin(), stream.end());
    return block;
}

}  // namespace corv::demo
