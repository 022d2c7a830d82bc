#pragma once
// Creating an IPS patch that turns one file into another, copier header and all, the way the
// patcher applies it: records for the changed bytes, run records where they are shorter, the
// target's growth written out, and the three-byte length after "EOF" for a shorter target.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace corv::patches {

// Record offsets have 24 bits: no target beyond this can be described.
inline constexpr uint64_t kIpsLargestTarget = 0x1000000;

enum class IpsCreateStatus {
    Created,
    TooLarge,  // the target is longer than 16 MiB
    Mismatch,  // CreateCheckedIpsPatch: applying the patch does not give the target (never expected)
};

struct IpsCreation {
    IpsCreateStatus status = IpsCreateStatus::Created;
    std::vector<uint8_t> patch;
    size_t records = 0;     // records written, runs included
    size_t runRecords = 0;
};

// The patch from `original` to `modified`. No record starts at 0x454F46 (it would read as the
// end marker): such a record starts one byte earlier.
[[nodiscard]] IpsCreation CreateIpsPatch(std::span<const uint8_t> original, std::span<const uint8_t> modified);

// The same, then applied to `original` in memory: Created only when it gives `modified` byte for
// byte, otherwise Mismatch and no patch. What a command or a build writes.
[[nodiscard]] IpsCreation CreateCheckedIpsPatch(std::span<const uint8_t> original, std::span<const uint8_t> modified);

}  // namespace corv::patches
