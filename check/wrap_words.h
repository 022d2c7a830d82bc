#pragma once
// The pieces the box wrap moves: a line's words and the spaces between them, its segments
// between "[NEWLINE]" codes, and the units a word too long for the box is cut into. Codes and
// escapes are never split: a space inside brackets is no break point.

#include <string>
#include <string_view>
#include <vector>

namespace corv::check {

struct LineWords {
    std::vector<std::string_view> words;       // leading spaces belong to the first, trailing ones to the last
    std::vector<std::string_view> separators;  // separators[i] stands between words[i] and words[i + 1]
};

// Words of `text`; a text of spaces only is one word.
[[nodiscard]] LineWords SplitWords(std::string_view text);

struct Segment {
    std::string_view text;
    std::string_view newline;  // the "[NEWLINE]" code as written before this segment; empty for the first
};

// The parts of a line between its "[NEWLINE]" codes (at least one, possibly empty).
[[nodiscard]] std::vector<Segment> SplitAtNewlines(std::string_view line);

// The smallest pieces of a word that may end up on two rows: single characters, and codes and
// escapes whole.
[[nodiscard]] std::vector<std::string_view> WordUnits(std::string_view word);

// Joins the lines of a paragraph for a reflow: the spaces where two lines meet, and every run of
// spaces between words, become one space.
[[nodiscard]] std::string JoinForReflow(std::string_view joined, std::string_view next);

}  // namespace corv::check
