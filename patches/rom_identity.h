#pragma once
// The figures by which players, patches and databases of dumps name a ROM file: its size,
// CRC-32, MD5 and SHA-1, of the whole file and of its data without the copier header.

#include <cstdint>
#include <optional>
#include <span>

#include "patches/digests.h"

namespace corv::patches {

struct FileIdentity {
    uint64_t size = 0;
    uint32_t crc32 = 0;
    Md5Digest md5{};
    Sha1Digest sha1{};
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct RomIdentity {
    FileIdentity file;                          // the whole file
    std::optional<FileIdentity> withoutHeader;  // its data after a 512-byte copier header
    // The data's identity: without the header when there is one, else the whole file.
    [[nodiscard]] const FileIdentity& data() const { return withoutHeader ? *withoutHeader : file; }
};

[[nodiscard]] FileIdentity IdentifyFile(std::span<const uint8_t> bytes);
// `headerSize` is the file's copier header (0 or 512).
[[nodiscard]] RomIdentity IdentifyRom(std::span<const uint8_t> fileImage, uint32_t headerSize);

}  // namespace corv::patches
