// A Spanish and German PO file into a project whose table gives ñ ü ó ß bytes of the game: the
// import writes the letters into the script, the substitutions of the project file write what
// word processors type, the build puts the mapped bytes into the ROM, and without the
// substitutions the import is refused naming the character.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "project/po_exchange.h"
#include "project/substitutions_table.h"
#include "project/project_fixture.h"
#include "script/script_text.h"

namespace corv::testing {
namespace {

constexpr char kLetterLines[] = "7B=\xF1\n7C=\xFC\n7D=\xF3\n7E=\xDF\n";

class PoLetters : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        std::ofstream(dir_ / "game" / "corvane.tbl", std::ios::binary | std::ios::app) << kLetterLines;
        translate(textBlock(0), 1.0);
    }
    fs::path writePo(const std::string& translation) const {
        const fs::path po = dir_ / "es.po";
        char context[64];
        std::snprintf(context, sizeof context, "BLOCK %06X STRING 0", unsigned(textBlock(0).address));
        std::ofstream(po, std::ios::binary) << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                               "msgctxt \"" << context << "\"\nmsgid \"x\"\nmsgstr \"" << translation << "\"\n";
        return po;
    }
    project::PoImport import(const project::ProjectFile& file, const fs::path& po) const {
        return project::ImportPoFiles(file, *loadInputs(file), {po}, false);
    }
};

TEST_F(PoLetters, LettersImportBuildAndReachTheRomAsTheirBytes) {
    const project::ProjectFile file = loadProject();
    const project::PoImport imported = import(file, writePo("\xC2\xBF" "D\xC3\xB3nde est\xC3\xA1 el ni\xC3\xB1o? \xC3\x9C" "ber alles."));
    ASSERT_TRUE(imported.errors.empty()) << int(imported.errors.front().problem);
    ASSERT_EQ(imported.scripts.size(), 1u);
    const std::string& text = imported.scripts.begin()->second;
    script::MemoryScriptText script(text);
    EXPECT_EQ(*script::LookupEntry(script, 0), std::vector<std::string>{"\xBF" "D\xF3nde est\xE1 el ni\xF1o? \xDC" "ber alles."});
    EXPECT_EQ(imported.substituted, 0u);
    std::ofstream(imported.scripts.begin()->first, std::ios::binary) << text;

    // The export carries the letters back out: the PO round trip gives the same translation.
    const project::BlockPo po = project::ExportBlockPo(file, *loadInputs(file), 0);
    EXPECT_FALSE(po.unexportable.has_value());
    const auto message = std::find_if(po.messages.begin(), po.messages.end(),
                                      [](const project::PoMessage& m) { return m.context.ends_with("STRING 0"); });
    ASSERT_NE(message, po.messages.end());
    EXPECT_EQ(message->str, "\xC2\xBF" "D\xC3\xB3nde est\xC3\xA1 el ni\xC3\xB1o? \xC3\x9C" "ber alles.");

    const project::BuildResult built = build();
    ASSERT_EQ(built.outcome, project::BuildOutcome::Built);
    // The block is compressed; its decoded bytes hold the string with ó at 7D and ñ at 7B.
    core::RomImage rom(built.rom, "built.smc");
    auto buffer = std::make_unique<core::BlockBuffer>();
    ASSERT_NE(core::DecompressBlock(rom.data(), textBlock(0).address, *buffer), core::kBadBlockHeader);
    const std::vector<uint8_t> expected = {0xBF, 'D', 0x7D, 'n', 'd', 'e', ' ', 'e', 's', 't', 0xE1, ' ', 'e', 'l', ' ',
                                           'n', 'i', 0x7B, 'o', '?', ' ', 0xDC, 'b', 'e', 'r'};
    const auto end = buffer->begin() + core::DecompressedLength(*buffer);
    EXPECT_NE(std::search(buffer->begin(), end, expected.begin(), expected.end()), end);
}

TEST_F(PoLetters, TheDefaultSubstitutionsWriteWhatWordProcessorsTypeAndSayHowMany) {
    // ’ “ ” … — in one translation.
    const std::string typed = "It\xE2\x80\x99s \xE2\x80\x9C" "fine\xE2\x80\x9D\xE2\x80\xA6 \xE2\x80\x94 Gr\xC3\xBC\xC3\x9F" "e";
    const project::PoImport imported = import(loadProject(), writePo(typed));
    ASSERT_TRUE(imported.errors.empty());
    EXPECT_EQ(imported.substituted, 5u);
    script::MemoryScriptText script(imported.scripts.begin()->second);
    EXPECT_EQ(*script::LookupEntry(script, 0), std::vector<std::string>{"It's \"fine\"... - Gr\xFC\xDF" "e"});

    // Without the project's [substitutions] table the curly apostrophe is refused, by name.
    std::string text = projectText();
    text.erase(text.find("[substitutions]"), text.find("[output]") - text.find("[substitutions]"));
    writeProject(text);
    const project::ProjectFile bare = loadProject();
    EXPECT_TRUE(bare.substitutions.empty());
    const project::PoImport refused = import(bare, writePo(typed));
    ASSERT_EQ(refused.errors.size(), 1u);
    EXPECT_EQ(refused.errors[0].problem, project::PoImportProblem::BadCharacter);
    EXPECT_EQ(refused.errors[0].character, U'\u2019');
    EXPECT_EQ(refused.errors[0].line, 7u);
}

TEST_F(PoLetters, ASubstitutionThatWouldBeStructureIsAProjectError) {
    std::string text = projectText();
    text.insert(text.find("[output]"), "\"\xE2\x80\xB0\" = \"[KEY]\"\n");  // ‰ would write a keyword
    writeProject(text);
    const project::ProjectLoad load = project::LoadProjectFile(projectPath());
    ASSERT_TRUE(load.error.has_value());
    EXPECT_EQ(load.error->problem, project::ProjectProblem::WrongType);
    EXPECT_EQ(load.error->key, "substitutions.\"\xE2\x80\xB0\"");

    std::ofstream(dir_ / "subs.toml", std::ios::binary) << "\"\xE2\x80\x99\" = \"'\"\n\"a\" = \"b\"\n";
    const project::SubstitutionsLoad file = project::LoadSubstitutionsFile(dir_ / "subs.toml");
    ASSERT_TRUE(file.error.has_value());
    EXPECT_EQ(file.error->line, 2);
    EXPECT_EQ(file.error->key, "\"a\"");
}

}  // namespace
}  // namespace corv::testing
