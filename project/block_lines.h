#pragma once
// The words for a project's blocks after a build or a status, shared by corvtool and the editor's
// build log: one line per block and a total line.

#include <cstdint>
#include <optional>
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

// "BLOCK 340000: 3 warning(s)" for a block whose check warned (warningCount), shown before its
// line; std::nullopt when it did not.
[[nodiscard]] std::optional<std::string> DescribeWarnings(const BlockResult& block);

// The check errors that stop a block, one "BLOCK 340000 STRING n: error: ..." line each.
[[nodiscard]] std::vector<std::string> BlockErrorLines(const BlockResult& block, const check::BoxMetrics& box);
// The warnings that warningCount() counts, one "BLOCK 340000 STRING n: warning: ..." line each.
[[nodiscard]] std::vector<std::string> BlockWarningLines(const BlockResult& block, const check::BoxMetrics& box);
// Every finding of a checked block in the check's order; empty translations only when asked for.
[[nodiscard]] std::vector<std::string> BlockFindingLines(const BlockResult& block, const check::BoxMetrics& box,
                                                         bool emptyTranslations);

// "TOTAL: 3 block(s), 3 with a script, 3 inserted; 40/120 strings translated (33%), 1234
// characters; needs N of M bytes of room"
[[nodiscard]] std::string DescribeTotal(std::span<const BlockResult> blocks);

}  // namespace corv::project
