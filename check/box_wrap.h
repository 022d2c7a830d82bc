#pragma once
// Wrapping a script entry to the lower text box: lines broken at spaces so that none is drawn
// wider than the box, and pages ended with a page break sequence once the box's rows are full.
// Widths are the ones the checks measure (check/box_lines.h), so wrapped text passes the
// checks' width and row findings by construction.
//
// What the wrap keeps: every line the translator wrote stays a line of its own (a paragraph),
// unless `reflow` joins the lines of a paragraph again; a "[NEWLINE]" code always stays a break;
// words, codes and the spaces between words that stay on one line are never changed. A break
// drops the spaces it falls on. A code stays with the word it is written against: only spaces
// outside brackets are break points. Wrapping wrapped text changes nothing.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/box_lines.h"

namespace corv::check {

// What the game's own strings end a page with before the next one: a key wait, then the
// window clear that starts the next page on an empty box.
inline constexpr std::string_view kDefaultPageBreak = "[Key][ClrWin]";

// Pixels of the codes that stand for text in the game. Unset: what the checks assume, the
// "[Player]" label's width for the player's name and nothing for the two memory codes.
struct CodeWidths {
    std::optional<int> player;
    std::optional<int> number;      // [MEM_NUM]
    std::optional<int> memoryText;  // [MEM_TEXT]
};

struct WrapOptions {
    std::string pageBreak = std::string(kDefaultPageBreak);  // must pass IsUsablePageBreak
    bool reflow = false;  // join the lines of each paragraph before wrapping them again
    CodeWidths codeWidths;
};

// A page break sequence the wrap can use: keywords only ([KEY], [CLRWIN] at most once,
// [PAUSE$hh], [SFX]), at least one [KEY] or [CLRWIN] so that it ends a page, no line break and
// nothing drawn, at most 64 characters.
[[nodiscard]] bool IsUsablePageBreak(std::string_view sequence);

struct WrappedEntry {
    std::vector<std::string> lines;
    unsigned cutWords = 0;  // words wider than the box alone, cut between two characters
    bool changed = false;   // lines differ from the entry's
};

// The rows the checks count for one script line (1 + its line breaks) and whether the line
// ends a page (it holds a key wait or a window clear).
struct LineRows {
    unsigned rows = 1;
    bool endsPage = false;
};
// `characters`: the table's character map (a mapped letter is no code).
[[nodiscard]] LineRows RowsOfLine(std::string_view line, const script::CharacterMap& characters = {});

// Wraps entries for one box. Keeps a cache of character widths, so one wrapper serves a whole
// block; not to be shared between threads.
class BoxWrapper {
public:
    // `characters`: the table file's character map, by which the checks measure letters.
    BoxWrapper(const BoxMetrics& box, WrapOptions options, const script::CharacterMap& characters = {});

    // `lines`: the text lines of an entry (between its ".STRING" and ".ENDS" lines).
    [[nodiscard]] WrappedEntry wrap(std::span<const std::string> lines);

    // The rows one line is broken into, without page breaks (at least 1).
    [[nodiscard]] unsigned rowsWrapped(std::string_view line);

    // The drawn width of `text` as the wrap counts it: the checks' width, with the codes that
    // stand for text at their CodeWidths.
    [[nodiscard]] int width(std::string_view text);

private:
    [[nodiscard]] std::vector<std::string> wrapSegment(std::string_view segment, unsigned& cutWords);
    [[nodiscard]] int additiveWidth(std::string_view text);
    [[nodiscard]] int exactWidth(std::string_view text);
    [[nodiscard]] int advanceOf(unsigned char character);
    [[nodiscard]] int codeWidth(uint8_t kind) const;
    [[nodiscard]] std::vector<std::string> paragraphs(std::span<const std::string> lines) const;

    BoxMetrics box_;
    WrapOptions options_;
    script::CharacterMap characters_;
    int labelWidth_ = 0;  // the "[Player]" label as the checks measure it
    std::array<int, 256> advance_{};  // per character, -1 until measured
};

}  // namespace corv::check
