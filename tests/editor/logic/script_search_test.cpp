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
