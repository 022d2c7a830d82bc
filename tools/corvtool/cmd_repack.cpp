// corvtool repack ROM LISTING: the utility's "Recompress Block..." followed by Save ROM File.
// Prints one result line per ".COMP" line; the ROM file is replaced (safely) only when at least
// one block was written. Exit status 0 when every ".COMP" line succeeded, 1 otherwise.

#include <fstream>
#include <optional>
#include <ostream>

#include "command.h"
#include "comp/listing_recompress.h"
#include "comp/messages.h"
#include "comp/utility_state.h"

namespace corv::tool {
namespace {

constexpr int kExitFailed = 1;

int runRepack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "corvtool repack: expected ROM LISTING\n";
        return kExitUsage;
    }
    comp::UtilityState state;
    const comp::OpenRomOutcome opened = comp::openRom(state, args[0]);
    if (opened.status != comp::OpenRomStatus::Opened) {
        err << "corvtool repack: " << args[0] << ": " << opened.message.value_or("cannot open") << '\n';
        return kExitFailed;
    }
    std::optional<std::ifstream> listing = comp::openListing(args[1]);
    if (!listing) {
        err << "corvtool repack: " << args[1] << ": " << comp::kCannotOpenListing << '\n';
        return kExitFailed;
    }
    const comp::RecompressSummary summary =
        comp::recompressListing(state, *listing, [&out](const comp::LineResult& result) {
            if (result.entry) out << result.entry->line << '\n';
        });
    if (summary.written > 0) {
        const comp::SaveRomOutcome saved = comp::saveRom(state);
        if (saved.status != comp::SaveRomStatus::Saved) {
            err << "corvtool repack: " << args[0] << ": " << saved.message.value_or("not saved") << '\n';
            return kExitFailed;
        }
        out << *saved.message << '\n';
    }
    return summary.allWritten() ? kExitOk : kExitFailed;
}

}  // namespace

extern const Command kRepackCommand{
    "repack", "ROM LISTING",
    "recompress the block files a compfile.txt LISTING names into ROM and save it when any fit, as "
    "CorvComp does; exit 1 unless every entry fit",
    runRepack};

}  // namespace corv::tool
