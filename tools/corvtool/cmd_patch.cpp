// corvtool patch ROM PATCH... [--data-file DATAFILE]: applies IPS and BPS files (told apart by
// their contents) to the ROM file in order and saves it. The ROM file is written only when every
// patch applied; otherwise it is left untouched. A block header that passes its check before the
// patches and fails after refuses them all: every block of the ROM's three area tables and the
// font block are watched, and with --data-file every block it lists too. An IPS patch that does
// that was most likely made for the ROM with (or without) a copier header; a BPS patch names its
// ROM by checksum and is applied across the copier header where it was made for the other kind.

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "tools/corvtool/command.h"
#include "core/rom_image.h"
#include "tools/corvtool/rom_argument.h"
#include "patches/block_guard.h"
#include "patches/patch_messages.h"
#include "patches/rom_patcher.h"
#include "script/block_data_file.h"

namespace corv::tool {
namespace {

constexpr std::string_view kDataFileOption = "--data-file";

int runPatch(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> allArgs = givenArgs;
    const bool force = TakeForceOption(allArgs);
    std::vector<std::string> args;
    std::optional<std::string> dataPath;
    for (size_t i = 0; i < allArgs.size(); ++i) {
        if (allArgs[i] == kDataFileOption && i + 1 < allArgs.size()) {
            dataPath = allArgs[++i];
        } else if (allArgs[i].starts_with("--")) {
            err << "corvtool patch: unknown option " << allArgs[i] << '\n';
            return kExitUsage;
        } else {
            args.push_back(allArgs[i]);
        }
    }
    if (args.size() < 2) {
        err << "corvtool patch: expected ROM PATCH... [--data-file DATAFILE] [--force]\n";
        return kExitUsage;
    }
    const auto lock = LockGameRom(args[0], "patch", err);
    if (!lock) return kExitBadInput;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "patch", err)) return kExitBadInput;
    std::vector<uint32_t> guarded = {patches::kFontBlockAddress};
    if (dataPath) {
        auto maps = std::make_unique<script::CodeMaps>();
        const auto dataFile = script::LoadBlockDataFile(*dataPath, *maps);
        if (!dataFile) {
            FileError(err, "patch", *dataPath) << "cannot read this block data file\n";
            return kExitBadInput;
        }
        for (const script::BlockEntry& block : dataFile->blocks) guarded.push_back(block.address);
    }

    const std::vector<std::filesystem::path> patches(args.begin() + 1, args.end());
    const patches::PatchOutcome outcome = patches::ApplyPatchFiles(rom, patches, guarded);
    if (outcome.status != patches::PatchStatus::Applied) {
        FileError(err, "patch", patches[outcome.failedIndex].string())
            << patches::PatchMessage(outcome) << "\ncorvtool patch: the ROM file was left untouched\n";
        return kExitBadInput;
    }
    if (!SaveGameRom(rom, "patch", err, {.force = force}, &*lock)) return kExitBadInput;
    for (const patches::HeaderCrossing& crossing : outcome.crossings) {
        out << patches[crossing.index].string() << ": " << patches::HeaderCrossingNote(crossing.madeFor) << '\n';
    }
    out << "applied " << outcome.appliedCount << " patch(es); ROM size " << rom.size() << " bytes\n";
    return kExitOk;
}

}  // namespace

extern const Command kPatchCommand{
    "patch", "ROM PATCH... [--data-file DATAFILE] [--force]",
    "apply the IPS or BPS files PATCH... (told apart by their contents) in order to ROM and save it, a BPS made "
    "for the ROM with or without a copier header across it; nothing is saved unless every patch applies and "
    "every block header that passed its check still does (the blocks of the ROM's area tables, and DATAFILE's)",
    runPatch};

}  // namespace corv::tool
