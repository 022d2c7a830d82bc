// The project library's side of files from other people: the nesting scan before the TOML
// parser, the project file's bounds, where a project may write, the record of a build's two
// outputs, scripts written all or nothing, and the rules a translation must keep.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "project/build_outputs.h"
#include "project/po_reader.h"
#include "project/po_text.h"
#include "project/project_error_text.h"
#include "project/script_writes.h"
#include "project/toml_nesting.h"
#include "project/write_paths.h"
#include "project/project_fixture.h"

namespace corv::testing {
namespace {

TEST(TomlNesting, CountsHeadingsDottedKeysAndBracketsButNotStringsOrComments) {
    const struct {
        std::string text;
        std::optional<int> tooDeepAt;  // with a limit of 3
    } cases[] = {
        {"[blocks.D40000]\nskip = true\n", std::nullopt},
        {"a.b.c = 1\n", std::nullopt},
        {"a.b.c.d = 1\n", 1},
        {"[a.b]\nc.d = 1\n", 2},
        {"[[a.b]]\nc = 1\n", 2},
        {"x = [[[1]]]\n", 1},
        {"x = [\n  [\n   [\n    [1]]]]\n", 3},  // arrays span lines
        {"t = {a = {b = 1}}\n", 1},
        {"s = 'a.b.c.d.e [[[[ {{{{'\n# a.b.c.d [[[[\n", std::nullopt},
        {"s = \"\"\"\n[a.b.c.d.e]\n\"\"\"\nk = \"\\\"[[[[\"\n", std::nullopt},
        {"\"a.b.c.d\" = 1\n'e.f.g.h' = 2\n", std::nullopt},
        {"v = 1.5\nw = 2026-01-01T00:00:00.5\n[a]\n", std::nullopt},  // dots in values nest nothing
    };
    for (const auto& c : cases) EXPECT_EQ(project::LineNestedTooDeep(c.text, 3), c.tooDeepAt) << c.text;
}

class UntrustedProject : public ProjectTest {
protected:
    project::ProjectLoad loadText(const std::string& text) const {
        writeProject(text);
        return project::LoadProjectFile(projectPath());
    }
    std::string errorText(const project::ProjectLoad& load) const {
        return load.error ? project::ProjectErrorText(projectPath(), *load.error) : std::string("no error");
    }
};

TEST_F(UntrustedProject, AProjectFileIsReadOnlyWhenPlainSmallShallowAndFreeOfNuls) {
    const std::string good = projectText();
    const int lines = int(std::count(good.begin(), good.end(), '\n'));
    const struct {
        std::string text;
        project::ProjectProblem problem;
        std::string key;
        int line;
    } cases[] = {
        {good + "# " + std::string(project::kLargestProjectFile, 'x') + "\n", project::ProjectProblem::TooLarge, "", 0},
        {good + "[a.b.c.d.e.f.g.h.i.j.k.l.m.n.o.p.q]\n", project::ProjectProblem::TooDeep, "", lines + 1},
        {"\"bad\\u0000key\" = 1\n" + good, project::ProjectProblem::NulCharacter, std::string("bad\0key", 7), 1},
        {good + "[blocks.D40000]\nskip = true\n[editor]\nnote = \"a\\u0000b\"\n", project::ProjectProblem::NulCharacter,
         "editor.note", lines + 4},
        {"allow_outside = 'yes'\n" + good, project::ProjectProblem::WrongType, "allow_outside", 1},
    };
    for (const auto& c : cases) {
        const project::ProjectLoad load = loadText(c.text);
        ASSERT_TRUE(load.error) << c.key;
        EXPECT_EQ(load.error->problem, c.problem) << errorText(load);
        EXPECT_EQ(load.error->key, c.key) << errorText(load);
        EXPECT_EQ(load.error->line, c.line) << errorText(load);
    }
    EXPECT_NE(errorText(loadText(cases[2].text)).find("key 'bad\\x00key': holds a NUL character"), std::string::npos);
    EXPECT_TRUE(loadText("allow_outside = true\n" + good).project->allowOutside);
    EXPECT_FALSE(loadText(good).project->allowOutside);

    fs::remove(projectPath());
    ASSERT_EQ(::mkfifo(projectPath().c_str(), 0600), 0);  // read at once, never waiting for a writer
    const project::ProjectLoad fifo = project::LoadProjectFile(projectPath());
    ASSERT_TRUE(fifo.error);
    EXPECT_EQ(fifo.error->problem, project::ProjectProblem::NotAFile);
}

TEST_F(UntrustedProject, WritesStayInTheFolderUnlessAllowedAndThenNameTheRealTarget) {
    const project::ProjectFile file = loadProject();
    const fs::path outside = fs::weakly_canonical(dir_.parent_path() / ("elsewhere-" + dir_.filename().string()));
    fs::create_directories(outside);
    fs::create_symlink(outside, dir_ / "link");
    const project::ProjectPath& key = file.outputRom;
    const auto check = [&](const fs::path& path, bool allow) { return project::CheckWritePath(file, key, path, allow); };

    const auto inside = check(dir_ / "build/x.smc", false);
    ASSERT_TRUE(std::holds_alternative<project::WriteTarget>(inside));
    EXPECT_FALSE(std::get<project::WriteTarget>(inside).throughLink);
    const auto refused = check(dir_ / "link/x.smc", false);
    ASSERT_TRUE(std::holds_alternative<project::ProjectError>(refused));
    const project::ProjectError& error = std::get<project::ProjectError>(refused);
    EXPECT_EQ(error.problem, project::ProjectProblem::LeavesFolder);
    EXPECT_EQ(error.key, "output.rom");
    EXPECT_EQ(error.detail, (outside / "x.smc").string());
    const auto allowed = check(dir_ / "link/x.smc", true);
    ASSERT_TRUE(std::holds_alternative<project::WriteTarget>(allowed));
    EXPECT_EQ(std::get<project::WriteTarget>(allowed).path, outside / "x.smc");
    EXPECT_TRUE(std::get<project::WriteTarget>(allowed).throughLink);
    fs::remove_all(outside);
}

TEST_F(UntrustedProject, TheRecordTellsAWholePairFromAnIncompleteOne) {
    translate(textBlock(0), 1.0);
    const project::ProjectFile file = loadProject();
    EXPECT_EQ(project::CheckBuildOutputs(file).state, project::OutputsState::NoRecord);
    const project::BuildResult built = build();
    ASSERT_EQ(built.outcome, project::BuildOutcome::Built);
    ASSERT_EQ(project::WriteBuildOutputs(file, built).outcome, project::WriteOutcome::Written);
    EXPECT_EQ(project::CheckBuildOutputs(file).state, project::OutputsState::Whole);

    // The state a kill between the two renames leaves: a new ROM beside the old patch.
    std::vector<uint8_t> rom = readBytes(file.outputRom.path);
    rom[100] ^= 0xFF;
    std::ofstream(file.outputRom.path, std::ios::binary).write(reinterpret_cast<const char*>(rom.data()), long(rom.size()));
    const project::OutputsCheck mixed = project::CheckBuildOutputs(file);
    EXPECT_EQ(mixed.state, project::OutputsState::Incomplete);
    EXPECT_EQ(mixed.differs, &file.outputRom);
    fs::remove(file.outputIps.path);
    ASSERT_EQ(project::WriteBuildOutputs(file, built).outcome, project::WriteOutcome::Written);
    EXPECT_EQ(project::CheckBuildOutputs(file).state, project::OutputsState::Whole);

    // A record of other outputs says nothing of the ones the project file names now.
    writeProject(projectText().replace(projectText().find("build/translated.ips"), 20, "build/other.ips"));
    EXPECT_EQ(project::CheckBuildOutputs(loadProject()).state, project::OutputsState::NoRecord);
}

TEST_F(UntrustedProject, ScriptsAreWrittenAllOrNone) {
    const fs::path first = dir_ / "Dumps/00000001.txt";
    const fs::path second = dir_ / "Dumps/00000002.txt";
    std::ofstream(first) << "old one\r\n";
    std::ofstream(second) << "old two\r\n";
    ASSERT_EQ(::chmod(second.c_str(), 0444), 0);
    const std::map<fs::path, std::string> scripts = {{first, "new one\n"}, {second, "new two\n"}};
    const project::ScriptWritesResult refused = project::WriteScriptsTogether(scripts, {});
    EXPECT_FALSE(refused.written);
    EXPECT_EQ(refused.failed, second);
    EXPECT_EQ(readBytes(first), (std::vector<uint8_t>{'o', 'l', 'd', ' ', 'o', 'n', 'e', '\r', '\n'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "Dumps"), fs::directory_iterator()), 2);  // no leftovers

    ASSERT_EQ(::chmod(second.c_str(), 0644), 0);
    ASSERT_TRUE(project::WriteScriptsTogether(scripts, {}).written);
    EXPECT_EQ(readBytes(second), (std::vector<uint8_t>{'n', 'e', 'w', ' ', 't', 'w', 'o', '\r', '\n'}));
}

TEST(PoText, ATranslationIsTextThatAScriptHoldsAndImportAndExportAgree) {
    using project::TranslationProblem;
    const struct {
        std::string utf8;
        TranslationProblem problem;
        char32_t character;
        size_t line;
    } cases[] = {
        {"caf\xC3\xA9\tand tab", TranslationProblem::None, 0, 0},
        {"one\ntwo\n", TranslationProblem::None, 0, 0},
        {"a\nb\xC3\xB5", TranslationProblem::GameCode, 0xF5, 1},
        {"5 \xE2\x82\xAC", TranslationProblem::PastLatin1, 0x20AC, 0},
        {"a\rb", TranslationProblem::Control, '\r', 0},
        {"nul \xC0\x80 overlong", TranslationProblem::NotUtf8, 0xC0, 0},
        {"caf\xE9", TranslationProblem::NotUtf8, 0xE9, 0},
        {"Hi\n\n  .Ends ", TranslationProblem::KeywordLine, 0, 2},
        {"a .STRING 12 b", TranslationProblem::KeywordLine, 0, 0},
        {std::string(0x10001, 'a'), TranslationProblem::TooLong, 0, 0},
    };
    for (const auto& c : cases) {
        const project::ScriptCharacters characters = project::Utf8ToScriptCharacters(c.utf8, script::CharacterMap{});
        EXPECT_EQ(characters.check.problem, c.problem) << c.utf8.substr(0, 40);
        EXPECT_EQ(characters.check.character, c.character) << c.utf8.substr(0, 40);
        EXPECT_EQ(characters.check.line, c.line) << c.utf8.substr(0, 40);
        // What the import takes, the export of the same script bytes lets out, and the reverse.
        if (c.problem == TranslationProblem::None) {
            EXPECT_EQ(project::CheckScriptTranslation(characters.latin1, script::CharacterMap{}).problem, TranslationProblem::None);
            EXPECT_EQ(project::Latin1ToUtf8(characters.latin1), c.utf8);
        }
    }
    EXPECT_EQ(project::CheckScriptTranslation("a\xF5" "b", script::CharacterMap{}).problem, TranslationProblem::GameCode);
    EXPECT_EQ(project::CheckScriptTranslation("a\rb", script::CharacterMap{}).problem, TranslationProblem::Control);
}

TEST(PoReader, NulsAsBytesOrEscapesAndTheCharsetAreFoundBeforeTheLibraryReadsTheFile) {
    const struct {
        std::string text;
        std::optional<size_t> line;
    } nuls[] = {
        {"msgid \"a\"\nmsgstr \"b\\0c\"\n", 2},
        {"msgid \"a\"\nmsgstr \"b\\000\"\n", 2},
        {"msgid \"a\"\nmsgstr \"\\x00\"\n", 2},
        {"msgid \"a\"\nmsgstr \"\\x41 and \\0101 and \\1\"\n", std::nullopt},  // none of them is 0
        {"msgid \"a\"\nmsgstr \"\\x100\"\n", 2},  // a byte's worth of it is
        {"# \\0 in a comment\nmsgid \"\\\\0\"\n", std::nullopt},           // an escaped backslash and a 0
        {std::string("msgid \"a\"\n#\0\n", 13), 2},
    };
    for (const auto& c : nuls) EXPECT_EQ(project::PoNulLine(c.text), c.line) << c.text;
    EXPECT_EQ(project::PoHeaderCharset("Content-Type: text/plain; charset=ISO-8859-1\nX: y\n"), "ISO-8859-1");
    EXPECT_EQ(project::PoHeaderCharset("Content-Type: text/plain\n"), "");
    EXPECT_EQ(project::PoHeaderCharset("Project-Id-Version: x\n"), "");
}

}  // namespace
}  // namespace corv::testing
