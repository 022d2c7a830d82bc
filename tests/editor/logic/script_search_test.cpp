// Find and Replace in the script text: case, the wrap past the end, and Replace All as one
// stretch that gives the same text as replacing match by match.

#include <gtest/gtest.h>

#include "editor/logic/script_search.h"

namespace corv::editor {
namespace {

std::string applied(const std::string& text, const ReplacedStretch& stretch) {
    std::string out = text;
    out.replace(stretch.start, stretch.length, stretch.replacement);
    return out;
}

TEST(ScriptSearch, FindIgnoresTheCaseOfAsciiAndLatin1LettersAndWrapsOnce) {
    const std::string text = "Der B\xC4R und der b\xE4r\n.STRING 2\n";
    EXPECT_EQ(FindIgnoringCase(text, "b\xE4r", 0)->start, 4u);
    EXPECT_EQ(FindIgnoringCase(text, "B\xC4R", 5)->start, 16u);
    // Past the last match: once more from the start.
    EXPECT_EQ(FindIgnoringCase(text, "b\xE4r", 17)->start, 4u);
    EXPECT_EQ(FindIgnoringCase(text, ".string 2", 0)->length, 9u);
    // The multiplication and division signs are no letters of one case.
    EXPECT_FALSE(FindIgnoringCase("2\xD7" "3", "2\xF7" "3", 0).has_value());
    EXPECT_FALSE(FindIgnoringCase(text, "", 0).has_value());
    EXPECT_FALSE(FindIgnoringCase(text, "missing", 0).has_value());
    EXPECT_EQ(FindIgnoringCase(text, "der", text.size() + 10)->start, 0u);
    EXPECT_TRUE(SameIgnoringCase("\xC9T\xC9", "\xE9t\xE9"));
    EXPECT_FALSE(SameIgnoringCase("ab", "abc"));
}

TEST(ScriptSearch, EveryAccentedLatin1LetterMatchesItsOtherCase) {
    int pairs = 0;
    for (unsigned upper = 0xC0; upper <= 0xDE; ++upper) {
        if (upper == 0xD7) continue;  // the multiplication sign
        const std::string big(1, char(upper));
        const std::string small(1, char(upper + 0x20));
        const std::string text = "x" + small + "y " + big;
        EXPECT_EQ(FindIgnoringCase(text, big, 0)->start, 1u) << upper;
        EXPECT_EQ(FindIgnoringCase(text, small, 2)->start, 4u) << upper;
        EXPECT_TRUE(SameIgnoringCase(big, small)) << upper;
        EXPECT_EQ(ReplaceAllIgnoringCase(text, big, "-").count, 2u) << upper;
        ++pairs;
    }
    EXPECT_EQ(pairs, 30);
    // Letters without an upper case in Latin-1 match only themselves.
    for (const char lone : {'\xDF', '\xFF', '\xB5', '\xAA', '\xBA'}) {
        const std::string text = std::string("ab") + lone;
        EXPECT_EQ(FindIgnoringCase(text, std::string(1, lone), 0)->start, 2u);
        EXPECT_FALSE(SameIgnoringCase(std::string(1, lone), std::string(1, char(lone - 0x20))));
    }
    EXPECT_FALSE(SameIgnoringCase("SS", "\xDF"));
    // The words a European translator searches for.
    const std::string script = "Gr\xFC\xDF dich, Se\xF1or!\nCaf\xE9 for Jos\xE9.\n";
    EXPECT_EQ(FindIgnoringCase(script, "GR\xDC\xDF", 0)->start, 0u);
    EXPECT_EQ(FindIgnoringCase(script, "SE\xD1OR", 0)->start, 11u);
    EXPECT_EQ(FindIgnoringCase(script, "jos\xC9", 0)->start, 27u);
}

TEST(ScriptSearch, ReplaceAllChangesOneStretchFromTheFirstMatchToTheLast) {
    const std::string text = "x aa Aa b aA y";
    const ReplacedStretch stretch = ReplaceAllIgnoringCase(text, "aa", "[NAME]");
    EXPECT_EQ(stretch.count, 3u);
    EXPECT_EQ(stretch.start, 2u);
    EXPECT_EQ(stretch.length, 10u);
    EXPECT_EQ(applied(text, stretch), "x [NAME] [NAME] b [NAME] y");

    // Matches never overlap, and a replacement holding the needle is not searched again.
    EXPECT_EQ(applied("aaaa a", ReplaceAllIgnoringCase("aaaa a", "aa", "aaa")), "aaaaaa a");
    EXPECT_EQ(ReplaceAllIgnoringCase("aaa", "aa", "").count, 1u);
    // An empty replacement deletes; no match or no needle changes nothing.
    EXPECT_EQ(applied("one, two, three", ReplaceAllIgnoringCase("one, two, three", ", ", "")), "onetwothree");
    const ReplacedStretch none = ReplaceAllIgnoringCase(text, "zz", "q");
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(applied(text, none), text);
    EXPECT_EQ(ReplaceAllIgnoringCase(text, "", "q").count, 0u);
}

}  // namespace
}  // namespace corv::editor
