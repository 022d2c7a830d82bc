// corvtool make-bps ORIGINAL MODIFIED OUT.bps: a BPS patch that turns ORIGINAL into MODIFIED
// (whole files, copier header included), carrying the CRC-32 of both. The patch is applied in
// memory to ORIGINAL with every check a player's patcher makes and must give MODIFIED before
// OUT.bps is written, through a temporary file renamed over it.
//
// Exit codes: 0 written; 1 the patch would not give MODIFIED back, or a file is past the 64 MiB
// a patch is made for; 2 a file cannot be read or written; 3 usage. Only 0 writes.

#include <cstdio>
#include <ostream>

#include "core/file_save.h"
#include "patches/bps_create.h"
#include "patches/crc32.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/patch_pair.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

int runMakeBps(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    const bool force = TakeForceOption(args);
    if (args.size() != 3) {
        err << "corvtool make-bps: expected ORIGINAL MODIFIED OUT.bps\n";
        return kExitUsage;
    }
    const std::optional<PatchPair> pair = ReadPatchPair(args[0], args[1], "make-bps", err);
    if (!pair) return kExitBadInput;
    const patches::BpsCreation creation = patches::CreateCheckedBpsPatch(pair->original, pair->modified);
    switch (creation.status) {
    case patches::BpsCreateStatus::Created: break;
    case patches::BpsCreateStatus::TooLarge:
        FileError(err, "make-bps", pair->original.size() > pair->modified.size() ? args[0] : args[1])
            << "larger than the 64 MiB a patch is made for; nothing written\n";
        return kExitDoesNotFit;
    case patches::BpsCreateStatus::Mismatch:
        err << "corvtool make-bps: the patch does not turn " << args[0] << " into " << args[1] << "; nothing written\n";
        return kExitDoesNotFit;
    }
    if (const core::SaveResult saved = core::WriteFileSafely(args[2], creation.patch, {.force = force}); !saved) {
        ReportSaveFailure(err, "make-bps", args[2], saved);
        return kExitBadInput;
    }
    const patches::BpsActionCounts& actions = creation.actions;
    out << args[2] << ": " << creation.patch.size() << " bytes, for a ROM whose CRC32 is "
        << HexWord(patches::Crc32(pair->original)) << "; " << actions.targetReadBytes << " new byte(s) in "
        << actions.targetReads << " literal run(s), " << actions.sourceCopies + actions.targetCopies
        << " copies; checked against " << args[1] << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kMakeBpsCommand{
    "make-bps", "ORIGINAL MODIFIED OUT.bps [--force]",
    "write a BPS patch that turns ORIGINAL into MODIFIED, with both files' checksums, checked by applying it in "
    "memory first",
    runMakeBps};

}  // namespace corv::tool
