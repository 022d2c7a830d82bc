// The project file: its keys, their defaults, and problems named by key and line, for the file
// itself and for the files it names.

#include <gtest/gtest.h>

#include "project/project_fixture.h"

namespace corv::testing {
namespace {

using project::ProjectProblem;

project::ProjectLoad parse(const std::string& text) { return project::ParseProjectFile(text, "/p/corvane-project.toml"); }

constexpr char kMinimal[] =
    "rom = 'game.smc'\n"
    "data_file = 'data/game.txt'\n"
    "table = \"game.tbl\"\n"
    "[output]\n"
    "rom = 'out/t.smc'\n"
    "ips = 'out/t.ips'\n";

TEST(ProjectFile, PathsAreRelativeToTheFileAndTheScriptsFolderDefaultsToDumps) {
    const project::ProjectLoad load = parse(kMinimal);
    ASSERT_FALSE(load.error) << load.error->key;
    const project::ProjectFile& file = *load.project;
    EXPECT_EQ(file.rom.path, fs::path("/p/game.smc"));
    EXPECT_EQ(file.rom.line, 1);
    EXPECT_EQ(file.dataFile.path, fs::path("/p/data/game.txt"));
    EXPECT_EQ(file.scripts.path, fs::path("/p/Dumps"));
    EXPECT_EQ(file.outputIps.path, fs::path("/p/out/t.ips"));
    EXPECT_EQ(file.outputIps.line, 6);
    EXPECT_TRUE(file.patches.empty());
}

TEST(ProjectFile, PatchesInOrderAndBlockOptionsByAnyBankOfTheAddress) {
    const project::ProjectLoad load =
        parse(std::string(kMinimal) + "[blocks.D40000]\nskip = true\n[blocks.545c00]\nskip = false\n");
    ASSERT_FALSE(load.error) << load.error->key;
    EXPECT_TRUE(load.project->skips(0x140000));  // D40000 and 140000 are the same ROM offset
    EXPECT_FALSE(load.project->skips(0x545C00));
    EXPECT_FALSE(load.project->skips(0xD01000));

    const project::ProjectLoad withPatches = parse("patches = ['a.ips', 'b/c.ips']\n" + std::string(kMinimal));
    ASSERT_FALSE(withPatches.error);
    ASSERT_EQ(withPatches.project->patches.size(), 2u);
    EXPECT_EQ(withPatches.project->patches[1].path, fs::path("/p/b/c.ips"));
    EXPECT_EQ(withPatches.project->patches[1].key, "patches[1]");
}

TEST(ProjectFile, TheWrapTableSetsThePageBreakAndTheWidthsOfNameCodes) {
    const project::ProjectLoad plain = parse(kMinimal);
    ASSERT_FALSE(plain.error);
    EXPECT_EQ(plain.project->wrap.pageBreak, "[Key][ClrWin]");
    EXPECT_FALSE(plain.project->wrap.codeWidths.player);
    const project::ProjectLoad load =
        parse(std::string(kMinimal) + "[wrap]\npage_break = '[KEY]'\nplayer_width = 60\nmemory_text_width = 40\n");
    ASSERT_FALSE(load.error) << load.error->key;
    EXPECT_EQ(load.project->wrap.pageBreak, "[KEY]");
    EXPECT_EQ(load.project->wrap.codeWidths.player, 60);
    EXPECT_EQ(load.project->wrap.codeWidths.memoryText, 40);
    EXPECT_FALSE(load.project->wrap.codeWidths.number);
}

struct BadFile {
    std::string text;
    ProjectProblem problem;
    std::string key;
    int line;
};

TEST(ProjectFile, ProblemsNameTheKeyAndTheLine) {
    const std::string minimal = kMinimal;
    const std::vector<BadFile> cases = {
        {"rom = 'game.smc'\ndata_file = 'd.txt'\n[output]\nrom = 'o'\nips = 'i'\n", ProjectProblem::MissingKey, "table", 0},
        {minimal.substr(0, minimal.find("[output]")), ProjectProblem::MissingKey, "output", 0},
        {"rom = 5\n" + minimal.substr(minimal.find('\n') + 1), ProjectProblem::WrongType, "rom", 1},
        {"romm = 'x'\n" + minimal, ProjectProblem::UnknownKey, "romm", 1},
        {"rom = 'game.smc'\ndata_file = 'd'\ntable = 't'\n[output]\nrom = 'o'\n", ProjectProblem::MissingKey,
         "output.ips", 4},
        {minimal + "ipss = 'x'\n", ProjectProblem::UnknownKey, "output.ipss", 7},
        {"patches = [1]\n" + minimal, ProjectProblem::WrongType, "patches[0]", 1},
        {minimal + "[blocks.XYZ]\nskip = true\n", ProjectProblem::BadAddress, "blocks.XYZ", 7},
        {minimal + "[blocks.D40000]\nskip = 'yes'\n", ProjectProblem::WrongType, "blocks.D40000.skip", 8},
        {minimal + "[blocks.D40000]\nskp = true\n", ProjectProblem::UnknownKey, "blocks.D40000.skp", 8},
        {"rom = 'a'\ntable = = 3\n", ProjectProblem::Syntax, "", 2},
        {minimal + "[wrap]\npage_break = '[SFX]'\n", ProjectProblem::WrongType, "wrap.page_break", 8},
        {minimal + "[wrap]\nplayer_width = -1\n", ProjectProblem::WrongType, "wrap.player_width", 8},
        {minimal + "[wrap]\nwidth = 3\n", ProjectProblem::UnknownKey, "wrap.width", 8},
    };
    for (const BadFile& bad : cases) {
        const project::ProjectLoad load = parse(bad.text);
        ASSERT_TRUE(load.error) << bad.text;
        EXPECT_FALSE(load.project);
        EXPECT_EQ(load.error->problem, bad.problem) << bad.text;
        EXPECT_EQ(load.error->key, bad.key) << bad.text;
        EXPECT_EQ(load.error->line, bad.line) << bad.text;
    }
}

class ProjectInputs : public ProjectTest {};

TEST_F(ProjectInputs, AFileMissingOrNotTheGameIsNamedByItsKeyAndLine) {
    fs::remove(dir_ / "game/corvane.txt");
    auto inputs = project::LoadProjectInputs(loadProject());
    ASSERT_TRUE(std::holds_alternative<project::ProjectError>(inputs));
    const auto& missing = std::get<project::ProjectError>(inputs);
    EXPECT_EQ(missing.problem, ProjectProblem::FileMissing);
    EXPECT_EQ(missing.key, "data_file");
    EXPECT_EQ(missing.line, 7);
    EXPECT_EQ(missing.file, dir_ / "game/corvane.txt");

    ASSERT_TRUE(demo::WriteDemoFiles(*game_, dir_ / "game"));
    std::vector<uint8_t> notTheGame = game_->rom;
    notTheGame[core::kTitleOffset] = 'X';
    std::ofstream(dir_ / "game/corvane.smc", std::ios::binary)
        .write(reinterpret_cast<const char*>(notTheGame.data()), std::streamsize(notTheGame.size()));
    auto wrongRom = project::LoadProjectInputs(loadProject());
    ASSERT_TRUE(std::holds_alternative<project::ProjectError>(wrongRom));
    EXPECT_EQ(std::get<project::ProjectError>(wrongRom).problem, ProjectProblem::NotTheGame);
    EXPECT_EQ(std::get<project::ProjectError>(wrongRom).key, "rom");
    EXPECT_EQ(std::get<project::ProjectError>(wrongRom).line, 5);
}

TEST_F(ProjectInputs, ADamagedPatchIsNamedByItsPlaceInTheList) {
    std::ofstream(dir_ / "good.ips", std::ios::binary) << "PATCHEOF";
    std::ofstream(dir_ / "cut.ips", std::ios::binary) << "PATCH\x01\x02";
    std::string text = projectText();
    text.replace(text.find("patches = []"), 12, "patches = ['good.ips', 'cut.ips']");
    writeProject(text);
    auto inputs = project::LoadProjectInputs(loadProject());
    ASSERT_TRUE(std::holds_alternative<project::ProjectError>(inputs));
    EXPECT_EQ(std::get<project::ProjectError>(inputs).problem, ProjectProblem::BadInput);
    EXPECT_EQ(std::get<project::ProjectError>(inputs).key, "patches[1]");
}

}  // namespace
}  // namespace corv::testing
