#pragma once
// How corvtool prints the translation checks: one line per finding ("STRING n: ..."), then a
// summary line for the block; or the same as one JSON document for other tools.

#include <iosfwd>
#include <string>

#include "check/block_check.h"
#include "check/finding_text.h"

namespace corv::tool {

// "BLOCK 340000: needs N bytes, room M bytes, K bytes left" (or over, or why it cannot go in).
[[nodiscard]] std::string DescribeFit(uint32_t address, const check::FitFigures& fit);

// "BLOCK 340000: with --maximise needs N bytes, K bytes left" (or over): the maximised fit of a
// block that is over or tight, printed before the summary line.
[[nodiscard]] std::string DescribeMaximisedFit(uint32_t address, const check::FitFigures& maximised);

// What the text report leaves out or adds.
struct TextReportOptions {
    bool verbose = false;       // list "translation is empty" findings too
    bool untranslated = false;  // list the numbers of the strings not translated yet
};

// "BLOCK D40000: room taken from the last insertion: 3,151 bytes; the original room may be
// larger ..." for an inserted block whose data file gives no .ENDBLOCK.
[[nodiscard]] std::string DescribeRoomFromLastInsertion(uint32_t address, int64_t room);

// "12 of 150 strings translated"
[[nodiscard]] std::string DescribeTranslatedCount(const check::BlockReport& report);

// "line-too-wide": the name of a finding's kind in the JSON reports.
[[nodiscard]] const char* FindingKindName(check::FindingKind kind);

// A JSON string of script bytes (bytes from 0x80 up as the code points of the same value).
[[nodiscard]] std::string JsonString(const std::string& text);

void PrintReportText(std::ostream& out, uint32_t address, const check::BlockReport& report,
                     const check::BoxMetrics& box, const TextReportOptions& options = {});
void PrintReportJson(std::ostream& out, uint32_t address, const check::BlockReport& report,
                     const check::BoxMetrics& box);

}  // namespace corv::tool
