#pragma once
// A BPS patch applied to a ROM file image (copier header included), whichever way the patch
// and the file stand to the 512-byte copier header. A BPS patch names the file it was made
// for by size and CRC-32, so a patch made for the ROM without a header can be applied to the
// data after the header of a headered file, and the other way round, with the same checks as
// ApplyBpsPatch; the file keeps the header it had (or keeps having none).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "patches/bps_patch.h"

namespace corv::patches {

// What the patch was made for, as found by its source checksum.
enum class BpsMadeFor {
    ThisFile,          // the file as it is
    RomWithoutHeader,  // the file's data without its copier header: applied to them, header kept
    RomWithHeader,     // the file's data behind a copier header it lacks: applied with that header
                       // in front, which is left out of the result again
};

struct BpsFileApplication {
    BpsStatus status = BpsStatus::Applied;
    BpsMadeFor madeFor = BpsMadeFor::ThisFile;  // Applied only
    BpsHeader header;                           // as read (sizes and checksums), past TooLarge
    bool alreadyPatched = false;                // WrongSource: the file (or its data) is the patch's result
    uint32_t fileCrc = 0;                       // WrongSource: the CRC-32 of the whole file
    uint32_t dataCrc = 0;                       // WrongSource: that of its data after a copier header
    std::vector<uint8_t> image;                 // Applied only: the new file image
};

// The copier headers tried in front of a headerless file for a patch made for a headered ROM.
// Its checksum covers the header, whose bytes the file no longer has; only a header whose
// bytes are known can be checked. These are the ones copiers and tools write: all zeros, or the
// size in 8 KiB blocks, the mode byte and the file id "AA BB 04".
[[nodiscard]] std::vector<std::vector<uint8_t>> KnownCopierHeaders(uint64_t romDataSize);

// Where in `fileImage` (copier header `headerSize`) the source the patch names lies, by its size
// and CRC-32; std::nullopt when nowhere. For RomWithHeader, `copierHeader` is the known header
// that makes the checksum match.
struct BpsSourceMatch {
    BpsMadeFor madeFor = BpsMadeFor::ThisFile;
    std::vector<uint8_t> copierHeader;
};
[[nodiscard]] std::optional<BpsSourceMatch> FindBpsSource(std::span<const uint8_t> fileImage, uint32_t headerSize,
                                                          const BpsHeader& header);

// Whether the file, or its data after the copier header, already is what the patch makes.
[[nodiscard]] bool IsBpsTarget(std::span<const uint8_t> fileImage, uint32_t headerSize, const BpsHeader& header);

// Applies `patch` to the file image `fileImage`, whose copier header is `headerSize` bytes (0 or
// 512). The result's size is the patch's target size (plus the header kept); whether it still
// opens as the game is the caller's to check.
[[nodiscard]] BpsFileApplication ApplyBpsToFile(std::span<const uint8_t> fileImage, uint32_t headerSize,
                                                std::span<const uint8_t> patch);

}  // namespace corv::patches
