#pragma once
// One subcommand of corvtool. Each command lives in a file of its own and is listed once in
// commands.cpp's table.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "core/block_encoder.h"

namespace corv::tool {

// The exit codes of every command, the same for all of them (listed by --help).
inline constexpr int kExitOk = 0;          // the work was done
inline constexpr int kExitDoesNotFit = 1;  // the work does not fit: a block too large for its room
inline constexpr int kExitBadInput = 2;    // something is wrong with the input: a file missing,
                                           // unreadable or unwritable, not this game, a block
                                           // header that fails its check, an address or string
                                           // number that names nothing, a patch that is damaged
                                           // or made for another ROM
inline constexpr int kExitUsage = 3;       // wrong arguments or options

// The exit-code lines of --help.
inline constexpr std::string_view kExitCodeHelp =
    "exit codes (every command):\n"
    "  0  done\n"
    "  1  the work does not fit: a block too large for its room, or one that would not decode back\n"
    "     to its data (nothing is written)\n"
    "  2  something is wrong with the input: a file missing, unreadable or unwritable, not the CORVANE ROM,\n"
    "     a block header that fails its check, an address or string number that names nothing, a patch\n"
    "     that is damaged or made for another ROM (nothing is written)\n"
    "  3  wrong arguments or options\n";

struct Command {
    std::string_view name;
    std::string_view usage;    // arguments after the command name, for --help
    std::string_view summary;  // one line
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// The option that picks the maximising compressor instead of the standard one.
inline constexpr std::string_view kMaximiseOption = "--maximise";

// Splits `args` into the arguments and --maximise; on any other option prints one line naming
// `command` and returns false.
[[nodiscard]] bool SplitCompressorOption(const std::vector<std::string>& args, std::string_view command,
                                         std::ostream& err, std::vector<std::string>& rest,
                                         core::Compressor& compressor);

// Flushes standard output after a command: a report that did not reach it (a full disk, a
// closed pipe) turns an exit code 0 into 2, with a line on standard error.
[[nodiscard]] int FinishReport(int exitCode);

// Parses a hexadecimal number written with or without "0x", "0X" or "$"; false on anything else.
[[nodiscard]] bool ParseHexArgument(std::string_view text, uint32_t& value);

// Parses a 24-bit block address in hexadecimal; on failure prints one line naming `command`.
[[nodiscard]] bool ParseAddressArgument(std::string_view text, std::string_view command, std::ostream& err,
                                        uint32_t& address);

}  // namespace corv::tool
