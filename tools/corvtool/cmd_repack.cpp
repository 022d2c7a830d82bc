// corvtool repack ROM LISTING [--maximise] [--force]: the utility's "Recompress Block..." followed
// by Save ROM File, all or nothing: the ROM file is replaced (safely) only when every ".COMP"
// line's block was written. Then each line's result and the saved message go to standard output;
// otherwise the lines of the entries that failed go to standard error and nothing is saved. Exit
// status 0 when every ".COMP" line succeeded; otherwise 2 when any line's input was wrong (a block
// file missing, no valid block at its offset, a line that cannot be read), else 1 (blocks that do
// not fit). --maximise compresses every block with the maximising compressor.

#include <algorithm>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "comp/save_target.h"
#include "tools/corvtool/command.h"
#include "comp/listing_recompress.h"
#include "comp/messages.h"
#include "comp/utility_state.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

// How much an entry's result weighs in the exit status: wrong input outweighs a block that does
// not fit.
int exitCodeOf(comp::EntryStatus status) {
    switch (status) {
    case comp::EntryStatus::Written: return kExitOk;
    case comp::EntryStatus::TooLarge:
    case comp::EntryStatus::FileTooBig:
    case comp::EntryStatus::NoReadBack: return kExitDoesNotFit;
    case comp::EntryStatus::CannotOpenFile:
    case comp::EntryStatus::InvalidBlock:
    case comp::EntryStatus::BeyondRom:
    case comp::EntryStatus::Unreadable: return kExitBadInput;
    }
    return kExitBadInput;
}

int runRepack(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> allArgs = givenArgs;
    const bool force = TakeForceOption(allArgs);
    std::vector<std::string> args;
    core::Compressor compressor = core::Compressor::Standard;
    if (!SplitCompressorOption(allArgs, "repack", err, args, compressor)) return kExitUsage;
    if (args.size() != 2) {
        err << "corvtool repack: expected ROM LISTING [--maximise] [--force]\n";
        return kExitUsage;
    }
    const auto lock = LockGameRom(args[0], "repack", err);
    if (!lock) return kExitBadInput;
    comp::UtilityState state;
    const comp::OpenRomOutcome opened = comp::OpenRom(state, args[0]);
    if (opened.status != comp::OpenRomStatus::Opened) {
        FileError(err, "repack", args[0]) << opened.message.value_or("cannot open") << '\n';
        return kExitBadInput;
    }
    std::optional<std::ifstream> listing = comp::OpenListing(args[1]);
    if (!listing) {
        FileError(err, "repack", args[1]) << comp::kCannotOpenListing << '\n';
        return kExitBadInput;
    }
    int exitCode = kExitOk;
    std::vector<std::string> written;
    const comp::RecompressSummary summary =
        comp::RecompressListing(state, *listing, [&](const comp::LineResult& result) {
            if (!result.entry) return;
            if (result.entry->status == comp::EntryStatus::Written) {
                written.push_back(result.entry->line);
                return;
            }
            FileError(err, "repack", args[1]) << result.entry->line << '\n';
            exitCode = std::max(exitCode, exitCodeOf(result.entry->status));
        }, compressor == core::Compressor::Maximising ? comp::ListingCompressor::Maximising
                                                      : comp::ListingCompressor::Standard);
    if (!summary.allWritten()) {
        FileError(err, "repack", args[0]) << summary.entries - summary.written << " of " << summary.entries
                                          << " block(s) failed; nothing saved, the file was left as it was\n";
        return exitCode;
    }
    if (summary.written > 0) {
        // The utility's own refusal of a ROM it may not replace, with the reason.
        const comp::SaveTargetCheck target = comp::CheckSaveTarget(state.rom.path());
        if (!force && target.status != comp::SaveTargetStatus::Writable) {
            FileError(err, "repack", args[0])
                << comp::kCannotOpenRom << " ("
                << (target.status == comp::SaveTargetStatus::ReadOnlyFile
                        ? "permission denied; --force replaces a read-only file of your own"
                        : "no temporary file can be made in its folder: " + target.reason.message())
                << "); the file was left as it was\n";
            return kExitBadInput;
        }
        if (!SaveGameRom(state.rom, "repack", err, {.force = force}, &*lock)) return kExitBadInput;
        for (const std::string& line : written) out << line << '\n';
        out << comp::SavedMessage(comp::FileNameOf(state.rom.path())) << '\n';
    }
    return kExitOk;
}

}  // namespace

extern const Command kRepackCommand{
    "repack", "ROM LISTING [--maximise] [--force]",
    "recompress the block files a compfile.txt LISTING names into ROM, as CorvComp does, and save it only when "
    "every one fits (all or nothing); --maximise compresses with the maximising compressor",
    runRepack};

}  // namespace corv::tool
