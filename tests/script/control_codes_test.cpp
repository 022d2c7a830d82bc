// The control-code table and the script-line reader: every keyword through the table, the
// reader under each reader's rules, the preview encoder and the decoder. The script encoder, the
// readback and the checks run the same rows in their own tests.

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script/block_data_file.h"
#include "script/control_codes.h"
#include "script/preview_encoder.h"
#include "script/script_line_reader.h"
#include "script/string_decoder.h"
#include "support/keyword_cases.h"

namespace corv::script {
namespace {

using testing_support::kKeywordCases;
using testing_support::kUnnamedCodeCases;

TEST(ControlCodeTable, EveryKeywordAndParameterCount) {
    for (const auto& row : kKeywordCases) {
        SCOPED_TRACE(std::string(row.keyword));
        const ControlCode* code = KeywordFor(row.kind);
        ASSERT_NE(code, nullptr);
        EXPECT_EQ(code->kind, row.kind);
        EXPECT_EQ(code->keyword, row.keyword);
        EXPECT_EQ(code->gameParameterWords, row.gameParameterWords);
        EXPECT_EQ(code->translatedParameterBytes, row.translatedParameterBytes);
        EXPECT_EQ(code->breaksLine, row.breaksLine);
        EXPECT_EQ(code->mustKeep, row.mustKeep);
        EXPECT_EQ(ControlCodeText(*code, 0x05, {0x1234, 0x5678}), row.decoderText);
        for (const std::string_view spelling : {row.keyword, row.lowerCase}) {
            const std::string line = "ab" + std::string(spelling) + "cd";
            EXPECT_EQ(KeywordAt(line, 2), code);
            EXPECT_EQ(KeywordAt(line, 1), nullptr);
        }
    }
    for (const auto& row : kUnnamedCodeCases) {
        EXPECT_EQ(KeywordFor(row.kind), nullptr);
        EXPECT_EQ(ControlCodeText(ControlCodeOf(row.kind), 0xAB), row.decoderText);
        EXPECT_TRUE(ControlCodeOf(row.kind).mustKeep);
    }
    EXPECT_EQ(KeywordFor(0xEF), nullptr);
    EXPECT_EQ(KeywordFor(0xFE), nullptr);
    EXPECT_FALSE(IsControlKind(0xEF));
    EXPECT_FALSE(IsControlKind(0xFE));
    // The dump's names are read as their codes in any case, so codes copied from a dump work.
    EXPECT_EQ(KeywordAt("[FixTextBox]", 0), &ControlCodeOf(0xFB));
    EXPECT_EQ(KeywordAt("x[fixtextbox]", 1), &ControlCodeOf(0xFB));
    EXPECT_EQ(KeywordMatchAt("[CLRWIN]", 0).size, 8u);
    EXPECT_EQ(KeywordMatchAt("[FIXTEXTBOX]", 0).size, 12u);
    EXPECT_EQ(KeywordAt("[FixTextBo]", 0), nullptr);
}

// The tokens of `line` under `rules`, one word each: kind letter and size, "@start" when the
// token begins elsewhere than where the last ended, "c" closed, "~" opened by a keyword's "$",
// "=hh" a parameter read with the keyword.
std::string tokens(std::string_view line, const ScriptLineRules& rules) {
    ScriptLineReader reader(line, rules);
    ScriptToken token;
    std::string shown;
    size_t expected = 0;
    while (reader.next(token)) {
        if (!shown.empty()) shown += ' ';
        shown += "TKEB"[static_cast<int>(token.kind)];
        shown += std::to_string(token.size);
        if (token.start != expected) shown += "@" + std::to_string(token.start);
        if (token.closed) shown += 'c';
        if (token.onKeyword) shown += '~';
        if (token.hasParameter) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X", unsigned{token.parameter});
            shown += std::string("=") + hex;
        }
        expected = token.end();
    }
    return shown;
}

TEST(ScriptLineReader, EveryKeywordAloneUnderEachReadersRules) {
    for (const auto& row : kKeywordCases) {
        for (const std::string_view spelling : {row.keyword, row.lowerCase}) {
            SCOPED_TRACE(std::string(spelling));
            const std::string size = std::to_string(spelling.size());
            EXPECT_EQ(tokens(spelling, kScriptEncoderRules), "K" + size);
            EXPECT_EQ(tokens(spelling, kCheckRules), "K" + size);
            // The preview takes "[PAUSE" only with its parameter and bracket.
            EXPECT_EQ(tokens(spelling, kPreviewRules), (row.kind == kCodePause ? "T" : "K") + size);
        }
    }
}

struct ReaderCase {
    std::string_view line;
    std::string_view encoder;
    std::string_view preview;
    std::string_view check;
};

// Where the three readers part on purpose, each is pinned here.
constexpr ReaderCase kReaderCases[] = {
    {"Hi there", "T8", "T8", "T8"},
    {"[PAUSE$1E]", "K6 E5@5c~", "K10=1E", "K6 T4"},
    {"[pause$5]]", "K6 E5@5c~", "K10=05", "K6 T4"},
    {"[KEY]$05]", "K5 E5@4c~", "T9", "K5 T4"},
    {"[KEY]$05", "K5 E4@4~", "T8", "K5 T3"},
    {"[PAUSE]", "K6 T1", "T7", "K6 T1"},
    {"[PAUSE$0A", "K6 E4@5~", "T9", "K6 T3"},
    {"[$1]AB]c", "E7c T1", "E7c T1", "E4c T4"},
    {"[$ 41]", "E6", "E6", "E6c"},
    {"a[$4142", "T1 E6", "T1 E6", "T1 E6"},
    {"[$", "E2", "E2", "E2"},
    {"[$(1A){2b}<3C>-$]z", "E17c T1", "E17c T1", "E17c T1"},
    {"[x]y[z", "T6", "T6", "B3c T1 B2"},
    {"[a[KEY]", "T2 K5", "T2 K5", "B2 K5"},
    {"[FixTextBox]", "K12", "K12", "K12"},
    {"[FixTextBx]", "T11", "T11", "B11c"},
    {"[Yes-No][$1234][$5678]", "K8 E7c E7c", "K8 E7c E7c", "K8 E7c E7c"},
    {"x[CLRWIN][KEY]y", "T1 K8 K5 T1", "T1 K8 K5 T1", "T1 K8 K5 T1"},
};

TEST(ScriptLineReader, WhereTheReadersDiffer) {
    for (const ReaderCase& row : kReaderCases) {
        SCOPED_TRACE(std::string(row.line));
        EXPECT_EQ(tokens(row.line, kScriptEncoderRules), row.encoder);
        EXPECT_EQ(tokens(row.line, kPreviewRules), row.preview);
        EXPECT_EQ(tokens(row.line, kCheckRules), row.check);
    }
}

std::vector<uint8_t> escapeBytes(std::string_view line, PairBlanks blanks) {
    ScriptLineReader reader(line, kScriptEncoderRules);
    ScriptToken token;
    std::vector<uint8_t> bytes;
    while (reader.next(token)) {
        if (token.kind == ScriptTokenKind::Escape) {
            ForEachEscapeByte(line, token, blanks, [&bytes](uint8_t byte) { bytes.push_back(byte); });
        }
    }
    return bytes;
}

TEST(ScriptLineReader, EscapePairs) {
    EXPECT_EQ(escapeBytes("[$ 41]", PairBlanks::Skipped), (std::vector<uint8_t>{0x04, 0x01}));
    EXPECT_EQ(escapeBytes("[$ 41]", PairBlanks::AreDigits), (std::vector<uint8_t>{0x00, 0x01}));
    EXPECT_EQ(escapeBytes("[$01$41][$_(f2){0a}]", PairBlanks::Skipped), (std::vector<uint8_t>{0x01, 0x41, 0xF2, 0x0A}));
    EXPECT_EQ(escapeBytes("[KEY]$05]", PairBlanks::Skipped), (std::vector<uint8_t>{0x05}));
    EXPECT_EQ(ReadHexPair("G1", PairBlanks::Skipped), 0x00);
    EXPECT_EQ(ReadHexPair("1G", PairBlanks::AreDigits), 0x01);
    EXPECT_EQ(ReadHexPair("\t7", PairBlanks::Skipped), 0x07);
    EXPECT_EQ(ReadHexPair("", PairBlanks::Skipped), 0x00);
}

std::vector<uint8_t> preview(const std::string& line) {
    const std::array<std::string, 2> entry = {".STRING 0", line};
    std::vector<uint8_t> buffer(kPreviewBufferSize);
    buffer.resize(EncodePreview(entry, buffer, CharacterMap{}));
    return buffer;
}

TEST(PreviewEncoderKeywords, EveryKeywordInEitherCase) {
    for (const auto& row : kKeywordCases) {
        for (const std::string_view spelling : {row.keyword, row.lowerCase}) {
            SCOPED_TRACE(std::string(spelling));
            if (row.kind == kCodePause) {
                const std::string line = std::string(spelling) + "$2C]";
                EXPECT_EQ(preview(line), (std::vector<uint8_t>{0x2C, row.kind, 0xFF, 0xFF}));
                // Alone, "[PAUSE" is its characters.
                std::vector<uint8_t> plain(spelling.begin(), spelling.end());
                plain.insert(plain.end(), {0xFF, 0xFF});
                EXPECT_EQ(preview(std::string(spelling)), plain);
            } else {
                EXPECT_EQ(preview(std::string(spelling)), (std::vector<uint8_t>{0x00, row.kind, 0xFF, 0xFF}));
            }
        }
    }
}

TEST(DecoderForms, EveryCodeOfAGameString) {
    const auto maps = std::make_unique<CodeMaps>();
    const auto decode = [&maps](std::vector<uint8_t> string) {
        string.insert(string.end(), {0xFF, 0xFF});
        return DecodeGameStringToText(string, *maps);
    };
    for (const auto& row : kKeywordCases) {
        SCOPED_TRACE(std::string(row.keyword));
        std::vector<uint8_t> string = {0x05, row.kind};
        if (row.gameParameterWords == 2) string.insert(string.end(), {0x34, 0x12, 0x78, 0x56});
        EXPECT_EQ(decode(string), std::string(row.decoderText) + (row.breaksLine ? "\r\n" : ""));
    }
    for (const auto& row : kUnnamedCodeCases) EXPECT_EQ(decode({0x05, row.kind}), row.decoderText);
}

}  // namespace
}  // namespace corv::script
