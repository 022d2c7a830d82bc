#pragma once
// The BPS patch format, shared by its reader (bps_patch.h) and its writer (bps_create.h).
//
//   "BPS1"  source size  target size  metadata size  metadata  actions...  footer
//
// Sizes and action words are variable-length numbers (below). Each action is one number,
// `kind | (length - 1) << 2`:
//   SourceRead  copies `length` bytes of the source at the output position to the output;
//   TargetRead  copies the `length` bytes that follow it in the patch;
//   SourceCopy  and TargetCopy are followed by a signed number, `(|d| << 1) | (d < 0)`, which
//               moves their own read position (one for the source, one for the output, both
//               starting at 0) by d; they then copy `length` bytes from there, the position
//               moving on with each byte. TargetCopy reads the output as it is written, so a
//               copy from one byte back repeats that byte (a run).
// The footer is the last 12 bytes: the CRC-32 of the source, of the target and of every patch
// byte before these last four, little-endian.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/byte_order.h"

namespace corv::patches {

inline constexpr std::string_view kBpsMagic = "BPS1";
inline constexpr size_t kBpsFooterSize = 12;

// No source or target past this is read or made (SNES cartridges stop far below): a patch from
// someone else cannot make the program allocate more.
inline constexpr uint64_t kBpsLargestFile = uint64_t{64} << 20;

enum class BpsAction : uint8_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

// Each byte carries 7 bits, lowest first; the top bit ends the number. Every byte but the
// last also adds one step of its weight, so each number has exactly one encoding:
// 0-127 take one byte, 128-16,511 two, 16,512-2,113,663 three.
inline void PutBpsNumber(std::vector<uint8_t>& out, uint64_t value) {
    while (true) {
        const uint8_t low = value & 0x7F;
        value >>= 7;
        if (value == 0) {
            out.push_back(0x80 | low);
            return;
        }
        out.push_back(low);
        --value;
    }
}

[[nodiscard]] constexpr size_t BpsNumberSize(uint64_t value) {
    size_t size = 1;
    while (value >>= 7) {
        --value;
        ++size;
    }
    return size;
}

// std::nullopt when the patch ends inside the number or it does not fit 64 bits.
[[nodiscard]] inline std::optional<uint64_t> ReadBpsNumber(core::ByteCursor& cursor) {
    uint64_t value = 0;
    uint64_t weight = 1;
    for (int byte = 0; byte < 10; ++byte) {
        const auto next = cursor.u8();
        if (!next) return std::nullopt;
        const uint64_t part = uint64_t{*next & 0x7Fu} * weight;
        if (weight != 0 && part / weight != (*next & 0x7Fu)) return std::nullopt;
        if (value + part < value) return std::nullopt;
        value += part;
        if (*next & 0x80) return value;
        if (weight > (UINT64_MAX >> 7)) return std::nullopt;
        weight <<= 7;
        if (value + weight < value) return std::nullopt;
        value += weight;
    }
    return std::nullopt;
}

}  // namespace corv::patches
