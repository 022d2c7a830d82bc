#include "tools/corvtool/patch_maker.h"

#include <ostream>

#include "core/rom_image.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {

int RunPatchMaker(const std::vector<std::string>& givenArgs, std::string_view command, std::string_view outName,
                  std::ostream& out, std::ostream& err, const std::function<MadePatch(const PatchPair&)>& make) {
    std::vector<std::string> args = givenArgs;
    const bool force = TakeForceOption(args);
    if (args.size() != 3) {
        err << "corvtool " << command << ": expected ORIGINAL MODIFIED " << outName << '\n';
        return kExitUsage;
    }
    auto original = core::ReadWholeFile(args[0]);
    auto modified = core::ReadWholeFile(args[1]);
    if (!original || !modified) {
        FileError(err, command, original ? args[1] : args[0]) << "cannot read this file\n";
        return kExitBadInput;
    }
    // A patch between a headered and an unheadered file shifts every change by 512 bytes, and
    // applied to either kind of ROM it lands in the wrong place for half of them.
    const bool originalHeadered = core::CopierHeaderSize(original->size()) != 0;
    if (originalHeadered != (core::CopierHeaderSize(modified->size()) != 0)) {
        err << "corvtool " << command << ": warning: " << (originalHeadered ? args[0] : args[1])
            << " has a 512-byte copier header and " << (originalHeadered ? args[1] : args[0])
            << " has none; the patch will not fit either kind of ROM\n";
    }
    const MadePatch made = make(PatchPair{std::move(*original), std::move(*modified)});
    if (made.refusal) {
        (made.refusedFile ? FileError(err, command, *made.refusedFile) : err << "corvtool " << command << ": ")
            << *made.refusal << "; nothing written\n";
        return kExitDoesNotFit;
    }
    if (const core::SaveResult saved = core::WriteFileSafely(args[2], made.patch, {.force = force}); !saved) {
        ReportSaveFailure(err, command, args[2], saved);
        return kExitBadInput;
    }
    out << args[2] << ": " << made.description << "; checked against " << args[1] << '\n';
    return kExitOk;
}

}  // namespace corv::tool
