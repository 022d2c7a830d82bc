#include "tools/corvtool/commands.h"

#include <array>
#include <ostream>

#include "about/version.h"

namespace corv::tool {
extern const Command kMakeDemoCommand;
extern const Command kDecompressCommand;
extern const Command kCompressCommand;
extern const Command kUnpackCommand;
extern const Command kRepackCommand;
extern const Command kKanaCommand;
extern const Command kPreviewCommand;
extern const Command kInsertCommand;
extern const Command kPatchCommand;
extern const Command kDictionaryCommand;
extern const Command kCheckCommand;
extern const Command kRoomCommand;
extern const Command kReadbackCommand;
extern const Command kMakeIpsCommand;
extern const Command kMakeBpsCommand;
extern const Command kVerifyCommand;
extern const Command kInitProjectCommand;
extern const Command kBuildCommand;
extern const Command kStatusCommand;
extern const Command kExportPoCommand;
extern const Command kImportPoCommand;
extern const Command kWrapCommand;

namespace {

const std::array kCommands = {
    &kMakeDemoCommand,
    &kDecompressCommand,
    &kCompressCommand,
    &kUnpackCommand,
    &kRepackCommand,
    &kKanaCommand,
    &kPreviewCommand,
    &kInsertCommand,
    &kPatchCommand,
    &kDictionaryCommand,
    &kCheckCommand,
    &kRoomCommand,
    &kReadbackCommand,
    &kMakeIpsCommand,
    &kMakeBpsCommand,
    &kVerifyCommand,
    &kInitProjectCommand,
    &kBuildCommand,
    &kStatusCommand,
    &kExportPoCommand,
    &kImportPoCommand,
    &kWrapCommand,
};

void printHelp(std::ostream& out) {
    out << "usage: corvtool COMMAND ARGUMENTS...\n"
           "       corvtool [COMMAND] --help\n"
           "       corvtool --version\n\ncommands:\n";
    for (const Command* command : kCommands) {
        out << "  " << command->name << ' ' << command->usage << "\n      " << command->summary << '\n';
    }
    out << "\nROM files must hold the game titled CORVANE; a 512-byte copier header is recognised.\n"
           "Addresses are hexadecimal (with or without 0x or $); any bank of a block's address names it.\n"
           "Every file a command replaces is written beside it first and renamed over it (through\n"
           "symbolic links to the file they name), so a failed command leaves every file as it was; its\n"
           "owner, group and mode are kept. A read-only file, one the user may not write and one with\n"
           "several hard links are refused (--force replaces a read-only file of your own); a FIFO or\n"
           "character device is written into. A command that changes a ROM locks it from reading to\n"
           "saving, so commands on one ROM run one after the other; one that waits longer than\n"
           "CORVTOOL_LOCK_WAIT seconds (60) for the lock gives up.\n\n"
        << kExitCodeHelp;
}

}  // namespace

int RunCorvtool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp(args.empty() ? err : out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << about::VersionLine("corvtool") << '\n';
        return kExitOk;
    }
    for (const Command* command : kCommands) {
        if (args[0] == command->name) {
            std::vector<std::string> rest(args.begin() + 1, args.end());
            if (!rest.empty() && (rest[0] == "--help" || rest[0] == "-h")) {
                out << "usage: corvtool " << command->name << ' ' << command->usage << '\n'
                    << command->summary << '\n';
                return kExitOk;
            }
            return command->run(rest, out, err);
        }
    }
    err << "corvtool: unknown command '" << args[0] << "' (try corvtool --help)\n";
    return kExitUsage;
}

}  // namespace corv::tool
