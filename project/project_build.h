#pragma once
// The build of a project: from the original ROM, in memory, the code patches in order, then every
// listed block with a script checked and inserted into the room it has in the original, then the
// dictionary; last the translated ROM and the patches the project chooses from the original to it
// (IPS of the whole files, BPS of the ROM data without a copier header, as players' patchers and
// dump databases take them), each checked by applying it to the original. The same project gives
// the same bytes on any number of threads.
//
// Reads: every file the project names. Writes: nothing; WriteBuildOutputs (build_outputs.h)
// writes the outputs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/block_encoder.h"
#include "insert/dictionary_area.h"
#include "project/build_outputs.h"
#include "project/block_work.h"
#include "project/project_file.h"
#include "project/project_inputs.h"

namespace corv::project {

enum class BuildOutcome {
    Built,           // `rom` and the chosen patches hold the outputs
    BlocksStopped,   // a block has check errors, does not fit or was refused: see the block states
    DictionaryFull,  // the table's dictionary words run past the area's bank
    DictionaryRom,   // the ROM is too small for the dictionary area
    IpsTooLarge,     // the translated ROM is past what an IPS patch can reach
    IpsMismatch,     // the patch would not give the translated ROM back from the original
    BpsMismatch,     // no BPS patch made gives the translated ROM's data from the original's
};

struct BuildOptions {
    unsigned jobs = 1;
    core::Compressor compressor = core::Compressor::Standard;
    BlockProgress progress;  // may be empty
    UntranslatedStrings untranslated = UntranslatedStrings::StandIn;
};

struct BuildResult {
    BuildOutcome outcome = BuildOutcome::Built;
    std::vector<BlockResult> blocks;  // in list order
    std::vector<uint8_t> rom;         // Built: the translated file image (copier header as the original's)
    std::vector<uint8_t> ips;         // Built, writesIps: the patch from the original file to `rom`
    std::vector<uint8_t> bps;         // Built, writesBps: from the original's data to `rom`'s
};

[[nodiscard]] BuildResult BuildProject(const ProjectFile& project, const ProjectInputs& inputs,
                                       const BuildOptions& options);

}  // namespace corv::project
