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
// rom_patcher.h applies a set of patch files to the ROM.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace corv::patches {

inline constexpr uint32_t kIpsEndMarker = 0x454F46;  // "EOF" in place of a record offset

enum class IpsStatus {
    Applied,
    NotPatch,    // the patch does not start with "PATCH" (case-sensitive)
    Truncated,   // a record is cut short by the end of the patch file; refused as a whole
    NoEndMarker, // the patch file ends without "EOF" (it may be cut short); refused as a whole
    Damaged,     // bytes after "EOF" other than a 3-byte length; refused as a whole
};

// Why a patched image would no longer open as the game.
enum class IpsGameCheck {
    Kept,
    HeaderGuessChanges,  // the new file length gives a different copier-header size
    TitleOverwritten,    // the internal title no longer reads "CORVANE"
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

// Texts of the patch command, shared by the editor and corvtool.
inline constexpr char kIpsSaveQuestion[] = "Rom has been modified. Save these changes?";
inline constexpr char kIpsSaveQuestionCaption[] = " IPS Patcher...";

}  // namespace corv::patches
