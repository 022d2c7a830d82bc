// The editor session on the demo game, with the dialogs answered by script: opening, the data
// file, block and string choice against the preview library, the ROM-writing commands, the raw
// dump and the questions of closing.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "core/block_decoder.h"
#include "dialogs/scripted_dialogs.h"
#include "editor/logic/editor_session.h"
#include "editor/logic/editor_texts.h"
#include "preview/string_preview.h"
#include "script/script_file.h"
#include "script/string_decoder.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {
namespace {

namespace fs = std::filesystem;
using ui::ScriptedDialogs;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class RecordingProgress final : public script::InsertionProgress {
public:
    void addLogLine(const std::string& line) override { log.push_back(line); }
    void start() override { log.clear(); }
    void setCaption(std::string_view caption) override { captions.emplace_back(caption); }
    void setGaugeRange(int, int maximum) override { gaugeMaximum = maximum; }
    void setGaugePosition(int) override {}
    void processPendingMessages() override {}
    std::vector<std::string> log;
    std::vector<std::string> captions;
    int gaugeMaximum = -1;
};

class EditorSessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { game = new demo::DemoGame(demo::BuildDemoGame()); }
    static void TearDownTestSuite() { delete game; }

    void SetUp() override {
        ASSERT_TRUE(demo::WriteDemoFiles(*game, folder.path()));
        session = std::make_unique<EditorSession>(folder.path());
        session->setRunning(true);
    }

    fs::path file(const char* name) const { return folder.path() / name; }

    // Open ROM File and the data file load it starts, then the first block and its string 0.
    void openDemo(const char* romName = demo::kRomFileName) {
        dialogs.replyOpenFile(file(romName));
        ASSERT_EQ(session->openRom(dialogs), RomOpenStep::Opened);
        dialogs.replyOpenFile(file(demo::kBlockDataFileName));
        ASSERT_TRUE(session->loadDataFile(dialogs));
        ASSERT_TRUE(session->chooseBlock(0, script, dialogs));
        ASSERT_TRUE(session->chooseString(0, script, true, true));
    }

    static demo::DemoGame* game;
    corv::testing::TempFolder folder{"editor-session"};
    ScriptedDialogs dialogs;
    script::MemoryScriptText script;
    std::unique_ptr<EditorSession> session;
};

demo::DemoGame* EditorSessionTest::game = nullptr;

TEST_F(EditorSessionTest, OpeningTheDemoListsItsBlocksAndDrawsWhatThePreviewLibraryDraws) {
    dialogs.replyOpenFile(file(demo::kHeaderedRomFileName));
    ASSERT_EQ(session->openRom(dialogs), RomOpenStep::Opened);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].request.title, "Open ROM File");
    EXPECT_EQ(dialogs.calls()[0].request.filter, "SNES ROM | *.s*c; *.fig;");
    EXPECT_EQ(dialogs.calls()[0].request.directory, folder.path());
    EXPECT_EQ(session->rom().headerSize(), 512u);
    EXPECT_EQ(session->gameFont(), game->font().data);
    EXPECT_TRUE(fs::is_directory(folder.path() / "Dumps"));

    dialogs.replyOpenFile(file(demo::kBlockDataFileName));
    const auto shown = session->loadDataFile(dialogs);
    ASSERT_TRUE(shown);
    EXPECT_EQ(dialogs.calls()[1].request.title, "Open Text Block Data File");
    EXPECT_EQ(dialogs.calls()[1].request.filter, "Font Format File | *.txt");
    EXPECT_EQ(shown->caption, "Script Editor: Corvane - [corvane.txt ]");
    ASSERT_EQ(shown->blockLines.size(), game->textBlocks.size());
    char first[32];
    std::snprintf(first, sizeof first, "Block %X", game->blocks[static_cast<size_t>(game->textBlocks[0])].address);
    EXPECT_EQ(shown->blockLines[0], first);
    EXPECT_TRUE(session->dataFileLoaded());

    const demo::DemoBlock& block = game->blocks[static_cast<size_t>(game->textBlocks[0])];
    const auto choice = session->chooseBlock(0, script, dialogs);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->script, script::ScriptLoad::Skeleton);
    EXPECT_EQ(script.text(), script::ScriptSkeleton(static_cast<unsigned>(block.records.size())));
    EXPECT_TRUE(fs::exists(script::ScriptPathFor(folder.path() / "Dumps", block.address)));

    // A translation for string 0, then the choice: the screen equals the library's picture.
    script.setText("// c\n.STRING 0\nHello[KEY]\nworld\n.ENDS\n");
    const auto chosen = session->chooseString(0, script, true, true);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->matchLine, 1);
    char status[64];
    std::snprintf(status, sizeof status, "Offset: 7E000E | PTR: %04X -> %06X", block.records[0].textPointer,
                  0x7E0000 + block.records[0].textPointer);
    EXPECT_EQ(chosen->offsetStatus, status);
    EXPECT_EQ(session->lineStatus(), "Line {Kana, Ascii}: 0, 0");

    script::MemoryScriptText copy(script.text());
    const auto previewBytes = preview::EncodeEntryPreview(copy, 0);
    ASSERT_TRUE(previewBytes);
    preview::StringPreviewInput input;
    input.romData = session->rom().data();
    input.gameFont = session->gameFont();
    input.block = session->index().block();
    input.previewBytes = std::span<const uint8_t>(*previewBytes);
    preview::PreviewScreen expected;
    script::MenuStates menus;
    script::FormatSettings format;
    script::CodeMaps maps;
    const auto load = script::ParseBlockDataFile(game->blockDataFile, maps);
    script::ApplyOperations(menus, load.operations);
    preview::RenderStringPreview(expected, input, menus, load.format);
    const auto drawn = session->screen().bitmap();
    EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), expected.bitmap().begin(), expected.bitmap().end()));
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [](uint16_t pixel) { return pixel != 0; }));
    EXPECT_TRUE(dialogs.unexpected().empty());
}

TEST_F(EditorSessionTest, OpenFailuresSayWhyAndKeepOrDropTheRomAsTheyShould) {
    // Cancelled: nothing asked beyond the dialog, nothing loaded.
    dialogs.replyOpenFile(std::nullopt);
    EXPECT_EQ(session->openRom(dialogs), RomOpenStep::Cancelled);
    EXPECT_FALSE(session->romLoaded());

    openDemo();
    const fs::path dumps = session->dumpsDirectory();
    // A missing file keeps the loaded ROM.
    dialogs.replyOpenFile(file("missing.smc"));
    EXPECT_EQ(session->openRom(dialogs), RomOpenStep::CannotOpen);
    EXPECT_TRUE(session->romLoaded());

    // Another game: no ROM afterwards, and nothing is drawn for a string.
    std::vector<uint8_t> other = game->rom;
    other[0xFFC0] = 'c';
    WriteBytes(file("other.smc"), other);
    dialogs.replyOpenFile(file("other.smc"));
    EXPECT_EQ(session->openRom(dialogs), RomOpenStep::WrongTitle);
    EXPECT_FALSE(session->romLoaded());
    EXPECT_FALSE(session->chooseString(0, script, true, true));
    EXPECT_FALSE(session->chooseBlock(0, script, dialogs));
    EXPECT_EQ(dialogs.messages(),
              (std::vector<std::string>{kCannotOpenRom, "Error: This is not the ROM used.\nPlease load the correct ROM."}));
    EXPECT_EQ(dumps, folder.path() / "Dumps");
}

TEST_F(EditorSessionTest, InsertionWritesTheBlockAndItsMarkOnlyWithATable) {
    openDemo();
    RecordingProgress progress;
    session->insertText(script, progress, dialogs);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"Error: Must load a table file first!"});
    EXPECT_FALSE(session->rom().modified());

    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    EXPECT_EQ(dialogs.calls().back().request.title, "Open TABLE File");
    EXPECT_EQ(dialogs.calls().back().request.filter, "Table File | *.tbl");
    script.setText(script::ScriptSkeleton(session->index().stringCount()));
    session->insertText(script, progress, dialogs);
    EXPECT_EQ(progress.gaugeMaximum, session->index().stringCount() - 1);
    ASSERT_GE(progress.log.size(), 3u);
    EXPECT_EQ(progress.log[progress.log.size() - 3], "; All text was inserted successfully, and...");
    EXPECT_TRUE(session->rom().modified());
    EXPECT_TRUE(session->currentBlockInserted());
    EXPECT_EQ(dialogs.messages().size(), 1u);
}

TEST_F(EditorSessionTest, CompressionAreaPatchAndDumpWriteWhatTheyShould) {
    openDemo();
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    session->insertCompression(dialogs);
    EXPECT_EQ(dialogs.messages().back(), "Compression inserted successfully!");
    EXPECT_TRUE(session->rom().modified());
    EXPECT_EQ(session->rom().data()[0x134B00], 0x00);
    EXPECT_EQ(session->rom().data()[0x134B01], 0x4F);

    // A patch on a modified ROM: the save question first (answered No), then the files in order.
    const std::vector<uint8_t> patch = {'P', 'A', 'T', 'C', 'H', 0x00, 0x00, 0x10, 0x00, 0x02, 0xAB, 0xCD, 'E', 'O', 'F'};
    WriteBytes(file("one.ips"), patch);
    dialogs.replyYesNo(false);
    dialogs.replyOpenFiles({file("one.ips")});
    session->patchRom(dialogs);
    const auto& calls = dialogs.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 3].caption, " IPS Patcher...");
    EXPECT_EQ(calls[calls.size() - 2].request.title, "Select PATCH file(s)...");
    EXPECT_EQ(dialogs.messages().back(), "Patching is complete! Remember to SAVE the changes!");
    EXPECT_EQ(session->rom().data()[0x10], 0xAB);
    EXPECT_EQ(session->rom().data()[0x11], 0xCD);

    // The raw dump writes the decompressed block, exactly its length.
    dialogs.replySaveFile(file("block.bin"));
    session->dumpDecompressed(dialogs);
    EXPECT_EQ(dialogs.calls().back().request.title, "Dump Working RAM to file...");
    EXPECT_EQ(ReadBytes(file("block.bin")), game->blocks[static_cast<size_t>(game->textBlocks[0])].data);
    // A folder cannot be written as a file: the message, and nothing printed as done.
    dialogs.replySaveFile(folder.path());
    session->dumpDecompressed(dialogs);
    EXPECT_EQ(dialogs.messages().back(), kCannotWriteDump);
    EXPECT_TRUE(dialogs.unexpected().empty());
}

TEST_F(EditorSessionTest, ClosingAsksAboutTheScriptThenTheRomAndSavesOnYes) {
    openDemo();
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    session->insertCompression(dialogs);
    script.setText(script.text() + "// note\n");
    script.setModified(true);
    dialogs.clearRecord();
    dialogs.replyYesNo(true);
    dialogs.replyYesNo(true);
    session->askBeforeClosing(script, dialogs);
    const auto& calls = dialogs.calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].caption, "TEXT File Modified...");
    EXPECT_EQ(calls[1].kind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(calls[2].caption, "ROM File Modified...");
    EXPECT_EQ(calls[3].text, "ROM File saved successfully!");
    EXPECT_FALSE(script.modified());
    EXPECT_FALSE(session->rom().modified());
    EXPECT_EQ(ReadBytes(file(demo::kRomFileName)),
              std::vector<uint8_t>(session->rom().fileBytes().begin(), session->rom().fileBytes().end()));
    const auto saved = script::LoadScriptFile(session->index().scriptPath());
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, script.text());
}

TEST_F(EditorSessionTest, ChoosingTheSameBlockAfterEditingAsksAndNoReloadsFromDisk) {
    openDemo();
    const std::string onDisk = script.text();
    script.setText(onDisk + "edited\n");
    script.setModified(true);
    dialogs.replyYesNo(false);
    ASSERT_TRUE(session->chooseBlock(0, script, dialogs));
    EXPECT_EQ(dialogs.calls().back().caption, "File Modified...");
    EXPECT_EQ(script.text(), onDisk);
    EXPECT_FALSE(script.modified());
}

}  // namespace
}  // namespace corv::editor
