// The translator's everyday mistakes that the checks catch: characters the game reads as codes,
// entries that run on into the next, mistyped keyword lines, a line break left at an entry's end,
// strings that share one text, and the count of strings translated.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "check/block_check.h"
#include "check/code_characters.h"
#include "check/entry_structure.h"
#include "check/string_check.h"
#include "check/translated_string.h"
#include "check/check_demo_support.h"
#include "script/control_codes.h"
#include "script/preview_encoder.h"
#include "script/script_encoder.h"
#include "script/string_decoder.h"
#include "script/string_record.h"
#include "check/string_check_support.h"

namespace corv::check {
using namespace corv::script;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<uint8_t> gameString(std::initializer_list<uint16_t> words) { return testing_support::GameString(words); }

std::vector<Finding> checkEntry(const std::string& script, unsigned number,
                                const std::vector<uint8_t>& game = gameString({0x31})) {
    return testing_support::CheckEntry(script, number, game);
}

std::vector<FindingKind> kinds(const std::vector<Finding>& findings) { return testing_support::Kinds(findings); }

TEST(CodeCharacters, LatinLettersFromF0UpAndTheDictionaryByteAreErrors) {
    // Grü¤e, öl, mañana, ÿ in Latin-1: FC, F6, F1 and FF are codes; ¤ (A4) only lacks a glyph;
    // the memory text code that F6 is comes on top of the game string's codes.
    const auto findings = checkEntry(".STRING 0\nGr\xFC\xA4" "e \xF6l ma\xF1" "ana \xFF\xFC\n.ENDS\n", 0);
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::CodeCharacter, FindingKind::CodeCharacter,
                                             FindingKind::CodeCharacter, FindingKind::CodeCharacter,
                                             FindingKind::MissingGlyph, FindingKind::AddedCode));  // F6
    EXPECT_EQ(findings[0].code, 0xFC);  // each character once per line
    EXPECT_EQ(findings[1].code, 0xF6);
    EXPECT_EQ(findings[2].code, 0xF1);
    EXPECT_EQ(findings[3].code, 0xFF);
    EXPECT_EQ(findings[0].line, 1);
    EXPECT_EQ(SeverityOf(FindingKind::CodeCharacter), Severity::Error);
    EXPECT_EQ(findings[4].code, 0);  // Latin-1, not UTF-8
    EXPECT_THAT(kinds(checkEntry(".STRING 0\nA\x01" "B\n.ENDS\n", 0)), ElementsAre(FindingKind::CodeCharacter));

    // Escapes write such bytes on purpose; letters below F0 are fine.
    EXPECT_THAT(checkEntry(".STRING 0\nHi[$FC][CLRWIN]\n.ENDS\n", 0, gameString({0x31, 0xFC00, 0xFC00})), IsEmpty());
    EXPECT_EQ(RoleOfCharacter(0xEF), CodeCharacterRole::None);
    EXPECT_EQ(RoleOfCharacter(0xF0), CodeCharacterRole::ControlCode);
    EXPECT_EQ(RoleOfCharacter(0xFE), CodeCharacterRole::ControlCode);
    EXPECT_EQ(RoleOfCharacter(0xFF), CodeCharacterRole::StringEnd);
    EXPECT_EQ(RoleOfCharacter(0x01), CodeCharacterRole::DictionaryWord);
}

TEST(CodeCharacters, TheUtf8GuessOnlyForBytesThatAreUtf8) {
    EXPECT_TRUE(LooksLikeUtf8("caf\xC3\xA9"));
    EXPECT_FALSE(LooksLikeUtf8("caf\xE9"));
    EXPECT_FALSE(LooksLikeUtf8("plain"));
    EXPECT_FALSE(LooksLikeUtf8("\xC3"));  // cut short
    EXPECT_EQ(checkEntry(".STRING 0\ncaf\xC3\xA9\n.ENDS\n", 0).at(0).code, 1);
}

TEST(EntryStructure, AMistypedClosingLineRunsTheEntryIntoTheNextNamingBoth) {
    const std::string script = ".STRING 6\nSix\nXENDS\n\n.STRING 7\nSeven\n.ENDS\n";
    const auto six = checkEntry(script, 6);
    ASSERT_THAT(kinds(six), ElementsAre(FindingKind::EntryRunsOn));
    EXPECT_EQ(six[0].string, 6u);
    EXPECT_EQ(six[0].amount, 7);        // the next string
    EXPECT_EQ(six[0].line, 2);          // where the entry should have ended
    EXPECT_EQ(six[0].subject, "XENDS");
    EXPECT_EQ(SeverityOf(FindingKind::EntryRunsOn), Severity::Error);
    EXPECT_THAT(checkEntry(script, 7), IsEmpty());

    // A deleted closing line: the entry should have ended before the next opening line.
    const auto deleted = checkEntry(".STRING 6\nSix\n\n.STRING 7\nSeven\n.ENDS\n", 6);
    ASSERT_THAT(kinds(deleted), ElementsAre(FindingKind::EntryRunsOn));
    EXPECT_EQ(deleted[0].line, 3);
    EXPECT_EQ(deleted[0].subject, ".STRING 7");
    EXPECT_THAT(checkEntry(".STRING 6\nSix\n.ENDS\n.STRING 7\nSeven\n.ENDS\n", 6), IsEmpty());
}

TEST(EntryStructure, MistypedKeywordLines) {
    for (const char* line : {"XENDS", ".END", ".STRNG 4", "ENDS", "End", ".ENDSS", " .strin 12 "}) {
        EXPECT_TRUE(LooksLikeMistypedKeyword(line)) << line;
    }
    for (const char* line : {".ENDS", ".STRING 4", "// .STRING #", "Hello there", "Bend it", "STRONG words here", "", ".E"}) {
        EXPECT_FALSE(LooksLikeMistypedKeyword(line)) << line;
    }
    MemoryScriptText script("// header\n.STRNG 0\nHi\n.ENDS\nXENDS\n.STRING 1\nHo\n.ENDS\n.END\n");
    auto stray = FindStrayLines(script, 2);
    // "Hi" stands outside too, as text: ".STRNG 0" opened no entry.
    ASSERT_EQ(stray.size(), 4u);
    EXPECT_EQ(stray[1].kind, StrayKind::Text);
    EXPECT_EQ(stray[1].text, "Hi");
    stray.erase(stray.begin() + 1);
    EXPECT_TRUE(std::all_of(stray.begin(), stray.end(), [](const StrayLine& s) { return s.kind == StrayKind::MistypedKeyword; }));
    EXPECT_EQ(stray[0].scriptLine, 2);
    EXPECT_FALSE(stray[0].afterString.has_value());
    EXPECT_EQ(stray[1].text, "XENDS");
    EXPECT_EQ(stray[1].afterString, std::optional<unsigned>(std::nullopt));  // ".STRNG 0" opened nothing
    EXPECT_EQ(stray[2].afterString, std::optional<unsigned>(1));
}

TEST(EntryStructure, TextOutsideTheEntriesAndEntriesPastTheBlockAreStrayLines) {
    MemoryScriptText script(
        "// Do not erase these: \n// .STRING #\n\n  \nLost before\n.STRING 0\nZero\n.ENDS\nLost between\n\t// note\n"
        ".STRING 1\nOne\n.ENDS\nCut\n.ENDS\n.STRING 2\nTwo\n.ENDS\n.STRING 3\nThree\n.ENDS\nLost after\n");
    const auto stray = FindStrayLines(script, 3);
    ASSERT_EQ(stray.size(), 4u);
    EXPECT_EQ(stray[0].scriptLine, 5);
    EXPECT_EQ(stray[0].kind, StrayKind::Text);
    EXPECT_FALSE(stray[0].afterString.has_value());
    EXPECT_EQ(stray[1].text, "Lost between");
    EXPECT_EQ(stray[1].afterString, std::optional<unsigned>(0));
    // "Cut" stands between two closing lines: the second one is named for it.
    EXPECT_EQ(stray[2].kind, StrayKind::PastBlock);
    EXPECT_EQ(stray[2].text, ".STRING 3");
    EXPECT_EQ(stray[2].scriptLine, 19);
    EXPECT_EQ(stray[3].text, "Lost after");
    EXPECT_EQ(stray[3].afterString, std::optional<unsigned>(3));
    EXPECT_TRUE(FindStrayLines(script, 4).size() == 3u);
}

TEST(EntryStructure, AnEmptyLastLineGivesTheStringALineBreakAtItsEnd) {
    const auto findings = checkEntry(".STRING 0\nHello\n\n.ENDS\n", 0);
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::TrailingLineBreak));
    EXPECT_EQ(findings[0].line, 2);
    // Not when the game string ends with a line break too, nor for an untranslated skeleton.
    EXPECT_THAT(checkEntry(".STRING 0\nHello\n\n.ENDS\n", 0, gameString({0x31, 0xFD00})), IsEmpty());
    EXPECT_THAT(kinds(checkEntry(".STRING 0\n\n\n.ENDS\n", 0)), ElementsAre(FindingKind::EmptyTranslation));
    EXPECT_THAT(checkEntry(".STRING 0\nHello\n.ENDS\n", 0), IsEmpty());
}

TEST(RawCodes, EscapesCopiedFromADumpAfterAYesNoChoiceAreByteSwapped) {
    // The dump prints the choice's words as [$92EF][$142F]; the game stores them EF 92 2F 14.
    const auto game = gameString({0x31, 0xF900, 0x92EF, 0x142F});
    const auto findings = checkEntry(".STRING 0\nHi[YES-NO][$92EF][$142F]\n.ENDS\n", 0, game);
    ASSERT_THAT(kinds(findings), ElementsAre(FindingKind::SwappedEscape, FindingKind::SwappedEscape));
    EXPECT_EQ(findings[0].amount, 0x92EF);
    EXPECT_EQ(findings[1].subject, "[$142F]");
    EXPECT_THAT(checkEntry(".STRING 0\nHi[YES-NO][$EF92][$2F14]\n.ENDS\n", 0, game), IsEmpty());
    // After the code FA the same holds as anywhere.
    const auto afterFa = checkEntry(".STRING 0\nHi.[$FA00][$EA00]\n.ENDS\n", 0, gameString({0x31, 0xFA00, 0xEA00}));
    EXPECT_THAT(kinds(afterFa), ElementsAre(FindingKind::SwappedEscape));
}

using testing_support::Demo;

// The demo's block D40000 (block 1) has strings whose records point at one text.
TEST(BlockChecks, SharedTextsTranslatedDifferentlyStrayLinesAndTheTranslatedCount) {
    const auto& demo = Demo();
    const TextBlock block = demo.block(demo.game.rom, 1);
    const std::span<const uint8_t> bytes = block.bytes();
    std::optional<std::pair<unsigned, unsigned>> shared;
    for (unsigned later = 1; later < block.info.stringCount && !shared; ++later) {
        for (unsigned first = 0; first < later; ++first) {
            if (RecordType(bytes, first) == kTextRecordType && RecordType(bytes, later) == kTextRecordType &&
                RecordTextPointer(bytes, first) == RecordTextPointer(bytes, later)) {
                shared = {first, later};
                break;
            }
        }
    }
    ASSERT_TRUE(shared);
    std::string text;
    for (unsigned n = 0; n < block.info.stringCount; ++n) {
        // Strings that share a text get the same entry, except the later one of the pair found.
        const std::string line = n < 5 ? "" : n == shared->second ? "Other" : "Text at " + std::to_string(RecordTextPointer(bytes, n));
        text += ".STRING " + std::to_string(n) + "\n" + line + "\n.ENDS\n" + (n == 7 ? "XENDS\n" : "");
    }
    MemoryScriptText script(text);
    const BlockReport report = CheckBlock(demo.game.rom, block, script, demo.table, {});
    size_t shares = 0;
    size_t stray = 0;
    for (const StringReport& string : report.strings) {
        for (const Finding& finding : string.findings) {
            if (finding.kind == FindingKind::SharedTextDiffers) {
                ++shares;
                EXPECT_EQ(string.number, shared->second);
                EXPECT_EQ(finding.amount, int(shared->first));
            }
            if (finding.kind == FindingKind::StrayKeywordLine) {
                ++stray;
                EXPECT_EQ(string.number, 7u);
                EXPECT_EQ(finding.subject, "XENDS");
            }
        }
    }
    EXPECT_EQ(shares, 1u);
    EXPECT_EQ(stray, 1u);
    size_t textStrings = 0;
    for (unsigned n = 0; n < block.info.stringCount; ++n) textStrings += RecordType(bytes, n) == kTextRecordType;
    size_t emptyText = 0;
    for (unsigned n = 0; n < 5; ++n) emptyText += RecordType(bytes, n) == kTextRecordType;
    EXPECT_EQ(report.strings.size(), textStrings);
    EXPECT_EQ(report.translatedCount(), textStrings - emptyText);
    EXPECT_FALSE(report.roomFromLastInsertion);

    // The same entry for both strings: no warning.
    std::string same = text;
    same.replace(same.find("\nOther\n"), 7, "\nText at " + std::to_string(RecordTextPointer(bytes, shared->second)) + "\n");
    MemoryScriptText sameScript(same);
    const BlockReport agreed = CheckBlock(demo.game.rom, block, sameScript, demo.table, {});
    for (const StringReport& string : agreed.strings) {
        for (const Finding& finding : string.findings) EXPECT_NE(finding.kind, FindingKind::SharedTextDiffers);
    }
}


// What the preview draws for a line, and what the game reads from the bytes the insertion writes
// for it, as one sequence: characters, and codes by kind with "P" for a parameter byte.
std::string previewReading(const std::string& line) {
    const std::vector<std::string> lines{".STRING 0", line};
    std::vector<uint8_t> stream(kPreviewBufferSize);
    EncodePreview(lines, stream, script::CharacterMap{});
    std::string reading;
    for (const PreviewStep& step : DecodeByteStreamForPreview(stream, false)) {
        if (step.kind == StepKind::Glyph) reading += static_cast<char>(step.code);
        if (step.kind == StepKind::LineBreak) reading += "<NL>";
        if (step.kind == StepKind::Label) reading += "<" + step.label.substr(0, step.label.find_first_of("\x01\xFF")) + ">";
    }
    return reading;
}

std::string gameReading(const std::string& line) {
    std::vector<uint8_t> bytes(256);
    bytes.resize(EncodeLines(std::vector<std::string>{line}, 0, bytes, nullptr, script::CharacterMap{}));
    std::string reading;
    for (const TranslatedToken& token : ReadTranslatedString(bytes).tokens) {
        if (token.kind != TokenKind::Code) reading += static_cast<char>(token.value);
        else if (token.value == kCodeNewLine) reading += "<NL>";
        else reading += "<" + ControlCodeText(ControlCodeOf(token.value), token.params.empty() ? 0 : token.params[0], {}) + ">";
    }
    return reading;
}

TEST(RawCodes, ThePreviewShowsWhatTheGameReads) {
    // Each code written as an escape stands where the game reads it: the character before it stays.
    for (const std::string line : {"Hi.[$FA00]", "Hi.[$F200]x", "a[$F10A]b", "a[$FC]b", "Z[$FD]!", "Ok[$FF]lost"}) {
        EXPECT_EQ(previewReading(line), gameReading(line)) << line;
    }
    EXPECT_EQ(previewReading("Hi.[$FA00]"), std::string("Hi.<[$FA00]>") + '\0');
}
}  // namespace
}  // namespace corv::check
