#pragma once
// The words for the checks' results, shared by everything that shows them (corvtool's check
// report, the editor's marks and Problems window) so that a finding reads the same everywhere.

#include <cstdint>
#include <optional>
#include <string>

#include "check/block_fit.h"
#include "check/box_lines.h"
#include "check/string_check.h"

namespace corv::check {

// Script characters are 8-bit: shown on a terminal or in a window in UTF-8, in JSON as the code
// point of the byte's value.
enum class FindingCharacters { Utf8, Bytes };

// "error" or "warning".
[[nodiscard]] const char* SeverityName(Severity severity);
// The finding's message without its severity ("line 2: 12 pixel(s) wider than the box (216 pixels)").
[[nodiscard]] std::string FindingMessage(const Finding& finding, const BoxMetrics& box,
                                         FindingCharacters characters = FindingCharacters::Utf8);
// The message with its severity first ("error: ", "warning: ").
[[nodiscard]] std::string DescribeFinding(const Finding& finding, const BoxMetrics& box);
// Why a block cannot be compressed at all ("cannot be inserted: ..."); std::nullopt for a block
// that was compressed (it fits or is over).
[[nodiscard]] std::optional<std::string> FitProblemText(const FitFigures& fit);
// "12 bytes left" or "12 bytes over".
[[nodiscard]] std::string LeftOrOverText(int64_t left);
// "needs N bytes, room M bytes, K bytes left" (or over), or why the block cannot go in.
[[nodiscard]] std::string FitText(const FitFigures& fit);

// "23,063": digits in groups of three.
[[nodiscard]] std::string GroupedNumber(int64_t value);

// The note on an inserted block whose data file gives no .ENDBLOCK: its room ends where the last
// insertion's data end ("room taken from the last insertion: 3,151 bytes; the original room may
// be larger ...").
[[nodiscard]] std::string RoomFromLastInsertionText(int64_t room);

}  // namespace corv::check
