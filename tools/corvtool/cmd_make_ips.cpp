// corvtool make-ips ORIGINAL MODIFIED OUT.ips: an IPS patch that turns ORIGINAL into MODIFIED
// (whole files, copier header included). The patch is applied in memory to ORIGINAL and must
// give MODIFIED before OUT.ips is written, through a temporary file renamed over it.
//
// Exit codes: 0 written; 2 a file cannot be read or written, or no patch can describe the
// change (the patch is then not written); 3 usage.

#include <ostream>

#include "check_inputs.h"
#include "command.h"
#include "core/rom_image.h"
#include "script/ips_create.h"
#include "script/ips_patch.h"

namespace corv::tool {
namespace {

int runMakeIps(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "corvtool make-ips: expected ORIGINAL MODIFIED OUT.ips\n";
        return kExitUsage;
    }
    const auto original = core::ReadWholeFile(args[0]);
    const auto modified = core::ReadWholeFile(args[1]);
    if (!original || !modified) {
        err << "corvtool make-ips: cannot read " << (original ? args[1] : args[0]) << '\n';
        return kExitBadInput;
    }
    const script::IpsCreation creation = script::CreateIpsPatch(*original, *modified);
    if (creation.status == script::IpsCreateStatus::TooLarge) {
        err << "corvtool make-ips: " << args[1] << " is longer than the 16 MiB an IPS patch can reach; nothing written\n";
        return kExitBadInput;
    }
    std::vector<uint8_t> patched = *original;
    if (script::ApplyIpsPatch(patched, creation.patch) != script::IpsStatus::Applied || patched != *modified) {
        err << "corvtool make-ips: the patch does not turn " << args[0] << " into " << args[1]
            << "; nothing written\n";
        return kExitBadInput;
    }
    if (!core::WriteFileSafely(args[2], creation.patch)) {
        err << "corvtool make-ips: cannot write " << args[2] << "; nothing written\n";
        return kExitBadInput;
    }
    out << args[2] << ": " << creation.records << " record(s), " << creation.runRecords << " of them runs, "
        << creation.patch.size() << " bytes; checked against " << args[1] << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kMakeIpsCommand{
    "make-ips", "ORIGINAL MODIFIED OUT.ips",
    "write an IPS patch that turns ORIGINAL into MODIFIED, checked by applying it in memory first", runMakeIps};

}  // namespace corv::tool
