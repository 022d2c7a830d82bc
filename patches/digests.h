#pragma once
// The MD5 and SHA-1 digests by which players and databases of ROM dumps name a ROM, beside its
// CRC-32 (patches/crc32.h). Written here so that the libraries need no cryptographic library;
// they identify files and guard against no attacker.

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace corv::patches {

using Md5Digest = std::array<uint8_t, 16>;
using Sha1Digest = std::array<uint8_t, 20>;

[[nodiscard]] Md5Digest Md5(std::span<const uint8_t> bytes);
[[nodiscard]] Sha1Digest Sha1(std::span<const uint8_t> bytes);

// Lower-case hexadecimal, as md5sum and sha1sum print them.
[[nodiscard]] std::string DigestHex(std::span<const uint8_t> digest);

}  // namespace corv::patches
