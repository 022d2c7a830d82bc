#include "editor/logic/script_search.h"

#include <algorithm>

namespace corv::editor {
namespace {

// Latin-1 lower case: A-Z and the letters from C0 to DE but the multiplication sign D7.
unsigned char folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    const bool upper = (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
    return upper ? static_cast<unsigned char>(byte + 0x20) : byte;
}

bool sameChar(char a, char b) { return folded(a) == folded(b); }

// Letters of ASCII and Latin-1 (the multiplication and division signs are none), digits and the
// underscore.
bool wordChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '_' || byte == 0xAA || byte == 0xB5 || byte == 0xBA ||
           (byte >= 0xC0 && byte != 0xD7 && byte != 0xF7);
}

bool sameText(std::string_view a, std::string_view b, bool matchCase) {
    return matchCase ? a == b : std::equal(a.begin(), a.end(), b.begin(), b.end(), sameChar);
}

// `needle` at `at` (which leaves room for it), with the word condition when asked.
bool matchAt(std::string_view text, size_t at, std::string_view needle, const SearchOptions& options) {
    if (!sameText(text.substr(at, needle.size()), needle, options.matchCase)) return false;
    if (!options.wholeWord) return true;
    const size_t end = at + needle.size();
    return (at == 0 || !wordChar(text[at - 1])) && (end == text.size() || !wordChar(text[end]));
}

// The first match starting in [from, text end).
std::optional<size_t> findFrom(std::string_view text, std::string_view needle, size_t from,
                               const SearchOptions& options) {
    if (needle.size() > text.size()) return std::nullopt;
    for (size_t at = from; at + needle.size() <= text.size(); ++at) {
        if (matchAt(text, at, needle, options)) return at;
    }
    return std::nullopt;
}

// The last match starting before `before`.
std::optional<size_t> findBefore(std::string_view text, std::string_view needle, size_t before,
                                 const SearchOptions& options) {
    if (needle.size() > text.size()) return std::nullopt;
    for (size_t at = std::min(before, text.size() - needle.size() + 1); at-- > 0;) {
        if (matchAt(text, at, needle, options)) return at;
    }
    return std::nullopt;
}

}  // namespace

bool SameIgnoringCase(std::string_view a, std::string_view b) { return sameText(a, b, false); }

bool MatchesAt(std::string_view text, TextMatch match, std::string_view needle, const SearchOptions& options) {
    return !needle.empty() && match.length == needle.size() && match.start <= text.size() &&
           needle.size() <= text.size() - match.start && matchAt(text, match.start, needle, options);
}

std::optional<TextMatch> FindInText(std::string_view text, std::string_view needle, size_t from,
                                    const SearchOptions& options) {
    if (needle.empty()) return std::nullopt;
    from = std::min(from, text.size());
    std::optional<size_t> at;
    if (options.backwards) {
        at = findBefore(text, needle, from, options);
        if (!at) at = findBefore(text, needle, text.size(), options);
    } else {
        at = findFrom(text, needle, from, options);
        if (!at) at = findFrom(text, needle, 0, options);
    }
    if (!at) return std::nullopt;
    return TextMatch{*at, needle.size()};
}

ReplacedStretch ReplaceAllInText(std::string_view text, std::string_view needle, std::string_view replacement,
                                 const SearchOptions& options) {
    ReplacedStretch result;
    if (needle.empty()) return result;
    size_t copied = 0;  // the end of what the stretch holds so far
    for (std::optional<size_t> at = findFrom(text, needle, 0, options); at;
         at = findFrom(text, needle, *at + needle.size(), options)) {
        if (result.count == 0) {
            result.start = *at;
        } else {
            result.replacement.append(text.substr(copied, *at - copied));
        }
        result.replacement.append(replacement);
        copied = *at + needle.size();
        ++result.count;
    }
    result.length = result.count == 0 ? 0 : copied - result.start;
    return result;
}

size_t CaretAfterReplace(size_t caret, const ReplacedStretch& stretch) {
    const size_t end = stretch.start + stretch.length;
    if (caret <= stretch.start) return caret;
    if (caret >= end) return caret - stretch.length + stretch.replacement.size();
    return stretch.start;
}

std::string NotFoundMessage(std::string_view findText) {
    return "\"" + std::string(findText) + "\" was not found in the script.";
}

std::string ReplacedMessage(size_t count, std::string_view findText) {
    return "Replaced " + std::to_string(count) + " occurrence(s) of \"" + std::string(findText) + "\".";
}

}  // namespace corv::editor
