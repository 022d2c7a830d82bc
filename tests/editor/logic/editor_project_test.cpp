// The editor's project rules without windows: which command-line argument is a project, the
// errors of reading one (named by key and line, nothing opened), the state kept when a file
// cannot take it, the build refusing to start when the script cannot be saved, and the project
// mode: what Insert, Save Rom File, PATCH, Insert COMPRESSION and Build Project do with and
// without a project, which ROM opens leave it, what leaving it keeps, and whose substitutions
// and wrap options the editor uses.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "dialogs/scripted_dialogs.h"
#include "editor/logic/editor_project.h"
#include "editor/logic/editor_session.h"
#include "editor/logic/project_mode.h"
#include "editor/logic/project_texts.h"
#include "insert/insertion.h"
#include "project/project_file.h"
#include "script/script_text.h"
#include "script/table_file.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string ProjectText(const std::string& rom = demo::kRomFileName) {
    project::ProjectFileSettings settings;
    settings.rom = rom;
    settings.dataFile = demo::kBlockDataFileName;
    settings.table = demo::kTableFileName;
    settings.outputRom = "out/t.smc";
    settings.outputIps = "out/t.ips";
    return project::ProjectFileText(settings);
}

class EditorProjectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { game = new demo::DemoGame(demo::BuildDemoGame()); }
    static void TearDownTestSuite() {
        delete game;
        game = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(demo::WriteDemoFiles(*game, folder.path())); }

    [[nodiscard]] fs::path projectPath() const { return folder.path() / project::kProjectFileName; }
    // The demo's project written to `path` (with `extra` after its own keys) and read back.
    static project::ProjectFile readProject(const fs::path& path, const std::string& extra = {}) {
        Write(path, ProjectText() + extra);
        project::ProjectLoad load = project::LoadProjectFile(path);
        if (!load.project) ADD_FAILURE() << "the demo's project does not read";
        return load.project ? std::move(*load.project) : project::ProjectFile{};
    }

    static demo::DemoGame* game;
    corv::testing::TempFolder folder{"editor-project"};
    dialogs::ScriptedDialogs dialogs;
};
demo::DemoGame* EditorProjectTest::game = nullptr;

TEST_F(EditorProjectTest, AnArgumentIsAProjectByFolderNameOrContent) {
    const fs::path file = folder.path() / project::kProjectFileName;
    EXPECT_FALSE(ProjectFileArgument(folder.path()));  // a folder without a project file
    Write(file, ProjectText());
    EXPECT_EQ(ProjectFileArgument(folder.path()), file);
    EXPECT_EQ(ProjectFileArgument(file), file);
    // A .toml file is a project even when broken, so that its error is shown.
    Write(folder.path() / "broken.toml", "rom = \n");
    EXPECT_EQ(ProjectFileArgument(folder.path() / "broken.toml"), folder.path() / "broken.toml");
    // Another name counts only when it reads as a project; the ROM does not.
    Write(folder.path() / "my.project", ProjectText());
    EXPECT_EQ(ProjectFileArgument(folder.path() / "my.project"), folder.path() / "my.project");
    EXPECT_FALSE(ProjectFileArgument(folder.path() / demo::kRomFileName));
    EXPECT_FALSE(ProjectFileArgument(folder.path() / demo::kBlockDataFileName));
}

TEST_F(EditorProjectTest, ReadingAProjectNamesTheKeyAndLineOfItsProblem) {
    const fs::path file = folder.path() / project::kProjectFileName;
    Write(file, ProjectText("gone.smc"));
    EXPECT_FALSE(ReadProject(file, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0], file.string() + ":5: key 'rom': " + (folder.path() / "gone.smc").string() +
                                         ": cannot read this file (missing, unreadable or a folder)");

    Write(file, "colour = 'blue'\n" + ProjectText());
    EXPECT_FALSE(ReadProject(file, dialogs));
    EXPECT_EQ(dialogs.messages().back(), file.string() + ":1: unknown key 'colour' (a misspelling?)");

    Write(file, ProjectText());
    const auto read = ReadProject(file, dialogs);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->rom.path, folder.path() / demo::kRomFileName);
    EXPECT_EQ(dialogs.messages().size(), 2u);
}

TEST_F(EditorProjectTest, OpeningUsesTheScriptsFolderAndCreatesNothingBesideTheRom) {
    const fs::path file = folder.path() / project::kProjectFileName;
    Write(file, ProjectText() + "[editor]\nblock = 'D40000'\n");
    const auto read = ReadProject(file, dialogs);
    ASSERT_TRUE(read);
    EditorSession session(folder.path());
    fs::remove_all(folder.path() / "Dumps");
    const auto shown = OpenProjectFiles(session, *read, dialogs);
    ASSERT_TRUE(shown);
    EXPECT_EQ(session.dumpsDirectory(), folder.path() / "Dumps");
    EXPECT_TRUE(fs::is_directory(folder.path() / "Dumps"));
    EXPECT_TRUE(session.table().hasName());
    EXPECT_EQ(shown->blockLines.size(), game->textBlocks.size());
    // Any bank of a listed address finds its row.
    const auto row = BlockRowOf(session, 0xD40000);
    ASSERT_TRUE(row);
    EXPECT_EQ(BlockRowOf(session, 0x140000), row);
    EXPECT_FALSE(BlockRowOf(session, 0x123456));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(EditorProjectTest, AStateThatCannotBeKeptIsToldAndTheFileStays) {
    const fs::path file = folder.path() / project::kProjectFileName;
    Write(file, ProjectText());
    const auto read = ReadProject(file, dialogs);
    ASSERT_TRUE(read);
    // The translator broke the file while the project was open.
    const std::string broken = ProjectText() + "editor = 'x'\n";
    Write(file, broken);
    project::EditorState state;
    state.string = 4;
    KeepEditorState(*read, state, dialogs);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_NE(dialogs.messages()[0].find("could not be kept in " + file.string()), std::string::npos);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), broken);
}

TEST_F(EditorProjectTest, ProjectModeEachCommandWorksOnTheRomWithoutAProjectAndGoesToTheBuildOrIsRefusedInOne) {
    struct Row {
        RomCommand command;
        CommandRun without;
        const char* refusedWithout;
        CommandRun in;
        const char* refusedIn;
    };
    const Row rows[] = {
        {RomCommand::Insert, CommandRun::OnTheRom, nullptr, CommandRun::ProjectBuild, nullptr},
        {RomCommand::SaveRom, CommandRun::OnTheRom, nullptr, CommandRun::ProjectBuild, nullptr},
        {RomCommand::Patch, CommandRun::OnTheRom, nullptr, CommandRun::Refused, kProjectPatchesInFile},
        {RomCommand::InsertCompression, CommandRun::OnTheRom, nullptr, CommandRun::Refused, kProjectDictionaryInBuild},
        {RomCommand::BuildProject, CommandRun::Refused, kBuildNeedsProject, CommandRun::ProjectBuild, nullptr},
    };
    ProjectMode mode;
    EXPECT_EQ(mode.keys(), EditorMode::Rom);
    for (const Row& row : rows) {
        const CommandRoute route = mode.route(row.command);
        EXPECT_EQ(route.run, row.without) << int(row.command);
        EXPECT_EQ(route.refusal, row.refusedWithout) << int(row.command);
    }
    mode.open(readProject(projectPath()));
    ASSERT_TRUE(mode.isOpen());
    EXPECT_EQ(mode.keys(), EditorMode::Project);
    for (const Row& row : rows) {
        const CommandRoute route = mode.route(row.command);
        EXPECT_EQ(route.run, row.in) << int(row.command);
        EXPECT_EQ(route.refusal, row.refusedIn) << int(row.command);
    }
}

TEST_F(EditorProjectTest, ProjectModeARomOpenedByHandLeavesTheProjectUnlessItWasCancelledOrCouldNotBeRead) {
    ProjectMode mode;
    for (const RomOpenStep step :
         {RomOpenStep::Cancelled, RomOpenStep::CannotOpen, RomOpenStep::WrongTitle, RomOpenStep::Opened}) {
        EXPECT_FALSE(mode.leftBy(step));  // no project to leave
    }
    mode.open(readProject(projectPath()));
    EXPECT_FALSE(mode.leftBy(RomOpenStep::Cancelled));
    EXPECT_FALSE(mode.leftBy(RomOpenStep::CannotOpen));
    EXPECT_TRUE(mode.leftBy(RomOpenStep::WrongTitle));  // no ROM is loaded now: not the project's either
    EXPECT_TRUE(mode.leftBy(RomOpenStep::Opened));
}

TEST_F(EditorProjectTest, ProjectModeClosingKeepsTheEditorStateInTheProjectFileAndLeavesTheProject) {
    ProjectMode mode;
    mode.open(readProject(projectPath()));
    project::EditorState state;
    state.block = game->blocks.at(size_t(game->textBlocks.at(0))).address;
    state.string = 7;
    state.fontSize = 15;
    state.markOverflow = false;
    mode.close(state, dialogs);
    EXPECT_FALSE(mode.isOpen());
    EXPECT_EQ(mode.keys(), EditorMode::Rom);
    EXPECT_TRUE(dialogs.calls().empty());
    const project::ProjectLoad reread = project::LoadProjectFile(projectPath());
    ASSERT_TRUE(reread.project);
    EXPECT_EQ(reread.project->editor, state);
    // Without a project nothing is kept, nothing said.
    const auto before = fs::last_write_time(projectPath());
    mode.close(project::EditorState{}, dialogs);
    EXPECT_EQ(fs::last_write_time(projectPath()), before);
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(EditorProjectTest, ProjectModePastedTextAndTheWrapFollowTheOpenProjectOrTheDefaults) {
    script::TableFile table;
    ASSERT_EQ(table.load(folder.path() / demo::kTableFileName), script::TableLoadResult::Loaded);
    const std::string pasted = "It\u2019s";
    ProjectMode mode;
    EXPECT_EQ(script::SubstituteUtf8(pasted, mode.substitutions(), table.characterMap()).utf8, "It's");
    EXPECT_EQ(mode.wrapOptions().pageBreak, check::WrapOptions{}.pageBreak);

    const std::string own = "\n[wrap]\npage_break = '[CLRWIN]'\n";
    project::ProjectFile file = readProject(projectPath(), own);
    // The project's list in place of the default one: the apostrophe becomes another character.
    file.substitutions = script::Substitutions();
    ASSERT_EQ(file.substitutions.add("\u2019", "`"), script::SubstitutionProblem::None);
    mode.open(std::move(file));
    EXPECT_EQ(script::SubstituteUtf8(pasted, mode.substitutions(), table.characterMap()).utf8, "It`s");
    EXPECT_EQ(mode.wrapOptions().pageBreak, "[CLRWIN]");
    mode.close(project::EditorState{}, dialogs);
    EXPECT_EQ(script::SubstituteUtf8(pasted, mode.substitutions(), table.characterMap()).utf8, "It's");
}

// An output the build may not replace (read-only, which stops the superuser too) leaves the
// build's log naming the file and the save's reason, as corvtool build's error line does.
TEST_F(EditorProjectTest, ABuildThatCannotWriteAnOutputNamesTheReasonInItsLog) {
    const fs::path file = folder.path() / project::kProjectFileName;
    Write(file, ProjectText());
    const auto read = ReadProject(file, dialogs);
    ASSERT_TRUE(read);
    EditorSession session(folder.path());
    ASSERT_TRUE(OpenProjectFiles(session, *read, dialogs));
    fs::create_directories(folder.path() / "out");
    const fs::path rom = folder.path() / "out/t.smc";
    Write(rom, "old");
    ASSERT_EQ(::chmod(rom.c_str(), 0444), 0);
    script::MemoryScriptText script("");
    insert::RecordedProgress progress;
    EXPECT_EQ(RunProjectBuild(session, *read, script, progress, dialogs), ProjectBuildOutcome::Stopped);
    ASSERT_FALSE(progress.lines.empty());
    EXPECT_EQ(progress.lines.back(), "Nothing was written: " + rom.string() + ": cannot write this file: " + rom.string() +
                                         ": permission denied.");
    ::chmod(rom.c_str(), 0644);
}

}  // namespace
}  // namespace corv::editor
