#pragma once
// The CRC-32 that BPS patches carry (zlib's, the one of PNG and ZIP), and the one piece of
// CRC arithmetic the header-proof application needs beyond it.

#include <cstddef>
#include <cstdint>
#include <span>

namespace corv::patches {

[[nodiscard]] uint32_t Crc32(std::span<const uint8_t> bytes);

// The CRC-32 of A followed by B, from the CRC-32 of A, that of B and B's length.
[[nodiscard]] uint32_t Crc32Concat(uint32_t crcA, uint32_t crcB, uint64_t lengthB);

// The CRC-32 that a prefix A must have for A followed by B (B of `lengthB` bytes with CRC-32
// `crcB`) to have the CRC-32 `whole`. Such a prefix always exists and its CRC is unique, so a
// file whose first bytes are unknown (a copier header that was never seen) can still be checked
// against a checksum that covers them.
[[nodiscard]] uint32_t Crc32OfPrefix(uint32_t whole, uint32_t crcB, uint64_t lengthB);

}  // namespace corv::patches
