#include <charconv>

#include "command.h"

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

}  // namespace corv::tool
