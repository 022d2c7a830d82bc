#pragma once
// The words for a ROM file refused as larger than the game can be, for every program that
// names the file first and the reason after it.

#include <string>

namespace corv::core {

// "larger than 8389120 bytes (8 MiB and a copier header), the most this game can be; not read"
[[nodiscard]] std::string RomTooLargeReason();

}  // namespace corv::core
