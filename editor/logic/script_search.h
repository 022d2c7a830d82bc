#pragma once
// Find and Replace in the script text: matches ignore case (the letters of ASCII and Latin-1, as
// the script holds one byte a character), the search runs from a position to the end and then
// once more from the start, and Replace All changes one stretch of the text, so that the editor
// makes it one edit (one undo step, one change).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace corv::editor {

struct TextMatch {
    size_t start = 0;
    size_t length = 0;
};

// True when `a` and `b` hold the same characters ignoring case.
[[nodiscard]] bool SameIgnoringCase(std::string_view a, std::string_view b);

// The first match of `needle` at `from` or after it, else the first one from the start.
// std::nullopt for an empty needle or when there is none.
[[nodiscard]] std::optional<TextMatch> FindIgnoringCase(std::string_view text, std::string_view needle, size_t from);

// Every match of `needle` replaced by `replacement`, matches found from the start of the text and
// never overlapping: the stretch from the first match's start to the last match's end, and what
// takes its place.
struct ReplacedStretch {
    size_t count = 0;
    size_t start = 0;
    size_t length = 0;         // of the stretch in the old text
    std::string replacement;   // the stretch as it becomes
};
[[nodiscard]] ReplacedStretch ReplaceAllIgnoringCase(std::string_view text, std::string_view needle,
                                                     std::string_view replacement);

}  // namespace corv::editor
