// Opening and saving the ROM in the utility: header rule, title check, the states a failed
// open leaves behind, and the save message.

#include <gtest/gtest.h>

#include <algorithm>

#include "comp/utility_state.h"
#include "comp/comp_test_files.h"

namespace corv::comp {
namespace {

using testing::entriesIn;
using testing::kClosedFolder;
using testing::kReadOnly;
using testing::ModeForScope;
using testing::readFile;
using testing::TempFolder;
using testing::TestRom;
using testing::writeFile;

// For saves of a file nobody else changed: the question must not come.
bool notAsked() {
    ADD_FAILURE() << "asked whether to overwrite a file nobody changed";
    return false;
}

class OpenRomTest : public ::testing::Test {
protected:
    std::filesystem::path put(const std::string& name, const std::vector<uint8_t>& bytes) {
        const auto path = folder.path() / name;
        writeFile(path, bytes);
        return path;
    }
    TempFolder folder;
    UtilityState state;
};

TEST_F(OpenRomTest, HeaderlessAndHeaderedFilesGiveTheSameRomData) {
    TestRom rom(0x100000);
    rom.data[0x12345] = 0xAB;
    const auto plain = put("plain.smc", rom.data);
    const auto headered = put("headered.smc", rom.withCopierHeader());

    ASSERT_EQ(OpenRom(state, headered).status, OpenRomStatus::Opened);
    EXPECT_EQ(state.rom.headerSize(), 0x200u);
    EXPECT_EQ(state.rom.size(), 0x100200u);
    EXPECT_EQ(state.rom.data()[0x12345], 0xAB);
    EXPECT_EQ(state.rom.path(), headered);

    // The header rule is decided afresh for the next file.
    ASSERT_EQ(OpenRom(state, plain).status, OpenRomStatus::Opened);
    EXPECT_EQ(state.rom.headerSize(), 0u);
    EXPECT_EQ(state.rom.size(), 0x100000u);
    EXPECT_EQ(state.rom.data()[0x12345], 0xAB);
    EXPECT_EQ(state.rom.path(), plain);
}

TEST_F(OpenRomTest, WorkAreaExistsExactlyWhileARomIsLoadedAndStartsZeroed) {
    EXPECT_FALSE(state.romLoaded());
    EXPECT_EQ(state.workArea, nullptr);
    const auto path = put("a.smc", TestRom(0x100000).data);
    ASSERT_EQ(OpenRom(state, path).status, OpenRomStatus::Opened);
    ASSERT_TRUE(state.romLoaded());
    ASSERT_NE(state.workArea, nullptr);
    EXPECT_TRUE(std::all_of(state.workArea->begin(), state.workArea->end(), [](uint8_t b) { return b == 0; }));

    // A reopen acquires a fresh work area: nothing of the previous one survives.
    state.upperHalf()[5] = 0x77;
    ASSERT_EQ(OpenRom(state, path).status, OpenRomStatus::Opened);
    EXPECT_EQ(state.upperHalf()[5], 0);
}

TEST_F(OpenRomTest, WrongTitleLeavesNoRomButThePathNamesTheChosenFile) {
    const auto good = put("good.smc", TestRom(0x100000).data);
    TestRom lower(0x100000);
    lower.data[0xFFC0] = 'c';  // "cORVANE": the comparison is case-sensitive
    const auto bad = put("bad.smc", lower.data);

    ASSERT_EQ(OpenRom(state, good).status, OpenRomStatus::Opened);
    const OpenRomOutcome outcome = OpenRom(state, bad);
    EXPECT_EQ(outcome.status, OpenRomStatus::WrongTitle);
    EXPECT_EQ(outcome.message, "This is not the correct ROM.\nPlease load the correct ROM file.");
    EXPECT_FALSE(state.romLoaded());
    EXPECT_EQ(state.workArea, nullptr);
    EXPECT_EQ(state.rom.path(), bad);
    // With no ROM loaded, Save does nothing at all.
    const auto before = readFile(bad);
    EXPECT_EQ(SaveRom(state, notAsked).status, SaveRomStatus::NothingLoaded);
    EXPECT_EQ(SaveRom(state, notAsked).message, std::nullopt);
    EXPECT_EQ(readFile(bad), before);
}

TEST_F(OpenRomTest, FileTooShortForTheTitleIsTheWrongRom) {
    std::vector<uint8_t> shortFile(0xFFC6, 0);
    const std::string title = "CORVAN";
    std::copy(title.begin(), title.end(), shortFile.begin() + 0xFFC0);
    const OpenRomOutcome outcome = OpenRom(state, put("short.smc", shortFile));
    EXPECT_EQ(outcome.status, OpenRomStatus::WrongTitle);
    EXPECT_FALSE(state.romLoaded());
}

TEST_F(OpenRomTest, UnreadableFileKeepsThePreviousRomAndPath) {
    const auto good = put("good.smc", TestRom(0x100000).data);
    ASSERT_EQ(OpenRom(state, good).status, OpenRomStatus::Opened);
    state.rom.data()[0x40000] = 0x42;

    const OpenRomOutcome outcome = OpenRom(state, folder.path() / "missing.smc");
    EXPECT_EQ(outcome.status, OpenRomStatus::CannotOpen);
    EXPECT_EQ(outcome.message, "Error: Could not open ROM file.");
    ASSERT_TRUE(state.romLoaded());
    EXPECT_EQ(state.rom.path(), good);
    EXPECT_EQ(state.rom.data()[0x40000], 0x42);

    // So a following save writes the old ROM back to its own file.
    ASSERT_EQ(SaveRom(state, notAsked).status, SaveRomStatus::Saved);
    EXPECT_EQ(readFile(good)[0x40000], 0x42);
}

TEST_F(OpenRomTest, FolderIsAFileThatCannotBeOpened) {
    const auto good = put("good.smc", TestRom(0x100000).data);
    ASSERT_EQ(OpenRom(state, good).status, OpenRomStatus::Opened);
    EXPECT_EQ(OpenRom(state, folder.path()).status, OpenRomStatus::CannotOpen);
    EXPECT_TRUE(state.romLoaded());
    EXPECT_EQ(state.rom.path(), good);
}

TEST_F(OpenRomTest, NoChoiceChangesNothing) {
    const auto good = put("good.smc", TestRom(0x100000).data);
    ASSERT_EQ(OpenRom(state, good).status, OpenRomStatus::Opened);
    EXPECT_EQ(OpenRom(state, {}).status, OpenRomStatus::Cancelled);
    EXPECT_TRUE(state.romLoaded());
    EXPECT_EQ(state.rom.path(), good);
}

TEST_F(OpenRomTest, SaveWritesTheWholeFileHeaderIncludedAndNamesOnlyTheFile) {
    TestRom rom(0x100000);
    std::vector<uint8_t> file = rom.withCopierHeader();
    file[3] = 0x99;  // the copier header goes back exactly as it was read
    const auto path = put("headered.smc", file);
    ASSERT_EQ(OpenRom(state, path).status, OpenRomStatus::Opened);
    state.rom.data()[0x50000] = 0x5C;

    const SaveRomOutcome outcome = SaveRom(state, notAsked);
    EXPECT_EQ(outcome.status, SaveRomStatus::Saved);
    EXPECT_EQ(outcome.message, "\"headered.smc\" has been saved!");
    file[0x200 + 0x50000] = 0x5C;
    EXPECT_EQ(readFile(path), file);
}

TEST_F(OpenRomTest, FailedSaveIsReportedAndKeepsTheRom) {
    const auto sub = folder.path() / "sub";
    std::filesystem::create_directories(sub);
    const auto path = sub / "rom.smc";
    writeFile(path, TestRom(0x100000).data);
    ASSERT_EQ(OpenRom(state, path).status, OpenRomStatus::Opened);
    std::filesystem::remove_all(sub);  // nowhere left to write to

    const SaveRomOutcome outcome = SaveRom(state, notAsked);
    EXPECT_EQ(outcome.status, SaveRomStatus::CannotWrite);
    EXPECT_EQ(outcome.message,
              "Error: Could not open ROM file.\nNo temporary file can be made in its folder: No such file or directory");
    EXPECT_TRUE(state.romLoaded());
}

TEST_F(OpenRomTest, SaveOfAFileAnotherProgramChangedAsksFirst) {
    const auto path = put("rom.smc", TestRom(0x100000).data);
    ASSERT_EQ(OpenRom(state, path).status, OpenRomStatus::Opened);
    state.rom.data()[0x50000] = 0x5C;
    std::vector<uint8_t> theirs = TestRom(0x100000).data;
    theirs[0x40000] = 0x77;
    ASSERT_TRUE(core::WriteFileSafely(path, theirs));

    int asked = 0;
    const SaveRomOutcome kept = SaveRom(state, [&] {
        ++asked;
        return false;
    });
    EXPECT_EQ(kept.status, SaveRomStatus::KeptOnDisk);
    EXPECT_EQ(kept.message, std::nullopt);
    EXPECT_EQ(readFile(path), theirs);
    const SaveRomOutcome replaced = SaveRom(state, [&] {
        ++asked;
        return true;
    });
    EXPECT_EQ(replaced.status, SaveRomStatus::Saved);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(readFile(path)[0x50000], 0x5C);
    EXPECT_EQ(readFile(path)[0x40000], TestRom(0x100000).data[0x40000]);
}

TEST_F(OpenRomTest, FailedSaveLeavesTheOldFileIntact) {
    const auto path = put("rom.smc", TestRom(0x100000).data);
    ASSERT_EQ(OpenRom(state, path).status, OpenRomStatus::Opened);
    state.rom.data()[0x50000] = 0x5C;
    // A folder where the file was: the replacement cannot be renamed over it.
    std::filesystem::remove(path);
    std::filesystem::create_directories(path);
    writeFile(path / "keep.bin", {1, 2, 3});

    EXPECT_EQ(SaveRom(state, notAsked).status, SaveRomStatus::CannotWrite);
    EXPECT_EQ(readFile(path / "keep.bin"), (std::vector<uint8_t>{1, 2, 3}));
    // No temporary file is left behind beside it.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 1u);
}

// The process may be root, whom the system lets write any file: a file marked read-only is
// still left alone, directly and through a link.
TEST_F(OpenRomTest, ReadOnlyRomIsNotWrittenAlsoThroughALink) {
    const std::vector<uint8_t> original = TestRom(0x100000).data;
    const auto path = put("ro.smc", original);
    const ModeForScope readOnly(path, kReadOnly);
    std::filesystem::create_symlink(path, folder.path() / "link.smc");

    for (const char* name : {"ro.smc", "link.smc"}) {
        ASSERT_EQ(OpenRom(state, folder.path() / name).status, OpenRomStatus::Opened) << name;
        state.rom.data()[0x50000] = 0x5C;
        const SaveRomOutcome outcome = SaveRom(state, notAsked);
        EXPECT_EQ(outcome.status, SaveRomStatus::CannotWrite) << name;
        EXPECT_EQ(outcome.message, "Error: Could not open ROM file.") << name;
        EXPECT_TRUE(state.romLoaded());
        EXPECT_EQ(readFile(path), original) << name;
        EXPECT_EQ(std::filesystem::status(path).permissions(), kReadOnly) << name;
        EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "link.smc"));
        EXPECT_EQ(entriesIn(folder.path()), 2u) << name;  // no temporary file left beside it
    }
}

TEST_F(OpenRomTest, FolderThatTakesNoNewFileRefusesTheSaveWithTheReason) {
    const auto locked = folder.path() / "locked";
    std::filesystem::create_directories(locked);
    const std::vector<uint8_t> original = TestRom(0x100000).data;
    writeFile(locked / "rom.smc", original);
    ASSERT_EQ(OpenRom(state, locked / "rom.smc").status, OpenRomStatus::Opened);
    state.rom.data()[0x50000] = 0x5C;
    const ModeForScope closed(locked, kClosedFolder);

    const SaveRomOutcome outcome = SaveRom(state, notAsked);
    EXPECT_EQ(outcome.status, SaveRomStatus::CannotWrite);
    EXPECT_EQ(outcome.message,
              "Error: Could not open ROM file.\nNo temporary file can be made in its folder: Permission denied");
    // Not written in place either.
    EXPECT_EQ(readFile(locked / "rom.smc"), original);
    EXPECT_EQ(entriesIn(locked), 1u);
}

TEST_F(OpenRomTest, RomOpenedByARelativeNameThatHasGoneIsWrittenAgain) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    writeFile("rom.smc", TestRom(0x100000).data);
    ASSERT_EQ(OpenRom(state, "rom.smc").status, OpenRomStatus::Opened);
    std::filesystem::remove("rom.smc");
    const SaveRomOutcome outcome = SaveRom(state, notAsked);
    std::filesystem::current_path(previous);
    EXPECT_EQ(outcome.status, SaveRomStatus::Saved);
    EXPECT_EQ(readFile(folder.path() / "rom.smc"), TestRom(0x100000).data);
}

}  // namespace
}  // namespace corv::comp
