// corvtool make-bps ORIGINAL MODIFIED OUT.bps: a BPS patch that turns ORIGINAL into MODIFIED
// (whole files, copier header included), carrying the CRC-32 of both. The patch is applied in
// memory to ORIGINAL with every check a player's patcher makes and must give MODIFIED before
// OUT.bps is written, through a temporary file renamed over it.
//
// Exit codes: 0 written; 1 the patch would not give MODIFIED back, or a file is past the 64 MiB
// a patch is made for; 2 a file cannot be read or written; 3 usage. Only 0 writes.

#include <string>

#include "patches/bps_create.h"
#include "patches/crc32.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/patch_maker.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

int runMakeBps(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunPatchMaker(args, "make-bps", "OUT.bps", out, err, [&](const PatchPair& pair) {
        MadePatch made;
        patches::BpsCreation creation = patches::CreateCheckedBpsPatch(pair.original, pair.modified);
        switch (creation.status) {
        case patches::BpsCreateStatus::Created: break;
        case patches::BpsCreateStatus::TooLarge:
            made.refusal = "larger than the 64 MiB a patch is made for";
            made.refusedFile = pair.original.size() > pair.modified.size() ? args[0] : args[1];
            return made;
        case patches::BpsCreateStatus::Mismatch:
            made.refusal = "the patch does not turn " + args[0] + " into " + args[1];
            return made;
        }
        const patches::BpsActionCounts& actions = creation.actions;
        made.description = std::to_string(creation.patch.size()) + " bytes, for a ROM whose CRC32 is " +
                           HexWord(patches::Crc32(pair.original)) + "; " + std::to_string(actions.targetReadBytes) +
                           " new byte(s) in " + std::to_string(actions.targetReads) + " literal run(s), " +
                           std::to_string(actions.sourceCopies + actions.targetCopies) + " copies";
        made.patch = std::move(creation.patch);
        return made;
    });
}

}  // namespace

extern const Command kMakeBpsCommand{
    "make-bps", "ORIGINAL MODIFIED OUT.bps [--force]",
    "write a BPS patch that turns ORIGINAL into MODIFIED, with both files' checksums, checked by applying it in "
    "memory first",
    runMakeBps};

}  // namespace corv::tool
