// Hexadecimal digits and letter case, shared by every text reader.

#include <gtest/gtest.h>

#include "core/ascii.h"

namespace corv::core {
namespace {

TEST(Ascii, HexDigitValues) {
    const std::string_view digits = "0123456789abcdefABCDEF";
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (size_t i = 0; i < digits.size(); ++i) EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
    for (const char c : std::string_view("gG/:@`x \xE9\0", 10)) EXPECT_EQ(HexDigitValue(c), -1) << int(c);
}

TEST(Ascii, HexDigitsAtTheStart) {
    EXPECT_EQ(ReadHexDigits("1461B4;").value, 0x1461B4u);
    EXPECT_EQ(ReadHexDigits("1461B4;").count, 6u);
    EXPECT_EQ(ReadHexDigits("ffffffff").value, 0xFFFFFFFFu);
    EXPECT_FALSE(ReadHexDigits("ffffffff").overflow);
    const HexDigits tooBig = ReadHexDigits("100000000x");
    EXPECT_TRUE(tooBig.overflow);
    EXPECT_EQ(tooBig.count, 9u);
    // No blanks, signs or prefixes are taken.
    for (const std::string_view text : {"", " 1", "+1", "-1", "x1"}) EXPECT_EQ(ReadHexDigits(text).count, 0u) << text;
    EXPECT_EQ(ReadHexDigits("0x12").count, 1u);
}

TEST(Ascii, CaseIsIgnoredForAsciiLettersOnly) {
    EXPECT_TRUE(EqualsIgnoringCase("[Yes-No]", "[YES-NO]"));
    EXPECT_FALSE(EqualsIgnoringCase("[Yes-No]", "[YES-NO"));
    EXPECT_FALSE(EqualsIgnoringCase("\xE9", "\xC9"));  // Latin-1 letters keep their case
    EXPECT_FALSE(EqualsIgnoringCase("@", "`"));       // one bit apart, but no letters
    EXPECT_TRUE(StartsWithIgnoringCase(".comp x", ".COMP"));
    EXPECT_FALSE(StartsWithIgnoringCase(".COM", ".COMP"));
    EXPECT_TRUE(StartsWithIgnoringCase("anything", ""));
}

TEST(Ascii, FindIgnoringCase) {
    const std::string_view text = "// .STRING #\n.string 10\n.STRING 1\n";
    EXPECT_EQ(FindIgnoringCase(text, ".STRING 1"), 13u);
    EXPECT_EQ(FindIgnoringCase(text, ".STRING 1", 14), 24u);
    EXPECT_EQ(FindIgnoringCase(text, "STRING 10"), 14u);
    EXPECT_EQ(FindIgnoringCase(text, ".STRING 2"), std::string_view::npos);
    EXPECT_EQ(FindIgnoringCase(text, "", 5), 5u);
    EXPECT_EQ(FindIgnoringCase("ab", "abc"), std::string_view::npos);
    EXPECT_EQ(FindIgnoringCase("ab", "", 3), std::string_view::npos);
}

}  // namespace
}  // namespace corv::core
