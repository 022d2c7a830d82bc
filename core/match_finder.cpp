// The production match search. It gives the choices of the oldest-first scan of the window, for
// every length limit, at the cost of a few chain steps per command instead of a scan of 2048
// positions.
//
// Candidates of two words or more start with p's pair of words, so they are found in chains of
// the window's positions by pair. Runs of one repeated word (the zeros of string records) would
// make those chains long, and are answered a run at a time instead: when p starts a run of r equal
// words v, a candidate can match longer than r only if its own run of v is exactly r long and is
// followed by the word that follows p's run, u; such a candidate ends in the pair (v, u), whose
// chain is short. When none of them matches past the run, the oldest candidate that covers as much
// of p's run as any other wins, and within one run of the window that is always its first position.
//
// So pairs of two different words are chained newest first, the cheapest chain to extend, and
// their searches walk the whole of it inside the window (the oldest of equally long candidates is
// the last one met). Pairs of two equal words are chained only where a run begins, oldest first,
// because the first run of the window that covers p's run ends their search.
//
// A one-word match is written as a short reference only when the oldest equal word of the window
// lies within 15 words, so only the last 15 words are searched, and a link from each position to
// the previous one of its word tells whether an older one exists. Positions inside a run of one
// word need neither chains nor links: the run's first and last positions stand for them.

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

#include "core/block_stream.h"
#include "core/sixteen_words.h"

namespace corv::core {

namespace {

// Where the short references end: a one-word match further back is written as a literal.
constexpr uint32_t kShortDistanceWords = 15;

// Positions join the chains a block ahead of the search and leave them a block after the window
// has passed them, so that both loops run a fixed number of times; the searches skip what lies
// outside the window. What a chained position links to is kept in rings of this many entries,
// more than the positions chained at any time (the window and two blocks).
constexpr uint32_t kBlock = 16;
constexpr uint32_t kRing = 4096;
static_assert(kRing >= kMatchWindowWords + 2 * kBlock);

constexpr uint32_t kBucketBits = 13;  // four times as many buckets as window positions
[[nodiscard]] constexpr uint32_t bucketOf(uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kBucketBits); }

// The chained positions by the bucket of the pair of two different words they start, newest first.
template <typename Position>
class NewestFirstChains {
public:
    NewestFirstChains() { newestPlusOne_.fill(0); }

    // A position whose pair is not to be chained is written into one of kBlock spare buckets
    // instead, so that every position takes the same steps and consecutive ones do not wait on
    // one entry.
    void append(uint32_t pair, bool chained, uint32_t position) {
        const uint32_t b = chained ? bucketOf(pair) : kBuckets + position % kBlock;
        // Kept by the position plus one, the value a walk holds, which saves a step per link.
        previousPlusOne_[(position + 1) % kRing] = newestPlusOne_[b];
        newestPlusOne_[b] = static_cast<Position>(position + 1);
    }
    // The newest chained position of the pair's bucket plus one, or 0. A position plus one read
    // from here or from previousPlusOne (given a position plus one) is valid only while that
    // position lies in the last kRing chained ones; walks stop at the window's start.
    [[nodiscard]] uint32_t newestPlusOne(uint32_t pair) const { return newestPlusOne_[bucketOf(pair)]; }
    [[nodiscard]] uint32_t previousPlusOne(uint32_t positionPlusOne) const {
        return previousPlusOne_[positionPlusOne % kRing];
    }

private:
    static constexpr uint32_t kBuckets = uint32_t{1} << kBucketBits;
    std::array<Position, kBuckets + kBlock> newestPlusOne_;
    std::array<Position, kRing> previousPlusOne_{};
};

// The chained positions by the bucket of the pair of words they start, oldest first.
template <typename Position>
class PairChains {
public:
    static constexpr Position kEnd = std::numeric_limits<Position>::max();

    PairChains() { clear(); }

    void clear() { buckets_.fill(Bucket{}); }
    void append(uint32_t pair, uint32_t position) {
        const uint32_t b = bucketOf(pair);
        Bucket& bucket = buckets_[b];
        const auto at = static_cast<Position>(position);
        // The newest position of an emptied bucket has left, and its ring entry may already
        // belong to a later position: an empty bucket links from the spare entry instead.
        const uint32_t empty = bucket.head == kEnd ? ~0u : 0u;  // a mask, so that no branch is taken
        next_[bucket.tail ^ ((bucket.tail ^ kRing) & empty)] = at;
        bucket.head = static_cast<Position>(bucket.head ^ ((bucket.head ^ at) & empty));
        bucket.tail = static_cast<uint16_t>(position % kRing);
        next_[position % kRing] = kEnd;
        bucketAt_[position % kRing] = static_cast<uint16_t>(b);
    }
    // Moves the head of the position's bucket past it if it stands there; appended positions
    // leave in order.
    void leave(uint32_t position) {
        Position& head = buckets_[bucketAt_[position % kRing]].head;
        head = head == position ? next_[position % kRing] : head;
    }
    // The oldest position of the pair's bucket still chained, or kEnd.
    [[nodiscard]] uint32_t first(uint32_t pair) const { return buckets_[bucketOf(pair)].head; }
    // The next position of a chained position's bucket, or kEnd.
    [[nodiscard]] uint32_t next(uint32_t position) const { return next_[position % kRing]; }

private:
    struct Bucket {
        Position head = kEnd;  // the oldest position still chained, or kEnd when empty
        uint16_t tail = 0;     // ring entry of the newest position
    };
    std::array<Bucket, size_t{1} << kBucketBits> buckets_;
    std::array<Position, kRing + 1> next_{};
    std::array<uint16_t, kRing> bucketAt_{};
};

// For each chained position, the previous chained position whose word falls into the same bucket,
// to tell whether a word occurs earlier in the window.
template <typename Position>
class WordLinks {
public:
    WordLinks() { lastPlusOne_.fill(0); }

    void append(uint16_t word, uint32_t position) {
        Position& last = lastPlusOne_[bucketOf(word)];
        previousPlusOne_[position % kRing] = last;
        last = static_cast<Position>(position + 1);
    }
    // Whether `word`, which stands at the chained position `at`, also stands somewhere in
    // [from, at). Words of other buckets are never equal; other words of the same bucket are
    // stepped over.
    [[nodiscard]] bool occursBefore(std::span<const uint16_t> words, uint32_t at, uint32_t from) const {
        for (uint32_t k = previousPlusOne_[at % kRing]; k > from; k = previousPlusOne_[(k - 1) % kRing]) {
            if (words[k - 1] == words[at]) return true;
        }
        return false;
    }

private:
    std::array<Position, size_t{1} << kBucketBits> lastPlusOne_;  // by bucket, 0 for none
    std::array<Position, kRing> previousPlusOne_{};
};

template <typename Position>
class ChainedMatchFinder final : public MatchFinder {
public:
    explicit ChainedMatchFinder(const SourceWords& source) : count_(source.count()) { copyWords(source); }

    WordMatch longestMatch(uint32_t p, uint32_t maxLength) override {
        const uint32_t reach = std::min(p, count_);  // sources stay before p and inside the data
        const uint32_t windowStart = p > kMatchWindowWords - 1 ? p - kMatchWindowWords : 0;
        // The oldest position of the window wins outright when it matches in full; long runs of
        // one word are answered here without chaining their positions at all.
        if (windowStart + maxLength <= reach && words_[windowStart] == words_[p] &&
            matchLength(windowStart, p, 1, maxLength) == maxLength) {
            return {maxLength, p - windowStart};
        }
        slideWindow(reach, windowStart);
        if (maxLength >= 2) {
            const WordMatch longer = longestOfTwoOrMore(p, maxLength, reach, windowStart);
            if (longer.length > 0) return longer;
        }
        return nearSingleWord(p, reach, windowStart);
    }

private:
    // The last group reads up to 7 x 16 words past the data, and a comparison four words further.
    static constexpr uint32_t kWordsAfterData = 8 * kMaxMatchWords + 4 + 16;

    void copyWords(const SourceWords& source) {
        const uint32_t total = count_ + kWordsAfterData;
        words_.resize(total);
        uint32_t copied = 0;
        if constexpr (std::endian::native == std::endian::little) {
            copied = static_cast<uint32_t>(std::min<size_t>(source.bytes().size() / 2, total));
            // Empty data has no buffer at all, and memcpy may not be handed a null pointer.
            if (copied > 0) std::memcpy(words_.data(), source.bytes().data(), size_t{copied} * 2);
        }
        for (uint32_t i = copied; i < total; ++i) words_[i] = source[i];
    }

    [[nodiscard]] uint32_t pairAt(uint32_t j) const { return (uint32_t{words_[j]} << 16) | words_[j + 1]; }

    // Chains every position of the window below `reach` (and up to a block more), and lets leave
    // the positions that lie more than a block before the window.
    void slideWindow(uint32_t reach, uint32_t windowStart) {
        if (chained_ >= reach) return;
        if (chained_ < windowStart) {
            // Everything chained lies before the window (answered outright for a long while).
            runStarts_.clear();
            runStartsLeft_ = runStartsAppended_;
            chained_ = windowStart;
        }
        while (chained_ < reach) {
            const uint32_t end = std::min(chained_ + kBlock, count_);
            uint32_t i = chained_;
            while (i < end) {
                const uint32_t pair = pairAt(i);
                const bool inData = i + 1 < count_;  // only pairs inside the data are sources
                const bool equal = words_[i] == words_[i + 1];
                distinctPairs_.append(pair, inData && !equal, i);
                singles_.append(words_[i], i);
                if (!inData || !equal) {
                    ++i;
                    continue;
                }
                if (i == 0 || words_[i - 1] != words_[i]) appendRunStart(pair, i);
                // No search needs the positions inside a run: its pairs of equal words are found
                // from its start, and its word from its start and its last position.
                i = lastOfRun(i);
            }
            chained_ = i;  // past the block when a run reaches beyond it
            // Run starts leave a block after the window has passed them.
            const uint32_t leaveEnd = end > kMatchWindowWords + kBlock ? end - kMatchWindowWords - kBlock : 0;
            while (runStartsLeft_ != runStartsAppended_ && runStartOrder_[runStartsLeft_ % kRing] < leaveEnd) {
                runStarts_.leave(runStartOrder_[runStartsLeft_++ % kRing]);
            }
        }
    }

    // The last position of the run of one word that goes on past i, at most the data's last.
    // A run longer than kLongRun words is stepped over in parts of about that many words, so that
    // the chaining does not run far ahead of the positions asked for.
    [[nodiscard]] uint32_t lastOfRun(uint32_t i) const {
        constexpr uint32_t kLongRun = 4 * kMaxMatchWords;
        uint32_t last = i;
        uint32_t equal = kMaxMatchWords;
        // The run seen from one word further ends one word earlier than the same run seen from i.
        while (equal == kMaxMatchWords && last < i + kLongRun) {
            equal = equalWords(last + 1, i);
            last += equal;
        }
        return std::min(last, count_ - 1);
    }

    void appendRunStart(uint32_t pair, uint32_t position) {
        runStarts_.append(pair, position);
        runStartOrder_[runStartsAppended_++ % kRing] = static_cast<Position>(position);
    }

    // How many of the 16 words from j on equal those from p on.
    [[nodiscard]] uint32_t equalWords(uint32_t j, uint32_t p) const {
        return SixteenWords(words_.data() + p).equalPrefix(words_.data() + j, SixteenWords::limitOf(kMaxMatchWords));
    }

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
    [[nodiscard]] WordMatch longestOfTwoOrMore(uint32_t p, uint32_t maxLength, uint32_t reach, uint32_t windowStart) {
        if (reach < 2) return {};
        // Most positions start no run; their search needs nothing but their own pair.
        if (words_[p + 1] != words_[p]) return longestPastRun(p, 1, maxLength, reach, windowStart);
        const uint32_t run = 1 + matchLength(p + 1, p, 0, maxLength - 1);  // p's run of its first word
        if (run < maxLength) {
            // What it finds matches past the run and beats every other candidate; without a run,
            // there is nothing else to try.
            const WordMatch past = longestPastRun(p, run, maxLength, reach, windowStart);
            if (past.length > 0 || run == 1) return past;
        }
        return oldestCoveringRun(p, run, reach, windowStart);
    }

    // The oldest of the longest candidates that match p's run of `run` words and the word after it:
    // their runs end in the pair of p's word and that word, exactly `run` words after them.
    // Inlined, so that the search of most positions (run is 1) is compiled for that run.
    [[nodiscard, gnu::always_inline]] WordMatch longestPastRun(uint32_t p, uint32_t run, uint32_t maxLength,
                                                               uint32_t reach, uint32_t windowStart) const {
        const uint32_t pair = pairAt(p + run - 1);
        const SixteenWords wanted(words_.data() + p);
        const uint64_t limit = SixteenWords::limitOf(maxLength);
        WordMatch best;
        // Its run and the word after it must equal p's, which also steps over the other pairs of the
        // bucket. Met newest first: an older candidate as long as the best replaces it.
        const auto consider = [&](uint32_t j, uint32_t length) {
            if (length <= run) return;
            const uint32_t better = length >= best.length ? ~0u : 0u;
            best.length ^= (best.length ^ length) & better;
            best.distance ^= (best.distance ^ (p - j)) & better;
        };
        // The candidate's run starts inside the window, and the pair ending it lies at most at
        // reach - 2, so that the candidate has a source. Only the newest candidates, those fewer
        // than maxLength words before reach, need those limits checked: they are met first.
        const uint32_t oldestEnd = windowStart + run - 1;
        // Once the pair's own position is chained, its link leads to the newest earlier position
        // of the bucket: the walk starts there, past the positions chained ahead of the search,
        // without waiting for the pair's words to be read and hashed.
        const uint32_t pairPosition = p + run - 1;
        const bool pairChained = pairPosition < chained_ && pairPosition + 1 < count_;
        uint32_t k = pairChained ? distinctPairs_.previousPlusOne(pairPosition + 1) : distinctPairs_.newestPlusOne(pair);
        for (; k > oldestEnd && k + maxLength > reach + run; k = distinctPairs_.previousPlusOne(k)) {
            if (k >= reach) continue;
            const uint32_t j = k - run;
            consider(j, std::min(wanted.equalPrefix(words_.data() + j, limit), reach - j));
        }
        for (; k > oldestEnd; k = distinctPairs_.previousPlusOne(k)) {
            const uint32_t j = k - run;
            consider(j, wanted.equalPrefix(words_.data() + j, limit));
        }
        return best;
    }

    // When nothing matches past p's run of `run` words: the oldest candidate covering as much of
    // the run as any. Within one run of the window, its first position covers at least as much as
    // every later one, so only the runs' first positions are tried: the window's start when a run
    // enters the window there, then the chained run starts.
    [[nodiscard]] WordMatch oldestCoveringRun(uint32_t p, uint32_t run, uint32_t reach, uint32_t windowStart) const {
        const uint32_t pair = pairAt(p);
        WordMatch best;
        // Tries the candidate at j; true when no later one can do better: this one covers the whole
        // run, or nothing after p - 1 can be a source.
        const auto coversAll = [&](uint32_t j) {
            const uint32_t covered = matchLength(j, p, 2, run);
            const uint32_t length = std::min(covered, reach - j);
            if (length > best.length) best = {length, p - j};
            return covered == run || j + covered >= reach;
        };
        if (windowStart < reach - 1 && pairAt(windowStart) == pair && coversAll(windowStart)) return best;
        for (uint32_t j = runStarts_.first(pair); j < reach - 1; j = runStarts_.next(j)) {
            if (j <= windowStart || pairAt(j) != pair) continue;
            if (coversAll(j)) break;
        }
        return best;
    }

    // A one-word match is a short reference only when the oldest equal word of the window lies
    // within 15 words; otherwise it is written as a literal and reported here as no match.
    [[nodiscard]] WordMatch nearSingleWord(uint32_t p, uint32_t reach, uint32_t windowStart) const {
        const uint32_t from = std::max(p > kShortDistanceWords ? p - kShortDistanceWords : 0, windowStart);
        if (from >= reach) return {};
        const uint32_t nearest = oldestEqualWordFrom(from, reach - from, words_[p]);
        if (nearest == reach) return {};
        // Inside a run, the word also stands just before; elsewhere the position is chained.
        if (nearest > windowStart &&
            (words_[nearest - 1] == words_[p] || singles_.occursBefore(words_, nearest, windowStart))) {
            return {};
        }
        return {1, p - nearest};
    }

    // The first of the `count` (at most 15) words from `from` on that equals `word`, or
    // from + count; sixteen words are compared at once where the processor can.
    [[nodiscard]] uint32_t oldestEqualWordFrom(uint32_t from, uint32_t count, uint16_t word) const {
#if defined(__SSE2__)
        const __m128i wanted = _mm_set1_epi16(static_cast<short>(word));
        const auto* at = reinterpret_cast<const __m128i*>(words_.data() + from);
        const auto low = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(at), wanted)));
        const auto high = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(at + 1), wanted)));
        const uint32_t equal = (low | (high << 16)) & ((1u << (2 * count)) - 1);  // two bits per word
        return equal == 0 ? from + count : from + static_cast<uint32_t>(std::countr_zero(equal)) / 2;
#else
        for (uint32_t i = 0; i < count; ++i) {
            if (words_[from + i] == word) return from + i;
        }
        return from + count;
#endif
    }

    uint32_t count_;
    uint32_t chained_ = 0;  // positions below are in the chains
    std::vector<uint16_t> words_;
    NewestFirstChains<Position> distinctPairs_;
    PairChains<Position> runStarts_;
    // The chained run starts in order, to let them leave: a ring of the positions appended so far,
    // the first of which that has not left yet.
    std::array<Position, kRing> runStartOrder_{};
    uint32_t runStartsAppended_ = 0;
    uint32_t runStartsLeft_ = 0;
    WordLinks<Position> singles_;
};

}  // namespace

std::unique_ptr<MatchFinder> MakeIndexedMatchFinder(const SourceWords& words) {
    // Positions of a block (at most 32,767 words) fit 16 bits, which keeps the tables small.
    if (words.count() < std::numeric_limits<uint16_t>::max()) return std::make_unique<ChainedMatchFinder<uint16_t>>(words);
    return std::make_unique<ChainedMatchFinder<uint32_t>>(words);
}

}  // namespace corv::core
