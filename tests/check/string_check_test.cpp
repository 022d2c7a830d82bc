// Each check of a string's translation: a case that triggers it and one that must not.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "check/string_check.h"
#include "support/keyword_cases.h"
#include "check/string_check_support.h"

namespace corv::check {
using namespace corv::script;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A game string of 16-bit words, little-endian; the end mark is added.
std::vector<uint8_t> gameString(std::initializer_list<uint16_t> words) { return testing_support::GameString(words); }

// The findings of string `number` with the entry text `lines` (an entry is written around them).
std::vector<Finding> check(const std::string& lines, const std::vector<uint8_t>& game = gameString({0x0031}),
                           unsigned number = 0, BoxMetrics box = {}) {
    return testing_support::CheckEntry(".STRING " + std::to_string(number) + "\n" + lines + ".ENDS\n", number, game, box);
}

std::vector<FindingKind> kinds(const std::vector<Finding>& findings) { return testing_support::Kinds(findings); }

TEST(StringCheck, AGoodTranslationHasNoFindings) {
    EXPECT_THAT(check("Hello [Player]![KEY]\n[Pause$05]Bye.\n", gameString({0x0031, 0xF400, 0xF000})), IsEmpty());
}

TEST(StringCheck, EntriesMissingMisplacedOrNotClosed) {
    MemoryScriptText none(".STRING 1\nHi\n.ENDS\n");
    TableFile table;
    StringSource source;
    EXPECT_THAT(kinds(CheckString(source, none, table, {})), ElementsAre(FindingKind::EntryMissing));

    // String 1's search lands on the entry of string 10; a remark after the number is fine.
    MemoryScriptText misplaced(".STRING 10\nTen\n.ENDS\n.STRING 1\nOne\n.ENDS\n");
    source.number = 1;
    EXPECT_THAT(kinds(CheckString(source, misplaced, table, {})), ElementsAre(FindingKind::WrongEntry));
    EXPECT_THAT(check("One\n", gameString({0x31}), 1), IsEmpty());
    MemoryScriptText remark(".STRING 1 // greeting\nOne\n.ENDS\n");
    EXPECT_THAT(CheckString(source, remark, table, {}), IsEmpty());

    MemoryScriptText open(".STRING 0\nHello\n.STRING 1\nNext\n");
    source.number = 0;
    EXPECT_THAT(kinds(CheckString(source, open, table, {})), ElementsAre(FindingKind::EntryNotClosed));
}

TEST(StringCheck, UnclosedEscapeNamesItsLine) {
    const auto findings = check("fine\nHi [$41\n");
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::UnclosedEscape));
    EXPECT_EQ(findings[0].line, 2);
    EXPECT_THAT(check("Hi [$41]\n"), IsEmpty());
}

TEST(StringCheck, EmptyTranslationOfAStringWithText) {
    EXPECT_THAT(kinds(check("\n \n")), ElementsAre(FindingKind::EmptyTranslation));
    EXPECT_THAT(check("\n\n", gameString({0xF000})), IsEmpty());  // the game string shows nothing either
    EXPECT_THAT(check("Hi\n"), IsEmpty());
}

TEST(StringCheck, BracketWordsThatAreNoKeyword) {
    const auto findings = check("[Kye] and [Key\n");
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::UnknownBracketWord, FindingKind::UnknownBracketWord));
    EXPECT_EQ(findings[0].subject, "[Kye]");
    EXPECT_EQ(findings[1].subject, "[Key");
    EXPECT_THAT(check("[key][FadeIn][FADEOUT][$41]x\n", gameString({0x31, 0xF700, 0xF800})), IsEmpty());
}

TEST(StringCheck, EveryKeywordIsKnownAndCountsAsItsCode) {
    for (const auto& row : ::corv::testing_support::kKeywordCases) {
        for (const std::string_view spelling : {row.keyword, row.lowerCase}) {
            SCOPED_TRACE(std::string(spelling));
            // The pause's parameter follows as "$hh]", the choice's two words as escapes in the
            // game's byte order (a dump's "[$1234]" would be byte-swapped).
            const std::string parameters = row.kind == 0xF1 ? "$05]" : row.kind == 0xF9 ? "[$3412][$7856]" : "";
            const std::string line = "1" + std::string(spelling) + parameters + "\n";
            std::vector<uint8_t> game = gameString({0x0031, static_cast<uint16_t>(row.kind << 8), 0x1234, 0x5678});
            if (row.gameParameterWords == 0) game = gameString({0x0031, static_cast<uint16_t>(row.kind << 8)});
            EXPECT_THAT(kinds(check(line, game)), IsEmpty());
            // Without the code in the translation, only a code that must be kept is missed.
            const auto missing = kinds(check("1\n", game));
            if (row.mustKeep) {
                EXPECT_THAT(missing, ElementsAre(FindingKind::DroppedCode));
            } else {
                EXPECT_THAT(missing, IsEmpty());
            }
        }
    }
    EXPECT_THAT(kinds(check("[FixTextBx]1\n")), ElementsAre(FindingKind::UnknownBracketWord));
    // The dump's name of FB is its code, not a word the game would show.
    const auto dumpName = kinds(check("[FixTextBox]1\n"));
    EXPECT_EQ(std::count(dumpName.begin(), dumpName.end(), FindingKind::UnknownBracketWord), 0);
}

TEST(StringCheck, CharactersWithoutGlyph) {
    // '%' has no glyph; a UTF-8 script brings bytes from 0x80 up that the font lacks.
    const auto findings = check("100% sure 100%, caf\xC3\xA9\n");
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::MissingGlyph));  // once per line
    EXPECT_EQ(findings[0].subject, "%\xA9\xC3");
    EXPECT_THAT(check("100 percent sure\n"), IsEmpty());
}

TEST(StringCheck, RawBytesInTheWrongByteOrder) {
    // The game word 0xEA00 is stored as 00 EA; the kana dump prints it as [$EA00].
    const auto game = gameString({0x0031, 0xEA00});
    const auto findings = check("A[$EA00]\n", game);
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::SwappedEscape));
    EXPECT_EQ(findings[0].subject, "[$EA00]");
    EXPECT_THAT(check("A[$00EA]\n", game), IsEmpty());
}

TEST(StringCheck, ControlCodesDroppedOrAdded) {
    const auto game = gameString({0xF400, 0x31, 0xF000, 0xFC00, 0xF100, 0xF900, 0x1234, 0x5678});
    // Key waits, window clears and pauses may go; the player's name and the choice may not. The
    // choice's words are written in the game's byte order (34 12, 78 56).
    const auto findings = check("Hi [YES-NO][$3412][$7856][SFX]\n", game);
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::AddedCode, FindingKind::DroppedCode));
    EXPECT_EQ(findings[0].code, 0xF3);
    EXPECT_EQ(findings[1].code, 0xF4);
    EXPECT_THAT(check("[Player], hi [YES-NO][$3412][$7856]\n", game), IsEmpty());
}

TEST(StringCheck, LinesWiderThanTheBox) {
    // Fixed width: eight pixels a character, 27 of them fill the 216 pixels.
    const auto findings = check(std::string(27, 'W') + "\n" + std::string(29, 'W') + "\n");
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::LineTooWide));
    EXPECT_EQ(findings[0].line, 2);
    EXPECT_EQ(findings[0].amount, 16);
    // The variable-width routine draws narrow letters closer: the same line fits.
    EXPECT_THAT(check(std::string(40, 'i') + "\n", gameString({0x31}), 0, {.variableWidth = true}), IsEmpty());
    EXPECT_THAT(kinds(check(std::string(40, 'i') + "\n")), ElementsAre(FindingKind::LineTooWide));
}

TEST(StringCheck, LinesTheBoxCannotShowBeforeAKeyWait) {
    const std::string six = "1\n2\n3\n4\n5\n6\n";
    const auto findings = check(six + "7\n8\n");
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::LineBeyondBox, FindingKind::LineBeyondBox));
    EXPECT_EQ(findings[0].line, 7);
    EXPECT_EQ(findings[1].line, 8);
    // A key wait or a window clear starts the box afresh; [NEWLINE] takes a row of its own.
    EXPECT_THAT(check("1\n2\n3[KEY]\n4\n5\n6\n7\n8\n"), IsEmpty());
    EXPECT_THAT(check("1\n2\n3[CLRWIN]\n4\n5\n6\n7\n8\n"), IsEmpty());
    EXPECT_THAT(kinds(check("1\n2\n3\n4\n5\n6[NEWLINE]7\n")), ElementsAre(FindingKind::LineBeyondBox));
}

}  // namespace
}  // namespace corv::check
