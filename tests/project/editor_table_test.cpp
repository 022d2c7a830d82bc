// The [editor] table: read leniently by the loader, ignored by the build, and written back by
// replacing only its own lines, so that every other byte of the translator's file stays.

#include <gtest/gtest.h>

#include "project/editor_table.h"
#include "project/project_fixture.h"

namespace corv::testing {
namespace {

using project::EditorState;
using project::EditorStateSave;

const fs::path kFile = "/p/corvane-project.toml";

constexpr char kMinimal[] =
    "rom = 'game.smc'  # the original\n"
    "data_file = 'data/game.txt'\n"
    "table = \"game.tbl\"\n"
    "[output]\n"
    "rom = 'out/t.smc'\n"
    "ips = 'out/t.ips'\n";

EditorState fullState() {
    EditorState state;
    state.block = 0xD46D00;
    state.string = 12;
    state.problemsShown = true;
    state.markOverflow = false;
    state.fontSize = 15;
    return state;
}

project::ProjectFile parsed(const std::string& text) {
    project::ProjectLoad load = project::ParseProjectFile(text, kFile);
    EXPECT_FALSE(load.error) << (load.error ? load.error->key + ": " + load.error->detail : "");
    return load.project.value_or(project::ProjectFile{});
}

TEST(EditorTable, AppendedToAFileWithoutOneAndReadBack) {
    // The commented file init-project writes.
    const std::string original = ProjectTest::projectText();
    const auto written = project::WithEditorTable(original, fullState(), kFile);
    ASSERT_TRUE(written);
    // Every byte of the translator's file comes first, unchanged.
    ASSERT_GT(written->size(), original.size());
    EXPECT_EQ(written->substr(0, original.size()), original);
    EXPECT_NE(written->find("[editor]\nblock = \"D46D00\"\nstring = 12\nproblems_window = true\n"
                            "mark_overflow = false\nfont_size = 15\n"),
              std::string::npos);
    EXPECT_EQ(parsed(*written).editor, fullState());
}

TEST(EditorTable, ReplacingKeepsCommentsAndTablesBeforeAndAfterByteForByte) {
    const std::string before = std::string(kMinimal) +
                               "\n# kept: said about the editor table\n"
                               "[ editor ]   # a note on the heading\n"
                               "block = 'D40000'\n"
                               "# a note between keys\n"
                               "font_size = 9\n"
                               "\n"
                               "# a note on the blocks that follow\n"
                               "[blocks.D40000]\n"
                               "skip = true\n";
    const size_t heading = before.find("[ editor ]");
    const size_t after = before.find("\n# a note on the blocks") + 1;
    EditorState state;
    state.string = 3;
    const auto written = project::WithEditorTable(before, state, kFile);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, before.substr(0, heading) + "[editor]\nstring = 3\n" + before.substr(after - 1));
    const project::ProjectFile file = parsed(*written);
    EXPECT_EQ(file.editor, state);
    EXPECT_TRUE(file.skips(0xD40000));

    // Written again with the same state: nothing changes; with another, only the table does.
    EXPECT_EQ(project::WithEditorTable(*written, state, kFile), *written);
    const auto again = project::WithEditorTable(*written, fullState(), kFile);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->substr(0, heading), before.substr(0, heading));
    EXPECT_EQ(again->substr(again->size() - (before.size() - after + 1)), before.substr(after - 1));
}

TEST(EditorTable, WrapWhileTypingIsKeptAndReadBack) {
    EditorState state = fullState();
    state.wrapWhileTyping = false;
    const auto written = project::WithEditorTable(ProjectTest::projectText(), state, kFile);
    ASSERT_TRUE(written);
    EXPECT_NE(written->find("font_size = 15\nwrap_while_typing = false\n"), std::string::npos);
    EXPECT_EQ(parsed(*written).editor.wrapWhileTyping, false);
    EXPECT_FALSE(parsed(std::string(kMinimal) + "[editor]\nwrap_while_typing = 1\n").editor.wrapWhileTyping);
}

TEST(EditorTable, FitHarderIsTheTopLevelCompressorKeySetInPlaceOrPutBeforeTheFirstTable) {
    EditorState maximising = fullState();
    maximising.compressor = core::Compressor::Maximising;
    const auto added = project::WithEditorTable(kMinimal, maximising, kFile);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->substr(0, added->find("[output]")),
              "rom = 'game.smc'  # the original\ndata_file = 'data/game.txt'\ntable = \"game.tbl\"\n"
              "compressor = \"maximising\"\n\n");
    EXPECT_EQ(parsed(*added).compressor, core::Compressor::Maximising);
    EXPECT_EQ(parsed(*added).editor, maximising);
    // Read back unchanged, it is not written again.
    EXPECT_EQ(project::WithEditorTable(*added, maximising, kFile), *added);

    // Where the translator wrote the key, only its value changes: quotes and comment stay.
    const std::string own = "compressor = 'maximising'   # for D46D00\n" + std::string(kMinimal);
    EditorState standard = fullState();
    standard.compressor = core::Compressor::Standard;
    const auto replaced = project::WithEditorTable(own, standard, kFile);
    ASSERT_TRUE(replaced);
    EXPECT_TRUE(replaced->starts_with("compressor = 'standard'   # for D46D00\nrom = 'game.smc'")) << *replaced;
    EXPECT_EQ(parsed(*replaced).compressor, core::Compressor::Standard);

    // A state that does not say leaves the key as it is, and a file without the key stays without
    // one while the compressor is the standard one.
    EXPECT_EQ(parsed(*project::WithEditorTable(own, fullState(), kFile)).compressor, core::Compressor::Maximising);
    EXPECT_EQ(project::WithEditorTable(kMinimal, standard, kFile)->find("compressor"), std::string::npos);
    // The file init-project writes: the key goes in after its commented example.
    const auto commented = project::WithEditorTable(ProjectTest::projectText(), maximising, kFile);
    ASSERT_TRUE(commented);
    EXPECT_NE(commented->find("# compressor = \"maximising\"\n\ncompressor = \"maximising\"\n\n# Characters"),
              std::string::npos)
        << *commented;
}

TEST(EditorTable, LineEndsOfTheFileAreKept) {
    std::string crlf;
    for (const char c : std::string(kMinimal)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const auto appended = project::WithEditorTable(crlf, fullState(), kFile);
    ASSERT_TRUE(appended);
    EXPECT_EQ(appended->substr(0, crlf.size()), crlf);
    EXPECT_EQ(appended->find('\n', crlf.size()), appended->find("\r\n", crlf.size()) + 1);

    // A table on the file's last line without a line end stays without one.
    const std::string noEnd = std::string(kMinimal) + "[editor]\nstring = 1";
    const auto replaced = project::WithEditorTable(noEnd, fullState(), kFile);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->back(), '5');
    EXPECT_EQ(parsed(*replaced).editor, fullState());
}

TEST(EditorTable, TablesMadeAnotherWayAndBrokenFilesAreNotRewritten) {
    EXPECT_FALSE(project::WithEditorTable(std::string(kMinimal) + "[editor.more]\nx = 1\n", fullState(), kFile));
    EXPECT_FALSE(project::WithEditorTable("editor = { string = 2 }\n" + std::string(kMinimal), fullState(), kFile));
    EXPECT_FALSE(project::WithEditorTable("editor.string = 2\n" + std::string(kMinimal), fullState(), kFile));
    EXPECT_FALSE(project::WithEditorTable("rom = 'x'\n", fullState(), kFile));  // not a whole project
    EXPECT_FALSE(project::WithEditorTable(std::string(kMinimal) + "[output", fullState(), kFile));
}

TEST(EditorTable, TheLoaderReadsValuesLenientlyButWantsATable) {
    const project::ProjectFile odd =
        parsed(std::string(kMinimal) + "[editor]\nblock = 'XYZ'\nstring = -4\nfont_size = 500\nmark_overflow = true\n"
                                       "later = 'a key of a newer editor'\n");
    EXPECT_FALSE(odd.editor.block);
    EXPECT_FALSE(odd.editor.string);
    EXPECT_FALSE(odd.editor.fontSize);
    EXPECT_EQ(odd.editor.markOverflow, true);
    EXPECT_EQ(odd.editorLine, 7);

    const project::ProjectLoad wrong = project::ParseProjectFile("editor = 3\n" + std::string(kMinimal), kFile);
    ASSERT_TRUE(wrong.error);
    EXPECT_EQ(wrong.error->problem, project::ProjectProblem::WrongType);
    EXPECT_EQ(wrong.error->key, "editor");
    EXPECT_EQ(wrong.error->line, 1);
}

TEST_F(ProjectTest, TheBuildIgnoresTheEditorTable) {
    translate(textBlock(0), 1.2);
    const project::BuildResult plain = build();
    ASSERT_EQ(plain.outcome, project::BuildOutcome::Built);
    ASSERT_EQ(project::SaveEditorState(projectPath(), fullState()).outcome, EditorStateSave::Saved);
    EXPECT_EQ(loadProject().editor, fullState());
    const project::BuildResult withTable = build();
    ASSERT_EQ(withTable.outcome, project::BuildOutcome::Built);
    EXPECT_EQ(withTable.rom, plain.rom);
    EXPECT_EQ(withTable.ips, plain.ips);
}

TEST_F(ProjectTest, SavingTheStateWritesOnlyWhenItChangedAndNeverABrokenFile) {
    const std::vector<uint8_t> original = readBytes(projectPath());
    EXPECT_EQ(project::SaveEditorState(projectPath(), EditorState{}).outcome, EditorStateSave::Saved);
    const std::vector<uint8_t> once = readBytes(projectPath());
    EXPECT_TRUE(std::equal(original.begin(), original.end(), once.begin()));
    EXPECT_EQ(project::SaveEditorState(projectPath(), EditorState{}).outcome, EditorStateSave::Unchanged);
    EXPECT_EQ(readBytes(projectPath()), once);

    // A file the translator broke meanwhile stays as they left it.
    writeProject(projectText() + "[output\n");
    const std::vector<uint8_t> broken = readBytes(projectPath());
    EXPECT_EQ(project::SaveEditorState(projectPath(), fullState()).outcome, EditorStateSave::NotReplaceable);
    EXPECT_EQ(readBytes(projectPath()), broken);
    EXPECT_EQ(project::SaveEditorState(dir_ / "none.toml", fullState()).outcome, EditorStateSave::CannotRead);
}

}  // namespace
}  // namespace corv::testing
