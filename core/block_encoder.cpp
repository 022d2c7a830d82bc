#include "block_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "address.h"
#include "block_readback.h"
#include "byte_order.h"

namespace corv::core {

namespace {

// The positions of the data grouped by a hash of a key (a word, or a pair of words), each group
// in ascending order and stored contiguously, so that walking a group is a plain scan of memory.
// A group's head only moves forward, past positions that fell out of the window, which never
// moves back.
class KeyIndex {
public:
    // Groups the positions 0 .. keys.size() - 1 by the bucket of their key (a counting sort).
    explicit KeyIndex(std::span<const uint32_t> keys) {
        uint32_t buckets = 64;
        while (buckets < keys.size()) buckets <<= 1;
        shift_ = 32 - static_cast<uint32_t>(std::countr_zero(buckets));
        groups_.assign(buckets, Group{});
        for (uint32_t key : keys) ++groups_[bucket(key)].end;
        uint32_t start = 0;
        for (Group& group : groups_) {
            group.head = start;
            start += group.end;
            group.end = group.head;
        }
        positions_.resize(keys.size());
        for (uint32_t j = 0; j < keys.size(); ++j) positions_[groups_[bucket(keys[j])].end++] = j;
    }

    // The group of `key`'s bucket from its first position at or after `windowStart` on.
    [[nodiscard]] std::span<const uint32_t> group(uint32_t key, uint32_t windowStart) {
        Group& group = groups_[bucket(key)];
        uint32_t i = group.head;
        while (i < group.end && positions_[i] < windowStart) ++i;
        group.head = i;
        return std::span<const uint32_t>(positions_).subspan(i, group.end - i);
    }

private:
    struct Group {
        uint32_t head = 0;  // first position not yet left behind by the window
        uint32_t end = 0;
    };

    [[nodiscard]] uint32_t bucket(uint32_t key) const { return (key * 0x9E3779B1u) >> shift_; }

    uint32_t shift_ = 0;
    std::vector<Group> groups_;
    std::vector<uint32_t> positions_;
};

// Gives exactly the choice of scanning every window position oldest first, which defines it.
//
// A match of two words or more starts with the same pair of words, so its candidates are the
// positions of that pair, kept in ascending order; without any, the best is a one-word match and
// the oldest one is the first position of that word in the window. Runs of one repeated word
// (the zeros of string records) would make those groups long, but only two positions of a run
// can matter: its oldest candidate, and the one whose run ends exactly where p's run of that
// word ends, the only one that may match past it. Every other position of the run matches no
// longer than the oldest one does, so the rest of the run is skipped.
class IndexedMatchFinder final : public MatchFinder {
public:
    explicit IndexedMatchFinder(const SourceWords& source) : source_(source), count_(source.count()) {}

    WordMatch longestMatch(uint32_t p, uint32_t maxLength) override {
        const uint32_t reachable = std::min(p, count_);  // sources stay before p and inside the data
        const uint32_t windowStart = p > kMatchWindowWords - 1 ? p - kMatchWindowWords : 0;

        // The oldest position of the window wins outright when it matches in full; long runs of
        // one value are answered here without building the index at all.
        if (windowStart + maxLength <= reachable && sourceEqual(windowStart, p, maxLength)) {
            return {maxLength, p - windowStart};
        }
        // Building the index costs about as much as a few dozen scans of the window, so the first
        // questions that need it are answered by scanning.
        if (scansBeforeIndexing_ > 0) {
            --scansBeforeIndexing_;
            return scanWindow(p, maxLength, reachable, windowStart);
        }
        buildIndexOnce();

        // With room for one word only, the oldest equal word wins, paired or not.
        if (maxLength >= 2) {
            const WordMatch paired = longestInPairGroup(p, maxLength, reachable, windowStart);
            if (paired.length > 0) return paired;
        }
        for (uint32_t j : singles_->group(words_[p], windowStart)) {
            if (j >= reachable) break;
            if (words_[j] == words_[p]) return {1, p - j};
        }
        return {};
    }

private:
    [[nodiscard]] bool sourceEqual(uint32_t a, uint32_t b, uint32_t n) const {
        const auto bytes = source_.bytes();
        if ((size_t{b} + n) * 2 <= bytes.size()) {
            return std::memcmp(bytes.data() + size_t{a} * 2, bytes.data() + size_t{b} * 2, size_t{n} * 2) == 0;
        }
        for (uint32_t i = 0; i < n; ++i) {
            if (source_[a + i] != source_[b + i]) return false;
        }
        return true;
    }

    // The oldest of the longest matches, straight from the window, oldest position first.
    [[nodiscard]] WordMatch scanWindow(uint32_t p, uint32_t maxLength, uint32_t reachable,
                                       uint32_t windowStart) const {
        WordMatch best;
        for (uint32_t j = windowStart; j < reachable; ++j) {
            uint32_t length = 0;
            while (length < maxLength && j + length < reachable && source_[j + length] == source_[p + length]) {
                ++length;
            }
            if (length > best.length) {
                best = {length, p - j};
                if (length == maxLength) break;
            }
        }
        return best;
    }

    void buildIndexOnce() {
        if (singles_) return;
        // The last group starts before the end of the data, and each of its eight commands may
        // advance by a whole match, so positions reach 8 x 16 words past the end, and a
        // comparison 16 words further (read four words at a time).
        const uint32_t total = count_ + 9 * kMaxMatchWords + 4;
        words_.resize(total);
        for (uint32_t i = 0; i < total; ++i) words_[i] = source_[i];
        // Where the run of equal words that each position starts ends, inside the data.
        runEnd_.resize(count_);
        for (uint32_t j = count_; j-- > 0;) {
            runEnd_[j] = j + 1 < count_ && words_[j + 1] == words_[j] ? runEnd_[j + 1] : j + 1;
        }
        // Only words and pairs that lie wholly inside the data can be sources.
        std::vector<uint32_t> keys(words_.begin(), words_.begin() + count_);
        singles_ = std::make_unique<KeyIndex>(keys);
        keys.resize(count_ > 0 ? count_ - 1 : 0);
        for (uint32_t j = 0; j < keys.size(); ++j) keys[j] = pairKey(j);
        pairs_ = std::make_unique<KeyIndex>(keys);
    }

    [[nodiscard]] uint32_t pairKey(uint32_t j) const { return (uint32_t{words_[j]} << 16) | words_[j + 1]; }

    // How many words from `from` on equal those at p, at most `limit`, four words at a time.
    [[nodiscard]] uint32_t matchLength(uint32_t j, uint32_t p, uint32_t from, uint32_t limit) const {
        uint32_t length = from;
        while (length < limit) {
            uint64_t a = 0;
            uint64_t b = 0;
            std::memcpy(&a, words_.data() + j + length, sizeof a);
            std::memcpy(&b, words_.data() + p + length, sizeof b);
            if (a != b) {
                const uint64_t differ = a ^ b;
                const int bit = std::endian::native == std::endian::little ? std::countr_zero(differ)
                                                                           : std::countl_zero(differ);
                length += static_cast<uint32_t>(bit) / 16;
                break;
            }
            length += 4;
        }
        return std::min(length, limit);
    }

    // The oldest of the longest matches of two words or more, or none.
    [[nodiscard]] WordMatch longestInPairGroup(uint32_t p, uint32_t maxLength, uint32_t reachable,
                                               uint32_t windowStart) {
        uint32_t run = 1;  // p's run of its first word
        while (run < kMaxMatchWords && words_[p + run] == words_[p]) ++run;

        WordMatch best;
        // `known` words at j are already known to match.
        const auto consider = [&](uint32_t j, uint32_t known) {
            if (j >= reachable) return;  // the run may go on past p
            const uint32_t limit = std::min(maxLength, reachable - j);
            if (limit <= best.length) return;  // cannot beat the best any more
            // Nor can a candidate that differs from p right where the best match ends.
            if (best.length > known && words_[j + best.length] != words_[p + best.length]) return;
            const uint32_t length = matchLength(j, p, std::min(known, limit), limit);
            if (length > best.length) best = {length, p - j};
        };
        const uint32_t pair = pairKey(p);
        const auto group = pairs_->group(pair, windowStart);
        for (auto it = group.begin(); it != group.end() && best.length < maxLength;) {
            const uint32_t j = *it;
            if (j + 2 > reachable) break;
            if (pairKey(j) != pair) {
                ++it;  // another pair sharing the bucket
                continue;
            }
            consider(j, 2);
            const uint32_t runEnd = runEnd_[j];
            if (runEnd >= run && runEnd - run > j) consider(runEnd - run, std::min(run, 2u));
            it = skipRun(it + 1, group.end(), runEnd, runEnd >= j + 2 ? runEnd - 2 - j : 0);
        }
        return best;
    }

    // The first position at or after `end` in the rest of a group. The run's positions follow
    // one another there, `expected` of them, unless another pair shares the bucket.
    [[nodiscard]] static std::span<const uint32_t>::iterator skipRun(std::span<const uint32_t>::iterator from,
                                                                      std::span<const uint32_t>::iterator last,
                                                                      uint32_t end, uint32_t expected) {
        if (expected <= static_cast<uint32_t>(last - from)) {
            const auto guess = from + expected;
            if ((guess == from || guess[-1] < end) && (guess == last || *guess >= end)) return guess;
        }
        return std::lower_bound(from, last, end);
    }

    const SourceWords& source_;
    uint32_t count_;
    uint32_t scansBeforeIndexing_ = 16;
    std::vector<uint16_t> words_;
    std::vector<uint32_t> runEnd_;
    std::unique_ptr<KeyIndex> singles_;
    std::unique_ptr<KeyIndex> pairs_;
};

void appendLe16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

std::unique_ptr<MatchFinder> MakeIndexedMatchFinder(const SourceWords& words) {
    return std::make_unique<IndexedMatchFinder>(words);
}

uint32_t MatchLengthLimit(uint32_t p, uint32_t command) {
    const uint32_t later = 7 - command;
    const uint32_t room = kOutputWords > p + later ? kOutputWords - p - later : 1;
    return std::min(kMaxMatchWords, room);
}

namespace {

struct GroupStart {
    uint32_t position = 0;   // word position of the group's first command
    size_t controlAt = 0;    // byte offset of its control word
};

// Appends groups from word p on until the data is covered, each command taking the match that
// `choose(p, command)` gives, and notes where each group starts.
template <typename Choose>
void appendGroups(EncodedStream& stream, std::vector<GroupStart>& starts, const SourceWords& words, uint32_t p,
                  Choose choose) {
    while (p < words.count()) {
        const size_t controlAt = stream.bytes.size();
        starts.push_back({p, controlAt});
        stream.bytes.resize(controlAt + 2);
        ++stream.groups;
        uint16_t control = 0;
        // The last group is always completed, with commands for the words after the data.
        for (uint32_t command = 0; command < 8; ++command) {
            const WordMatch match = choose(p, command);
            BlockCommand kind = BlockCommand::Literal;
            if (match.length >= 2 && match.distance >= 16) {
                kind = BlockCommand::LongReference;
                appendLe16(stream.bytes, static_cast<uint16_t>(((match.distance - 1) << 4) + (match.length - 1)));
                p += match.length;
            } else if (match.length >= 1 && match.distance <= 15) {
                kind = BlockCommand::ShortReference;
                stream.bytes.push_back(static_cast<uint8_t>(((match.distance - 1) << 4) + (match.length - 1)));
                p += match.length;
            } else {
                appendLe16(stream.bytes, words[p]);
                p += 1;
            }
            control = static_cast<uint16_t>((control << 2) | static_cast<uint16_t>(kind));
        }
        stream.bytes[controlAt] = static_cast<uint8_t>(control & 0xFF);
        stream.bytes[controlAt + 1] = static_cast<uint8_t>(control >> 8);
    }
}

// The search limited to one word: the oldest equal word of the window.
WordMatch oldestEqualWord(const SourceWords& words, uint32_t p) {
    const uint32_t windowStart = p > kMatchWindowWords - 1 ? p - kMatchWindowWords : 0;
    const uint32_t reachable = std::min(p, words.count());
    for (uint32_t j = windowStart; j < reachable; ++j) {
        if (words[j] == words[p]) return {1, p - j};
    }
    return {};
}

}  // namespace

EncodedStream EncodeBlockStream(const SourceWords& words, MatchFinder& finder) {
    EncodedStream stream;
    // Worst case: eight literal words and a control word per group of eight words.
    stream.bytes.reserve((words.count() / 8 + 1) * 18);
    std::vector<GroupStart> starts;
    appendGroups(stream, starts, words, 0,
                 [&](uint32_t p, uint32_t command) { return finder.longestMatch(p, MatchLengthLimit(p, command)); });

    // Every group writes at least eight words, so a last group that starts past word 32,760 wraps
    // the decoder's output onto the block's start, and shorter matches cannot help once it has
    // begun. Such a stream is encoded again from an earlier group on with one word per command:
    // its groups then start eight words apart, and a start is chosen whose last group cannot land
    // in the last words before 64 KiB. The first group (at 0) always qualifies.
    constexpr uint32_t kLastGroupStart = kOutputWords - 8;
    if (starts.empty() || starts.back().position <= kLastGroupStart) return stream;
    const uint32_t overhang = words.count() - kLastGroupStart;  // data words past a safe last start
    const auto safe = [&](const GroupStart& start) {
        const uint32_t phase = start.position % 8;
        return start.position <= kLastGroupStart && (phase == 0 || phase >= overhang);
    };
    const auto restart = std::find_if(starts.rbegin(), starts.rend(), safe);
    const GroupStart from = *restart;
    stream.groups = static_cast<uint16_t>(starts.rend() - restart - 1);
    stream.bytes.resize(from.controlAt);
    starts.clear();
    appendGroups(stream, starts, words, from.position,
                 [&](uint32_t p, uint32_t) { return oldestEqualWord(words, p); });
    return stream;
}

uint32_t EvenBlockLength(std::span<const uint8_t> source, uint32_t length) {
    if (length % 2 == 0) return length;
    const SourceWords words(source, 0);
    return words[length / 2] != 0 ? length + 1 : length - 1;
}

uint32_t CompressBlock(std::span<uint8_t> romData, uint32_t blockAddress, uint32_t limit, uint32_t length,
                       std::span<const uint8_t> source) {
    length = EvenBlockLength(source, length);
    const uint32_t blockOffset = AddressToRomOffset(blockAddress & 0xFFFFFF);
    const auto header = ReadBlockHeader(romData, blockOffset);
    if (!header || !header->valid()) return kCompressBadHeader;

    const auto tooLarge = [](uint64_t excess) {
        // The code has 16 bits for the excess; a larger one is reported as the largest it can say.
        return kCompressTooLargeTag | (static_cast<uint32_t>(std::min<uint64_t>(excess, 0xFFFF)) << 16);
    };
    // The size word has 16 bits: a longer block can never be written.
    if (length > kMaxBlockFileSize) return tooLarge(length - kMaxBlockFileSize);

    const SourceWords words(source, length / 2);
    const auto finder = MakeIndexedMatchFinder(words);
    const EncodedStream stream = EncodeBlockStream(words, *finder);

    const uint64_t streamStart = uint64_t{blockOffset} + header->streamOffset();
    const uint64_t streamEnd = streamStart + stream.bytes.size();
    const uint64_t roomEnd = std::min<uint64_t>(limit, romData.size());
    if (streamEnd > roomEnd) return tooLarge(streamEnd - roomEnd);

    return WriteBlockIfItReadsBack(romData, blockOffset, stream, words);
}

}  // namespace corv::core
