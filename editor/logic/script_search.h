#pragma once
// Find and Replace in the script text: matches ignore case (the letters of ASCII and Latin-1, as
// the script holds one byte a character) unless asked otherwise, the search runs from a position
// to the end and then once more from the start (or backwards to the start and then once more
// from the end), and Replace All changes one stretch of the text, so that the editor makes it one
// edit (one undo step, one change).
//
// The desktop's Text Editor searches with the default options; the browser's page lets the
// translator also match case, whole words only and search backwards.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace corv::editor {

struct TextMatch {
    size_t start = 0;
    size_t length = 0;
    friend bool operator==(const TextMatch&, const TextMatch&) = default;
};

struct SearchOptions {
    bool matchCase = false;
    // A match neither starts nor ends inside a word: the characters either side of it are no
    // letters (ASCII or Latin-1), digits or underscores.
    bool wholeWord = false;
    bool backwards = false;
};

// True when `a` and `b` hold the same characters ignoring case.
[[nodiscard]] bool SameIgnoringCase(std::string_view a, std::string_view b);

// True when `match` in `text` holds `needle` as `options` compare (the direction aside): the
// selection that Replace replaces.
[[nodiscard]] bool MatchesAt(std::string_view text, TextMatch match, std::string_view needle,
                             const SearchOptions& options);

// Forwards: the first match starting at `from` or after it, else the first one from the start.
// Backwards: the last match starting before `from`, else the last one of the text.
// std::nullopt for an empty needle or when there is none.
[[nodiscard]] std::optional<TextMatch> FindInText(std::string_view text, std::string_view needle, size_t from,
                                                  const SearchOptions& options);
[[nodiscard]] inline std::optional<TextMatch> FindIgnoringCase(std::string_view text, std::string_view needle,
                                                               size_t from) {
    return FindInText(text, needle, from, {});
}

// Every match of `needle` replaced by `replacement`, matches found from the start of the text and
// never overlapping (the direction aside): the stretch from the first match's start to the last
// match's end, and what takes its place.
struct ReplacedStretch {
    size_t count = 0;
    size_t start = 0;
    size_t length = 0;         // of the stretch in the old text
    std::string replacement;   // the stretch as it becomes
};
[[nodiscard]] ReplacedStretch ReplaceAllInText(std::string_view text, std::string_view needle,
                                               std::string_view replacement, const SearchOptions& options);
[[nodiscard]] inline ReplacedStretch ReplaceAllIgnoringCase(std::string_view text, std::string_view needle,
                                                            std::string_view replacement) {
    return ReplaceAllInText(text, needle, replacement, {});
}
// Where a caret at `caret` stands once `stretch` replaced its part of the text: it stays by the
// text it was in, and one inside the stretch goes to its start.
[[nodiscard]] size_t CaretAfterReplace(size_t caret, const ReplacedStretch& stretch);

// The messages of a search, quoting the find text as the translator typed it (UTF-8).
[[nodiscard]] std::string NotFoundMessage(std::string_view findText);
[[nodiscard]] std::string ReplacedMessage(size_t count, std::string_view findText);

}  // namespace corv::editor
