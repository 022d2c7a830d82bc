// The editor's PATCH command with BPS files and with patches that break blocks only the ROM's
// own area tables list: what it applies, keeps and says.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "dialogs/scripted_dialogs.h"
#include "editor/logic/editor_session.h"
#include "patches/bps_create.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {
namespace {

namespace fs = std::filesystem;

class PatchCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { game = new demo::DemoGame(demo::BuildDemoGame()); }
    static void TearDownTestSuite() { delete game; }

    void SetUp() override {
        ASSERT_TRUE(demo::WriteDemoFiles(*game, folder.path()));
        session = std::make_unique<EditorSession>(folder.path());
        session->setRunning(true);
    }
    fs::path file(const char* name) const { return folder.path() / name; }
    void write(const char* name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(file(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                          static_cast<std::streamsize>(bytes.size()));
    }
    // Opens a ROM without its block data file: only the area tables name its blocks.
    void openRom(const char* name) {
        dialogs.replyOpenFile(file(name));
        ASSERT_EQ(session->openRom(dialogs), RomOpenStep::Opened);
    }
    std::vector<uint8_t> romBytes() const { return {session->rom().fileBytes().begin(), session->rom().fileBytes().end()}; }
    std::string patchWith(const char* name) {
        dialogs.clearRecord();
        dialogs.replyOpenFiles({file(name)});
        session->patchRom(dialogs);
        return dialogs.messages().empty() ? std::string() : dialogs.messages().back();
    }

    static demo::DemoGame* game;
    testing::TempFolder folder;
    dialogs::ScriptedDialogs dialogs;
    std::unique_ptr<EditorSession> session;
};

demo::DemoGame* PatchCommandTest::game = nullptr;

TEST_F(PatchCommandTest, ABpsMadeForTheRomWithoutHeaderGoesBehindTheHeaderOfAHeaderedRom) {
    std::vector<uint8_t> target = game->rom;
    target[demo::kDictionaryAreaStart] = 'A';  // free room: no block changes
    write("fix.bps", patches::CreateBpsPatch(game->rom, target).patch);
    openRom(demo::kHeaderedRomFileName);
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
    write("other.bps", patches::CreateBpsPatch(other, target).patch);
    openRom(demo::kHeaderedRomFileName);
    const std::vector<uint8_t> before = romBytes();
    const std::string message = patchWith("other.bps");
    EXPECT_NE(message.find("The BPS file was made for another ROM: this patch is for a ROM whose CRC32 is "),
              std::string::npos) << message;
    EXPECT_NE(message.find(" without its 512-byte copier header)."), std::string::npos) << message;
    EXPECT_EQ(romBytes(), before);
    EXPECT_FALSE(session->rom().modified());
}

TEST_F(PatchCommandTest, WithoutADataFileTheAreaTablesStillGuardEveryBlock) {
    openRom(demo::kRomFileName);
    const std::vector<uint8_t> before = romBytes();
    // The check word of a graphics block that no data file lists (the first of the graphics table).
    const auto entry = std::find_if(game->graphicsTable.entries.begin(), game->graphicsTable.entries.end(),
                                    [](const demo::DemoTableEntry& e) { return e.block >= 0; });
    ASSERT_NE(entry, game->graphicsTable.entries.end());
    const demo::DemoBlock& graphics = game->blocks.at(static_cast<size_t>(entry->block));
    ASSERT_NE(graphics.kind, demo::BlockKind::Text);
    const uint32_t at = graphics.romOffset + 6;
    write("breaks.ips", {'P', 'A', 'T', 'C', 'H', uint8_t(at >> 16), uint8_t(at >> 8), uint8_t(at), 0x00, 0x01, 0x5A,
                         'E', 'O', 'F'});
    const std::string message = patchWith("breaks.ips");
    EXPECT_EQ(message.rfind("The PATCH file breaks block ", 0), 0u) << message;
    EXPECT_NE(message.find("The patch was probably made for a ROM with a 512-byte copier header."), std::string::npos)
        << message;
    EXPECT_EQ(romBytes(), before);
    EXPECT_FALSE(session->rom().modified());
}

}  // namespace
}  // namespace corv::editor
