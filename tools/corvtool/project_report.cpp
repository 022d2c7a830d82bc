#include "tools/corvtool/project_report.h"

#include <algorithm>
#include <ostream>

#include "core/printable_text.h"
#include "core/save_failure_text.h"
#include "project/block_lines.h"
#include "tools/corvtool/check_report.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

using project::BlockResult;
using project::BlockState;

}  // namespace

const char* BlockStateName(BlockState state) {
    switch (state) {
    case BlockState::Built: return "built";
    case BlockState::Measured: return "measured";
    case BlockState::Skipped: return "skipped";
    case BlockState::NoScript: return "no-script";
    case BlockState::Untranslated: return "untranslated";
    case BlockState::Unreadable: return "unreadable";
    case BlockState::ScriptUnreadable: return "script-unreadable";
    case BlockState::Unfinished: return "unfinished";
    case BlockState::CheckErrors: return "check-errors";
    case BlockState::DoesNotFit: return "does-not-fit";
    case BlockState::Refused: return "refused";
    }
    return "unknown";
}

namespace {

const char* outputsStateName(project::OutputsState state) {
    switch (state) {
    case project::OutputsState::NoRecord: return "no-record";
    case project::OutputsState::Whole: return "whole";
    case project::OutputsState::Incomplete: return "incomplete";
    }
    return "unknown";
}

}  // namespace

int BlocksExitCode(std::span<const BlockResult> blocks) {
    const auto inputWrong = [](const BlockResult& b) {
        return b.state == BlockState::CheckErrors || b.state == BlockState::Unreadable ||
               b.state == BlockState::Unfinished || b.state == BlockState::ScriptUnreadable ||
               (b.state == BlockState::Refused && b.outcome == insert::InsertionOutcome::BadOldHeader);
    };
    if (std::any_of(blocks.begin(), blocks.end(), inputWrong)) return kExitBadInput;
    const bool stops = std::any_of(blocks.begin(), blocks.end(), [](const BlockResult& b) { return project::StopsBuild(b.state); });
    return stops ? kExitDoesNotFit : kExitOk;
}

void PrintBlockErrors(std::ostream& out, const BlockResult& block, const check::BoxMetrics& box) {
    for (const std::string& line : project::BlockErrorLines(block, box)) out << line << '\n';
}

std::string OutputsIncompleteText(const project::OutputsCheck& outputs) {
    return core::EscapeControlCharacters(outputs.differsFile.string()) +
           " does not hold what the last build wrote (a build stopped while writing the outputs, or the file was "
           "changed since)";
}

void PrintStatusJson(std::ostream& out, const project::ProjectFile& project, std::span<const BlockResult> blocks,
                     const project::OutputsCheck& outputs) {
    out << "{\"project\": " << JsonString(project.file.string()) << ",\n \"blocks\": [";
    uint64_t strings = 0, translated = 0, characters = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        const BlockResult& block = blocks[i];
        strings += block.counts.strings;
        translated += block.counts.translated;
        characters += block.counts.characters;
        out << (i ? ",\n  " : "\n  ") << "{\"block\": " << JsonString(project::BlockName(block.address)) << ", \"state\": \""
            << BlockStateName(block.state) << "\", \"strings\": " << block.counts.strings
            << ", \"translated\": " << block.counts.translated << ", \"characters\": " << block.counts.characters;
        if (block.fit) {
            out << ", \"needed\": " << block.fit->needed << ", \"room\": " << block.fit->room
                << ", \"left\": " << block.fit->left();
        }
        out << '}';
    }
    out << "],\n \"total\": {\"blocks\": " << blocks.size() << ", \"strings\": " << strings
        << ", \"translated\": " << translated << ", \"characters\": " << characters
        << ", \"summary\": " << JsonString(project::DescribeTotal(blocks)) << "},\n \"outputs\": \""
        << outputsStateName(outputs.state) << "\"}\n";
}

void PrintScriptWritesFailed(std::ostream& err, std::string_view command, const project::ScriptWritesResult& written) {
    FileError(err, command, core::EscapeControlCharacters(written.failed.string()))
        << "cannot write this file: " << core::SaveFailureReason(written.save)
        << (written.restored ? "; nothing was written\n"
                             : "; the scripts written before it could not all be put back as they were\n");
}

}  // namespace corv::tool
