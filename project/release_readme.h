#pragma once
// The read-me of a release folder: a short plain text for players, made from the project and the
// build. It says which ROM the patches are for (size, CRC32, MD5 and SHA-1 without and with a
// copier header), how to apply them with any patcher, and what the result must be.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "patches/rom_identity.h"

namespace corv::project {

// A ROM's data and the same data behind a copier header: the project's own header when its
// original has one, otherwise 512 zero bytes (the header players' tools most often add).
struct HeaderedIdentity {
    patches::FileIdentity data;
    patches::FileIdentity withHeader;
    bool headerOfZeros = true;
};
[[nodiscard]] HeaderedIdentity IdentifyWithAndWithoutHeader(std::span<const uint8_t> fileImage, uint32_t headerSize);

struct ReleasePatch {
    std::string name;  // the file's name in the release folder
    uint64_t size = 0;
};

struct ReleaseReadme {
    std::string title;
    std::string version;
    std::optional<ReleasePatch> bps;
    std::optional<ReleasePatch> ips;
    bool ipsForHeaderedRom = false;  // the IPS was made from an original with a copier header
    HeaderedIdentity original;
    HeaderedIdentity result;
};

[[nodiscard]] std::string ReleaseReadmeText(const ReleaseReadme& readme);

}  // namespace corv::project
