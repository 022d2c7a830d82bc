// The editor session on the demo game, with the dialogs answered by script: what the window
// tests do not reach: failed opens, the patch command's question and file order, BPS files and
// blocks only the area tables list, a dump that cannot be written, saving on the questions of
// closing and of changing blocks.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "core/file_save.h"
#include "dialogs/scripted_dialogs.h"
#include "editor/logic/editor_session.h"
#include "editor/logic/editor_texts.h"
#include "insert/insert_test_support.h"
#include "patches/bps_create.h"
#include "preview/string_preview.h"
#include "script/script_file.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {
namespace {

namespace fs = std::filesystem;
using dialogs::ScriptedDialogs;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

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
        ASSERT_TRUE(session->chooseString(0, script, true));
    }

    static demo::DemoGame* game;
    corv::testing::TempFolder folder{"editor-session"};
    ScriptedDialogs dialogs;
    script::MemoryScriptText script;
    std::unique_ptr<EditorSession> session;
};

demo::DemoGame* EditorSessionTest::game = nullptr;

TEST_F(EditorSessionTest, OpenFailuresSayWhyAndKeepOrDropTheRomAsTheyShould) {
    // Cancelled: nothing asked beyond the dialog, nothing loaded.
    dialogs.replyOpenFile(std::nullopt);
    EXPECT_EQ(session->openRom(dialogs), RomOpenStep::Cancelled);
    EXPECT_FALSE(session->romLoaded());

    openDemo();
    const fs::path dumps = session->dumpsDirectory();
    // A missing file keeps the loaded ROM and the folder of its scripts.
    fs::create_directory(folder.path() / "elsewhere");
    dialogs.replyOpenFile(folder.path() / "elsewhere" / "missing.smc");
    EXPECT_EQ(session->openRom(dialogs), RomOpenStep::CannotOpen);
    EXPECT_TRUE(session->romLoaded());
    EXPECT_EQ(session->dumpsDirectory(), dumps);
    EXPECT_FALSE(fs::exists(folder.path() / "elsewhere" / "Dumps"));

    // Another game: no ROM afterwards, and nothing is drawn for a string.
    std::vector<uint8_t> other = game->rom;
    other[0xFFC0] = 'c';
    WriteBytes(file("other.smc"), other);
    dialogs.replyOpenFile(file("other.smc"));
    EXPECT_EQ(session->openRom(dialogs), RomOpenStep::WrongTitle);
    EXPECT_FALSE(session->romLoaded());
    EXPECT_FALSE(session->chooseString(0, script, true));
    EXPECT_FALSE(session->chooseBlock(0, script, dialogs));
    EXPECT_EQ(dialogs.messages(),
              (std::vector<std::string>{kCannotOpenRom, "Error: This is not the ROM used.\nPlease load the correct ROM."}));
    EXPECT_EQ(dumps, folder.path() / "Dumps");
}

TEST_F(EditorSessionTest, TheDataFileDialogOpensWhereTheRomWasChosenAndScriptsGoBesideTheRom) {
    const fs::path gameFolder = folder.path() / "game";
    fs::create_directory(gameFolder);
    fs::copy_file(file(demo::kRomFileName), gameFolder / demo::kRomFileName);
    dialogs.replyOpenFile(gameFolder / demo::kRomFileName);
    ASSERT_EQ(session->openRom(dialogs), RomOpenStep::Opened);
    dialogs.replyOpenFile(std::nullopt);
    EXPECT_FALSE(session->loadDataFile(dialogs));
    ASSERT_EQ(dialogs.calls().size(), 2u);
    EXPECT_EQ(dialogs.calls()[0].request.directory, folder.path());
    EXPECT_EQ(dialogs.calls()[1].request.directory, gameFolder);
    EXPECT_EQ(session->dumpsDirectory(), gameFolder / "Dumps");
    EXPECT_TRUE(fs::is_directory(gameFolder / "Dumps"));
}

TEST_F(EditorSessionTest, TheInsertionLogAddsALinePerErrorTheChecksFind) {
    openDemo();
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    std::string text = script.text();
    text.replace(text.find(".STRING 1\n\n"), 11, ".STRING 1\nGr\xFC\xDF" "e\n");
    script.setText(text);
    script::testing_support::RecordingProgress progress;
    session->insertText(script, progress, dialogs);
    ASSERT_FALSE(progress.log.empty());
    // The check line comes before the outcome, which ends the log between its two rules.
    const auto check = std::find(progress.log.begin(), progress.log.end(),
                                 "; Check: STRING 1: line 1: \"\xFC\" is byte FC, which the game reads as a control code");
    ASSERT_NE(check, progress.log.end());
    const auto outcome =
        std::find(progress.log.begin(), progress.log.end(), "; All text was inserted successfully, and...");
    ASSERT_NE(outcome, progress.log.end());
    EXPECT_EQ(check + 2, outcome);  // the check line, the opening rule, the outcome
    EXPECT_EQ(*(check + 1), progress.log.back());
    EXPECT_EQ(progress.log.back(), insert::kInsertionLogRule);

    // Without errors, only the insertion's own lines.
    script::testing_support::RecordingProgress clean;
    script.setText(script::ScriptSkeleton(session->index().stringCount()));
    session->insertText(script, clean, dialogs);
    for (const std::string& line : clean.log) EXPECT_EQ(line.find("; Check:"), std::string::npos) << line;
}

TEST_F(EditorSessionTest, TheInsertionSaysWhereItsOutcomeStandsAndWhetherItWroteALog) {
    openDemo();
    // Refused before it starts (no table): nothing in the log, so nothing to add to it.
    script::testing_support::RecordingProgress refused;
    const InsertionLog none = session->insertText(script, refused, dialogs);
    EXPECT_EQ(dialogs.messages().back(), "Error: Must load a table file first!");
    EXPECT_TRUE(refused.log.empty());
    EXPECT_FALSE(none.written);
    EXPECT_EQ(none.outcomeLines, 0u);

    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    std::string text = script.text();
    text.replace(text.find(".STRING 1\n\n"), 11, ".STRING 1\nGr\xFC\xDF" "e\n");
    script.setText(text);
    for (const bool withCheckError : {true, false}) {
        if (!withCheckError) script.setText(script::ScriptSkeleton(session->index().stringCount()));
        script::testing_support::RecordingProgress progress;
        const InsertionLog log = session->insertText(script, progress, dialogs);
        ASSERT_TRUE(log.written);
        // The rule, the two outcome lines, the rule: what a line about the insertion goes before.
        ASSERT_EQ(log.outcomeLines, 4u);
        ASSERT_GE(progress.log.size(), log.outcomeLines);
        const auto outcome = progress.log.end() - std::ptrdiff_t(log.outcomeLines);
        EXPECT_EQ(*outcome, insert::kInsertionLogRule);
        EXPECT_EQ(*(outcome + 1), "; All text was inserted successfully, and...");
        EXPECT_EQ(progress.log.back(), insert::kInsertionLogRule);
        if (withCheckError) {
            ASSERT_NE(outcome, progress.log.begin());
            EXPECT_EQ((outcome - 1)->rfind("; Check: ", 0), 0u) << *(outcome - 1);
        } else {
            EXPECT_EQ(outcome, progress.log.begin());  // a clean insertion logs its outcome alone
        }
    }
}

TEST_F(EditorSessionTest, APatchThatBreaksAListedBlockIsRefusedWithTheCopierHeaderMessage) {
    openDemo();
    const std::vector<uint8_t> before(session->rom().fileBytes().begin(), session->rom().fileBytes().end());
    // The check word of block D01000 (ROM offset 101000, no copier header) changed.
    WriteBytes(file("breaks.ips"), {'P', 'A', 'T', 'C', 'H', 0x10, 0x10, 0x06, 0x00, 0x01, 0x5A, 'E', 'O', 'F'});
    dialogs.clearRecord();
    dialogs.replyOpenFiles({file("breaks.ips")});
    session->patchRom(dialogs);
    EXPECT_EQ(dialogs.calls().back().text,
              "The PATCH file breaks block D01000: its header no longer passes its check. The patch was probably made "
              "for a ROM with a 512-byte copier header. No patching performed.");
    EXPECT_EQ(std::vector<uint8_t>(session->rom().fileBytes().begin(), session->rom().fileBytes().end()), before);
    EXPECT_FALSE(session->rom().modified());
}

TEST_F(EditorSessionTest, PatchingAModifiedRomAsksFirstAndADumpThatCannotBeWrittenSaysSo) {
    openDemo();
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    session->insertCompression(dialogs);
    ASSERT_TRUE(session->rom().modified());

    // The save question first (answered No), then the files, applied in the order chosen.
    WriteBytes(file("one.ips"), {'P', 'A', 'T', 'C', 'H', 0x00, 0x00, 0x10, 0x00, 0x01, 0xAB, 'E', 'O', 'F'});
    WriteBytes(file("two.ips"), {'P', 'A', 'T', 'C', 'H', 0x00, 0x00, 0x10, 0x00, 0x01, 0xCD, 'E', 'O', 'F'});
    dialogs.clearRecord();
    dialogs.replyYesNo(false);
    dialogs.replyOpenFiles({file("one.ips"), file("two.ips")});
    session->patchRom(dialogs);
    const auto& calls = dialogs.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].caption, " IPS Patcher...");
    EXPECT_EQ(calls[0].text, "Rom has been modified. Save these changes?");
    EXPECT_EQ(calls[1].request.directory, folder.path());
    EXPECT_EQ(calls[2].text, "Patching is complete! Remember to SAVE the changes!");
    EXPECT_EQ(session->rom().data()[0x10], 0xCD);

    // A folder cannot be written as a file: the message, and nothing printed as done.
    dialogs.replySaveFile(folder.path());
    session->dumpDecompressed(dialogs);
    EXPECT_EQ(dialogs.messages().back(), std::string(kCannotWriteDump) + "\n" + folder.path().string() +
                                             ": not a regular file (a folder, block device or socket)");
    EXPECT_TRUE(fs::is_directory(folder.path()));
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

TEST_F(EditorSessionTest, ClosingWithUnsavedTextThatCannotBeSavedStaysOpen) {
    // A ROM but no block chosen: Yes to the save question cannot write anywhere.
    dialogs.replyOpenFile(file(demo::kRomFileName));
    ASSERT_EQ(session->openRom(dialogs), RomOpenStep::Opened);
    script.setText("typed before any block was chosen\n");
    script.setModified(true);
    dialogs.clearRecord();
    dialogs.replyYesNo(true);
    EXPECT_FALSE(session->askBeforeClosing(script, dialogs));
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{"Error: Could not save the text file (no block is chosen)"}));
    EXPECT_TRUE(script.modified());

    // No: the text is given up on purpose and the window closes.
    dialogs.replyYesNo(false);
    EXPECT_TRUE(session->askBeforeClosing(script, dialogs));

    // A script file that cannot be written: its message, and the window stays open.
    openDemo();
    script.setText(script.text() + "// note\n");
    script.setModified(true);
    fs::remove(session->index().scriptPath());
    fs::create_directory(session->index().scriptPath());
    dialogs.clearRecord();
    dialogs.replyYesNo(true);
    EXPECT_FALSE(session->askBeforeClosing(script, dialogs));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const std::string path = session->index().scriptPath().string();
    EXPECT_EQ(dialogs.messages()[0],
              kCannotSaveTextPrefix + path + "\n" + path + ": not a regular file (a folder, block device or socket)");
    EXPECT_TRUE(dialogs.unexpected().empty());
}

TEST_F(EditorSessionTest, InsertingWithoutABlockFollowsTheInsertionsTableRule) {
    dialogs.replyOpenFile(file(demo::kRomFileName));
    ASSERT_EQ(session->openRom(dialogs), RomOpenStep::Opened);
    struct NoProgress final : insert::InsertionProgress {
        void addLogLine(const std::string&) override { ++lines; }
        void start() override { ++lines; }
        void setCaption(std::string_view) override {}
        void setGaugeRange(int, int) override {}
        void setGaugePosition(int) override {}
        void processPendingMessages() override {}
        int lines = 0;
    } progress;
    dialogs.clearRecord();
    session->insertText(script, progress, dialogs);
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{"Error: Must load a table file first!"}));
    // With a table there is still nothing to insert, and nothing is said.
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    dialogs.clearRecord();
    session->insertText(script, progress, dialogs);
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_EQ(progress.lines, 0);
    EXPECT_FALSE(session->rom().modified());
}

TEST_F(EditorSessionTest, SavingARomAnotherProgramChangedAsksAndNoKeepsTheirWork) {
    openDemo();
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    session->insertCompression(dialogs);
    ASSERT_TRUE(session->rom().modified());
    // corvtool saves the same ROM meanwhile.
    std::vector<uint8_t> theirs = game->rom;
    theirs[0x20] ^= 0xFF;
    ASSERT_TRUE(core::WriteFileSafely(file(demo::kRomFileName), theirs));

    dialogs.clearRecord();
    dialogs.replyYesNo(false);
    session->saveRom(dialogs);
    ASSERT_EQ(dialogs.calls().size(), 1u);
    EXPECT_EQ(dialogs.calls()[0].caption, kRomChangedCaption);
    EXPECT_EQ(dialogs.calls()[0].text, kRomChangedQuestion);
    EXPECT_EQ(ReadBytes(file(demo::kRomFileName)), theirs);
    EXPECT_TRUE(session->rom().modified());

    dialogs.replyYesNo(true);
    session->saveRom(dialogs);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{kRomSaved});
    EXPECT_FALSE(session->rom().modified());
    const std::vector<uint8_t> ours(session->rom().fileBytes().begin(), session->rom().fileBytes().end());
    EXPECT_EQ(ReadBytes(file(demo::kRomFileName)), ours);

    // Saved by this session itself, the file is no change of another's: no question.
    dialogs.clearRecord();
    session->saveRom(dialogs);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{kRomSaved});
    EXPECT_TRUE(dialogs.unexpected().empty());
}

TEST_F(EditorSessionTest, TheFirstRomSaveOfEachOpenedRomKeepsTheFileAsItWasBesideIt) {
    openDemo();
    const fs::path rom = file(demo::kRomFileName);
    const fs::path backup = folder.path() / (std::string(demo::kRomFileName) + ".bak");
    EXPECT_EQ(RomBackupPath(rom), backup);
    // An older backup is replaced.
    WriteBytes(backup, {'o', 'l', 'd'});
    const std::vector<uint8_t> before = ReadBytes(rom);
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    session->insertCompression(dialogs);
    ASSERT_TRUE(session->rom().modified());
    dialogs.clearRecord();
    session->saveRom(dialogs);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{kRomSaved});
    const std::vector<uint8_t> firstSave = ReadBytes(rom);
    EXPECT_NE(firstSave, before);
    EXPECT_EQ(ReadBytes(backup), before);

    // Later saves of the same ROM leave the backup alone.
    session->insertCompression(dialogs);
    session->saveRom(dialogs);
    EXPECT_EQ(ReadBytes(backup), before);

    // The ROM opened again is a new first save: its backup is the file as the last save left it.
    openDemo();
    session->saveRom(dialogs);
    EXPECT_EQ(ReadBytes(backup), firstSave);
}

TEST_F(EditorSessionTest, ARomSaveWhoseBackupCannotBeWrittenSavesNothing) {
    openDemo();
    const fs::path rom = file(demo::kRomFileName);
    const fs::path backup = RomBackupPath(rom);
    fs::create_directory(backup);  // a folder in the backup's place takes no file
    const std::vector<uint8_t> before = ReadBytes(rom);
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    session->insertCompression(dialogs);
    dialogs.clearRecord();
    session->saveRom(dialogs);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].rfind(std::string(kCannotSaveRom) + "\n" + kBackupNotWrittenPrefix + backup.string(), 0),
              0u)
        << dialogs.messages()[0];
    EXPECT_EQ(ReadBytes(rom), before);
    EXPECT_TRUE(session->rom().modified());
}

TEST_F(EditorSessionTest, FailedRomSaveGivesTheReasonBelowTheKnownMessage) {
    openDemo();
    ASSERT_EQ(::chmod(file(demo::kRomFileName).c_str(), 0444), 0);
    dialogs.clearRecord();
    session->saveRom(dialogs);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{std::string(kCannotSaveRom) + "\n" +
                                                           file(demo::kRomFileName).string() + ": permission denied"});
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

TEST_F(EditorSessionTest, AStringWithoutAnEntryShowsNoOtherStringsTranslation) {
    openDemo();
    script.setText(".STRING 0\nHello\n.ENDS\n");
    ASSERT_TRUE(session->chooseString(0, script, true));
    ASSERT_TRUE(session->chooseString(1, script, true));
    // Chosen: the picture the preview library draws for a string without an entry.
    preview::StringPreviewInput input;
    input.romData = session->rom().data();
    input.gameFont = session->gameFont();
    input.block = session->index().block();
    input.stringIndex = 1;
    preview::PreviewScreen expected;
    script::CodeMaps maps;
    const auto load = script::ParseBlockDataFile(game->blockDataFile, maps);
    script::DataFileSettings settings;
    script::ApplySettings(settings, load.operations);
    preview::RenderStringPreview(expected, input, preview::PreviewOptionsOf(settings), load.format);
    const auto chosen = session->screen().bitmap();
    EXPECT_TRUE(std::equal(chosen.begin(), chosen.end(), expected.bitmap().begin(), expected.bitmap().end()));

    // Redrawn by a key: the same as a session that never had a translation to show.
    (void)session->refreshViews();
    const std::vector<uint16_t> afterOther(session->screen().bitmap().begin(), session->screen().bitmap().end());

    EditorSession fresh(folder.path());
    script::MemoryScriptText freshScript;
    dialogs.replyOpenFile(file(demo::kRomFileName));
    ASSERT_EQ(fresh.openRom(dialogs), RomOpenStep::Opened);
    dialogs.replyOpenFile(file(demo::kBlockDataFileName));
    ASSERT_TRUE(fresh.loadDataFile(dialogs));
    ASSERT_TRUE(fresh.chooseBlock(0, freshScript, dialogs));
    freshScript.setText(".STRING 0\n.ENDS\n");
    ASSERT_TRUE(fresh.chooseString(1, freshScript, true));
    (void)fresh.refreshViews();
    EXPECT_TRUE(std::equal(afterOther.begin(), afterOther.end(), fresh.screen().bitmap().begin(),
                           fresh.screen().bitmap().end()));
}

TEST_F(EditorSessionTest, TheDrawnStringIsHandedOnOnlyWhileTheWindowsDoNotShowIt) {
    openDemo();
    // Typing draws the same string again: nothing new for the hex and kana windows.
    auto again = session->chooseString(0, script, false);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->newString.has_value());
    EXPECT_FALSE(session->refreshViews().has_value());

    const auto other = session->chooseString(1, script, true);
    ASSERT_TRUE(other && other->newString);
    const script::ResolvedString expected =
        script::ResolveString(session->index().block(), 1, session->currentBlockInserted());
    EXPECT_EQ(other->newString->kind, expected.kind);
    EXPECT_EQ(other->newString->textPointer, expected.textPointer);
    EXPECT_EQ(other->newString->string.data(), expected.string.data());  // the block itself, not a copy

    // Drawing both boxes leaves the translated mark clear, whoever set it.
    session->settings().showTranslation = true;
    (void)session->refreshViews();
    EXPECT_FALSE(session->settings().showTranslation);
    session->settings().showTranslation = true;
    ASSERT_TRUE(session->chooseString(1, script, true));
    EXPECT_FALSE(session->settings().showTranslation);

    // Choosing the block again may change its bytes: the same string is new to the windows.
    ASSERT_TRUE(session->chooseBlock(0, script, dialogs));
    EXPECT_TRUE(session->refreshViews().has_value());
}

TEST(DataFileCaption, NamesTheFileWithTheProgramsSpacing) {
    EXPECT_EQ(DataFileCaption(fs::path("some") / "corvane.txt"), "Script Editor: Corvane - [corvane.txt ]");
}

// The PATCH command with BPS files and with patches that break blocks only the ROM's own area
// tables list: the ROM is opened without its block data file.
class PatchCommandTest : public EditorSessionTest {
protected:
    void openRomOnly(const char* name) {
        dialogs.replyOpenFile(file(name));
        ASSERT_EQ(session->openRom(dialogs), RomOpenStep::Opened);
    }
    std::vector<uint8_t> romBytes() const {
        return {session->rom().fileBytes().begin(), session->rom().fileBytes().end()};
    }
    std::string patchWith(const char* name) {
        dialogs.clearRecord();
        dialogs.replyOpenFiles({file(name)});
        session->patchRom(dialogs);
        return dialogs.messages().empty() ? std::string() : dialogs.messages().back();
    }
};

TEST_F(PatchCommandTest, ABpsMadeForTheRomWithoutHeaderGoesBehindTheHeaderOfAHeaderedRom) {
    std::vector<uint8_t> target = game->rom;
    target[demo::kDictionaryAreaStart] = 'A';  // free room: no block changes
    WriteBytes(file("fix.bps"), patches::CreateBpsPatch(game->rom, target).patch);
    openRomOnly(demo::kHeaderedRomFileName);
    const std::vector<uint8_t> before = romBytes();

    EXPECT_EQ(patchWith("fix.bps"),
              "The BPS file was made for the ROM without a copier header: it was applied to the ROM after its "
              "512-byte copier header, which is kept.\nPatching is complete! Remember to SAVE the changes!");
    std::vector<uint8_t> expected(before.begin(), before.begin() + 512);
    expected.insert(expected.end(), target.begin(), target.end());
    EXPECT_EQ(romBytes(), expected);
    EXPECT_TRUE(session->rom().modified());

    // Applied again, the ROM is already its result: refused, nothing changed.
    EXPECT_EQ(patchWith("fix.bps"), "This ROM already is what the BPS file makes: it was applied before. This file "
                                    "was not applied.");
    EXPECT_EQ(romBytes(), expected);
}

TEST_F(PatchCommandTest, ABpsForAnotherRomIsRefusedNamingBothChecksums) {
    std::vector<uint8_t> other = game->rom;
    other[0x50] ^= 1;
    std::vector<uint8_t> target = other;
    target[demo::kDictionaryAreaStart] = 'A';
    WriteBytes(file("other.bps"), patches::CreateBpsPatch(other, target).patch);
    openRomOnly(demo::kHeaderedRomFileName);
    const std::vector<uint8_t> before = romBytes();
    const std::string message = patchWith("other.bps");
    EXPECT_NE(message.find("The BPS file was made for another ROM: this patch is for a ROM whose CRC32 is "),
              std::string::npos) << message;
    EXPECT_NE(message.find(" without its 512-byte copier header)."), std::string::npos) << message;
    EXPECT_EQ(romBytes(), before);
    EXPECT_FALSE(session->rom().modified());
}

TEST_F(PatchCommandTest, WithoutADataFileTheAreaTablesStillGuardEveryBlock) {
    openRomOnly(demo::kRomFileName);
    const std::vector<uint8_t> before = romBytes();
    // The check word of a graphics block that no data file lists (the first of the graphics table).
    const auto entry = std::find_if(game->graphicsTable.entries.begin(), game->graphicsTable.entries.end(),
                                    [](const demo::DemoTableEntry& e) { return e.block >= 0; });
    ASSERT_NE(entry, game->graphicsTable.entries.end());
    const demo::DemoBlock& graphics = game->blocks.at(static_cast<size_t>(entry->block));
    ASSERT_NE(graphics.kind, demo::BlockKind::Text);
    const uint32_t at = graphics.romOffset + 6;
    WriteBytes(file("breaks.ips"),
               {'P', 'A', 'T', 'C', 'H', uint8_t(at >> 16), uint8_t(at >> 8), uint8_t(at), 0x00, 0x01, 0x5A, 'E', 'O', 'F'});
    const std::string message = patchWith("breaks.ips");
    EXPECT_EQ(message.rfind("The PATCH file breaks block ", 0), 0u) << message;
    EXPECT_NE(message.find("The patch was probably made for a ROM with a 512-byte copier header."), std::string::npos)
        << message;
    EXPECT_EQ(romBytes(), before);
    EXPECT_FALSE(session->rom().modified());
}

TEST_F(EditorSessionTest, ATableWithRefusedCharacterLinesNamesThemAndTheRestIsLoaded) {
    openDemo();
    const fs::path table = folder.path() / "letters.tbl";
    std::ofstream(table, std::ios::binary) << "0105=the\n7B=\xF1\nFC=\xFC\n7C=\n";
    dialogs.clearRecord();
    dialogs.replyOpenFile(table);
    session->loadTable(dialogs);
    const auto& calls = dialogs.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].kind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(calls[1].text, std::string(kTableCharacterLinesRefused) +
                                 "\nline 3 (FC=\xC3\xBC): byte FC is a control code in the game (F0-FF); a letter needs a "
                                 "byte below F0\nline 4 (7C=): no character after the equals sign");
    // The line that works is used: the preview and the checks write ñ as 7B.
    EXPECT_EQ(session->table().characterMap().byteOf('\xF1'), 0x7B);
    EXPECT_TRUE(session->table().dictionaryWord(5).has_value());

    dialogs.clearRecord();
    dialogs.replyOpenFile(file(demo::kTableFileName));
    session->loadTable(dialogs);
    EXPECT_EQ(dialogs.calls().size(), 1u);  // the demo's table loads without a message
    EXPECT_TRUE(session->table().characterMap().isIdentity());
}

}  // namespace
}  // namespace corv::editor
