#include <gtest/gtest.h>

#include "script/kana_dump.h"
#include "script/sjis.h"

namespace corv::script {
namespace {

// True when `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > text.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
        }
        i += n;
    }
    return true;
}

TEST(ShiftJis, KanaAndAsciiConvert) {
    EXPECT_EQ(ShiftJisToUtf8("\x82\xA0\x82\xA2"), "\xE3\x81\x82\xE3\x81\x84");  // hiragana a, i
    EXPECT_EQ(ShiftJisToUtf8("\xB1"), "\xEF\xBD\xB1");                          // half-width katakana a
    EXPECT_EQ(ShiftJisToUtf8("[Key]\r\n"), "[Key]\r\n");
    EXPECT_EQ(ShiftJisToUtf8(""), "");
}

TEST(ShiftJis, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(ShiftJisToUtf8("a\x80z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(ShiftJisToUtf8("\xFF"), "\xEF\xBF\xBD");
    EXPECT_EQ(ShiftJisToUtf8("ok\x82"), "ok\xEF\xBF\xBD");  // a lead byte cut off at the end
}

TEST(ShiftJis, AnyByteSequenceGivesWellFormedUtf8) {
    uint32_t state = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (int i = 0; i < 40; ++i) {
            state = state * 1103515245u + 12345u;
            bytes.push_back(static_cast<char>(state >> 24));
        }
        const std::string text = ShiftJisToUtf8(bytes);
        ASSERT_TRUE(IsUtf8(text)) << round;
    }
}

TEST(KanaTextLines, SplitAtCrLfWithoutATrailingEmptyLine) {
    EXPECT_TRUE(KanaTextLines("").empty());
    EXPECT_EQ(KanaTextLines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(KanaTextLines("a\r\n"), std::vector<std::string>{"a"});
    EXPECT_EQ(KanaTextLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(KanaTextLines("a\nb"), std::vector<std::string>{"a\nb"});
}

}  // namespace
}  // namespace corv::script
