#pragma once
// One subcommand of corvtool. Each command lives in a file of its own and is listed once in
// main.cpp's table.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace corv::tool {

// Exit codes shared by the commands that have no more specific ones.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 3;

struct Command {
    std::string_view name;
    std::string_view usage;    // arguments after the command name, for --help
    std::string_view summary;  // one line
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// Parses a hexadecimal number written with or without "0x", "0X" or "$"; false on anything else.
[[nodiscard]] bool ParseHexArgument(std::string_view text, uint32_t& value);

// Parses a 24-bit block address in hexadecimal; on failure prints one line naming `command`.
[[nodiscard]] bool ParseAddressArgument(std::string_view text, std::string_view command, std::ostream& err,
                                        uint32_t& address);

}  // namespace corv::tool
