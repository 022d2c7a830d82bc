#pragma once
// Patch files applied to the ROM in memory, in order, each to the result of the one before: IPS
// and BPS, told apart by their first bytes ("PATCH", "BPS1"), never by their names.
//
// IPS patches apply to the file image, copier header included (ips_patch.h). BPS patches apply
// to whatever their source checksum names: the file, or its data without the copier header, or
// its data behind a known header it lacks (bps_file.h); the file keeps its header as it was.
//
// Nothing reaches the ROM until the whole set has been seen through in a working copy. The
// first patch that cannot be read or applied stops the command; the patches before it stay
// applied (as the editor has always done). When any result along the way would no longer open
// as the game, or a block header that passed its check before the patches fails after one of
// them (block_guard.h), the whole set is refused and the ROM is left as it was.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/rom_image.h"
#include "patches/bps_file.h"
#include "patches/ips_patch.h"

namespace corv::patches {

enum class PatchFormat { Ips, Bps };

// By content; std::nullopt for neither.
[[nodiscard]] std::optional<PatchFormat> PatchFormatOf(std::span<const uint8_t> patch);

// No patch file larger than this is read: no patch of a SNES ROM comes near it.
inline constexpr uint64_t kLargestPatchFile = uint64_t{128} << 20;

enum class PatchStatus {
    Applied,      // every patch was applied
    NoRom,        // no ROM loaded: nothing done
    CannotOpen,   // a patch file could not be read (missing, not a regular file, past kLargestPatchFile)
    NotAPatch,    // a file is neither IPS nor BPS
    IpsRefused,   // an IPS patch is damaged (`ips` says how): that file was not applied
    BpsRefused,   // a BPS patch is damaged or for another ROM (`bps` says how): that file was not applied
    NotThisGame,  // a result would no longer open as the game: nothing of the set was applied
    BreaksBlock,  // a watched block's header passed before and fails after: nothing applied
};

// A BPS patch that was applied across the copier header.
struct HeaderCrossing {
    size_t index = 0;  // which patch of the set
    BpsMadeFor madeFor = BpsMadeFor::RomWithoutHeader;
};

struct PatchOutcome {
    PatchStatus status = PatchStatus::Applied;
    size_t failedIndex = 0;   // the patch that stopped the command (meaningless for Applied)
    size_t appliedCount = 0;  // patches applied before the command ended
    PatchFormat format = PatchFormat::Ips;  // of the patch that stopped the command
    IpsStatus ips = IpsStatus::Applied;     // IpsRefused: why
    BpsFileApplication bps;                 // BpsRefused: why, with the checksums (no image)
    IpsGameCheck gameCheck = IpsGameCheck::Kept;  // NotThisGame: the reason
    uint64_t patchedSize = 0;                     // NotThisGame: the file length the patch would give
    uint32_t brokenBlock = 0;                     // BreaksBlock: the block's address
    bool madeForOtherHeader = false;  // BreaksBlock: the IPS patch passes on the ROM with the copier header
                                      // added or taken away, so it was made for that one
    uint32_t headerSize = 0;          // the copier header of the ROM patched
    std::vector<HeaderCrossing> crossings;  // Applied: the BPS patches applied across the header
};

// Applies the patches of `patches` (files) to `rom`. Every block the ROM's area tables list
// and every block of `listedBlocks` (24-bit addresses) whose header passes before is watched.
// The modified flag is set whenever at least one patch was applied, also when a later one failed.
// The header size is kept; the title is not checked again beyond CheckPatchedImage.
[[nodiscard]] PatchOutcome ApplyPatchFiles(core::RomImage& rom, std::span<const std::filesystem::path> patches,
                                           std::span<const uint32_t> listedBlocks = {});
// The same with patches already in memory.
[[nodiscard]] PatchOutcome ApplyPatches(core::RomImage& rom, std::span<const std::vector<uint8_t>> patches,
                                        std::span<const uint32_t> listedBlocks = {});

// Reads a patch file of at most kLargestPatchFile bytes that is a regular file; std::nullopt otherwise.
[[nodiscard]] std::optional<std::vector<uint8_t>> ReadPatchFile(const std::filesystem::path& path);

}  // namespace corv::patches
