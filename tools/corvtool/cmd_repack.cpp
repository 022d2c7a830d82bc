// corvtool repack ROM LISTING [--maximise]: the utility's "Recompress Block..." followed by Save
// ROM File; --maximise compresses every block with the maximising compressor.
// Prints one result line per ".COMP" line; the ROM file is replaced (safely) only when at least
// one block was written. Exit status 0 when every ".COMP" line succeeded; otherwise 2 when any
// line's input was wrong (a block file missing, no valid block at its offset, a line that cannot
// be read), else 1 (blocks that do not fit).

#include <algorithm>
#include <fstream>
#include <optional>
#include <ostream>

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

int runRepack(const std::vector<std::string>& allArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    core::Compressor compressor = core::Compressor::Specified;
    if (!SplitCompressorOption(allArgs, "repack", err, args, compressor)) return kExitUsage;
    if (args.size() != 2) {
        err << "corvtool repack: expected ROM LISTING [--maximise]\n";
        return kExitUsage;
    }
    comp::UtilityState state;
    const comp::OpenRomOutcome opened = comp::openRom(state, args[0]);
    if (opened.status != comp::OpenRomStatus::Opened) {
        FileError(err, "repack", args[0]) << opened.message.value_or("cannot open") << '\n';
        return kExitBadInput;
    }
    std::optional<std::ifstream> listing = comp::openListing(args[1]);
    if (!listing) {
        FileError(err, "repack", args[1]) << comp::kCannotOpenListing << '\n';
        return kExitBadInput;
    }
    int exitCode = kExitOk;
    const comp::RecompressSummary summary =
        comp::recompressListing(
            state, *listing,
            [&](const comp::LineResult& result) {
                if (!result.entry) return;
                out << result.entry->line << '\n';
                exitCode = std::max(exitCode, exitCodeOf(result.entry->status));
            },
            compressor);
    if (summary.written > 0) {
        const comp::SaveRomOutcome saved = comp::saveRom(state);
        if (saved.status != comp::SaveRomStatus::Saved) {
            FileError(err, "repack", args[0]) << saved.message.value_or("not saved") << '\n';
            return kExitBadInput;
        }
        out << *saved.message << '\n';
    }
    return exitCode;
}

}  // namespace

extern const Command kRepackCommand{
    "repack", "ROM LISTING [--maximise]",
    "recompress the block files a compfile.txt LISTING names into ROM and save it when any fit, as "
    "CorvComp does; --maximise compresses with the maximising compressor",
    runRepack};

}  // namespace corv::tool
