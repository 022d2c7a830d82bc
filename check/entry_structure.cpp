#include "check/entry_structure.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "check/translated_string.h"
#include "script/control_codes.h"
#include "script/entry_words.h"
#include "core/ascii.h"
#include "core/byte_order.h"
#include "script/text_lines.h"

namespace corv::check {
namespace {

using script::kClosingKeyword;
using script::kOpeningKeyword;

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= ' ') line.remove_prefix(1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.remove_suffix(1);
    return line;
}

// A line the lookup of some string would take for its opening line.
bool isOpeningLine(std::string_view line) { return script::StartsWithIgnoringCase(trimmed(line), kOpeningKeyword); }

std::optional<unsigned> openedString(std::string_view line) {
    const std::string_view rest = trimmed(line).substr(std::min(trimmed(line).size(), kOpeningKeyword.size()));
    const auto words = script::SplitWords(rest);
    if (words.empty() || !std::all_of(words[0].begin(), words[0].end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(std::string(words[0].substr(0, 9))));
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool isNumber(std::string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// The last word before the string's end, skipping the two parameter words of a yes/no choice.
bool gameStringEndsWithLineBreak(std::span<const uint8_t> string) {
    constexpr uint16_t kEnd = 0xFFFF;
    uint16_t last = kEnd;
    for (size_t at = 0; at + 1 < string.size(); at += 2) {
        const uint16_t word = core::readLe16(string, at);
        if (word == kEnd) break;
        last = word;
        if ((word >> 8) == script::kCodeYesNo) at += 4;
    }
    return last != kEnd && (last >> 8) == script::kCodeNewLine;
}

}  // namespace

bool LooksLikeMistypedKeyword(std::string_view line) {
    const auto words = script::SplitWords(trimmed(line));
    if (words.empty() || words.size() > 2 || (words.size() == 2 && !isNumber(words[1]))) return false;
    const std::string word = upper(words[0]);
    if (word == kClosingKeyword || word == kOpeningKeyword) return false;
    // Compared without the leading dot, which is itself one of the letters that can go wrong;
    // words of three letters or fewer ("END" aside) are too short to tell.
    const std::string_view bare = std::string_view(word).substr(word.front() == '.' ? 1 : 0);
    if (bare.size() < 3) return false;
    const size_t allowed = word.front() == '.' ? 2 : 1;
    return editDistance(bare, kClosingKeyword.substr(1)) <= std::min<size_t>(allowed, bare.size() - 2) ||
           editDistance(bare, kOpeningKeyword.substr(1)) <= allowed;
}

std::vector<Finding> CheckEntryStructure(const script::EntryCopy& copy, unsigned number, std::span<const uint8_t> gameString) {
    std::vector<Finding> findings;
    const size_t textEnd = copy.lines.size() - (copy.closed ? 1 : 0);
    // An entry without any closing line after it is reported as not closed: it runs on to the
    // end of the script, not just into the next entry.
    for (size_t i = 1; copy.closed && i < textEnd; ++i) {
        if (!isOpeningLine(copy.lines[i])) continue;
        // Where the entry should have ended: at a mistyped closing line before the opening
        // line, else right before the opening line.
        size_t end = i;
        for (size_t k = 1; k < i; ++k) {
            if (LooksLikeMistypedKeyword(copy.lines[k])) end = k;
        }
        // The next string's number goes in `amount` (-1 when the line names none), the line
        // where the entry should have ended in `subject`.
        const auto next = openedString(copy.lines[i]);
        findings.push_back({FindingKind::EntryRunsOn, number, int(end), next ? int(*next) : -1, 0, copy.lines[end]});
        return findings;  // the lines after it belong to the next string
    }
    const auto holdsText = [&] { return script::EntryHoldsText(std::span(copy.lines).subspan(1, textEnd - 1)); };
    if (textEnd >= 3 && holdsText() && copy.lines[textEnd - 1].empty() && !gameString.empty() &&
        !gameStringEndsWithLineBreak(gameString)) {
        findings.push_back({FindingKind::TrailingLineBreak, number, int(textEnd - 1), 0, 0, {}});
    }
    return findings;
}

std::optional<int> FindSecondOpening(std::string_view text, const script::ScriptText& script, unsigned number,
                                     int openingLine) {
    const std::string needle = script::EntrySearchText(int(number));
    // Every later place of the search text, on a line that opens exactly this string's entry.
    for (size_t at = core::FindIgnoringCase(text, needle); at != std::string::npos;
         at = core::FindIgnoringCase(text, needle, at + 1)) {
        const int line = script.lineOfPosition(at);
        if (line <= openingLine) continue;
        if (isOpeningLine(script.line(line)) && openedString(script.line(line)) == number) return line;
    }
    return std::nullopt;
}

std::optional<int> FindStrayClosingLine(const script::ScriptText& script, int closingLine) {
    for (int n = closingLine + 1; n < script.lineCount(); ++n) {
        const std::string line = script.line(n);
        if (script::HoldsOpeningKeyword(line)) return std::nullopt;
        if (script::IsEntryClosingLine(line)) {
            if (n == closingLine + 1) return std::nullopt;  // ".ENDS" twice in a row hides nothing
            return n;
        }
    }
    return std::nullopt;
}

bool IsBlankOrCommentLine(std::string_view line) {
    const std::string_view text = trimmed(line);
    return text.empty() || text.starts_with("//");
}

std::vector<StrayLine> FindStrayLines(const script::ScriptText& script, unsigned stringCount) {
    std::vector<StrayLine> stray;
    std::optional<unsigned> lastString;
    bool inside = false;
    bool afterClosing = false;  // outside, after an entry's closing line
    size_t sinceClosing = 0;    // the first stray line after that closing line
    for (int n = 0; n < script.lineCount(); ++n) {
        const std::string line = script.line(n);
        if (isOpeningLine(line)) {
            inside = true;
            afterClosing = false;
            const auto opened = openedString(line);
            if (opened) lastString = opened;
            if (opened && *opened >= stringCount) stray.push_back({n + 1, lastString, line, StrayKind::PastBlock});
        } else if (script::IsEntryClosingLine(line)) {
            // Text between two closing lines is the second one's finding.
            if (!inside && afterClosing) {
                std::erase_if(stray, [&, k = size_t{0}](const StrayLine& s) mutable {
                    return k++ >= sinceClosing && s.kind == StrayKind::Text;
                });
            }
            inside = false;
            afterClosing = true;
            sinceClosing = stray.size();
        } else if (!inside && LooksLikeMistypedKeyword(line)) {
            stray.push_back({n + 1, lastString, line, StrayKind::MistypedKeyword});
        } else if (!inside && !IsBlankOrCommentLine(line)) {
            stray.push_back({n + 1, lastString, line, StrayKind::Text});
        }
    }
    return stray;
}

}  // namespace corv::check
