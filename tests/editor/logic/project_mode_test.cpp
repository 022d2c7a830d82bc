// The project mode's rules without windows: what Insert, Save Rom File, PATCH, Insert
// COMPRESSION and Build Project do with and without a project, which ROM opens leave it, that
// leaving it keeps the editor's state in its file, and whose substitutions and wrap options the
// editor uses.

#include <gtest/gtest.h>

#include <fstream>

#include "dialogs/scripted_dialogs.h"
#include "editor/logic/project_mode.h"
#include "editor/logic/project_texts.h"
#include "project/project_file.h"
#include "script/table_file.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {
namespace {

namespace fs = std::filesystem;

class ProjectModeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { game = new demo::DemoGame(demo::BuildDemoGame()); }
    static void TearDownTestSuite() {
        delete game;
        game = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(demo::WriteDemoFiles(*game, folder.path())); }

    // The demo's project, with `extra` after its own keys (a table of its own, say).
    project::ProjectFile readProject(const std::string& extra = {}) {
        project::ProjectFileSettings settings;
        settings.rom = demo::kRomFileName;
        settings.dataFile = demo::kBlockDataFileName;
        settings.table = demo::kTableFileName;
        settings.outputRom = "out/t.smc";
        settings.outputIps = "out/t.ips";
        std::ofstream(file(), std::ios::binary) << project::ProjectFileText(settings) << extra;
        project::ProjectLoad load = project::LoadProjectFile(file());
        if (!load.project) ADD_FAILURE() << "the demo's project does not read";
        return std::move(*load.project);
    }
    [[nodiscard]] fs::path file() const { return folder.path() / project::kProjectFileName; }

    static demo::DemoGame* game;
    corv::testing::TempFolder folder{"editor-project-mode"};
    dialogs::ScriptedDialogs dialogs;
};
demo::DemoGame* ProjectModeTest::game = nullptr;

TEST_F(ProjectModeTest, EachCommandWorksOnTheRomWithoutAProjectAndGoesToTheBuildOrIsRefusedInOne) {
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
    mode.open(readProject());
    ASSERT_TRUE(mode.isOpen());
    EXPECT_EQ(mode.keys(), EditorMode::Project);
    for (const Row& row : rows) {
        const CommandRoute route = mode.route(row.command);
        EXPECT_EQ(route.run, row.in) << int(row.command);
        EXPECT_EQ(route.refusal, row.refusedIn) << int(row.command);
    }
}

TEST_F(ProjectModeTest, ARomOpenedByHandLeavesTheProjectUnlessItWasCancelledOrCouldNotBeRead) {
    ProjectMode mode;
    for (const RomOpenStep step :
         {RomOpenStep::Cancelled, RomOpenStep::CannotOpen, RomOpenStep::WrongTitle, RomOpenStep::Opened}) {
        EXPECT_FALSE(mode.leftBy(step));  // no project to leave
    }
    mode.open(readProject());
    EXPECT_FALSE(mode.leftBy(RomOpenStep::Cancelled));
    EXPECT_FALSE(mode.leftBy(RomOpenStep::CannotOpen));
    EXPECT_TRUE(mode.leftBy(RomOpenStep::WrongTitle));  // no ROM is loaded now: not the project's either
    EXPECT_TRUE(mode.leftBy(RomOpenStep::Opened));
}

TEST_F(ProjectModeTest, ClosingKeepsTheEditorStateInTheProjectFileAndLeavesTheProject) {
    ProjectMode mode;
    mode.open(readProject());
    project::EditorState state;
    state.block = game->blocks.at(size_t(game->textBlocks.at(0))).address;
    state.string = 7;
    state.fontSize = 15;
    state.markOverflow = false;
    mode.close(state, dialogs);
    EXPECT_FALSE(mode.isOpen());
    EXPECT_EQ(mode.keys(), EditorMode::Rom);
    EXPECT_TRUE(dialogs.calls().empty());
    const project::ProjectLoad reread = project::LoadProjectFile(file());
    ASSERT_TRUE(reread.project);
    EXPECT_EQ(reread.project->editor, state);
    // Without a project nothing is kept, nothing said.
    const auto before = fs::last_write_time(file());
    mode.close(project::EditorState{}, dialogs);
    EXPECT_EQ(fs::last_write_time(file()), before);
    EXPECT_TRUE(dialogs.calls().empty());
}

TEST_F(ProjectModeTest, PastedTextAndTheWrapFollowTheOpenProjectOrTheDefaults) {
    script::TableFile table;
    ASSERT_EQ(table.load(folder.path() / demo::kTableFileName), script::TableLoadResult::Loaded);
    const std::string pasted = "It\u2019s";
    ProjectMode mode;
    EXPECT_EQ(script::SubstituteUtf8(pasted, mode.substitutions(), table.characterMap()).utf8, "It's");
    EXPECT_EQ(mode.wrapOptions().pageBreak, check::WrapOptions{}.pageBreak);

    const std::string own = "\n[wrap]\npage_break = '[CLRWIN]'\n";
    project::ProjectFile file = readProject(own);
    // The project's list in place of the default one: the apostrophe becomes another character.
    file.substitutions = script::Substitutions();
    ASSERT_EQ(file.substitutions.add("\u2019", "`"), script::SubstitutionProblem::None);
    mode.open(std::move(file));
    EXPECT_EQ(script::SubstituteUtf8(pasted, mode.substitutions(), table.characterMap()).utf8, "It`s");
    EXPECT_EQ(mode.wrapOptions().pageBreak, "[CLRWIN]");
    mode.close(project::EditorState{}, dialogs);
    EXPECT_EQ(script::SubstituteUtf8(pasted, mode.substitutions(), table.characterMap()).utf8, "It's");
}

}  // namespace
}  // namespace corv::editor
