#pragma once
// The match search of the BPS creator: where the bytes at a target position occur in the source
// and earlier in the target. Positions are chained by a hash of their first four bytes, newest
// first; a search walks a bounded number of each chain and keeps the candidates that really
// match, with their lengths. Copies that continue where the last copy of a kind stopped, and the
// source at the same position, are tried by the creator itself: they need no search.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace corv::patches {

inline constexpr uint32_t kBpsMinimumMatch = 4;

struct BpsMatch {
    uint32_t from = 0;    // position in the source or the target
    uint32_t length = 0;  // at least kBpsMinimumMatch
};

// The length of the common run of `a` from `i` and `b` from `j`, at most `limit`.
[[nodiscard]] uint32_t CommonLength(std::span<const uint8_t> a, size_t i, std::span<const uint8_t> b, size_t j,
                                    uint32_t limit);

class BpsMatchFinder {
public:
    // Chains every position of `source`; the target's positions join with chainTargetUpTo.
    // Both views must outlive the finder. Precondition: both are shorter than 4 GiB.
    BpsMatchFinder(std::span<const uint8_t> source, std::span<const uint8_t> target);

    // Chains the target positions before `end` not chained yet (a copy may start at any of them).
    void chainTargetUpTo(size_t end);
    // Leaves the target positions before `end` out of the chains: where the target equals the
    // source at the same position, a copy from the source reads the same bytes.
    void skipTargetUpTo(size_t end);
    // Asks the memory for the chain heads of target position `at`, a little before its search.
    void prefetch(size_t at) const;

    // The candidates for target position `at`, longest first within each kind, lengths at most
    // `limit`; a candidate from the target starts before `at` (it may overlap it).
    void sourceMatches(size_t at, uint32_t limit, std::vector<BpsMatch>& out) const;
    void targetMatches(size_t at, uint32_t limit, std::vector<BpsMatch>& out) const;

private:
    static constexpr uint32_t kNone = UINT32_MAX;
    [[nodiscard]] uint32_t bucketAt(std::span<const uint8_t> bytes, size_t at) const;
    void collect(std::span<const uint8_t> bytes, bool fromTarget, const std::vector<uint32_t>& heads,
                 const std::vector<uint32_t>& older, size_t at, uint32_t limit, std::vector<BpsMatch>& out) const;

    std::span<const uint8_t> source_;
    std::span<const uint8_t> target_;
    uint32_t bucketBits_ = 10;
    std::vector<uint32_t> sourceHeads_;
    std::vector<uint32_t> sourceOlder_;
    std::vector<uint32_t> targetHeads_;
    std::vector<uint32_t> targetOlder_;
    size_t targetChained_ = 0;
};

}  // namespace corv::patches
