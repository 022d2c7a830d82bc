// Codes written without their parameters, escapes the game reads as the end mark, and entries
// that a pasted keyword line split: each is an error of the check, so of check, the live checks,
// insert, build and import-po alike.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "check/finding_text.h"
#include "check/string_check.h"
#include "check/string_check_support.h"
#include "script/control_codes.h"

namespace corv::check {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The findings of string `number` in `script`, of the kinds this file is about.
std::vector<Finding> wholeness(const std::string& script, unsigned number = 0) {
    std::vector<Finding> findings = testing_support::CheckEntry(script, number, testing_support::GameString({0x31}));
    std::erase_if(findings, [](const Finding& finding) {
        return finding.kind != FindingKind::CodeWithoutParameters && finding.kind != FindingKind::EscapedEndMark &&
               finding.kind != FindingKind::DuplicateEntry && finding.kind != FindingKind::StrayClosingLine &&
               finding.kind != FindingKind::EntryTooLong;
    });
    return findings;
}

TEST(WholeCodes, ACodeNeedsItsParametersAsEscapesAndAnEscapedFFEndsTheString) {
    struct Case {
        const char* lines;
        std::vector<FindingKind> kinds;
        uint8_t code;  // of the first finding
        int line;
    };
    const Case cases[] = {
        {"Wait[PAUSE$1E]go\n", {}, 0, 0},
        {"[PAUSE$FF]x\n", {}, 0, 0},  // FF as a parameter is no end mark
        {"Choose[YES-NO][$1234][$5678]\n", {}, 0, 0},
        {"[$F11E] and [$F912345678]\n", {}, 0, 0},
        {"Hi[$0141]\n", {}, 0, 0},
        {"Choose[YES-NO]\n", {FindingKind::CodeWithoutParameters}, script::kCodeYesNo, 1},
        {"Wait[PAUSE] there\n", {FindingKind::CodeWithoutParameters}, script::kCodePause, 1},
        {"one\n[YES-NO][$1234]\n", {FindingKind::CodeWithoutParameters}, script::kCodeYesNo, 2},
        {"[YES-NO]\nabcd\n", {FindingKind::CodeWithoutParameters}, script::kCodeYesNo, 1},  // a line break is no parameter
        {"x[$F1]\n", {FindingKind::CodeWithoutParameters}, script::kCodePause, 1},
        {"x[$01]A\n", {FindingKind::CodeWithoutParameters}, 0x01, 1},
        {"end[$FFFF]\n", {FindingKind::EscapedEndMark}, 0xFF, 1},
        {"end[$FF]\n", {FindingKind::EscapedEndMark}, 0xFF, 1},
        {"a\nb[$41FF]c\n", {FindingKind::EscapedEndMark}, 0xFF, 2},
    };
    for (const Case& c : cases) {
        const auto findings = wholeness(".STRING 0\n" + std::string(c.lines) + ".ENDS\n");
        EXPECT_EQ(testing_support::Kinds(findings), c.kinds) << c.lines;
        if (findings.empty() || c.kinds.empty()) continue;
        EXPECT_EQ(findings[0].code, c.code) << c.lines;
        EXPECT_EQ(findings[0].line, c.line) << c.lines;
        EXPECT_EQ(SeverityOf(findings[0].kind), Severity::Error);
    }
}

TEST(WholeCodes, TheMessageNamesTheCodeAndWhatTheGameTakesInstead) {
    const auto yesNo = wholeness(".STRING 0\nChoose[YES-NO]\n.ENDS\n");
    ASSERT_EQ(yesNo.size(), 1u);
    EXPECT_EQ(FindingMessage(yesNo[0], {}),
              "line 1: [YES-NO], which takes 4 parameter bytes, but no escape gives them right after it "
              "(\"[YES-NO][$1234][$5678]\"): the game takes what follows (text, a line break, the string's end mark "
              "and the next string's bytes) as its parameters");
    const auto end = wholeness(".STRING 0\nend[$FFFF]\n.ENDS\n");
    ASSERT_EQ(end.size(), 1u);
    EXPECT_EQ(FindingMessage(end[0], {}),
              "line 1: \"[$FFFF]\" writes FF where the game reads the end mark: the string ends there and nothing "
              "after it is shown");
}

TEST(EntryStructure, APastedKeywordLineIsAnErrorNotANewEntry) {
    // A translation holding ".ENDS" and ".STRING 3" made a second entry of string 3 before its own.
    const std::string injected =
        ".STRING 0\nHi\n.ENDS\n\n.STRING 3\nInjected into three\n.ENDS\n.STRING 1\n\n.ENDS\n.STRING 2\n\n.ENDS\n"
        ".STRING 3\nThree\n.ENDS\n";
    const auto three = wholeness(injected, 3);
    ASSERT_THAT(testing_support::Kinds(three), ElementsAre(FindingKind::DuplicateEntry));
    EXPECT_EQ(three[0].amount, 14);  // the script line of its own entry, which is never inserted
    EXPECT_THAT(wholeness(injected, 0), IsEmpty());

    // An ".ENDS" pasted alone closes the entry early: what follows belongs to no string.
    const std::string split = ".STRING 0\nHi\n.ENDS\nthe lost half\n.ENDS\n.STRING 1\nOne\n.ENDS\n";
    const auto zero = wholeness(split, 0);
    ASSERT_THAT(testing_support::Kinds(zero), ElementsAre(FindingKind::StrayClosingLine));
    EXPECT_EQ(zero[0].amount, 5);
    EXPECT_THAT(wholeness(split, 1), IsEmpty());
    // Two closing lines in a row hide nothing; blank lines and comments between entries are no entry text.
    EXPECT_THAT(wholeness(".STRING 0\nHi\n.ENDS\n.ENDS\n\n// note\n.STRING 1\nOne\n.ENDS\n", 0), IsEmpty());
}

TEST(EntryStructure, AnEntryLongerThanAnyBlockIsAnErrorAndNotCheckedFurther) {
    const std::string longLine(70000, 'a');
    const auto findings = testing_support::CheckEntry(".STRING 0\n" + longLine + "[YES-NO]\n.ENDS\n", 0,
                                                      testing_support::GameString({0x31}));
    ASSERT_THAT(testing_support::Kinds(findings), ElementsAre(FindingKind::EntryTooLong));
    EXPECT_EQ(findings[0].amount, 70009);
    EXPECT_THAT(wholeness(".STRING 0\n" + std::string(60000, 'a') + "\n.ENDS\n"), IsEmpty());
}

}  // namespace
}  // namespace corv::check
