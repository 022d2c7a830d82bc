// corvtool make-ips ORIGINAL MODIFIED OUT.ips: an IPS patch that turns ORIGINAL into MODIFIED
// (whole files, copier header included). The patch is applied in memory to ORIGINAL and must
// give MODIFIED before OUT.ips is written, through a temporary file renamed over it.
//
// Exit codes: 0 written; 1 no patch can describe the change (a target past 16 MiB), or the patch
// would not give MODIFIED back; 2 a file cannot be read or written; 3 usage. Only 0 writes.

#include <ostream>

#include "tools/corvtool/command.h"
#include "core/rom_image.h"
#include "tools/corvtool/patch_pair.h"
#include "tools/corvtool/rom_argument.h"
#include "patches/ips_create.h"
#include "patches/ips_patch.h"

namespace corv::tool {
namespace {

int runMakeIps(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    const bool force = TakeForceOption(args);
    if (args.size() != 3) {
        err << "corvtool make-ips: expected ORIGINAL MODIFIED OUT.ips\n";
        return kExitUsage;
    }
    const std::optional<PatchPair> pair = ReadPatchPair(args[0], args[1], "make-ips", err);
    if (!pair) return kExitBadInput;
    const std::vector<uint8_t>& original = pair->original;
    const std::vector<uint8_t>& modified = pair->modified;
    const patches::IpsCreation creation = patches::CreateIpsPatch(original, modified);
    if (creation.status == patches::IpsCreateStatus::TooLarge) {
        FileError(err, "make-ips", args[1]) << "longer than the 16 MiB an IPS patch can reach; nothing written\n";
        return kExitDoesNotFit;
    }
    std::vector<uint8_t> patched = original;
    if (patches::ApplyIpsPatch(patched, creation.patch) != patches::IpsStatus::Applied || patched != modified) {
        err << "corvtool make-ips: the patch does not turn " << args[0] << " into " << args[1]
            << "; nothing written\n";
        return kExitDoesNotFit;
    }
    if (const core::SaveResult saved = core::WriteFileSafely(args[2], creation.patch, {.force = force}); !saved) {
        ReportSaveFailure(err, "make-ips", args[2], saved);
        return kExitBadInput;
    }
    out << args[2] << ": " << creation.records << " record(s), " << creation.runRecords << " of them runs, "
        << creation.patch.size() << " bytes; checked against " << args[1] << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kMakeIpsCommand{
    "make-ips", "ORIGINAL MODIFIED OUT.ips [--force]",
    "write an IPS patch that turns ORIGINAL into MODIFIED, checked by applying it in memory first", runMakeIps};

}  // namespace corv::tool
