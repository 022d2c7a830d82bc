// corvtool unpack ROM AREA: the utility's "Decompress Block..." item without the window. The
// current folder is the start folder, so the block files and compfile.txt land where the
// utility would put them when started here.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

#include "tools/corvtool/command.h"
#include "comp/area_walk.h"
#include "comp/messages.h"
#include "comp/utility_state.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

// Area names are taken in any letter case.
std::optional<comp::Area> parseArea(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "graphics") return comp::Area::Graphics;
    if (lower == "data") return comp::Area::Data;
    if (lower == "text") return comp::Area::Text;
    return std::nullopt;
}

int runUnpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "corvtool unpack: expected ROM AREA\n";
        return kExitUsage;
    }
    const std::optional<comp::Area> area = parseArea(args[1]);
    if (!area) {
        err << "corvtool unpack: AREA must be graphics, data or text, not '" << args[1] << "'\n";
        return kExitUsage;
    }
    comp::UtilityState state;
    std::error_code error;
    state.startDirectory = std::filesystem::current_path(error);
    if (error) {
        err << "corvtool unpack: cannot read the current folder: " << error.message() << '\n';
        return kExitBadInput;
    }
    const comp::OpenRomOutcome opened = comp::OpenRom(state, args[0]);
    if (opened.status != comp::OpenRomStatus::Opened) {
        FileError(err, "unpack", args[0]) << opened.message.value_or("cannot open") << '\n';
        return kExitBadInput;
    }
    if (!comp::AreaTableInsideRom(state, *area)) {
        FileError(err, "unpack", args[0]) << comp::kAreaTableOutsideRom << '\n';
        return kExitBadInput;
    }
    const comp::ListOutcome outcome = comp::DecompressArea(state, *area);
    for (const std::string& line : outcome.lines) out << line << '\n';
    if (outcome.message) {
        FileError(err, "unpack", state.startDirectory.string()) << *outcome.message << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

}  // namespace

extern const Command kUnpackCommand{
    "unpack", "ROM AREA",
    "decompress every block of AREA (graphics, data or text) into numbered files and compfile.txt "
    "under the current folder, as CorvComp does",
    runUnpack};

}  // namespace corv::tool
