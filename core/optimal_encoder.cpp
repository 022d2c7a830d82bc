#include "core/optimal_encoder.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>
#include <vector>

#include "core/block_format.h"
#include "core/sixteen_words.h"

namespace corv::core {

namespace {

// The longest copies available at one position. Every shorter copy from the same source is
// available too, so these two are all a shortest path needs: short references for lengths up to
// `shortLength`, long ones beyond it (a long reference no longer than a short one only costs more).
struct PositionMatches {
    uint8_t shortLength = 0;    // 0 when no word within 16 back matches
    uint8_t shortDistance = 0;
    uint8_t longLength = 0;     // only meaningful when longer than shortLength
    uint16_t longDistance = 0;
};

// Finds the longest copies for every position, in increasing order. A copy may overlap its own
// output: the decoder copies word after word, so a source at distance d matches as long as each
// word equals the one d words before it, which is exactly the comparison of the data with itself.
//
// Long candidates are found in chains of the positions by their pair of words, newest first. Only
// pairs of two different words are chained: runs of one word (the zeros of string records) would
// make the chains thousands long. When p starts a run of r equal words v followed by u, a
// candidate matches longer than r only if its own v's end in the pair (v, u) exactly r words on,
// which its chain finds; a candidate no longer than r is a run of v at least that long, the
// nearest of which is kept per word and length as the runs end.
class OverlappingMatchFinder {
public:
    explicit OverlappingMatchFinder(const SourceWords& source) : count_(source.count()) {
        // Comparisons read 16 words from any position of the data; the padding is never matched
        // because every length is cut at the end of the data.
        words_.resize(size_t{count_} + kMaxMatchWords, 0);
        for (uint32_t i = 0; i < count_; ++i) words_[i] = source[i];
        head_.assign(kBuckets, kNone);
        previous_.assign(count_, kNone);
        // ahead_[i]: equal words from i on inside the data, at most 16.
        ahead_.assign(count_, 1);
        for (uint32_t i = count_ > 1 ? count_ - 1 : 0; i-- > 0;) {
            if (words_[i] == words_[i + 1]) ahead_[i] = static_cast<uint8_t>(std::min(ahead_[i + 1] + 1u, kMaxMatchWords));
        }
    }

    [[nodiscard]] PositionMatches at(uint32_t p) {
        if (p > 0 && words_[p] != words_[p - 1]) {
            noteRun(runStart_, p - runStart_);
            runStart_ = p;
        }
        PositionMatches found;
        const uint32_t maxLength = std::min(kMaxMatchWords, count_ - p);
        const SixteenWords wanted(words_.data() + p);
        const uint64_t limit = SixteenWords::limitOf(maxLength);
        // Never a source before word 0: the decoder's buffer there holds whatever it held.
        const uint32_t shortReach = std::min(kShortReachWords, p);
        for (uint32_t d = 1; d <= shortReach && found.shortLength < maxLength; ++d) {
            const uint32_t length = wanted.equalPrefix(words_.data() + p - d, limit);
            if (length > found.shortLength) {
                found.shortLength = static_cast<uint8_t>(length);
                found.shortDistance = static_cast<uint8_t>(d);
            }
        }
        // A long copy pays only from two words on, and only when longer than the short one.
        if (maxLength >= 2 && found.shortLength < maxLength) {
            uint32_t best = found.shortLength;
            const auto consider = [&](uint32_t j, uint32_t length) {
                if (length <= best) return false;
                best = length;
                found.longLength = static_cast<uint8_t>(length);
                found.longDistance = static_cast<uint16_t>(p - j);
                return length == maxLength;
            };
            const uint32_t run = std::min<uint32_t>(ahead_[p], maxLength);
            if (run < maxLength) {
                // Newest first, so that the nearest of equally long sources is kept.
                const uint32_t back = run - 1;  // from the pair's position to the candidate's start
                for (int32_t k = head_[bucketOf(p + back)]; k != kNone; k = previous_[uint32_t(k)]) {
                    if (uint32_t(k) < back) break;
                    const uint32_t j = uint32_t(k) - back;
                    if (p - j > kLongReachWords) break;
                    if (consider(j, wanted.equalPrefix(words_.data() + j, limit))) break;
                }
            }
            // Inside a run the copy from one word back already covers it.
            if (run >= 2 && p > 0 && words_[p - 1] != words_[p]) nearestRun(p, run, consider);
        }
        if (p + 1 < count_ && words_[p] != words_[p + 1]) {
            const uint32_t b = bucketOf(p);
            previous_[p] = head_[b];
            head_[b] = static_cast<int32_t>(p);
        }
        return found;
    }

private:
    static constexpr int32_t kNone = -1;
    static constexpr uint32_t kBucketBits = 15;
    static constexpr uint32_t kBuckets = uint32_t{1} << kBucketBits;
    using NearestByLength = std::array<int32_t, kMaxMatchWords + 1>;

    [[nodiscard]] uint32_t bucketOf(uint32_t p) const {
        const uint32_t pair = (uint32_t{words_[p]} << 16) | words_[p + 1];
        return (pair * 0x9E3779B1u) >> (32 - kBucketBits);
    }

    // A run of `length` equal words from `start` has ended: from start + length - L on, L of them
    // lie ahead, the nearest such position for later searches.
    void noteRun(uint32_t start, uint32_t length) {
        if (length < 2) return;
        auto [it, added] = nearestRuns_.try_emplace(words_[start]);
        if (added) it->second.fill(kNone);
        for (uint32_t l = 2; l <= std::min(length, kMaxMatchWords); ++l) {
            it->second[l] = static_cast<int32_t>(start + length - l);
        }
    }

    // p starts a run of `run` words: the nearest earlier run of its word, as long as reaches.
    template <typename Consider>
    void nearestRun(uint32_t p, uint32_t run, Consider& consider) const {
        const auto it = nearestRuns_.find(words_[p]);
        if (it == nearestRuns_.end()) return;
        for (uint32_t l = run; l >= 2; --l) {
            const int32_t at = it->second[l];
            if (at != kNone && p - uint32_t(at) <= kLongReachWords) {
                consider(uint32_t(at), l);
                return;
            }
        }
    }

    uint32_t count_;
    std::vector<uint16_t> words_;
    std::vector<uint8_t> ahead_;
    std::vector<int32_t> head_;      // newest position of each bucket
    std::vector<int32_t> previous_;  // the previous position of the same bucket
    uint32_t runStart_ = 0;          // where the run of p's word began
    std::unordered_map<uint16_t, NearestByLength> nearestRuns_;
};

enum class Step : uint8_t { Literal, Short, Long };

// How a state was reached: the command that led into it and how many words it wrote.
struct Arrival {
    Step step = Step::Literal;
    uint8_t length = 0;
};

constexpr uint32_t kGroupCommands = 8;
constexpr uint32_t kUnreached = std::numeric_limits<uint32_t>::max();

// Commands after the data's last one fill the group: one byte each (a one-word short reference).
[[nodiscard]] uint32_t trailingCommands(uint32_t slot) { return slot == 0 ? 0 : kGroupCommands - slot; }

struct Command {
    Step step = Step::Literal;
    uint32_t position = 0;
    uint8_t length = 1;
};

// The commands of the cheapest path, first to last, and the slot the data ends in.
struct Path {
    std::vector<Command> commands;
    uint32_t endSlot = 0;
};

Path cheapestPath(const SourceWords& words, std::vector<PositionMatches>& matches) {
    const uint32_t n = words.count();
    OverlappingMatchFinder finder(words);
    matches.resize(n);
    // cost[p * 8 + s]: fewest bytes that write the first p words and leave command slot s next.
    // The control word of a group is paid when its first command is taken.
    std::vector<uint32_t> cost((size_t{n} + 1) * kGroupCommands, kUnreached);
    std::vector<Arrival> arrival(cost.size());
    cost[0] = 0;
    for (uint32_t p = 0; p < n; ++p) {
        const PositionMatches found = finder.at(p);
        matches[p] = found;
        for (uint32_t s = 0; s < kGroupCommands; ++s) {
            const uint32_t here = cost[size_t{p} * kGroupCommands + s];
            if (here == kUnreached) continue;
            const uint32_t base = here + (s == 0 ? 2 : 0);
            const uint32_t next = (s + 1) % kGroupCommands;
            const auto relax = [&](uint32_t length, uint32_t bytes, Step step) {
                const size_t to = size_t{p + length} * kGroupCommands + next;
                if (base + bytes < cost[to]) {
                    cost[to] = base + bytes;
                    arrival[to] = {step, static_cast<uint8_t>(length)};
                }
            };
            if (found.shortLength == 0) relax(1, 2, Step::Literal);
            for (uint32_t length = 1; length <= found.shortLength; ++length) relax(length, 1, Step::Short);
            for (uint32_t length = found.shortLength + 1; length <= found.longLength; ++length) {
                relax(length, 2, Step::Long);
            }
        }
    }

    // The data may end in any slot whose filled group keeps the output within 64 KiB; ties go to
    // the fewest words past the data.
    Path path;
    uint32_t best = kUnreached;
    for (uint32_t s : {0u, 7u, 6u, 5u, 4u, 3u, 2u, 1u}) {
        const uint32_t reached = cost[size_t{n} * kGroupCommands + s];
        if (reached == kUnreached || n + trailingCommands(s) > kOutputWords) continue;
        if (reached + trailingCommands(s) < best) {
            best = reached + trailingCommands(s);
            path.endSlot = s;
        }
    }
    uint32_t p = n;
    uint32_t s = path.endSlot;
    while (p > 0) {
        const Arrival a = arrival[size_t{p} * kGroupCommands + s];
        p -= a.length;
        s = (s + kGroupCommands - 1) % kGroupCommands;
        path.commands.push_back({a.step, p, a.length});
    }
    std::reverse(path.commands.begin(), path.commands.end());
    return path;
}

class StreamWriter {
public:
    void command(BlockCommand kind) {
        if (slot_ == 0) {
            controlAt_ = stream_.bytes.size();
            stream_.bytes.resize(controlAt_ + 2);
            ++stream_.groups;
        }
        control_ = static_cast<uint16_t>((control_ << 2) | static_cast<uint16_t>(kind));
        if (++slot_ == kGroupCommands) closeGroup();
    }
    void byte(uint8_t value) { stream_.bytes.push_back(value); }
    void word(uint16_t value) {
        byte(static_cast<uint8_t>(value & 0xFF));
        byte(static_cast<uint8_t>(value >> 8));
    }
    // Operands follow their command: the caller writes them right after command().
    [[nodiscard]] uint32_t slot() const { return slot_; }
    [[nodiscard]] EncodedStream finish() { return std::move(stream_); }

private:
    void closeGroup() {
        stream_.bytes[controlAt_] = static_cast<uint8_t>(control_ & 0xFF);
        stream_.bytes[controlAt_ + 1] = static_cast<uint8_t>(control_ >> 8);
        control_ = 0;
        slot_ = 0;
    }

    EncodedStream stream_;
    size_t controlAt_ = 0;
    uint16_t control_ = 0;
    uint32_t slot_ = 0;
};

}  // namespace

EncodedStream EncodeOptimalStream(const SourceWords& words) {
    std::vector<PositionMatches> matches;
    const Path path = cheapestPath(words, matches);
    StreamWriter out;
    for (const Command& c : path.commands) {
        const PositionMatches& m = matches[c.position];
        switch (c.step) {
        case Step::Literal:
            out.command(BlockCommand::Literal);
            out.word(words[c.position]);
            break;
        case Step::Short:
            out.command(BlockCommand::ShortReference);
            out.byte(static_cast<uint8_t>(((m.shortDistance - 1u) << 4) | (c.length - 1u)));
            break;
        case Step::Long:
            out.command(BlockCommand::LongReference);
            out.word(static_cast<uint16_t>(((m.longDistance - 1u) << 4) | (c.length - 1u)));
            break;
        }
    }
    // The group is filled with copies of the last word, one byte each.
    while (out.slot() != 0) {
        out.command(BlockCommand::ShortReference);
        out.byte(0x00);
    }
    return out.finish();
}

EncodedStream EncodeMaximisedStream(const SourceWords& words) {
    const auto finder = MakeIndexedMatchFinder(words);
    EncodedStream standard = EncodeBlockStream(words, *finder);
    // The decoder's output position has 16 bits: no path keeps more words than that inside it.
    if (words.count() >= kOutputWords) return standard;
    EncodedStream optimal = EncodeOptimalStream(words);
    return optimal.bytes.size() < standard.bytes.size() ? std::move(optimal) : std::move(standard);
}

}  // namespace corv::core
