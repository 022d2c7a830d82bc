#pragma once
// The words of the script format, answered once for every reader: the two entry keywords, the
// line that opens an entry, the line that closes one, and what counts as text in an entry.
// Letter case is the ASCII one (core/ascii.h), never the locale's.

#include <span>
#include <string>
#include <string_view>

namespace corv::script {

inline constexpr std::string_view kOpeningKeyword = ".STRING";
inline constexpr std::string_view kClosingKeyword = ".ENDS";

// ".STRING %d": what the entry lookup searches for, ignoring case, also inside a line.
[[nodiscard]] std::string EntrySearchText(int stringNumber);

// True for a line holding ".STRING" anywhere, in any letter case: the lookup of some string may
// take it for that string's opening line.
[[nodiscard]] bool HoldsOpeningKeyword(std::string_view line);

// True for the line that opens string `number`'s entry: after blanks and tabs, ".STRING n" in any
// letter case with no further digit (".STRING 1" inside ".STRING 10" or a comment opens nothing).
[[nodiscard]] bool OpensEntry(std::string_view line, unsigned number);

// True for a line that the script's reader may take as structure rather than text, in any
// letter case and with any blanks around it: one that holds ".STRING" anywhere (the entry
// lookup searches for ".STRING n" as plain text, also inside a line) or that reads ".ENDS" once
// blanks and control characters are trimmed. Text from elsewhere (a translation from a PO
// file) holding such a line could open or close entries.
[[nodiscard]] bool ActsAsKeywordLine(std::string_view line);

// True for a line that closes an entry: ".ENDS" once blanks and control characters are trimmed
// from both ends (case-sensitive).
[[nodiscard]] bool IsEntryClosingLine(std::string_view line);

// True for a line of nothing but blanks, tabs and carriage returns. A CR is what a Windows line
// end leaves in a script whose other line ends are LF alone: no translator's text.
[[nodiscard]] bool IsBlankLine(std::string_view line);

// True when some line of an entry (the lines between its opening and closing line) is not blank:
// the entry is a translation. A skeleton's empty lines are none; "[NEWLINE]" is text.
[[nodiscard]] bool EntryHoldsText(std::span<const std::string> lines);

}  // namespace corv::script
