#pragma once
// How corvtool prints a project's blocks besides the lines of project/block_lines.h: the lines
// of the check errors that stop a build, and status as JSON.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "check/box_lines.h"
#include "project/block_work.h"
#include "project/build_outputs.h"
#include "project/project_file.h"
#include "project/script_writes.h"

namespace corv::tool {

// "built", "check-errors", "does-not-fit": a block's state in the JSON reports.
[[nodiscard]] const char* BlockStateName(project::BlockState state);

// The exit code the blocks of a build or a check give: 2 when one has errors or cannot be read (a
// header failing its check), 1 when one is over its room or refused otherwise, 0 when none stops.
[[nodiscard]] int BlocksExitCode(std::span<const project::BlockResult> blocks);

// The check errors of a block, one "BLOCK 340000 STRING n: error: ..." line each.
void PrintBlockErrors(std::ostream& out, const project::BlockResult& block, const check::BoxMetrics& box);

// `outputs` gives "outputs": "no-record", "whole" or "incomplete".
void PrintStatusJson(std::ostream& out, const project::ProjectFile& project,
                     std::span<const project::BlockResult> blocks, const project::OutputsCheck& outputs);

// "build/x.ips does not hold what the last build wrote (a build stopped while writing the
// outputs, or the file was changed since)" for an Incomplete check.
[[nodiscard]] std::string OutputsIncompleteText(const project::OutputsCheck& outputs);

// The line of a failed all-or-nothing write of scripts: the file that could not be written, why,
// and whether the others were put back.
void PrintScriptWritesFailed(std::ostream& err, std::string_view command, const project::ScriptWritesResult& written);

}  // namespace corv::tool
