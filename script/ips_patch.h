#pragma once
// IPS patches applied to the ROM file image, copier header included, so that a patch made for
// the headered file applies unchanged.
//
// Patch layout (big-endian numbers): "PATCH", then records until the offset "EOF" (0x454F46)
// or the end of the file. A record is a 3-byte offset into the file image and a 2-byte size,
// followed by `size` data bytes; size 0 marks a run record: a 2-byte run length and the byte to
// repeat. Bytes after the end marker are ignored. Because 0x454F46 ends the records, no record
// can start at that offset.
//
// Every patch is checked completely before the image is touched: a patch is either applied as
// a whole or not at all. The work happens in memory; no temporary file is written.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/rom_image.h"

namespace corv::script {

inline constexpr uint32_t kIpsEndMarker = 0x454F46;  // "EOF" in place of a record offset

enum class IpsStatus {
    Applied,     // every patch was applied
    NoRom,       // no ROM loaded: nothing done
    CannotOpen,  // a patch file could not be read
    NotPatch,    // a patch file does not start with "PATCH" (case-sensitive)
    Truncated,   // a record is cut short by the end of the patch file; that file was refused as a whole
};

struct IpsOutcome {
    IpsStatus status = IpsStatus::Applied;
    size_t failedIndex = 0;   // the patch that stopped the command (meaningless for Applied)
    size_t appliedCount = 0;  // patches applied before the command ended
};

// Applies one patch to `fileImage`. Writing past the end grows the image; the gap is filled
// with zeros. A run record of length 0 writes nothing and does not grow the image.
// Returns Applied, NotPatch or Truncated; on the last two `fileImage` is unchanged.
[[nodiscard]] IpsStatus ApplyIpsPatch(std::vector<uint8_t>& fileImage, std::span<const uint8_t> patch);

// Applies the patches in order, each to the result of the one before. The first patch that
// cannot be read or applied stops the command; patches before it stay applied.
// The modified flag is set whenever at least one patch was applied (the image then differs
// from the file on disk), also when a later patch failed. The header size is kept; the title
// is not checked again.
[[nodiscard]] IpsOutcome ApplyIpsFiles(core::RomImage& rom, std::span<const std::filesystem::path> patches);
// The same with patches already in memory.
[[nodiscard]] IpsOutcome ApplyIpsPatches(core::RomImage& rom, std::span<const std::vector<uint8_t>> patches);

// Texts of the patch command, shared by the editor and corvtool.
inline constexpr char kIpsSaveQuestion[] = "Rom has been modified. Save these changes?";
inline constexpr char kIpsSaveQuestionCaption[] = " IPS Patcher...";

// The message shown at the end of the command for `outcome` (empty for NoRom).
[[nodiscard]] std::string IpsMessage(const IpsOutcome& outcome);

}  // namespace corv::script
