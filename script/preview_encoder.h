#pragma once
// The translated preview: a script entry's text lines encoded into the 8-bit stream that the
// text box preview draws (characters as the game's bytes, codes as 00 kind, [PAUSE$hh] as hh F1, raw
// "[$..]" bytes, 00 FD between lines, FF FF at the end and one 0 byte after it).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "script/character_map.h"

namespace corv::script {

inline constexpr size_t kPreviewBufferSize = 0x20000;  // 128 KiB
// Lines are encoded up to this many characters; the rest of a longer line is not previewed.
inline constexpr size_t kPreviewLineLength = 255;

// Encodes `entryLines` (an entry copy: line 0 is the opening line and is skipped; line 1 is
// always encoded as text, even when it closes the entry) into `buffer`, from position 0.
// Encoding stops at a line whose first five characters are ".ENDS" (any case) or after the last
// line. The write position is a 16-bit count: a stream that would reach 64 KiB is cut there and
// ended with FF FF instead of wrapping over its own beginning. Returns the stream's length, end
// mark included, the 0 byte after it not counted; 0 (nothing written) for a buffer shorter than
// the end mark and its 0 byte. Characters are written as the game's bytes (`characters`), so
// that the stream measures what the game gets; the renderer shows each byte's character again.
size_t EncodePreview(std::span<const std::string> entryLines, std::span<uint8_t> buffer,
                     const CharacterMap& characters);

}  // namespace corv::script
