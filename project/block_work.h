#pragma once
// The work of one listed block in a build, a check or a status: open it from the patched
// original, read its script, count what is translated, measure its room, for a check and a build
// check it, and for a build insert it. Each block's work depends only on the patched original and its own script, never on the
// blocks before it, so blocks can be worked on in any order and on any number of threads.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "check/block_check.h"
#include "check/block_fit.h"
#include "core/block_encoder.h"
#include "insert/insertion.h"
#include "project/project_file.h"
#include "project/project_inputs.h"
#include "script/text_block.h"

namespace corv::project {

enum class BlockState {
    Built,         // inserted into the translated ROM
    Measured,      // status: counted and measured; a check: free of errors, and it fits
    Skipped,       // the project leaves it out: kept as in the original
    NoScript,      // no script file: kept as in the original
    Untranslated,  // the script translates no string: kept as in the original (a check lists its findings)
    Unreadable,    // the block cannot be opened from the ROM (see `problem`)
    ScriptUnreadable,  // the script file is there but cannot be read
    Unfinished,    // a release build: translated in part, `counts.untranslated` left: nothing inserted
    CheckErrors,   // the check found errors (see `errors`): nothing inserted
    DoesNotFit,    // over its room: `fit` and `excessBytes` say by how much
    Refused,       // the insertion refused it for another reason (see `outcome`, `message`)
};

// Whether a block in this state stops a build.
[[nodiscard]] bool StopsBuild(BlockState state);

struct BlockCounts {
    unsigned strings = 0;     // text strings of the block
    unsigned translated = 0;  // of them, those whose entry has a line with text
    size_t characters = 0;    // characters of the translated lines
    std::vector<unsigned> untranslated;  // the strings whose entry holds nothing but blanks
};

struct BlockResult {
    uint32_t address = 0;  // as the .BLOCK line gives it
    uint32_t index = 0;    // position in the block list
    BlockState state = BlockState::NoScript;
    script::TextBlockProblem problem = script::TextBlockProblem::None;
    BlockCounts counts;
    std::optional<check::FitFigures> fit;     // the room figures, once measured
    // A build with the standard compressor of a block over or tight: what --maximise would leave.
    std::optional<check::FitFigures> maximised;
    std::vector<check::StringReport> errors;  // CheckErrors: the strings with errors (errors only)
    // A check or a build that checked the block: every string with findings, all of them, in the
    // check's order.
    std::vector<check::StringReport> findings;
    insert::InsertionOutcome outcome = insert::InsertionOutcome::NoStrings;
    uint32_t excessBytes = 0;
    std::vector<int> standIns;           // Built: the untranslated strings given their stand-in
    std::optional<std::string> message;  // Refused: the insertion's reason
    // Built: the block's room as the insertion left it, and its inserted mark.
    uint32_t roomOffset = 0;
    std::vector<uint8_t> roomBytes;
    uint32_t markOffset = 0;
    uint8_t markValue = 0;

    // The warnings among `findings`, empty translations left out (the counts and stand-ins say those).
    [[nodiscard]] size_t warningCount() const;
};

// A check does what a build does up to the insertion, and keeps every finding.
enum class BlockWorkMode { Status, Check, Build };

// Called after each block with the number of blocks done and the total, one call at a time.
using BlockProgress = std::function<void(size_t done, size_t total)>;

struct BlockWorkOptions {
    BlockWorkMode mode = BlockWorkMode::Status;
    core::Compressor compressor = core::Compressor::Standard;
    unsigned jobs = 1;
    BlockProgress progress;  // may be empty
    UntranslatedStrings untranslated = UntranslatedStrings::StandIn;
};

// Works on every listed block of the project (in list order in the result) with `options.jobs`
// threads. The result is the same for any number of threads.
[[nodiscard]] std::vector<BlockResult> WorkOnBlocks(const ProjectFile& project, const ProjectInputs& inputs,
                                                    const BlockWorkOptions& options);

// The counts of a script for a block with the given text string numbers.
[[nodiscard]] BlockCounts CountTranslation(script::ScriptText& script, const std::vector<unsigned>& textStrings);

// The text string numbers (records of the text type) of a decompressed block.
[[nodiscard]] std::vector<unsigned> TextStringNumbers(const script::TextBlock& block);

}  // namespace corv::project
