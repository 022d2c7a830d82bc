#include "core/rom_open_text.h"

#include "core/rom_image.h"

namespace corv::core {

std::string RomTooLargeReason() {
    return "larger than " + std::to_string(kLargestRomFile) +
           " bytes (8 MiB and a copier header), the most this game can be; not read";
}

}  // namespace corv::core
