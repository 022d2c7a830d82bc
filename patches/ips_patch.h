#pragma once
// IPS patches applied to the ROM file image, copier header included, so that a patch made for
// the headered file applies unchanged.
//
// Patch layout (big-endian numbers): "PATCH", records, then the offset "EOF" (0x454F46) in
// place of a record offset. A record is a 3-byte offset into the file image and a 2-byte size,
// followed by `size` data bytes; size 0 marks a run record: a 2-byte run length and the byte to
// repeat. Because 0x454F46 ends the records, no record can start at that offset. Exactly three
// bytes after the end marker give the patched file's length (24-bit), written by patch creators
// when the target is shorter than the original; the file is cut to it.
//
// Every patch is checked completely before the image is touched: a patch is either applied as
// a whole or not at all. A patch without its end marker (a cut-short download), or with other
// bytes after it, is damaged and refused. The work happens in memory; no temporary file is written.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/rom_image.h"

namespace corv::patches {

inline constexpr uint32_t kIpsEndMarker = 0x454F46;  // "EOF" in place of a record offset

enum class IpsStatus {
    Applied,     // every patch was applied
    NoRom,       // no ROM loaded: nothing done
    CannotOpen,  // a patch file could not be read
    NotPatch,    // a patch file does not start with "PATCH" (case-sensitive)
    Truncated,   // a record is cut short by the end of the patch file; that file was refused as a whole
    NoEndMarker, // the patch file ends without "EOF" (it may be cut short); refused as a whole
    Damaged,     // bytes after "EOF" other than a 3-byte length; refused as a whole
    NotThisGame, // the result would no longer open as the game: nothing of the set was applied
    BreaksBlock, // a guarded block's header passed its check before and fails after: nothing applied
};

// The block that holds the game font: its header is checked by every patch command.
inline constexpr uint32_t kFontBlockAddress = 0x060000;

// Why a patched image would no longer open as the game.
enum class IpsGameCheck {
    Kept,
    HeaderGuessChanges,  // the new file length gives a different copier-header size
    TitleOverwritten,    // the internal title no longer reads "CORVANE"
};

struct IpsOutcome {
    IpsStatus status = IpsStatus::Applied;
    size_t failedIndex = 0;   // the patch that stopped the command (meaningless for Applied)
    size_t appliedCount = 0;  // patches applied before the command ended
    IpsGameCheck gameCheck = IpsGameCheck::Kept;  // NotThisGame: the reason
    uint64_t patchedSize = 0;                     // NotThisGame: the file length the patch would give
    uint32_t brokenBlock = 0;                     // BreaksBlock: the block's address
    uint32_t headerSize = 0;                      // BreaksBlock: the copier header of the ROM patched
};

// Applies one patch to `fileImage`. Writing past the end grows the image; the gap is filled
// with zeros. A run record of length 0 writes nothing and does not grow the image. A length after
// the end marker that is shorter than the patched image cuts it; a longer one changes nothing.
// Returns Applied, NotPatch, Truncated, NoEndMarker or Damaged; unless Applied, `fileImage` is
// unchanged.
[[nodiscard]] IpsStatus ApplyIpsPatch(std::vector<uint8_t>& fileImage, std::span<const uint8_t> patch);

// Whether an image patched from one with `headerSize` and, before, `hadTitle` would still open
// as the game.
[[nodiscard]] IpsGameCheck CheckPatchedImage(std::span<const uint8_t> fileImage, uint32_t headerSize, bool hadTitle);

// Applies the patches in order, each to the result of the one before. The first patch that
// cannot be read or applied stops the command; patches before it stay applied. When any result
// along the way would no longer open as the game (CheckPatchedImage), the whole set is refused
// and the ROM is left as it was.
// The modified flag is set whenever at least one patch was applied (the image then differs
// from the file on disk), also when a later patch failed. The header size is kept; the title
// is not checked again.
// Every block of `guardedBlocks` (24-bit addresses) whose header passes its check before the
// patches must still pass after each one; otherwise the whole set is refused (BreaksBlock). A
// patch made for the same ROM with (or without) a copier header lands 512 bytes off and breaks
// the headers it was meant to rewrite; IPS cannot be undone, so this is caught before writing.
[[nodiscard]] IpsOutcome ApplyIpsFiles(core::RomImage& rom, std::span<const std::filesystem::path> patches,
                                       std::span<const uint32_t> guardedBlocks = {});
// The same with patches already in memory.
[[nodiscard]] IpsOutcome ApplyIpsPatches(core::RomImage& rom, std::span<const std::vector<uint8_t>> patches,
                                         std::span<const uint32_t> guardedBlocks = {});

// Texts of the patch command, shared by the editor and corvtool.
inline constexpr char kIpsSaveQuestion[] = "Rom has been modified. Save these changes?";
inline constexpr char kIpsSaveQuestionCaption[] = " IPS Patcher...";

// The message shown at the end of the command for `outcome` (empty for NoRom).
[[nodiscard]] std::string IpsMessage(const IpsOutcome& outcome);

}  // namespace corv::patches
