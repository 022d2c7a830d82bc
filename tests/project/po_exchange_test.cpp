// The PO exchange: export then import leaves the scripts byte for byte as they were, a PO file
// translated by a tool imports exactly its translated, non-fuzzy entries, the files pass
// msgfmt --check, and characters a script cannot hold refuse the import.

#include <gtest/gtest.h>

#include <cstdlib>

#include "project/po_exchange.h"
#include "project/po_reader.h"
#include "project/project_fixture.h"
#include "script/script_text.h"

namespace corv::testing {
namespace {

class PoExchange : public ProjectTest {
protected:
    std::vector<fs::path> exportAll(const fs::path& folder) const {
        const project::ProjectFile file = loadProject();
        const auto inputs = loadInputs(file);
        fs::create_directories(folder);
        std::vector<fs::path> paths;
        for (size_t i = 0; i < inputs->dataFile.blocks.size(); ++i) {
            const project::BlockPo po = project::ExportBlockPo(file, *inputs, i);
            EXPECT_FALSE(po.problem);
            paths.push_back(project::PoPathFor(folder, po.address));
            std::ofstream(paths.back(), std::ios::binary) << project::FormatPoFile(po.messages);
        }
        return paths;
    }
    project::PoImport import(const std::vector<fs::path>& files, bool fuzzy = false) const {
        const project::ProjectFile file = loadProject();
        return project::ImportPoFiles(file, *loadInputs(file), files, fuzzy);
    }
    std::optional<std::vector<std::string>> entry(const demo::DemoBlock& block, int n) const {
        script::MemoryScriptText script(*script::LoadScriptFile(scriptPath(block)));
        return script::LookupEntry(script, n);
    }
};

TEST_F(PoExchange, ExportThenImportLeavesEveryScriptByteIdentical) {
    for (size_t n = 0; n < 3; ++n) translate(textBlock(n), 1.0, n + 3);
    std::map<fs::path, std::vector<uint8_t>> before;
    for (size_t n = 0; n < 3; ++n) before[scriptPath(textBlock(n))] = readBytes(scriptPath(textBlock(n)));

    const project::PoImport result = import(exportAll(dir_ / "po"));
    EXPECT_TRUE(result.errors.empty());
    EXPECT_TRUE(result.scripts.empty());
    EXPECT_EQ(result.imported, 0u);
    EXPECT_GT(result.unchanged, 100u);
    for (const auto& [path, bytes] : before) EXPECT_EQ(readBytes(path), bytes) << path;
    EXPECT_FALSE(fs::exists(scriptPath(textBlock(3))));
}

TEST_F(PoExchange, TrailingLineBreaksAreANewlineKeywordThatComesBackAndGoesWhenRemoved) {
    const demo::DemoBlock& block = textBlock(2);  // 545C00
    std::string text = script::ProjectScriptSkeleton(unsigned(block.records.size()));
    const auto put = [&](int n, const std::string& lines) {
        const std::string opening = script::EntrySearchText(n) + "\n\n.ENDS";
        text.replace(text.find(opening), opening.size(), script::EntrySearchText(n) + "\n" + lines + ".ENDS");
    };
    put(1, "One break after me\n\n");
    put(2, "Two after me\n\n\n");
    put(5, "[NEWLINE]\n");  // a string of one line break, meant so
    ASSERT_TRUE(script::SaveScriptFile(scriptPath(block), text));
    const std::vector<uint8_t> before = readBytes(scriptPath(block));

    const project::ProjectFile file = loadProject();
    const auto inputs = loadInputs(file);
    size_t index = 0;
    while (inputs->dataFile.blocks.at(index).address != block.address) ++index;
    const project::BlockPo po = project::ExportBlockPo(file, *inputs, index);
    const auto message = [&](unsigned n) {
        const std::string context = project::PoContext(block.address, n);
        const auto found = std::find_if(po.messages.begin(), po.messages.end(),
                                        [&](const project::PoMessage& m) { return m.context == context; });
        return found == po.messages.end() ? project::PoMessage{} : *found;
    };
    EXPECT_EQ(message(1).str, "One break after me[NEWLINE]");
    EXPECT_EQ(message(2).str, "Two after me[NEWLINE][NEWLINE]");
    EXPECT_EQ(message(5).str, "[NEWLINE]");
    EXPECT_NE(message(1).notes.back().find("remove it"), std::string::npos);

    // Imported as exported: nothing changes.
    const fs::path exported = dir_ / "545C00.po";
    std::ofstream(exported, std::ios::binary) << project::FormatPoFile(po.messages);
    const project::PoImport same = import({exported});
    ASSERT_TRUE(same.errors.empty());
    EXPECT_TRUE(same.scripts.empty());
    EXPECT_EQ(readBytes(scriptPath(block)), before);

    // The keyword taken away in the PO takes the break away; one written (in any case) into an
    // untranslated entry gives the empty line, and nothing of the skeleton is left.
    const fs::path edited = dir_ / "edited.po";
    std::ofstream(edited, std::ios::binary)
        << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
           "msgctxt \"BLOCK 545C00 STRING 1\"\nmsgid \"x\"\nmsgstr \"One break after me\"\n\n"
           "msgctxt \"BLOCK 545C00 STRING 4\"\nmsgid \"y\"\nmsgstr \"New[newline]\"\n";
    const project::PoImport changed = import({edited});
    ASSERT_TRUE(changed.errors.empty());
    ASSERT_EQ(changed.imported, 2u);
    script::MemoryScriptText script(changed.scripts.at(scriptPath(block)));
    EXPECT_EQ(*script::LookupEntry(script, 1), std::vector<std::string>{"One break after me"});
    EXPECT_EQ(*script::LookupEntry(script, 4), (std::vector<std::string>{"New", ""}));
    EXPECT_EQ(*script::LookupEntry(script, 2), (std::vector<std::string>{"Two after me", "", ""}));
}

TEST_F(PoExchange, ExportedFilesPassMsgfmtCheck) {
    translate(textBlock(0), 1.0);
    if (std::system("msgfmt --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "msgfmt is not installed";
    for (const fs::path& path : exportAll(dir_ / "po")) {
        const std::string command = "msgfmt --check -o /dev/null '" + path.string() + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << path;
    }
}

TEST_F(PoExchange, ExportedMessagesCarryTheGameStringTheTranslationAndNotes) {
    translate(textBlock(0), 1.0);
    const project::ProjectFile file = loadProject();
    const project::BlockPo po = project::ExportBlockPo(file, *loadInputs(file), 0);
    ASSERT_FALSE(po.messages.empty());
    const project::PoMessage& first = po.messages.front();
    EXPECT_EQ(first.context, "BLOCK D01000 STRING 0");
    EXPECT_NE(first.id.find("[Player]"), std::string::npos) << first.id;
    EXPECT_NE(first.id.find('\n'), std::string::npos);
    const auto lines = entry(textBlock(0), 0);
    ASSERT_TRUE(lines);
    std::string translation;
    for (const std::string& line : *lines) translation += line + '\n';
    while (!translation.empty() && translation.back() == '\n') translation.pop_back();
    EXPECT_EQ(first.str, project::Latin1ToUtf8(translation));
    EXPECT_NE(first.notes.at(0).find("keep the codes: "), std::string::npos);
    EXPECT_NE(first.notes.at(0).find("[Player]"), std::string::npos);
    const bool sharing = std::any_of(po.messages.begin(), po.messages.end(), [](const project::PoMessage& m) {
        return std::any_of(m.notes.begin(), m.notes.end(),
                           [](const std::string& n) { return n.rfind("shares its text with string ", 0) == 0; });
    });
    EXPECT_TRUE(sharing);  // the demo's first block has a record sharing its pointer
}

TEST_F(PoExchange, AToolsTranslationImportsExactlyItsTranslatedNonFuzzyEntries) {
    const demo::DemoBlock& block = textBlock(2);  // 545C00, no script yet: its skeleton is made
    ASSERT_EQ(block.address, 0x545C00u);
    const fs::path po = dir_ / "tool.po";
    std::ofstream(po, std::ios::binary) << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                           "msgctxt \"BLOCK 545C00 STRING 1\"\nmsgid \"x\"\nmsgstr \"Caf\xC3\xA9 open\"\n\n"
                                           "#, fuzzy\nmsgctxt \"BLOCK 545C00 STRING 2\"\nmsgid \"y\"\nmsgstr \"Maybe\"\n\n"
                                           "msgctxt \"BLOCK 545C00 STRING 3\"\nmsgid \"z\"\nmsgstr \"\"\n\n"
                                           "msgctxt \"BLOCK 545C00 STRING 4\"\nmsgid \"w\"\n"
                                           "msgstr \"\"\n\"Two\\n\"\n\"lines\"\n";
    project::PoImport result = import({po});
    ASSERT_TRUE(result.errors.empty());
    EXPECT_EQ(result.imported, 2u);
    EXPECT_EQ(result.fuzzySkipped, 1u);
    EXPECT_EQ(result.untranslated, 1u);
    ASSERT_EQ(result.scripts.size(), 1u);
    const std::string& text = result.scripts.begin()->second;
    EXPECT_EQ(result.scripts.begin()->first, scriptPath(block));
    script::MemoryScriptText script(text);
    EXPECT_EQ(*script::LookupEntry(script, 1), std::vector<std::string>{"Caf\xE9 open"});
    // The project's skeleton: one empty line to type on.
    EXPECT_EQ(*script::LookupEntry(script, 2), std::vector<std::string>{""});
    EXPECT_EQ(*script::LookupEntry(script, 3), std::vector<std::string>{""});
    EXPECT_EQ(*script::LookupEntry(script, 4), (std::vector<std::string>{"Two", "lines"}));

    const project::PoImport withFuzzy = import({po}, true);
    script::MemoryScriptText fuzzyScript(withFuzzy.scripts.begin()->second);
    EXPECT_EQ(withFuzzy.imported, 3u);
    EXPECT_EQ(*script::LookupEntry(fuzzyScript, 2), std::vector<std::string>{"Maybe"});
}

TEST_F(PoExchange, CharactersAScriptCannotHoldRefuseTheImportNamingFileLineAndCharacter) {
    const fs::path po = dir_ / "bad.po";
    std::ofstream(po, std::ios::binary) << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                           "msgctxt \"BLOCK 545C00 STRING 1\"\nmsgid \"x\"\nmsgstr \"Fine\"\n\n"
                                           "msgctxt \"BLOCK 545C00 STRING 2\"\nmsgid \"y\"\nmsgstr \"5 \xE2\x82\xAC\"\n\n"
                                           "msgctxt \"BLOCK 545C00 STRING 3\"\nmsgid \"z\"\nmsgstr \"na\xC3\xAFve \xC3\xBF\"\n\n"
                                           "msgctxt \"BLOCK 999999 STRING 3\"\nmsgid \"z\"\nmsgstr \"x\"\n";
    const project::PoImport result = import({po});
    ASSERT_EQ(result.errors.size(), 3u);
    EXPECT_EQ(result.errors[0].problem, project::PoImportProblem::BadCharacter);
    EXPECT_EQ(result.errors[0].line, 11u);  // its msgstr
    EXPECT_EQ(result.errors[0].character, U'\u20AC');
    EXPECT_EQ(result.errors[0].context, "BLOCK 545C00 STRING 2");
    EXPECT_EQ(result.errors[1].character, U'\u00FF');  // the game's end code
    EXPECT_EQ(result.errors[2].problem, project::PoImportProblem::UnknownString);
    EXPECT_EQ(result.errors[0].file, po);

    std::ofstream(dir_ / "broken.po", std::ios::binary) << "msgid \"a\"\nmsgstr \"b\nmsgid\n";
    const project::PoImport broken = import({dir_ / "broken.po"});
    ASSERT_EQ(broken.errors.size(), 1u);
    EXPECT_EQ(broken.errors[0].problem, project::PoImportProblem::LibraryError);
    EXPECT_FALSE(broken.errors[0].detail.empty());
}

}  // namespace
}  // namespace corv::testing
