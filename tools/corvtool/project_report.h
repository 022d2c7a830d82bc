#pragma once
// How corvtool prints a project's blocks: one line per block for build and status, the lines of
// the check errors that stop a build, a total line, and status as JSON.

#include <iosfwd>
#include <span>
#include <string>

#include "check/box_lines.h"
#include "project/block_work.h"
#include "project/project_file.h"

namespace corv::tool {

// "BLOCK 340000: 12/40 strings translated; needs N bytes, room M bytes, K bytes left" and the
// like for every state.
[[nodiscard]] std::string DescribeBlock(const project::ProjectFile& project, const project::BlockResult& block);

// The check errors of a block, one "BLOCK 340000 STRING n: error: ..." line each.
void PrintBlockErrors(std::ostream& out, const project::BlockResult& block, const check::BoxMetrics& box);

// "TOTAL: 3 block(s) inserted, 40/120 strings translated (33%), 1234 characters; needs N of M bytes"
[[nodiscard]] std::string DescribeTotal(std::span<const project::BlockResult> blocks);

void PrintStatusJson(std::ostream& out, const project::ProjectFile& project,
                     std::span<const project::BlockResult> blocks);

}  // namespace corv::tool
