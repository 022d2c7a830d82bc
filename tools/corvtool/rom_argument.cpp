#include "rom_argument.h"

#include <cstdio>
#include <ostream>

namespace corv::tool {

bool OpenGameRom(core::RomImage& rom, const std::string& path, std::string_view command, std::ostream& err) {
    switch (core::OpenRomFile(rom, path)) {
    case core::RomOpenResult::Opened:
        return true;
    case core::RomOpenResult::CannotOpen:
        err << "corvtool " << command << ": cannot read the ROM file " << path << '\n';
        return false;
    case core::RomOpenResult::WrongTitle:
        err << "corvtool " << command << ": " << path << " is not the CORVANE ROM (wrong internal title)\n";
        return false;
    }
    return false;
}

std::string HexWord(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

}  // namespace corv::tool
