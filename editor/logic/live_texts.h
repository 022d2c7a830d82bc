#pragma once
// What the editor shows of the live checks: the room and progress panels under the Text Editor, the
// state and tooltip of a List Data line, the rows of the Problems window and the insertion's
// room line. Findings read as corvtool check words them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/string_check.h"
#include "editor/logic/live_checks.h"

namespace corv::editor {

// "23,063": digits in groups of three.
[[nodiscard]] std::string GroupedNumber(int64_t value);

// "D40000: 3,151 of 23,063 bytes, 19,912 left" or "D46D00: 982 bytes over", followed by
// "; no table: dictionary words not counted" before a table file is loaded, and by "; room taken
// from the last insertion" when the room may once have been larger. Empty without a block.
[[nodiscard]] std::string RoomPanelText(const LiveChecks& checks);
// The same in two parts: the figures, which change as you type, and the notes after them ("; no
// table: ...", "; room taken ..."), which change only with the block, the table or the ROM.
[[nodiscard]] std::string RoomFiguresText(const LiveChecks& checks);
[[nodiscard]] std::string RoomNotesText(const LiveChecks& checks);
// The room panel's description: the whole note on a room taken from the last insertion, as
// corvtool check words it; empty otherwise.
[[nodiscard]] std::string RoomPanelNote(const LiveChecks& checks);
// "12 of 150 strings translated"; empty without a block.
[[nodiscard]] std::string ProgressText(const LiveChecks& checks);

// "not translated yet", "translated", "warning", "error": a List Data line's accessible description.
[[nodiscard]] std::string StateText(StringState state);
// The string's findings, one a line, as corvtool check words them; the state's text without any.
[[nodiscard]] std::string StringTooltip(const LiveString& string, const check::BoxMetrics& box);

struct ProblemRow {
    std::optional<unsigned> string;  // none: a note on the whole block
    check::Severity severity = check::Severity::Warning;
    std::string message;  // without the severity
    bool removesEmptyLine = false;  // the entry's empty last line, which Remove Empty Line takes out
};
// The Problems window: a note on the block's room first, then the block's findings in string
// order (see IsProblem: the warnings that a string is not translated yet are left out; Next
// Untranslated String finds it).
[[nodiscard]] std::vector<ProblemRow> ProblemRows(const LiveChecks& checks);

// What Remove Empty Line takes out of the script `text` for string `string`: the empty line its
// entry ends with, which gives the string a line break at its end ("the entry ends with an empty
// line"), as a range of the script's bytes; none when the entry has no such line.
struct ScriptCut {
    size_t start = 0;
    size_t length = 0;
};
[[nodiscard]] std::optional<ScriptCut> TrailingEmptyLineCut(const LiveChecks& checks, std::string_view text,
                                                           unsigned string);

// The line the insertion's log ends with: "; Room: 3,151 of 23,063 bytes used, 19,912 left." When
// over, it names the strings whose entries grew most since the last insertion or save.
[[nodiscard]] std::string InsertionRoomLine(const LiveChecks& checks);

}  // namespace corv::editor
