#pragma once
// The words for a project's blocks after a build or a status, shared by corvtool and the editor's
// build log: one line per block and a total line.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "check/box_lines.h"

#include "project/block_work.h"
#include "project/project_file.h"

namespace corv::project {

// "340000": a block address in upper-case hexadecimal without leading zeros.
[[nodiscard]] std::string BlockName(uint32_t address);

// "BLOCK 340000: 12/40 strings translated; needs N bytes, room M bytes, K bytes left" and the
// like for every state.
[[nodiscard]] std::string DescribeBlock(const ProjectFile& project, const BlockResult& block);

// The check errors that stop a block, one "BLOCK 340000 STRING n: error: ..." line each.
[[nodiscard]] std::vector<std::string> BlockErrorLines(const BlockResult& block, const check::BoxMetrics& box);

// "TOTAL: 3 block(s), 3 with a script, 3 inserted; 40/120 strings translated (33%), 1234
// characters; needs N of M bytes of room"
[[nodiscard]] std::string DescribeTotal(std::span<const BlockResult> blocks);

}  // namespace corv::project
