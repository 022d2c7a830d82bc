#include <charconv>
#include <ostream>

#include "tools/corvtool/command.h"

namespace corv::tool {

bool ParseHexArgument(std::string_view text, uint32_t& value) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
    } else if (text.starts_with("$")) {
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc{} && end == text.data() + text.size();
}

bool ParseAddressArgument(std::string_view text, std::string_view command, std::ostream& err, uint32_t& address) {
    if (ParseHexArgument(text, address) && address <= 0xFFFFFF) return true;
    err << "corvtool " << command << ": '" << text << "' is not a 24-bit hexadecimal block address\n";
    return false;
}

}  // namespace corv::tool
