#include "script/entry_words.h"

#include <algorithm>

#include "core/ascii.h"

namespace corv::script {

namespace {

// Blanks and control characters, the characters trimmed around a closing line.
bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; }

std::string_view trimmedForClosing(std::string_view line) {
    while (!line.empty() && isTrimmed(line.front())) line.remove_prefix(1);
    while (!line.empty() && isTrimmed(line.back())) line.remove_suffix(1);
    return line;
}

bool isBlankCharacter(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::string EntrySearchText(int stringNumber) { return std::string(kOpeningKeyword) + " " + std::to_string(stringNumber); }

bool HoldsOpeningKeyword(std::string_view line) { return core::FindIgnoringCase(line, kOpeningKeyword) != std::string_view::npos; }

bool OpensEntry(std::string_view line, unsigned number) {
    const std::string search = EntrySearchText(int(number));
    size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    const std::string_view rest = line.substr(start);
    return core::StartsWithIgnoringCase(rest, search) &&
           (rest.size() == search.size() || rest[search.size()] < '0' || rest[search.size()] > '9');
}

bool ActsAsKeywordLine(std::string_view line) {
    return HoldsOpeningKeyword(line) || core::EqualsIgnoringCase(trimmedForClosing(line), kClosingKeyword);
}

bool IsEntryClosingLine(std::string_view line) { return trimmedForClosing(line) == kClosingKeyword; }

bool IsBlankLine(std::string_view line) { return std::all_of(line.begin(), line.end(), isBlankCharacter); }

bool EntryHoldsText(std::span<const std::string> lines) {
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return !IsBlankLine(line); });
}

}  // namespace corv::script
