#pragma once
// How corvtool prints the translation checks: one line per finding ("STRING n: ..."), then a
// summary line for the block; or the same as one JSON document for other tools.

#include <iosfwd>
#include <string>

#include "check/block_check.h"

namespace corv::tool {

// "BLOCK 340000: needs N bytes, room M bytes, K bytes left" (or over, or why it cannot go in).
[[nodiscard]] std::string DescribeFit(uint32_t address, const check::FitFigures& fit);

// "BLOCK 340000: with --maximise needs N bytes, K bytes left" (or over): the maximised fit of a
// block that is over or tight, printed before the summary line.
[[nodiscard]] std::string DescribeMaximisedFit(uint32_t address, const check::FitFigures& maximised);

void PrintReportText(std::ostream& out, uint32_t address, const check::BlockReport& report,
                     const check::BoxMetrics& box);
void PrintReportJson(std::ostream& out, uint32_t address, const check::BlockReport& report,
                     const check::BoxMetrics& box);

}  // namespace corv::tool
