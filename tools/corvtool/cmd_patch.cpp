// corvtool patch ROM PATCH...: applies IPS files to the ROM file in order and saves it. The ROM
// file is written only when every patch applied; otherwise it is left untouched.

#include <filesystem>
#include <ostream>
#include <vector>

#include "tools/corvtool/command.h"
#include "core/rom_image.h"
#include "tools/corvtool/rom_argument.h"
#include "patches/ips_patch.h"

namespace corv::tool {
namespace {

int runPatch(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    const bool force = TakeForceOption(args);
    if (args.size() < 2) {
        err << "corvtool patch: expected ROM PATCH...\n";
        return kExitUsage;
    }
    const auto lock = LockGameRom(args[0], "patch", err);
    if (!lock) return kExitBadInput;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "patch", err)) return kExitBadInput;

    const std::vector<std::filesystem::path> patches(args.begin() + 1, args.end());
    const patches::IpsOutcome outcome = patches::ApplyIpsFiles(rom, patches);
    if (outcome.status != patches::IpsStatus::Applied) {
        FileError(err, "patch", patches[outcome.failedIndex].string())
            << patches::IpsMessage(outcome) << "\ncorvtool patch: the ROM file was left untouched\n";
        return kExitBadInput;
    }
    if (!SaveGameRom(rom, "patch", err, {.force = force})) return kExitBadInput;
    out << "applied " << outcome.appliedCount << " patch(es); ROM size " << rom.size() << " bytes\n";
    return kExitOk;
}

}  // namespace

extern const Command kPatchCommand{
    "patch", "ROM PATCH... [--force]",
    "apply the IPS files PATCH... in order to ROM (copier header included) and save it; nothing is saved "
    "unless every patch applies",
    runPatch};

}  // namespace corv::tool
