#include <ostream>

#include "core/ascii.h"
#include "tools/corvtool/command.h"

namespace corv::tool {

bool ParseHexArgument(std::string_view text, uint32_t& value) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
    } else if (text.starts_with("$")) {
        text.remove_prefix(1);
    }
    const core::HexDigits digits = core::ReadHexDigits(text);
    if (digits.count == 0 || digits.overflow) return false;
    value = digits.value;
    return digits.count == text.size();
}

bool ParseAddressArgument(std::string_view text, std::string_view command, std::ostream& err, uint32_t& address) {
    if (ParseHexArgument(text, address) && address <= 0xFFFFFF) return true;
    err << "corvtool " << command << ": '" << text << "' is not a 24-bit hexadecimal block address\n";
    return false;
}

}  // namespace corv::tool
