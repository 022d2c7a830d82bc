// corvtool make-ips ORIGINAL MODIFIED OUT.ips: an IPS patch that turns ORIGINAL into MODIFIED
// (whole files, copier header included). The patch is applied in memory to ORIGINAL and must
// give MODIFIED before OUT.ips is written, through a temporary file renamed over it.
//
// Exit codes: 0 written; 1 no patch can describe the change (a target past 16 MiB), or the patch
// would not give MODIFIED back; 2 a file cannot be read or written; 3 usage. Only 0 writes.

#include <string>

#include "patches/ips_create.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/patch_maker.h"

namespace corv::tool {
namespace {

int runMakeIps(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunPatchMaker(args, "make-ips", "OUT.ips", out, err, [&](const PatchPair& pair) {
        MadePatch made;
        const patches::IpsCreation creation = patches::CreateCheckedIpsPatch(pair.original, pair.modified);
        switch (creation.status) {
        case patches::IpsCreateStatus::Created: break;
        case patches::IpsCreateStatus::TooLarge:
            made.refusal = "longer than the 16 MiB an IPS patch can reach";
            made.refusedFile = args[1];
            return made;
        case patches::IpsCreateStatus::Mismatch:
            made.refusal = "the patch does not turn " + args[0] + " into " + args[1];
            return made;
        }
        made.patch = creation.patch;
        made.description = std::to_string(creation.records) + " record(s), " + std::to_string(creation.runRecords) +
                           " of them runs, " + std::to_string(creation.patch.size()) + " bytes";
        return made;
    });
}

}  // namespace

extern const Command kMakeIpsCommand{
    "make-ips", "ORIGINAL MODIFIED OUT.ips [--force]",
    "write an IPS patch that turns ORIGINAL into MODIFIED, checked by applying it in memory first", runMakeIps};

}  // namespace corv::tool
