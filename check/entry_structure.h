#pragma once
// The shape of script entries, which the entry lookup does not check: an entry whose ".ENDS" is
// missing or mistyped runs on through the next entry's ".STRING" line into the next string; a
// line of text outside the entries, or an entry for a string the block lacks, is silently ignored; and an entry that ends with an
// empty line gives the game string a line break at its end.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/string_check.h"
#include "script/script_file.h"
#include "script/script_text.h"

namespace corv::check {

// True for a line that is no keyword line but looks like a mistyped one: its first word is
// ".ENDS" or ".STRING" written with one or two letters wrong, missing or added ("XENDS", ".END",
// ".STRNG 4"), and a number at most follows it.
[[nodiscard]] bool LooksLikeMistypedKeyword(std::string_view line);

// The findings on the entry of string `number`, copied from its opening line: EntryRunsOn when a
// ".STRING" line stands inside it and a closing line follows (else the entry is not closed at all), TrailingLineBreak when its last line is empty and the game
// string (`gameString`, empty when unknown) does not end with a line break.
[[nodiscard]] std::vector<Finding> CheckEntryStructure(const script::EntryCopy& copy, unsigned number,
                                                       std::span<const uint8_t> gameString);

// The line (0-based) of a second opening line of string `number` after its entry's opening line
// `openingLine`, or std::nullopt. The lookup takes the first, so the second entry is never
// inserted: a keyword line pasted into an entry ("Hi", ".ENDS", ".STRING 3", "text") makes one.
// `text` is script.text(), which the caller has at hand.
[[nodiscard]] std::optional<int> FindSecondOpening(std::string_view text, const script::ScriptText& script,
                                                   unsigned number, int openingLine);

// The line (0-based) of a closing line that follows the entry's own closing line `closingLine`
// with lines between and no line that may open an entry before it, or std::nullopt: the lines
// between stand outside every entry (a ".ENDS" pasted into the entry closed it early).
[[nodiscard]] std::optional<int> FindStrayClosingLine(const script::ScriptText& script, int closingLine);

// A line that no string of the block takes: outside every entry, or opening an entry for a
// string the block does not have.
enum class StrayKind {
    MistypedKeyword,  // outside every entry, it looks like a mistyped keyword line
    Text,             // other text outside every entry (neither blank nor a "//" comment line)
    PastBlock,        // the opening line of an entry for a string number past the block's
};
struct StrayLine {
    int scriptLine = 0;                  // 1 for the first line of the script
    std::optional<unsigned> afterString;  // the string whose entry came last before it
    std::string text;
    StrayKind kind = StrayKind::MistypedKeyword;
};

// True for a line that is no part of the script's structure wherever it stands: blank, or a
// comment line ("//" after any blanks).
[[nodiscard]] bool IsBlankOrCommentLine(std::string_view line);

// The stray lines of a script for a block of `stringCount` strings. Text between an entry's
// ".ENDS" and a second ".ENDS" is left out: the second one is named for it (FindStrayClosingLine).
[[nodiscard]] std::vector<StrayLine> FindStrayLines(const script::ScriptText& script, unsigned stringCount);

}  // namespace corv::check
