// Substitutions: what they accept, what they write, and that a mapped letter keeps its place.

#include <gtest/gtest.h>

#include "script/substitutions.h"
#include "script/table_file.h"

namespace corv::script {
namespace {

Substitutions Typographic() {
    Substitutions list;
    EXPECT_EQ(list.add("\u2019", "'"), SubstitutionProblem::None);
    EXPECT_EQ(list.add("\u201C", "\""), SubstitutionProblem::None);
    EXPECT_EQ(list.add("\u2026", "..."), SubstitutionProblem::None);
    EXPECT_EQ(list.add("\u00AB", "<<"), SubstitutionProblem::None);
    return list;
}

TEST(Substitutions, Utf8TextIsWrittenWithTheListAndCounted) {
    const SubstitutedText out = SubstituteUtf8("It\u2019s \u201Cfine\u201D\u2026 \u00ABni\u00F1o\u00BB", Typographic(), CharacterMap{});
    // ” and » are not listed: they stay, for the import to refuse or keep.
    EXPECT_EQ(out.utf8, "It's \"fine\u201D... <<ni\u00F1o\u00BB");
    EXPECT_EQ(out.count, 4u);
}

TEST(Substitutions, ALetterTheTableMapsIsNeverReplaced) {
    TableFile table;
    table.parse("7B=\xAB\n");  // « drawn into the game at 7B
    const SubstitutedText utf8 = SubstituteUtf8("\u00AB\u2026", Typographic(), table.characterMap());
    EXPECT_EQ(utf8.utf8, "\u00AB...");
    EXPECT_EQ(utf8.count, 1u);
    const SubstitutedLatin1 latin1 = SubstituteLatin1("\xAB x \xAB", Typographic(), CharacterMap{});
    EXPECT_EQ(latin1.latin1, "<< x <<");
    EXPECT_EQ(latin1.count, 2u);
    EXPECT_EQ(SubstituteLatin1("\xAB", Typographic(), table.characterMap()).latin1, "\xAB");
}

TEST(Substitutions, PairsThatWouldChangeAScriptsStructureAreRefused) {
    Substitutions list;
    EXPECT_EQ(list.add("ab", "x"), SubstitutionProblem::NotOneCharacter);
    EXPECT_EQ(list.add("", "x"), SubstitutionProblem::NotOneCharacter);
    EXPECT_EQ(list.add(".", "x"), SubstitutionProblem::PlainCharacter);  // ".STRING" stays ".STRING"
    EXPECT_EQ(list.add("\u2019", "\u2018"), SubstitutionProblem::NotLatin1);
    EXPECT_EQ(list.add("\u2019", "a\nb"), SubstitutionProblem::StructureCharacter);
    EXPECT_EQ(list.add("\u2019", "[KEY]"), SubstitutionProblem::StructureCharacter);
    EXPECT_EQ(list.add("\u2019", "123456789"), SubstitutionProblem::TooLong);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.add("\u2019", ""), SubstitutionProblem::None);  // a character may be left out
    EXPECT_EQ(SubstituteUtf8("a\u2019b", list, CharacterMap{}).utf8, "ab");
}

TEST(Substitutions, BytesThatAreNoUtf8StayForTheCallersRefusal) {
    EXPECT_EQ(SubstituteUtf8("a\xFF\u2026", Typographic(), CharacterMap{}).utf8, "a\xFF...");
    EXPECT_FALSE(ReadUtf8Character("\xC0\x80").has_value());  // an overlong NUL
    EXPECT_FALSE(ReadUtf8Character("\xED\xA0\x80").has_value());  // a surrogate
}

TEST(Substitutions, TheDefaultListIsOneTomlPairALineForTheTypographicCharacters) {
    const std::string_view lines = DefaultSubstitutionLines();
    for (const char* character : {"\u2018", "\u2019", "\u201C", "\u201D", "\u2026", "\u2014", "\u2013", "\u00AB", "\u00BB"}) {
        EXPECT_NE(lines.find("\"" + std::string(character) + "\" = \""), std::string_view::npos) << character;
    }
}

}  // namespace
}  // namespace corv::script
