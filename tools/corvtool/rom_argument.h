#pragma once
// Opening the ROM named on the command line, with the same title check and copier-header rule
// as the two programs, and the one-line errors every command prints for it.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "core/rom_image.h"

namespace corv::tool {

// Opens `path` into `rom`; on failure prints one line naming `command` to `err` and returns false.
[[nodiscard]] bool OpenGameRom(core::RomImage& rom, const std::string& path, std::string_view command,
                               std::ostream& err);

// Eight upper-case hexadecimal digits.
[[nodiscard]] std::string HexWord(uint32_t value);

}  // namespace corv::tool
