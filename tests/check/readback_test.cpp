// Reading inserted blocks back: every demo block, after its kana dump was inserted, reads back
// as entries that encode to the very same bytes, with dictionary words written out again; and
// the check of an inserted block compares the ROM with the script string by string.

#include <gtest/gtest.h>

#include <random>

#include "check/check_demo_support.h"
#include "core/rom_image.h"
#include "check/block_check.h"
#include "check/translated_string.h"
#include "script/script_file.h"
#include "script/string_record.h"
#include "support/keyword_cases.h"

namespace corv::check {
using namespace corv::script;
namespace {

using testing_support::Demo;

std::vector<uint8_t> encodeEntry(ScriptText& script, unsigned n) {
    std::vector<uint8_t> bytes(kPreviewByteBufferSize);
    const EncodeResult result = EncodeScriptString(int(n), script, Demo().table, bytes, nullptr);
    EXPECT_EQ(result.status, EncodeStatus::Encoded) << "string " << n;
    bytes.resize(result.length);
    return bytes;
}

// Inserts the kana dump of block n into `rom`, every line led by dictionary words; returns
// the script inserted.
std::string insertKanaDump(core::RomImage& rom, size_t n) {
    const auto& demo = Demo();
    TextBlock block = demo.block(rom.data(), n);
    const std::string dump = testing_support::ChangeLines(demo.kanaDump(block), [](const std::string& line, size_t) {
        return "the king: " + line;
    });
    MemoryScriptText script(dump);
    uint32_t endOfRoom = block.end;
    std::vector<uint8_t> preview(kPreviewByteBufferSize);
    script::testing_support::RecordingProgress progress;
    const auto result = insert::InsertScript(rom, *block.buffer, block.info, endOfRoom, script, demo.table, preview, progress);
    EXPECT_EQ(result.outcome, insert::InsertionOutcome::Inserted);
    return dump;
}

TEST(Readback, EveryInsertedDemoBlockGivesBackItsEntries) {
    const auto& demo = Demo();
    size_t plainCompared = 0;
    size_t withDictionaryWords = 0;
    for (size_t n = 0; n < demo.load.blocks.size(); ++n) {
        SCOPED_TRACE("block " + std::to_string(n));
        core::RomImage rom(demo.game.rom, "readback.smc");
        MemoryScriptText dump(insertKanaDump(rom, n));
        const TextBlock inserted = demo.block(rom.data(), n);
        ASSERT_TRUE(inserted.inserted);
        MemoryScriptText readBack(ReadBackScript(inserted, demo.table));

        for (unsigned k = 0; k < inserted.info.stringCount; ++k) {
            if (RecordType(inserted.bytes(), k) != kTextRecordType) continue;
            ASSERT_EQ(encodeEntry(readBack, k), encodeEntry(dump, k)) << "string " << k;
            const auto kana = LookupEntry(dump, int(k));
            const auto back = LookupEntry(readBack, int(k));
            ASSERT_TRUE(kana && back);
            std::string joined;
            for (const auto& line : *kana) joined += line;
            if (joined.find('[') != std::string::npos) continue;
            // Plain text reads back as it was written: dictionary references come out as words.
            EXPECT_EQ(*back, *kana) << "string " << k;
            ++plainCompared;
            if (ApplyDictionary(joined, demo.table) != joined) ++withDictionaryWords;
        }
    }
    EXPECT_GT(plainCompared, 0u);
    EXPECT_GT(withDictionaryWords, 0u);
}

TEST(Readback, CodesAndRawBytesReadBackAsKeywordsAndEscapes) {
    const std::vector<uint8_t> bytes = {'H', 'i', 0xF0, 0xF1, 0x1E, 0xFD, 0xF9, 0x12, 0x34, 0x56, 0x78,
                                        0xF2, 0x00, '[', '$', 0x01, 0x41, 0xFF, 'x'};
    TableFile table;
    table.parse("0141=word\n");
    const TranslatedString string = ReadTranslatedString(bytes);
    EXPECT_TRUE(string.ended);
    EXPECT_EQ(string.size, bytes.size() - 1);
    const auto lines = ReadBackLines(string, table);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Hi[KEY][PAUSE$1E]");
    EXPECT_EQ(lines[1], "[YES-NO][$1234][$5678][$F2005B]$word");
}

TEST(Readback, EveryCodeReadsBackAsItsKeywordWithItsParameters) {
    TableFile table;
    for (const auto& row : ::corv::testing_support::kKeywordCases) {
        SCOPED_TRACE(std::string(row.keyword));
        std::vector<uint8_t> bytes = {row.kind};
        for (int i = 0; i < row.translatedParameterBytes; ++i) bytes.push_back(static_cast<uint8_t>(0x12 + 0x22 * i));
        bytes.push_back(kStringEndByte);
        const TranslatedString string = ReadTranslatedString(bytes);
        EXPECT_TRUE(string.ended);
        EXPECT_EQ(string.size, bytes.size());
        ASSERT_EQ(string.tokens.size(), 1u);
        EXPECT_EQ(string.tokens[0].params.size(), size_t(row.translatedParameterBytes));
        std::vector<std::string> expected = {std::string(row.keyword)};
        if (row.kind == 0xF1) expected = {"[PAUSE$12]"};
        if (row.kind == 0xF9) expected = {"[YES-NO][$1234][$5678]"};
        if (row.kind == 0xFD) expected = {"", ""};
        EXPECT_EQ(ReadBackLines(string, table), expected);
        EXPECT_EQ(CodeMustBeKept(row.kind), row.mustKeep);
    }
    for (const auto& row : ::corv::testing_support::kUnnamedCodeCases) {
        const std::vector<uint8_t> bytes = {row.kind, kStringEndByte};
        EXPECT_EQ(ReadBackLines(ReadTranslatedString(bytes), table), std::vector<std::string>{"[$" + std::string(row.decoderText.substr(2, 2)) + "]"});
        EXPECT_TRUE(CodeMustBeKept(row.kind));
    }
    EXPECT_FALSE(CodeMustBeKept(0xEF));
    EXPECT_FALSE(CodeMustBeKept(0xFE));
}

TEST(Readback, RandomStringsEncodeBackToTheirBytes) {
    TableFile table;
    table.parse("0141=Qz#\n");
    std::mt19937 random(7);
    const auto next = [&](unsigned below) { return static_cast<uint8_t>(random() % below); };
    for (int round = 0; round < 5000; ++round) {
        std::vector<uint8_t> bytes;
        for (int tokens = next(24); tokens > 0; --tokens) {
            const uint8_t code = static_cast<uint8_t>(0xF0 + next(14));
            switch (next(6)) {
            case 0:  // a code with its parameters
                bytes.push_back(code);
                for (int i = code == kCodePause ? 1 : code == kCodeYesNo ? 4 : 0; i > 0; --i) bytes.push_back(next(255));
                break;
            case 1: bytes.insert(bytes.end(), {kDictionaryPrefix, next(255)}); break;
            case 2: bytes.push_back(static_cast<uint8_t>("[$]KEYPAUSE"[next(11)])); break;
            default: {
                const uint8_t character = next(0xF0);
                bytes.push_back(character == kDictionaryPrefix ? 0x02 : character);
                break;
            }
            }
        }
        bytes.push_back(kStringEndByte);
        const TranslatedString string = ReadTranslatedString(bytes);
        ASSERT_TRUE(string.ended);
        const std::vector<std::string> lines = ReadBackLines(string, table);
        std::string joined;
        for (size_t i = 0; i < lines.size(); ++i) joined += (i > 0 ? "\n" : "") + lines[i];
        MemoryScriptText script(".STRING 0\n" + joined + (lines.empty() ? "" : "\n") + ".ENDS\n");
        std::vector<uint8_t> encoded(kPreviewByteBufferSize);
        const EncodeResult result = EncodeScriptString(0, script, table, encoded, nullptr);
        encoded.resize(result.length);
        ASSERT_EQ(encoded, bytes) << ::testing::PrintToString(lines);
    }
}

TEST(Readback, CheckOfAnInsertedBlockComparesTheRomWithTheScript) {
    const auto& demo = Demo();
    core::RomImage rom(demo.game.rom, "readback.smc");
    std::string dump = insertKanaDump(rom, 0);
    const TextBlock inserted = demo.block(rom.data(), 0);

    MemoryScriptText same(dump);
    const BlockReport unchanged = CheckBlock(rom.data(), inserted, same, demo.table, {});
    EXPECT_TRUE(unchanged.inserted);
    for (const StringReport& string : unchanged.strings) {
        for (const Finding& finding : string.findings) EXPECT_NE(finding.kind, FindingKind::RomDiffers);
    }

    const std::string opening = EntrySearchText(1) + "\n";
    dump.insert(dump.find(opening) + opening.size(), "changed ");
    MemoryScriptText edited(dump);
    const BlockReport report = CheckBlock(rom.data(), inserted, edited, demo.table, {});
    std::vector<unsigned> differing;
    for (const StringReport& string : report.strings) {
        for (const Finding& finding : string.findings) {
            if (finding.kind == FindingKind::RomDiffers) differing.push_back(string.number);
        }
    }
    EXPECT_EQ(differing, std::vector<unsigned>{1});
}

}  // namespace
}  // namespace corv::check
