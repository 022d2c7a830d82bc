// The script text encoder: entry lookup, dictionary step, keywords, escapes and their quirks.

#include <cstdio>
#include <random>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "insert/insert_test_support.h"
#include "script/script_encoder.h"
#include "script/script_text.h"
#include "support/keyword_cases.h"

namespace corv::script {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing_support::RecordingProgress;

struct Encoded {
    EncodeStatus status = EncodeStatus::EntryMissing;
    std::vector<uint8_t> bytes;
    std::vector<std::string> log;
};

Encoded encodeEntry(std::string_view entryLines, std::string_view tableText = "", int number = 0) {
    const std::string text = ".STRING " + std::to_string(number) + "\n" + std::string(entryLines) + ".ENDS\n";
    MemoryScriptText script(text);
    TableFile table;
    table.parse(tableText);
    std::vector<uint8_t> output(kPreviewByteBufferSize, 0xEE);
    RecordingProgress log;
    const EncodeResult result = EncodeScriptString(number, script, table, output, &log);
    Encoded encoded;
    encoded.status = result.status;
    encoded.bytes.assign(output.begin(), output.begin() + result.length);
    encoded.log = log.log;
    return encoded;
}

std::vector<uint8_t> bytesOf(std::string_view lines, std::string_view tableText = "") {
    const Encoded encoded = encodeEntry(lines, tableText);
    EXPECT_EQ(encoded.status, EncodeStatus::Encoded);
    EXPECT_TRUE(encoded.log.empty());
    return encoded.bytes;
}

TEST(ScriptEncoderLines, EmptyEntryAndEmptyLines) {
    EXPECT_THAT(bytesOf(""), ElementsAre(0xFF));
    EXPECT_THAT(bytesOf("\n\n"), ElementsAre(0xFD, 0xFF));
    EXPECT_THAT(bytesOf("ab\ncd\n"), ElementsAre('a', 'b', 0xFD, 'c', 'd', 0xFF));
}

TEST(ScriptEncoderKeywords, MatchIgnoringCase) {
    EXPECT_THAT(bytesOf("Hi[KEY]\n"), ElementsAre(0x48, 0x69, 0xF0, 0xFF));
    EXPECT_THAT(bytesOf("Hi[key]\n"), ElementsAre(0x48, 0x69, 0xF0, 0xFF));
    EXPECT_THAT(bytesOf("[SFX][Player][MEM_Num][mem_text][FadeIn][FadeOut][TEXTBOX][ClrWin][NEWLINE]\n"),
                ElementsAre(0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xFB, 0xFC, 0xFD, 0xFF));
    EXPECT_THAT(bytesOf("[Yes-No][$0102][$0304]\n"), ElementsAre(0xF9, 0x01, 0x02, 0x03, 0x04, 0xFF));
}

TEST(ScriptEncoderKeywords, EveryKeywordInEitherCaseWithAndWithoutParameter) {
    for (const auto& row : ::corv::testing_support::kKeywordCases) {
        for (const std::string_view spelling : {row.keyword, row.lowerCase}) {
            SCOPED_TRACE(std::string(spelling));
            EXPECT_THAT(bytesOf(std::string(spelling) + "\n"), ElementsAre(row.kind, 0xFF));
            EXPECT_THAT(bytesOf(std::string(spelling) + "$05]\n"), ElementsAre(row.kind, 0x05, 0xFF));
        }
    }
}

TEST(ScriptEncoderKeywords, DecoderTextEncodesBackAsItsCode) {
    for (const auto& row : ::corv::testing_support::kKeywordCases) {
        if (row.decoderText.empty()) continue;
        SCOPED_TRACE(std::string(row.decoderText));
        const std::vector<uint8_t> bytes = bytesOf(std::string(row.decoderText) + "\n");
        if (row.kind == 0xF1) {
            EXPECT_THAT(bytes, ElementsAre(0xF1, 0x05, 0xFF));
        } else if (row.kind == 0xF9) {
            EXPECT_THAT(bytes, ElementsAre(0xF9, 0x12, 0x34, 0x56, 0x78, 0xFF));
        } else {
            EXPECT_THAT(bytes, ElementsAre(row.kind, 0xFF));
        }
    }
    for (const auto& row : ::corv::testing_support::kUnnamedCodeCases) {
        EXPECT_THAT(bytesOf(std::string(row.decoderText) + "\n"), ElementsAre(row.kind, 0x00, 0xFF));
    }
}

TEST(ScriptEncoderKeywords, LogShowsTheBracketWrittenOverTheKeyword) {
    // The "$" after a keyword opens its escape on the keyword's last character, and the line in
    // the log shows it there.
    const Encoded encoded = encodeEntry("[KEY]$05][PAUSE$1\n", "", 2);
    EXPECT_THAT(encoded.bytes, ElementsAre(0xF0, 0x05, 0xF1, 0x01, 0xFF));
    ASSERT_EQ(encoded.log.size(), 1u);
    EXPECT_EQ(encoded.log[0],
              "Error: HEX-data read with no terminating ']' character.\nText: \"[KEY[$05][PAUS[$1\", String Index: 2");
}

TEST(ScriptEncoderKeywords, DollarAfterKeywordStartsParameter) {
    EXPECT_THAT(bytesOf("[PAUSE$1E]\n"), ElementsAre(0xF1, 0x1E, 0xFF));
    EXPECT_THAT(bytesOf("[Pause$0A]x\n"), ElementsAre(0xF1, 0x0A, 'x', 0xFF));
    EXPECT_THAT(bytesOf("[KEY]$05]\n"), ElementsAre(0xF0, 0x05, 0xFF));
}

TEST(ScriptEncoderKeywords, UnknownBracketWordsAreCharacters) {
    const std::string line = "[FixTextBx]";
    std::vector<uint8_t> expected(line.begin(), line.end());
    expected.push_back(0xFF);
    EXPECT_THAT(bytesOf(line + "\n"), ElementsAreArray(expected));
    // "[PAUSE" without a parameter writes its code and leaves the bracket as a character.
    EXPECT_THAT(bytesOf("[PAUSE]\n"), ElementsAre(0xF1, ']', 0xFF));
}

TEST(ScriptEncoderEscapes, PairsAndSkipCharacters) {
    EXPECT_THAT(bytesOf("[$F200]\n"), ElementsAre(0xF2, 0x00, 0xFF));
    EXPECT_THAT(bytesOf("[$0141]\n"), ElementsAre(0x01, 0x41, 0xFF));
    EXPECT_THAT(bytesOf("[$01$41]\n"), ElementsAre(0x01, 0x41, 0xFF));
    EXPECT_THAT(bytesOf("[$01-41]\n"), ElementsAre(0x01, 0x41, 0xFF));
    EXPECT_THAT(bytesOf("[$_(01){41}<ab>]\n"), ElementsAre(0x01, 0x41, 0xAB, 0xFF));
    // Reading a pair stops at the first character that is no hexadecimal digit.
    EXPECT_THAT(bytesOf("[$1G]\n"), ElementsAre(0x01, 0xFF));
    EXPECT_THAT(bytesOf("[$G1]\n"), ElementsAre(0x00, 0xFF));
}

TEST(ScriptEncoderEscapes, BlankInsideEscapeShiftsThePairs) {
    const Encoded encoded = encodeEntry("[$ 41]\n", "", 7);
    EXPECT_EQ(encoded.status, EncodeStatus::Encoded);
    // " 4" reads 0x04, "1]" reads 0x01 and eats the bracket, so the escape runs to the line end.
    EXPECT_THAT(encoded.bytes, ElementsAre(0x04, 0x01, 0xFF));
    ASSERT_EQ(encoded.log.size(), 1u);
    EXPECT_EQ(encoded.log[0],
              "Error: HEX-data read with no terminating ']' character.\nText: \"[$ 41]\", String Index: 7");
}

TEST(ScriptEncoderEscapes, SingleDigitEatsTheBracket) {
    // "1]" is one pair; the escape goes on with "AB" and closes at the next bracket.
    EXPECT_THAT(bytesOf("[$1]AB]c\n"), ElementsAre(0x01, 0xAB, 'c', 0xFF));
    const Encoded unclosed = encodeEntry("[$1]\nnext\n");
    EXPECT_THAT(unclosed.bytes, ElementsAre(0x01, 0xFD, 'n', 'e', 'x', 't', 0xFF));
    EXPECT_EQ(unclosed.log.size(), 1u);
}

TEST(ScriptEncoderEscapes, UnclosedEscapeKeepsBytesAndGoesOn) {
    const Encoded encoded = encodeEntry("a[$4142\nb\n", "", 3);
    EXPECT_THAT(encoded.bytes, ElementsAre('a', 0x41, 0x42, 0xFD, 'b', 0xFF));
    ASSERT_EQ(encoded.log.size(), 1u);
    EXPECT_EQ(encoded.log[0],
              "Error: HEX-data read with no terminating ']' character.\nText: \"a[$4142\", String Index: 3");
}

TEST(ScriptEncoderDictionary, CaseSensitiveWords) {
    EXPECT_THAT(bytesOf("the cat\n", "0105=the\n"), ElementsAre(0x01, 0x05, 0x20, 0x63, 0x61, 0x74, 0xFF));
    EXPECT_THAT(bytesOf("The cat\n", "0105=the\n"), ElementsAre('T', 'h', 'e', ' ', 'c', 'a', 't', 0xFF));
    EXPECT_THAT(bytesOf("thethe\nthe\n", "0105=the\n"),
                ElementsAre(0x01, 0x05, 0x01, 0x05, 0xFD, 0x01, 0x05, 0xFF));
}

TEST(ScriptEncoderDictionary, HighByteOfCodeIsDropped) {
    EXPECT_THAT(bytesOf("xy\n", "FF8A=xy\n"), ElementsAre(0x01, 0x8A, 0xFF));
}

TEST(ScriptEncoderDictionary, WordsMatchInsideKeywordsAndEarlierReplacements) {
    // "KEY" is replaced inside the keyword, which is then no keyword any more.
    EXPECT_THAT(bytesOf("[KEY]\n", "0102=KEY\n"), ElementsAre('[', 0x01, 0x02, ']', 0xFF));
    // Slot 3 finds the escape that slot 0 produced.
    EXPECT_THAT(bytesOf("cat\n", "0100=cat\n0103=[$0100]\n"), ElementsAre(0x01, 0x03, 0xFF));
}

TEST(ScriptEncoderDictionary, WordInsideItsOwnReplacementTerminates) {
    // "1" occurs in "[$0101]"; each original occurrence is replaced once.
    EXPECT_THAT(bytesOf("a1b1\n", "0101=1\n"), ElementsAre('a', 0x01, 0x01, 'b', 0x01, 0x01, 0xFF));
    EXPECT_THAT(bytesOf("x[$01]\n", "0141=[$01\n"), ElementsAre('x', 0x01, 0x41, ']', 0xFF));
}

TEST(ScriptEncoderDictionary, SearchStartsAgainAfterEveryReplacement) {
    // "]xx" becomes "[$0105]x", which holds "]x" again: "[$0105[$0105]".
    EXPECT_THAT(bytesOf("]xx\n", "0105=]x\n"), ElementsAre(0x01, 0x05, 0x00, 0x01, 0x05, 0xFF));
    // "xx[" becomes "x[$0105]", whose "x[" becomes "[$0105]$0105]".
    EXPECT_THAT(bytesOf("xx[\n", "0105=x[\n"), ElementsAre(0x01, 0x05, '$', '0', '1', '0', '5', ']', 0xFF));
}

// The rule written the slow way: find the first occurrence, replace it, search again from the
// beginning (or, for a word its own escape holds, from after the escape).
std::string replacedTheSlowWay(std::string text, const std::string& word, const std::string& escape) {
    const bool goOn = escape.find(word) != std::string::npos;
    size_t from = 0;
    for (size_t at; (at = text.find(word, goOn ? from : 0)) != std::string::npos;) {
        text.replace(at, word.size(), escape);
        from = at + escape.size();
    }
    return text;
}

TEST(ScriptEncoderDictionary, AgreesWithSearchingAgainFromTheBeginning) {
    // Small alphabets of the escapes' own characters make replacements meet words again.
    std::mt19937 random(11);
    const std::string alphabet = "01$[]x";
    const auto make = [&](size_t length) {
        std::string made;
        for (size_t i = 0; i < length; ++i) made += alphabet[random() % alphabet.size()];
        return made;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string word = make(1 + random() % 3);
        const std::string text = make(random() % 24);
        const auto slot = static_cast<unsigned>(random() % 3);
        char line[32];
        std::snprintf(line, sizeof line, "01%02X=%s\n", slot, word.c_str());
        TableFile table;
        table.parse(line);
        char escape[8];
        std::snprintf(escape, sizeof escape, "[$%04X]", 0x100 + slot);
        const std::string expected = replacedTheSlowWay(text, word, escape);
        if (expected.size() > text.size() + kDictionaryGrowthLimit) continue;
        ASSERT_EQ(ApplyDictionary(text, table), expected) << "text \"" << text << "\", word \"" << word << "\"";
    }
}

TEST(ScriptEncoderDictionary, RunawayReplacementsEndAsTooLong) {
    // Every slot holds "0", which each replacement writes again: the text would grow without end.
    std::string table;
    for (unsigned slot = 0; slot < 0x20; ++slot) {
        char line[16];
        std::snprintf(line, sizeof line, "01%02X=0\n", slot);
        table += line;
    }
    const Encoded encoded = encodeEntry("0\n", table);
    EXPECT_EQ(encoded.status, EncodeStatus::TooLong);
    TableFile parsed;
    parsed.parse(table);
    EXPECT_EQ(ApplyDictionary("0", parsed), std::nullopt);
}

TEST(ScriptEncoderDictionary, EmptyWordIsSkipped) {
    EXPECT_THAT(bytesOf("ab\n", "0107=\n0108=b\n"), ElementsAre('a', 0x01, 0x08, 0xFF));
}

TEST(ScriptEncoderLimits, LongLinesAreEncodedInFull) {
    const std::string line(300, 'z');
    const std::vector<uint8_t> bytes = bytesOf(line + "\n");
    ASSERT_EQ(bytes.size(), 301u);
    EXPECT_EQ(bytes[299], 'z');
    EXPECT_EQ(bytes[300], 0xFF);
}

TEST(ScriptEncoderLimits, MissingEntryAndTooSmallOutput) {
    MemoryScriptText script(".STRING 0\nabc\n.ENDS\n");
    TableFile table;
    std::vector<uint8_t> output(3);
    EXPECT_EQ(EncodeScriptString(1, script, table, output, nullptr).status, EncodeStatus::EntryMissing);
    EXPECT_EQ(EncodeScriptString(0, script, table, output, nullptr).status, EncodeStatus::TooLong);
    std::vector<uint8_t> exact(4);
    const EncodeResult fits = EncodeScriptString(0, script, table, exact, nullptr);
    EXPECT_EQ(fits.status, EncodeStatus::Encoded);
    EXPECT_EQ(fits.length, 4);
    EXPECT_THAT(exact, ElementsAre('a', 'b', 'c', 0xFF));
}

TEST(ScriptEncoderLookup, FindsTheEntryOfItsNumber) {
    MemoryScriptText script(".STRING 1\none\n.ENDS\n.STRING 10\nten\n.ENDS\n");
    TableFile table;
    std::vector<uint8_t> output(16);
    const EncodeResult ten = EncodeScriptString(10, script, table, output, nullptr);
    ASSERT_EQ(ten.status, EncodeStatus::Encoded);
    EXPECT_THAT(std::vector<uint8_t>(output.begin(), output.begin() + ten.length), ElementsAre('t', 'e', 'n', 0xFF));
    const EncodeResult one = EncodeScriptString(1, script, table, output, nullptr);
    ASSERT_EQ(one.status, EncodeStatus::Encoded);
    EXPECT_THAT(std::vector<uint8_t>(output.begin(), output.begin() + one.length), ElementsAre('o', 'n', 'e', 0xFF));
}

}  // namespace
}  // namespace corv::script
