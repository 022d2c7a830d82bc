// Play-test and release builds of a block translated in part, run as a translator would: one
// string of D01000 translated, every other one still the skeleton's empty entry.

#include <gtest/gtest.h>

#include "check/translated_string.h"
#include "editor/logic/live_checks.h"
#include "script/block_data_file.h"
#include "script/script_file.h"
#include "script/table_file.h"
#include "script/text_block.h"
#include "tools/corvtool_fixture.h"

namespace corv::testing {
namespace {

using Code = std::pair<uint8_t, std::vector<uint8_t>>;

// The codes of a game string as the translated game must read them, worked out from the words
// alone: the pause's low byte, the yes/no choice's two words low byte first.
std::vector<Code> originalCodes(const std::vector<uint16_t>& words) {
    std::vector<Code> codes;
    for (size_t i = 0; i < words.size() && words[i] != 0xFFFF; ++i) {
        const auto kind = static_cast<uint8_t>(words[i] >> 8);
        if (kind < 0xF0 || kind > 0xFD) continue;
        std::vector<uint8_t> params;
        if (kind == 0xF1) params.push_back(static_cast<uint8_t>(words[i] & 0xFF));
        for (int k = 0; kind == 0xF9 && k < 2 && i + 1 < words.size(); ++k) {
            ++i;
            params.push_back(static_cast<uint8_t>(words[i] & 0xFF));
            params.push_back(static_cast<uint8_t>(words[i] >> 8));
        }
        codes.emplace_back(kind, params);
    }
    return codes;
}

bool hasCharacters(const std::vector<uint16_t>& words) {
    return std::any_of(words.begin(), words.end(), [](uint16_t w) { return w != 0xFFFF && (w >> 8) < 0xF0; });
}

class CorvtoolPlayTest : public CorvtoolTest {
protected:
    // The reproduction: make-demo, init-project, string 2 of D01000 translated.
    fs::path partlyTranslated() {
        makeDemo();
        const fs::path dir = dir_ / "proj";
        const ToolRun init = initProject(dir);
        EXPECT_EQ(init.exitCode, 0) << init.err;
        EXPECT_TRUE(replaceInFile(dir / "Dumps/00D01000.txt", ".STRING 2\r\n\r\n", ".STRING 2\r\nHP is low![KEY]\r\n"));
        return dir;
    }

    const DemoBlock& d01000() const {
        for (const DemoBlock& block : game_->blocks) {
            if (block.address == 0xD01000) return block;
        }
        throw std::runtime_error("no block D01000");
    }

    // The strings of D01000 in the built ROM, read in the translated game's format.
    std::vector<check::TranslatedString> builtStrings(const fs::path& rom) const {
        const std::vector<uint8_t> file = readBytes(rom);
        auto buffer = std::make_unique<core::BlockBuffer>();
        EXPECT_NE(core::DecompressBlock(file, 0xD01000, *buffer), core::kBadBlockHeader);
        const std::span<const uint8_t> block(buffer->data(), core::DecompressedLength(*buffer));
        std::vector<check::TranslatedString> strings;
        for (size_t n = 0; n < d01000().records.size(); ++n) {
            const uint16_t pointer = static_cast<uint16_t>(block[64 * n + 14] | block[64 * n + 15] << 8);
            strings.push_back(check::ReadTranslatedString(block.subspan(pointer)));
        }
        return strings;
    }
};

TEST_F(CorvtoolPlayTest, UntranslatedStringsKeepTheOriginalCodesWithTheirNumberAndTheBuildCountsThem) {
    const fs::path dir = partlyTranslated();
    const ToolRun build = corvtool("build " + q(dir));
    ASSERT_EQ(build.exitCode, 0) << build.out << build.err;
    EXPECT_NE(build.out.find("BLOCK D01000: 1/44 strings translated, 43 stood in; needs "), std::string::npos)
        << build.out;
    EXPECT_NE(build.out.find("; 43 untranslated string(s) stood in for play-testing"), std::string::npos) << build.out;

    const auto strings = builtStrings(dir / "build/corvane-translated.smc");
    const auto& records = d01000().records;
    size_t compared = 0;
    for (size_t n = 0; n < records.size(); ++n) {
        if (n == 2 || records[n].type != 2 || records[n].sharesPointer) continue;
        std::vector<Code> codes;
        std::string characters;
        for (const check::TranslatedToken& token : strings[n].tokens) {
            if (token.kind == check::TokenKind::Code) codes.emplace_back(token.value, token.params);
            if (token.kind == check::TokenKind::Character) characters += char(token.value);
        }
        EXPECT_TRUE(strings[n].ended) << "string " << n;
        EXPECT_EQ(codes, originalCodes(records[n].words)) << "string " << n;
        // The marker stands where text was, and only there.
        const std::string marker = "#" + std::to_string(n);
        EXPECT_EQ(!characters.empty(), hasCharacters(records[n].words)) << "string " << n;
        if (!characters.empty()) {
            EXPECT_EQ(characters.substr(0, marker.size()), marker) << "string " << n;
        }
        ++compared;
    }
    EXPECT_GE(compared, 30u);
    // The translation stays as written: its text and the key wait, typed on the skeleton's one
    // empty line, so no line break after it.
    std::string translated;
    for (const check::TranslatedToken& token : strings[2].tokens) translated += char(token.value);
    EXPECT_EQ(translated, "HP is low!\xF0");
}

TEST_F(CorvtoolPlayTest, AReleaseBuildRefusesTheBlockNamingItsUntranslatedStringsAndWritesNothing) {
    const fs::path dir = partlyTranslated();
    const ToolRun release = corvtool("build " + q(dir) + " --release");
    EXPECT_EQ(release.exitCode, 2) << release.out << release.err;
    EXPECT_NE(release.out.find("BLOCK D01000: 1/44 strings translated; a release build takes no untranslated string, "
                               "not inserted: string(s) 0, 1, 3, 4, "),
              std::string::npos)
        << release.out;
    EXPECT_EQ(release.out.find(", 2, "), std::string::npos) << release.out;
    EXPECT_NE(release.err.find("nothing was written"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "build"));
    // Blocks with no translation at all are no reason to refuse.
    EXPECT_NE(release.out.find("BLOCK D40000: 0/136 strings translated; kept as in the original"), std::string::npos);

    // The project key does the same; a value it does not know names its line.
    const std::string project = readText(dir / "corvane-project.toml");
    std::ofstream(dir / "corvane-project.toml", std::ios::binary) << "untranslated = \"refuse\"\n" << project;
    const ToolRun keyed = corvtool("build " + q(dir));
    EXPECT_EQ(keyed.exitCode, 2);
    EXPECT_NE(keyed.out.find("a release build takes no untranslated string"), std::string::npos) << keyed.out;
    ASSERT_TRUE(replaceInFile(dir / "corvane-project.toml", "untranslated = \"refuse\"", "untranslated = \"some\""));
    const ToolRun wrong = corvtool("build " + q(dir));
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.err.find("corvane-project.toml:1: key 'untranslated'"), std::string::npos) << wrong.err;

    // Translated through to the end, the release build goes through.
    std::string script = readText(dir / "Dumps/00D01000.txt");
    for (size_t at = 0; (at = script.find("\r\n\r\n.ENDS", at)) != std::string::npos;) {
        script.replace(at, 4, "\r\n[NEWLINE]\r\n");
    }
    std::ofstream(dir / "Dumps/00D01000.txt", std::ios::binary) << script;
    ASSERT_TRUE(replaceInFile(dir / "corvane-project.toml", "untranslated = \"some\"", "untranslated = \"stand-in\""));
    EXPECT_EQ(corvtool("build " + q(dir)).exitCode, 0);
    const ToolRun done = corvtool("build " + q(dir) + " --release");
    EXPECT_EQ(done.exitCode, 0) << done.out << done.err;
    EXPECT_NE(done.out.find("BLOCK D01000: 44/44 strings translated; needs "), std::string::npos) << done.out;
}

// A line holding only a CR, which a Windows line end leaves in a script whose other line ends are
// LF alone, is no translation: check, status, build, export-po and the editor's live checks count
// string 3's entry alike, as one still to be translated.
TEST_F(CorvtoolPlayTest, AnEntryOfOnlyACarriageReturnIsUntranslatedForEveryCount) {
    const fs::path dir = partlyTranslated();
    const fs::path scriptPath = dir / "Dumps/00D01000.txt";
    ASSERT_TRUE(replaceInFile(scriptPath, ".STRING 3\r\n\r\n", ".STRING 3\r\n\r\r\n"));
    const std::optional<std::string> text = script::LoadScriptFile(scriptPath);
    ASSERT_TRUE(text.has_value());
    ASSERT_NE(text->find(".STRING 3\n\r\n"), std::string::npos);

    const ToolRun check = corvtool("check " + q(dir_ / kRomFileName) + " " + q(dir_ / kBlockDataFileName) + " " +
                                   q(dir_ / kTableFileName) + " D01000 " + q(scriptPath) + " --untranslated");
    EXPECT_NE(check.out.find("1 of 44 strings translated"), std::string::npos) << check.out << check.err;
    EXPECT_NE(check.out.find("not translated yet: 0 1 3 4 "), std::string::npos) << check.out;
    const ToolRun status = corvtool("status " + q(dir));
    EXPECT_NE(status.out.find("BLOCK D01000: 1/44 strings translated"), std::string::npos) << status.out << status.err;
    const ToolRun build = corvtool("build " + q(dir));
    EXPECT_NE(build.out.find("BLOCK D01000: 1/44 strings translated, 43 stood in"), std::string::npos) << build.out;
    const ToolRun exported = corvtool("export-po " + q(dir) + " " + q(dir_ / "po"));
    EXPECT_NE(exported.out.find("00D01000.po: 43 message(s), 1 translated"), std::string::npos) << exported.out
                                                                                                 << exported.err;

    script::CodeMaps maps;
    const script::BlockDataLoad data = script::ParseBlockDataFile(readText(dir_ / kBlockDataFileName), maps);
    const std::vector<uint8_t> rom = readBytes(dir_ / kRomFileName);
    const script::TextBlockLoad block = script::LoadTextBlock(rom, data.blocks, 0xD01000);
    ASSERT_TRUE(block.block.has_value());
    script::TableFile table;
    ASSERT_EQ(table.load(dir_ / kTableFileName), script::TableLoadResult::Loaded);
    editor::LiveChecks live;
    live.open({rom, block.block->buffer.get(), block.block->info, block.block->end, block.block->inserted}, *text, &table,
              {}, insert::InsertionCompressor::Standard);
    ASSERT_NE(live.string(3), nullptr);
    EXPECT_EQ(live.string(3)->state, editor::StringState::Untranslated);
    ASSERT_NE(live.string(2), nullptr);
    EXPECT_NE(live.string(2)->state, editor::StringState::Untranslated);
}

// An output the build may not replace names the save's reason in the error line, as the editor's
// build log does; nothing is written.
TEST_F(CorvtoolPlayTest, ABuildThatCannotWriteAnOutputNamesTheReason) {
    const fs::path dir = partlyTranslated();
    ASSERT_EQ(corvtool("build " + q(dir)).exitCode, 0);
    const fs::path rom = dir / "build/corvane-translated.smc";
    ASSERT_EQ(::chmod(rom.c_str(), 0444), 0);
    const auto before = fileIdentity(dir / "build/corvane-translated.ips");
    const ToolRun build = corvtool("build " + q(dir));
    EXPECT_EQ(build.exitCode, 2);
    EXPECT_NE(build.err.find("corvane-translated.smc: cannot write this file: " + rom.string() +
                             ": permission denied; nothing was written"),
              std::string::npos)
        << build.err;
    EXPECT_EQ(fileIdentity(dir / "build/corvane-translated.ips"), before);
    ::chmod(rom.c_str(), 0644);
}

}  // namespace
}  // namespace corv::testing
