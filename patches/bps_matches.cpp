#include "patches/bps_matches.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace corv::patches {
namespace {

// How many chained positions a search looks at in each chain. In the changed parts of a ROM
// (recompressed text, new code) real matches are few and short, so a deeper walk finds little
// more and costs time on long chains of repeated bytes.
constexpr uint32_t kChainSteps = 48;
// A run of one byte is measured up to this long when it is aligned with a shorter one.
constexpr uint32_t kLongestRunLookedAt = 1 << 16;

// Inside a run of one byte (its first four bytes and the one before all equal): the run's first
// position stands for it, and a copy from there matches at least as far. Runs would otherwise
// fill whole chains with positions of one run.
bool insideRun(std::span<const uint8_t> bytes, size_t p) {
    if (p == 0) return false;
    const uint8_t b = bytes[p];
    return bytes[p - 1] == b && bytes[p + 1] == b && bytes[p + 2] == b && bytes[p + 3] == b;
}

// The length of the run of one byte that starts at `p`, at most `limit`.
uint32_t runLength(std::span<const uint8_t> bytes, size_t p, uint32_t limit) {
    if (p >= bytes.size() || limit == 0) return 0;
    return 1 + CommonLength(bytes, p, bytes, p + 1, limit - 1);
}

}  // namespace

uint32_t CommonLength(std::span<const uint8_t> a, size_t i, std::span<const uint8_t> b, size_t j, uint32_t limit) {
    const size_t most = std::min<size_t>({limit, a.size() - std::min(i, a.size()), b.size() - std::min(j, b.size())});
    size_t length = 0;
    // Eight bytes at a time: the long runs of an unchanged ROM are compared quickly.
    while (length + 8 <= most) {
        uint64_t x = 0, y = 0;
        std::memcpy(&x, a.data() + i + length, 8);
        std::memcpy(&y, b.data() + j + length, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little) {
                return static_cast<uint32_t>(length + std::countr_zero(x ^ y) / 8);
            }
            break;
        }
        length += 8;
    }
    while (length < most && a[i + length] == b[j + length]) ++length;
    return static_cast<uint32_t>(length);
}

BpsMatchFinder::BpsMatchFinder(std::span<const uint8_t> source, std::span<const uint8_t> target)
    : source_(source), target_(target) {
    // About one bucket per two chained positions, at least 2^10 and at most 2^22.
    const size_t positions = std::max(source.size(), target.size());
    while (bucketBits_ < 22 && (size_t{1} << bucketBits_) < positions / 2) ++bucketBits_;
    sourceHeads_.assign(size_t{1} << bucketBits_, kNone);
    targetHeads_.assign(size_t{1} << bucketBits_, kNone);
    sourceOlder_.assign(source.size(), kNone);
    targetOlder_.assign(target.size(), kNone);
    for (size_t p = 0; p + kBpsMinimumMatch <= source.size(); ++p) {
        if (insideRun(source, p)) continue;
        const uint32_t bucket = bucketAt(source, p);
        sourceOlder_[p] = sourceHeads_[bucket];
        sourceHeads_[bucket] = static_cast<uint32_t>(p);
    }
}

uint32_t BpsMatchFinder::bucketAt(std::span<const uint8_t> bytes, size_t at) const {
    uint32_t key = 0;
    std::memcpy(&key, bytes.data() + at, 4);
    return (key * 0x9E3779B1u) >> (32 - bucketBits_);
}

void BpsMatchFinder::chainTargetUpTo(size_t end) {
    end = std::min(end, target_.size() >= kBpsMinimumMatch ? target_.size() - kBpsMinimumMatch + 1 : 0);
    for (; targetChained_ < end; ++targetChained_) {
        if (insideRun(target_, targetChained_)) continue;
        const uint32_t bucket = bucketAt(target_, targetChained_);
        targetOlder_[targetChained_] = targetHeads_[bucket];
        targetHeads_[bucket] = static_cast<uint32_t>(targetChained_);
    }
}

void BpsMatchFinder::skipTargetUpTo(size_t end) { targetChained_ = std::max(targetChained_, end); }

void BpsMatchFinder::prefetch(size_t at) const {
    if (at + kBpsMinimumMatch > target_.size()) return;
    const uint32_t bucket = bucketAt(target_, at);
    __builtin_prefetch(&sourceHeads_[bucket]);
    __builtin_prefetch(&targetHeads_[bucket]);
}

void BpsMatchFinder::collect(std::span<const uint8_t> bytes, bool fromTarget, const std::vector<uint32_t>& heads,
                             const std::vector<uint32_t>& older, size_t at, uint32_t limit,
                             std::vector<BpsMatch>& out) const {
    out.clear();
    if (at + kBpsMinimumMatch > target_.size() || limit < kBpsMinimumMatch) return;
    // A run at `at` is matched with the end of a longer run, so that what follows the run matches
    // too: only the first position of a run is chained.
    const uint32_t run = runLength(target_, at, limit);
    uint32_t position = heads[bucketAt(target_, at)];
    for (uint32_t step = 0; step < kChainSteps && position != kNone; ++step, position = older[position]) {
        uint32_t from = position;
        if (run >= kBpsMinimumMatch) {
            const uint32_t chainedRun = runLength(bytes, from, kLongestRunLookedAt);
            if (chainedRun > run) from += chainedRun - run;
            // A target copy must start before `at`; a run that reaches it repeats from its start.
            if (fromTarget && from >= at) from = position;
        }
        const uint32_t length = CommonLength(bytes, from, target_, at, limit);
        if (length < kBpsMinimumMatch) continue;
        // Kept longest first, the newest of equal lengths first; the lists are short.
        auto place = out.end();
        while (place != out.begin() && (place - 1)->length < length) --place;
        out.insert(place, {from, length});
    }
}

void BpsMatchFinder::sourceMatches(size_t at, uint32_t limit, std::vector<BpsMatch>& out) const {
    collect(source_, false, sourceHeads_, sourceOlder_, at, limit, out);
}

void BpsMatchFinder::targetMatches(size_t at, uint32_t limit, std::vector<BpsMatch>& out) const {
    collect(target_, true, targetHeads_, targetOlder_, at, limit, out);
}

}  // namespace corv::patches
