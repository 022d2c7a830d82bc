// The box wrap: exact widths at the box's edge, the pieces it never splits, manual breaks,
// reflow, pages, and wrapped text that passes the checks and wraps to itself.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "check/box_wrap.h"
#include "check/finding_text.h"
#include "check/script_wrap.h"
#include "check/string_check_support.h"
#include "script/character_map.h"

namespace corv::check {
namespace {

using ::testing::ElementsAre;
using Lines = std::vector<std::string>;

BoxMetrics Box(bool variableWidth, int width = 216, unsigned rows = 6) {
    BoxMetrics box;
    box.variableWidth = variableWidth;
    box.width = width;
    box.visibleRows = rows;
    return box;
}

Lines Wrap(const Lines& lines, const BoxMetrics& box, WrapOptions options = {}) {
    BoxWrapper wrapper(box, std::move(options));
    return wrapper.wrap(lines).lines;
}

int ChecksWidth(const std::string& line, const BoxMetrics& box) {
    const std::vector<int> rows = MeasureLineRows(line, box, {});
    return *std::max_element(rows.begin(), rows.end());
}

TEST(BoxWrap, FixedWidthCountsEightPixelsACharacter) {
    BoxWrapper wrapper(Box(false), {});
    EXPECT_EQ(wrapper.width("Hello you"), 9 * 8);
    EXPECT_EQ(wrapper.width("Hi[KEY][SFX][PAUSE$10][CLRWIN]"), 2 * 8);
}

TEST(BoxWrap, ALineOfExactlyTheBoxWidthStaysAndOnePixelMoreBreaks) {
    for (const bool variableWidth : {false, true}) {
        const std::string line = "Which way to the castle";
        const int exact = ChecksWidth(line, Box(variableWidth));
        EXPECT_THAT(Wrap({line}, Box(variableWidth, exact)), ElementsAre(line)) << variableWidth;
        EXPECT_THAT(Wrap({line}, Box(variableWidth, exact - 1)), ElementsAre("Which way to the", "castle"))
            << variableWidth;
    }
}

TEST(BoxWrap, LettersTheTableGivesAByteAreMeasuredAndCountedAsTheChecksDo) {
    // Without the table's lines these bytes are the key wait, the pause and the window clear.
    const std::vector<script::CharacterLine> lines = {{1, 0x7B, "\xF1"}, {2, 0x7C, "\xF0"}, {3, 0x7D, "\xFC"}};
    const script::CharacterMap map = script::BuildCharacterMap(lines).map;
    EXPECT_TRUE(RowsOfLine("ni\xF0o").endsPage);
    EXPECT_FALSE(RowsOfLine("ni\xF0o", map).endsPage);
    for (const bool variableWidth : {false, true}) {
        const BoxMetrics box = Box(variableWidth);
        BoxWrapper wrapper(box, {}, map);
        std::string paragraph;
        for (int i = 0; i < 12; ++i) paragraph += "ni\xF1o \xFC" "ber \xF0ve ";
        const auto measured = [&](const std::string& text) {
            const std::vector<int> rows = MeasureLineRows(text, box, map);
            return *std::max_element(rows.begin(), rows.end());
        };
        EXPECT_EQ(wrapper.width(paragraph), measured(paragraph)) << variableWidth;
        const WrappedEntry wrapped = wrapper.wrap(Lines{paragraph});
        ASSERT_GT(wrapped.lines.size(), 2u) << variableWidth;
        for (const std::string& line : wrapped.lines) {
            // A page break line holds codes only; every other line must fit as the checks draw it.
            EXPECT_LE(measured(line), box.width) << variableWidth << ": " << line;
        }
    }
}

TEST(BoxWrap, WidthsAreTheChecksWidthsForRandomText) {
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"a", "W", "i", "m", " ", ".", "!", "?", "1", "[KEY]", "[SFX]", "[PLAYER]",
                                             "[PAUSE$1E]", "[CLRWIN]", "[$41]", "[YES-NO][$1234][$5678]", "\xE9", "\xF4", "[X]"};
    for (const bool variableWidth : {false, true}) {
        BoxWrapper wrapper(Box(variableWidth), {});
        for (int i = 0; i < 300; ++i) {
            std::string line;
            const int count = int(random() % 20);
            for (int k = 0; k < count; ++k) line += pieces[random() % pieces.size()];
            EXPECT_EQ(wrapper.width(line), ChecksWidth(line, Box(variableWidth))) << line;
        }
    }
}

TEST(BoxWrap, CodesThatStandForTextTakeTheWidthTheProjectGives) {
    WrapOptions options;
    options.codeWidths.player = 50;
    options.codeWidths.number = 24;
    BoxWrapper wrapper(Box(true), options);
    EXPECT_EQ(wrapper.width("[PLAYER]"), 50);
    EXPECT_EQ(wrapper.width("[Player][MEM_NUM][MEM_TEXT]"), 74);
    BoxWrapper checks(Box(true), {});
    EXPECT_EQ(checks.width("[PLAYER]"), ChecksWidth("[PLAYER]", Box(true)));
    EXPECT_GT(checks.width("[PLAYER]"), 0);
    EXPECT_EQ(checks.width("[MEM_NUM][MEM_TEXT]"), 0);
}

TEST(BoxWrap, ASpaceInsideCodesIsNoBreakAndCodesStayWithTheirWord) {
    const Lines wrapped = Wrap({"aaaa[PAUSE$ 1] bbbb[KEY]"}, Box(false, 8 * 8));
    EXPECT_THAT(wrapped, ElementsAre("aaaa[PAUSE$ 1]", "bbbb[KEY]"));
}

TEST(BoxWrap, AWordWiderThanTheBoxIsCutBetweenCharactersAndCounted) {
    BoxWrapper wrapper(Box(false, 8 * 4), {});
    const WrappedEntry wrapped = wrapper.wrap(Lines{"ab abcdefghij[KEY] cd"});
    EXPECT_THAT(wrapped.lines, ElementsAre("ab", "abcd", "efgh", "ij[KEY]", "cd"));
    EXPECT_EQ(wrapped.cutWords, 1u);
}

TEST(BoxWrap, LinesTheTranslatorBrokeStayBrokenUnlessReflowed) {
    const BoxMetrics box = Box(false, 8 * 12);
    const Lines lines = {"One two", "three", "", "four five six seven"};
    EXPECT_THAT(Wrap(lines, box), ElementsAre("One two", "three", "", "four five", "six seven"));
    WrapOptions reflow;
    reflow.reflow = true;
    EXPECT_THAT(Wrap(lines, box, reflow), ElementsAre("One two", "three", "", "four five", "six seven"));
    EXPECT_THAT(Wrap({"One", "two  three", "four five"}, box, reflow), ElementsAre("One two", "three four", "five"));
    // A line that ends a page ends its paragraph.
    EXPECT_THAT(Wrap({"One[KEY]", "two"}, box, reflow), ElementsAre("One[KEY]", "two"));
}

TEST(BoxWrap, NewlineCodesStayBreaks) {
    EXPECT_THAT(Wrap({"aa bb[NEWLINE]cc dd ee"}, Box(false, 8 * 5)), ElementsAre("aa bb[NEWLINE]cc dd", "ee"));
}

TEST(BoxWrap, AFullPageEndsWithThePageBreakAndAKeyWaitStartsAPageToo) {
    const BoxMetrics box = Box(false, 8 * 5, 3);
    EXPECT_THAT(Wrap({"aa bb cc dd ee"}, box), ElementsAre("aa bb", "cc dd", "ee"));
    EXPECT_THAT(Wrap({"aa bb cc dd ee ff gg"}, box), ElementsAre("aa bb", "cc dd", "ee ff[Key][ClrWin]", "gg"));
    WrapOptions options;
    options.pageBreak = "[KEY]";
    EXPECT_THAT(Wrap({"a", "b[KEY]", "c", "d", "e", "f"}, box, options), ElementsAre("a", "b[KEY]", "c", "d", "e[KEY]", "f"));
    // A page that ends inside a line of "[NEWLINE]" codes: the code becomes the script's line break.
    EXPECT_THAT(Wrap({"a[NEWLINE]b[NEWLINE]c[NEWLINE]d"}, box), ElementsAre("a[NEWLINE]b[NEWLINE]c[Key][ClrWin]", "d"));
}

TEST(BoxWrap, PageBreaksMustEndAPageAndDrawNothing) {
    EXPECT_TRUE(IsUsablePageBreak("[Key][ClrWin]"));
    EXPECT_TRUE(IsUsablePageBreak("[KEY]"));
    EXPECT_TRUE(IsUsablePageBreak("[PAUSE$1E][CLRWIN]"));
    EXPECT_FALSE(IsUsablePageBreak(""));
    EXPECT_FALSE(IsUsablePageBreak("[SFX]"));
    EXPECT_FALSE(IsUsablePageBreak("[KEY]x"));
    EXPECT_FALSE(IsUsablePageBreak("[KEY][NEWLINE]"));
    EXPECT_FALSE(IsUsablePageBreak("[CLRWIN][CLRWIN]"));
    EXPECT_FALSE(IsUsablePageBreak("[KEY]$05]"));
    EXPECT_FALSE(IsUsablePageBreak("[KEY][PLAYER]"));
}

// Random paragraphs of words and codes: the wrapped entry passes the checks' width and row
// findings, and wrapping it again changes nothing.
TEST(BoxWrap, WrappedTextPassesTheChecksAndWrapsToItself) {
    std::mt19937 random(11);
    const std::vector<std::string> words = {"the", "dragon", "sleeps", "in", "Wimbledon", "tower,", "my", "friend.",
                                            "[PLAYER]", "you[SFX]", "[PAUSE$10]now", "again[KEY]", "well[CLRWIN]",
                                            "[YES-NO][$1234][$5678]", "I'm", "[$41]b", "[MEM_NUM]", "x[NEWLINE]y"};
    for (const bool variableWidth : {false, true}) {
        for (const bool reflow : {false, true}) {
            const BoxMetrics box = Box(variableWidth);
            WrapOptions options;
            options.reflow = reflow;
            BoxWrapper wrapper(box, options);
            for (int entry = 0; entry < 150; ++entry) {
                Lines lines(1 + random() % 4);
                for (std::string& line : lines) {
                    const int count = int(random() % 60);
                    for (int k = 0; k < count; ++k) line += (k > 0 ? (random() % 9 == 0 ? "  " : " ") : "") + words[random() % words.size()];
                }
                const Lines wrapped = wrapper.wrap(lines).lines;
                EXPECT_EQ(wrapper.wrap(wrapped).lines, wrapped) << variableWidth << reflow;
                std::string script = ".STRING 0\n";
                for (const std::string& line : wrapped) script += line + "\n";
                for (const Finding& finding : testing_support::CheckEntry(script + ".ENDS\n", 0, {}, box)) {
                    EXPECT_NE(finding.kind, FindingKind::LineTooWide) << script;
                    EXPECT_NE(finding.kind, FindingKind::LineBeyondBox) << script;
                }
            }
        }
    }
}

TEST(BoxWrap, RowsOfALineAreTheChecksRows) {
    EXPECT_EQ(RowsOfLine("plain").rows, 1u);
    EXPECT_FALSE(RowsOfLine("plain").endsPage);
    EXPECT_EQ(RowsOfLine("a[NEWLINE]b[$FD]c").rows, 3u);
    EXPECT_TRUE(RowsOfLine("a[CLRWIN]b").endsPage);
    EXPECT_TRUE(RowsOfLine("a[$F0]").endsPage);
}

}  // namespace
}  // namespace corv::check

namespace corv::check {
namespace {

TEST(ScriptWrap, OnlyTheTextOfClosedEntriesChanges) {
    BoxMetrics box;
    box.width = 8 * 12;
    BoxWrapper wrapper(box, {});
    const std::string script =
        "// long comment line outside every entry stays\n"
        ".STRING 0\nOne two three four\n.ENDS\n"
        ".STRING 1\nAlready fine\n.ENDS\n"
        ".STRING 2\nNo closing line here at all\n";
    const ScriptWrap wrapped = WrapScript(script, wrapper);
    EXPECT_EQ(wrapped.text,
              "// long comment line outside every entry stays\n"
              ".STRING 0\nOne two\nthree four\n.ENDS\n"
              ".STRING 1\nAlready fine\n.ENDS\n"
              ".STRING 2\nNo closing line here at all\n");
    EXPECT_EQ(wrapped.entriesChanged, 1u);
    EXPECT_EQ(WrapScript(wrapped.text, wrapper).text, wrapped.text);
}

TEST(ScriptWrap, AWrapThatWouldCloseTheEntryLeavesItAsItIs) {
    BoxMetrics box;
    box.width = 8 * 6;
    BoxWrapper wrapper(box, {});
    const std::string script = ".STRING 3\nHello .ENDS\n.ENDS\n.STRING 4\nabcdefghijklmn\n.ENDS\n";
    const ScriptWrap wrapped = WrapScript(script, wrapper);
    EXPECT_EQ(wrapped.text, ".STRING 3\nHello .ENDS\n.ENDS\n.STRING 4\nabcdef\nghijkl\nmn\n.ENDS\n");
    EXPECT_THAT(wrapped.keptEntries, ElementsAre(3u));
    EXPECT_THAT(wrapped.cutEntries, ElementsAre(4u));
    EXPECT_EQ(wrapped.entriesChanged, 1u);
}

}  // namespace
}  // namespace corv::check

namespace corv::check {
namespace {

TEST(WrapFindings, ALineTooWideSaysWhatWrappingWouldDo) {
    BoxMetrics box;
    box.visibleRows = 3;
    const std::string longLine = "one two three four five six seven eight nine ten eleven twelve thirteen";
    const auto wide = testing_support::CheckEntry(".STRING 0\n" + longLine + "\n.ENDS\n", 0, {}, box);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].wrappedRows, 3);
    EXPECT_EQ(wide[0].wrappedOver, 0);
    EXPECT_NE(FindingMessage(wide[0], box).find("; wraps into 3 lines"), std::string::npos);
    // Two rows before it on the page: the three wrapped rows run two past it.
    const auto over = testing_support::CheckEntry(".STRING 0\na\nb\n" + longLine + "\n.ENDS\n", 0, {}, box);
    ASSERT_FALSE(over.empty());
    EXPECT_EQ(over[0].kind, FindingKind::LineTooWide);
    EXPECT_EQ(over[0].wrappedOver, 2);
    EXPECT_NE(FindingMessage(over[0], box).find("; does not fit even wrapped: 2 rows over"), std::string::npos);
}

}  // namespace
}  // namespace corv::check
