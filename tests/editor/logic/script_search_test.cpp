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

TEST(ScriptSearch, MatchCaseWholeWordsAndBackwardsAsThePageAsksForThem) {
    const std::string text = "The cat, the Cat and the catalogue; the_cat \xE9the";
    SearchOptions caseMatched;
    caseMatched.matchCase = true;
    EXPECT_EQ(FindInText(text, "Cat", 0, caseMatched)->start, 13u);
    EXPECT_EQ(FindInText(text, "the", 1, caseMatched)->start, 9u);
    EXPECT_FALSE(FindInText(text, "CAT", 0, caseMatched).has_value());
    EXPECT_EQ(ReplaceAllInText(text, "The", "A", caseMatched).count, 1u);

    // A word ends at anything but a letter, digit or underscore; an accented letter is one.
    SearchOptions words;
    words.wholeWord = true;
    EXPECT_EQ(FindInText(text, "cat", 0, words)->start, 4u);
    EXPECT_EQ(FindInText(text, "cat", 5, words)->start, 13u);
    EXPECT_EQ(FindInText(text, "cat", 14, words)->start, 4u) << "the catalogue and the_cat are no whole words";
    EXPECT_EQ(ReplaceAllInText(text, "the", "a", words).count, 3u) << "the_cat and \xE9the keep theirs";
    EXPECT_TRUE(MatchesAt(text, {13, 3}, "cat", words));
    EXPECT_FALSE(MatchesAt(text, {25, 3}, "cat", words));
    EXPECT_FALSE(MatchesAt(text, {text.size() - 2, 3}, "the", words));

    // Backwards: the last match before the position, then once more from the end.
    SearchOptions backwards;
    backwards.backwards = true;
    EXPECT_EQ(FindInText(text, "cat", 13, backwards)->start, 4u);
    EXPECT_EQ(FindInText(text, "cat", 14, backwards)->start, 13u);
    EXPECT_EQ(FindInText(text, "cat", 4, backwards)->start, 40u);
    EXPECT_EQ(FindInText(text, "the", text.size() + 5, backwards)->start, text.size() - 3);
    EXPECT_FALSE(FindInText("ab", "abc", 2, backwards).has_value());
    backwards.wholeWord = true;
    EXPECT_EQ(FindInText(text, "cat", 4, backwards)->start, 13u);

    // Replace All keeps the caret by its text: before, after or (inside) at the stretch's start.
    const ReplacedStretch stretch = ReplaceAllInText("x aa y aa z", "aa", "bbb", {});
    EXPECT_EQ(CaretAfterReplace(1, stretch), 1u);
    EXPECT_EQ(CaretAfterReplace(2, stretch), 2u);
    EXPECT_EQ(CaretAfterReplace(5, stretch), 2u);
    EXPECT_EQ(CaretAfterReplace(9, stretch), 11u);
    EXPECT_EQ(CaretAfterReplace(10, stretch), 12u);

    EXPECT_EQ(NotFoundMessage("caf\xC3\xA9"), "\"caf\xC3\xA9\" was not found in the script.");
    EXPECT_EQ(ReplacedMessage(3, "x"), "Replaced 3 occurrence(s) of \"x\".");
}

}  // namespace
}  // namespace corv::editor
