// Spanish and German letters through the character map of the table file: the checks take the
// mapped letters, the insertion writes their bytes, the block's figures count one byte per
// letter and the readback gives the same text back; a table without letter lines changes nothing.

#include <gtest/gtest.h>

#include <algorithm>

#include "check/block_check.h"
#include "check/translated_string.h"
#include "check/check_demo_support.h"
#include "core/rom_image.h"
#include "check/finding_text.h"
#include "script/script_file.h"
#include "script/string_record.h"
#include "check/string_check_support.h"

namespace corv::check {
using namespace corv::script;
namespace {

using testing_support::Demo;

constexpr char kLetterLines[] = "7B=\xF1\n7C=\xFC\n7D=\xF3\n7E=\xDF\n";
// "¿Dónde está el niño? Über alles." and a German line, in Latin-1.
const std::string kSpanish = "\xBF" "D\xF3nde est\xE1 el ni\xF1o? \xDC" "ber alles.";
const std::string kGerman = "Gr\xFC\xDF" "e aus der Stra\xDF" "e";

TableFile LettersTable() {
    return script::testing_support::LoadedTable(Demo().game.tableFile + kLetterLines, "letters.tbl");
}

std::vector<Finding> CheckWithTable(const std::string& script, const TableFile& table) {
    MemoryScriptText text(script);
    StringSource source;
    source.number = 0;
    return CheckString(source, text, table, {});
}

bool Has(const std::vector<Finding>& findings, FindingKind kind) {
    return std::any_of(findings.begin(), findings.end(), [kind](const Finding& f) { return f.kind == kind; });
}

// The kana dump of block n with its first string's lines replaced by `lines`.
std::string ScriptWithFirstString(size_t n, const std::string& lines) {
    const auto& demo = Demo();
    const TextBlock block = demo.block(demo.game.rom, n);
    const std::string dump = demo.kanaDump(block);
    return ".STRING 0\n" + lines + "\n.ENDS\n\n" + dump.substr(dump.find(".STRING 1\n"));
}

std::vector<uint8_t> StringBytes(const TextBlock& block, unsigned n) {
    const auto data = block.bytes();
    const auto string = ReadTranslatedString(data.subspan(RecordTextPointer(data, n)));
    return {data.begin() + RecordTextPointer(data, n), data.begin() + RecordTextPointer(data, n) + long(string.size)};
}

TEST(Letters, MappedLettersAreNoCodeCharacters) {
    const std::string script = ".STRING 0\n" + kSpanish + "\n" + kGerman + "\n.ENDS\n";
    const std::vector<Finding> mapped = CheckWithTable(script, LettersTable());
    EXPECT_FALSE(Has(mapped, FindingKind::CodeCharacter));
    EXPECT_FALSE(Has(mapped, FindingKind::SharedByte));
    // Without the lines ó (F3), ñ (F1) and ü (FC) are read as codes by the game, as before.
    const std::vector<Finding> plain = CheckWithTable(script, Demo().table);
    std::vector<uint8_t> codes;
    for (const Finding& f : plain) {
        if (f.kind == FindingKind::CodeCharacter) codes.push_back(f.code);
    }
    EXPECT_EQ(codes, (std::vector<uint8_t>{0xF3, 0xF1, 0xFC}));
}

TEST(Letters, ACharacterOnAByteGivenToALetterIsWarnedAbout) {
    // "{" is 7B, given to ñ, and "}" is 7D, given to ó: each is told once per line.
    const std::vector<Finding> findings = CheckWithTable(".STRING 0\nni\xF1o {x} {y}\n.ENDS\n", LettersTable());
    std::vector<std::string> shared;
    for (const Finding& f : findings) {
        if (f.kind == FindingKind::SharedByte) shared.push_back(f.subject + "=" + std::to_string(f.code));
    }
    EXPECT_EQ(shared, (std::vector<std::string>{"{=123", "}=125"}));
    const auto first = std::find_if(findings.begin(), findings.end(), [](const Finding& f) { return f.kind == FindingKind::SharedByte; });
    ASSERT_NE(first, findings.end());
    EXPECT_EQ(SeverityOf(FindingKind::SharedByte), Severity::Warning);
    EXPECT_EQ(FindingMessage(*first, {}), "line 1: \"{\" is written as its own byte 7B, which the table file gives to \"\xC3\xB1\": "
                                          "the game shows that letter, and the readback gives it back");
}

TEST(Letters, TheInsertionWritesTheMappedBytesAndTheReadbackGivesTheTextBack) {
    const auto& demo = Demo();
    const TableFile table = LettersTable();
    core::RomImage rom(demo.game.rom, "letters.smc");
    TextBlock block = demo.block(rom.data(), 0);
    MemoryScriptText script(ScriptWithFirstString(0, kSpanish + "\n" + kGerman));
    uint32_t endOfRoom = block.end;
    std::vector<uint8_t> preview(kPreviewByteBufferSize);
    script::testing_support::RecordingProgress progress;
    const auto result = insert::InsertScript(rom, *block.buffer, block.info, endOfRoom, script, table, preview, progress);
    ASSERT_EQ(result.outcome, insert::InsertionOutcome::Inserted);

    const TextBlock inserted = demo.block(rom.data(), 0);
    std::vector<uint8_t> expected = {0xBF, 'D', 0x7D, 'n', 'd', 'e', ' ', 'e', 's', 't', 0xE1, ' ', 'e', 'l', ' ',
                                     'n', 'i', 0x7B, 'o', '?', ' ', 0xDC, 'b', 'e', 'r', ' ', 'a', 'l', 'l', 'e', 's', '.', 0xFD,
                                     'G', 'r', 0x7C, 0x7E, 'e', ' ', 'a', 'u', 's', ' ', 'd', 'e', 'r', ' ',
                                     'S', 't', 'r', 'a', 0x7E, 'e', 0xFF};
    EXPECT_EQ(StringBytes(inserted, 0), expected);

    const std::string readBack = ReadBackScript(inserted, table);
    EXPECT_EQ(readBack.rfind(".STRING 0\n" + kSpanish + "\n" + kGerman + "\n.ENDS\n", 0), 0u) << readBack.substr(0, 120);
    // The check of the inserted block finds the ROM equal to the script.
    MemoryScriptText again(ScriptWithFirstString(0, kSpanish + "\n" + kGerman));
    const BlockReport report = CheckBlock(rom.data(), inserted, again, table, {});
    for (const StringReport& string : report.strings) EXPECT_FALSE(Has(string.findings, FindingKind::RomDiffers)) << string.number;
}

TEST(Letters, TheRoomCountsOneBytePerMappedLetter) {
    const auto& demo = Demo();
    const TextBlock block = demo.block(demo.game.rom, 0);
    const auto encodedLength = [&](const std::string& lines, const TableFile& table) {
        BlockFit fit(demo.game.rom, *block.buffer, block.info, block.end);
        MemoryScriptText script(ScriptWithFirstString(0, lines));
        fit.encodeAll(script, table);
        return fit.entries().at(0).bytes.size();
    };
    // Each mapped letter is one byte, like the plain letter it stands beside.
    EXPECT_EQ(encodedLength(kSpanish, LettersTable()), kSpanish.size() + 1);
    EXPECT_EQ(encodedLength("ni\xF1o", LettersTable()), encodedLength("nino", Demo().table));
}

TEST(Letters, WithoutLetterLinesEveryByteStaysAsItWas) {
    // The demo table's character lines map letters to themselves: every block encodes and reads
    // back exactly as with no character map at all.
    const auto& demo = Demo();
    ASSERT_TRUE(demo.table.characterMap().isIdentity());
    TableFile noLines = script::testing_support::LoadedTable("0105=the\n", "plain.tbl");
    const std::string line = "\xC9t\xE9 [KEY]{x}|y~ \xE4";
    std::vector<uint8_t> withTable(64);
    std::vector<uint8_t> identity(64);
    withTable.resize(EncodeLines(std::vector<std::string>{line}, 0, withTable, nullptr, demo.table.characterMap()));
    identity.resize(EncodeLines(std::vector<std::string>{line}, 0, identity, nullptr, CharacterMap{}));
    EXPECT_EQ(withTable, identity);
    EXPECT_EQ(withTable.size(), line.size() - 3);  // "[KEY]" is one byte, and the end byte is added
    const TranslatedString string = ReadTranslatedString(identity);
    EXPECT_EQ(ReadBackLines(string, noLines), ReadBackLines(string, demo.table));
}

}  // namespace
}  // namespace corv::check
