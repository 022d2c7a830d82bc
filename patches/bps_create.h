#pragma once
// Creating a BPS patch (bps_format.h) that turns one file into another.
//
// The encoder looks for the cheapest actions in exact bytes: unchanged stretches become
// SourceRead, moved or repeated data SourceCopy or TargetCopy (runs of one byte among them), and
// the rest TargetRead. Long unchanged stretches and long matches are taken as they come; between
// them, in the changed parts, a shortest-path search over the target positions weighs every
// candidate copy (found by BpsMatchFinder, or continuing where the last copy of its kind ended)
// against literal bytes, pricing each action's numbers, relative offsets included, as written.

#include <cstdint>
#include <span>
#include <vector>

namespace corv::patches {

enum class BpsCreateStatus {
    Created,
    TooLarge,  // the source or the target is past kBpsLargestFile
    Mismatch,  // CreateCheckedBpsPatch: applying the patch does not give the target (never expected)
};

// How many actions of each kind the patch holds, and how many target bytes each kind wrote.
struct BpsActionCounts {
    uint64_t sourceReads = 0, targetReads = 0, sourceCopies = 0, targetCopies = 0;
    uint64_t sourceReadBytes = 0, targetReadBytes = 0, sourceCopyBytes = 0, targetCopyBytes = 0;
};

struct BpsCreation {
    BpsCreateStatus status = BpsCreateStatus::Created;
    std::vector<uint8_t> patch;  // Created only
    BpsActionCounts actions;
};

// The patch from `source` to `target`, carrying `metadata` (may be empty) and the three CRC-32s.
[[nodiscard]] BpsCreation CreateBpsPatch(std::span<const uint8_t> source, std::span<const uint8_t> target,
                                         std::span<const uint8_t> metadata = {});

// The same, then applied to `source` in memory (every check of ApplyBpsPatch): Created only when
// it gives `target` byte for byte, otherwise Mismatch and no patch. What a command or a build
// writes.
[[nodiscard]] BpsCreation CreateCheckedBpsPatch(std::span<const uint8_t> source, std::span<const uint8_t> target,
                                                std::span<const uint8_t> metadata = {});

}  // namespace corv::patches
