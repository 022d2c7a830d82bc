// How corvtool's commands save: two commands on one ROM at once, a ROM another process holds,
// files in the temporary file's way, read-only, foreign, hard-linked and special targets, and a
// report that cannot reach standard output.

#include "tools/corvtool_fixture.h"

#include <sys/sysmacros.h>

#include <cstdlib>
#include <string_view>

#include "core/file_lock.h"

namespace {

using namespace corv::testing;
using namespace corv::demo;
namespace fs = std::filesystem;

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

class CorvtoolSaveTest : public CorvtoolTest {
protected:
    void SetUp() override {
        CorvtoolTest::SetUp();
        makeDemo();
        rom_ = dir_ / kRomFileName;
        for (size_t n : {1, 2}) {
            const DemoBlock& block = game_->blocks[static_cast<size_t>(game_->textBlocks[n])];
            scripts_.push_back(dir_ / ("script" + std::to_string(n) + ".txt"));
            writeEntriesFor(block, scripts_.back());
            addresses_.push_back(hex(block.address));
        }
    }

    // Insertion of text block n (1 or 2) of the data file into `rom`.
    std::string insert(size_t n, const fs::path& rom) const {
        return "insert " + q(rom) + " " + q(dir_ / kBlockDataFileName) + " " + q(dir_ / kTableFileName) + " " +
               addresses_[n - 1] + " " + q(scripts_[n - 1]);
    }

    // The inserted mark of block n of the list: the byte n, n + 1 bytes before the ROM's end.
    static bool marked(const std::vector<uint8_t>& rom, size_t n) {
        return rom.size() > n && rom[rom.size() - 1 - n] == n;
    }

    // Runs a shell command line; its exit status.
    static int shell(const std::string& line) {
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path rom_;
    std::vector<fs::path> scripts_;
    std::vector<std::string> addresses_;
};

TEST_F(CorvtoolSaveTest, TwoInsertsIntoOneRomAtOnceBothLandAndBothSucceed) {
    // 25 rounds by default; CORV_SAVE_ROUNDS asks for more when run by hand.
    int rounds = 25;
    if (const char* text = std::getenv("CORV_SAVE_ROUNDS")) rounds = std::max(1, std::atoi(text));
    const fs::path round = dir_ / "round.smc";
    ASSERT_FALSE(marked(game_->rom, 1) || marked(game_->rom, 2));
    const std::string tool = std::string("'") + CORVTOOL_PATH + "' ";
    int failures = 0;
    for (int r = 0; r < rounds; ++r) {
        writeBytes(round, game_->rom);
        const std::string line = "(" + tool + insert(1, round) + " >/dev/null 2>" + q(dir_ / "a.err") + "; echo $? >" +
                                 q(dir_ / "a.code") + ") & (" + tool + insert(2, round) + " >/dev/null 2>" +
                                 q(dir_ / "b.err") + "; echo $? >" + q(dir_ / "b.code") + ") & wait";
        ASSERT_EQ(shell(line), 0);
        const std::vector<uint8_t> after = readBytes(round);
        const bool ok = readText(dir_ / "a.code") == "0\n" && readText(dir_ / "b.code") == "0\n" && marked(after, 1) &&
                        marked(after, 2);
        if (!ok) ++failures;
        EXPECT_TRUE(ok) << "round " << r << ": exit " << readText(dir_ / "a.code") << " and "
                        << readText(dir_ / "b.code") << readText(dir_ / "a.err") << readText(dir_ / "b.err");
        if (failures > 2) break;
    }
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_FALSE(contains(entry.path().filename().string(), ".saving")) << entry.path();
    }
}

TEST_F(CorvtoolSaveTest, RomLockedByAnotherProcessIsLeftAsItWas) {
    const auto before = fileIdentity(rom_);
    const corv::core::FileLock held = corv::core::FileLock::acquire(rom_, std::chrono::milliseconds(0));
    ASSERT_EQ(held.status(), corv::core::LockStatus::Locked);
    ::setenv("CORVTOOL_LOCK_WAIT", "0", 1);
    const ToolRun run = corvtool(insert(1, rom_));
    ::unsetenv("CORVTOOL_LOCK_WAIT");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(contains(run.err, "corvane.smc: another command is changing this file")) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_EQ(fileIdentity(rom_), before);
}

TEST_F(CorvtoolSaveTest, LinkNamedLikeTheTemporaryFileIsNotFollowed) {
    writeBytes(dir_ / "victim.bin", {1, 2, 3});
    fs::create_symlink(dir_ / "victim.bin", dir_ / "corvane.smc.saving");
    const ToolRun run = corvtool(insert(1, rom_));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readBytes(dir_ / "victim.bin"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(rom_)));
    EXPECT_TRUE(fs::is_symlink(dir_ / "corvane.smc.saving"));
    EXPECT_TRUE(marked(readBytes(rom_), 1));
}

TEST_F(CorvtoolSaveTest, ReadOnlyRomIsRefusedWithoutSuccessLinesUnlessForced) {
    ASSERT_EQ(::chmod(rom_.c_str(), 0444), 0);
    const ToolRun refused = corvtool(insert(1, rom_));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(contains(refused.err, "corvane.smc: permission denied")) << refused.err;
    EXPECT_TRUE(contains(refused.err, "the file was left as it was")) << refused.err;
    EXPECT_TRUE(refused.out.empty()) << refused.out;  // the insertion's success lines wait for the save
    EXPECT_EQ(readBytes(rom_), game_->rom);

    const ToolRun forced = corvtool(insert(1, rom_) + " --force");
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_TRUE(contains(forced.out, "compressed successfully")) << forced.out;
    EXPECT_TRUE(marked(readBytes(rom_), 1));
    struct stat info {};
    ASSERT_EQ(::stat(rom_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);

    // The same for a patch file make-ips would replace.
    writeBytes(dir_ / "out.ips", {'P'});
    ASSERT_EQ(::chmod((dir_ / "out.ips").c_str(), 0444), 0);
    const std::string makeIps = "make-ips " + q(dir_ / kHeaderedRomFileName) + " " + q(dir_ / kHeaderedRomFileName) +
                                " " + q(dir_ / "out.ips");
    const ToolRun ips = corvtool(makeIps);
    EXPECT_EQ(ips.exitCode, 2);
    EXPECT_TRUE(contains(ips.err, "out.ips: permission denied")) << ips.err;
    EXPECT_EQ(readBytes(dir_ / "out.ips"), (std::vector<uint8_t>{'P'}));
    EXPECT_EQ(corvtool(makeIps + " --force").exitCode, 0);
}

TEST_F(CorvtoolSaveTest, OwnerGroupAndModeOfTheRomAreKept) {
    ASSERT_EQ(::chmod(rom_.c_str(), 0640), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(rom_.c_str(), 1234, 5678), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(rom_.c_str(), &before), 0);
    const ToolRun run = corvtool("dictionary " + q(rom_) + " " + q(dir_ / kTableFileName));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    struct stat after {};
    ASSERT_EQ(::stat(rom_.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
}

TEST_F(CorvtoolSaveTest, HardLinkedRomIsRefused) {
    fs::create_hard_link(rom_, dir_ / "backup.smc");
    const ToolRun run = corvtool(insert(1, rom_));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(contains(run.err, "has 2 hard links")) << run.err;
    EXPECT_EQ(readBytes(dir_ / "backup.smc"), game_->rom);
    EXPECT_EQ(readBytes(rom_), game_->rom);
}

TEST_F(CorvtoolSaveTest, FifoAndDeviceOutputsAreWrittenIntoAndStayWhatTheyWere) {
    const DemoBlock& text = game_->blocks[static_cast<size_t>(game_->textBlocks[1])];
    ASSERT_EQ(corvtool("decompress " + q(rom_) + " " + hex(text.address) + " " + q(dir_ / "plain.bin")).exitCode, 0);

    const fs::path fifo = dir_ / "out.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // The reader gives up after a while, so a FIFO replaced by a plain file fails instead of hanging.
    const std::string line = "timeout 20 cat " + q(fifo) + " >" + q(dir_ / "got.bin") + " & '" + std::string(CORVTOOL_PATH) +
                             "' decompress " + q(rom_) + " " + hex(text.address) + " " + q(fifo) +
                             " >/dev/null; s=$?; wait; exit $s";
    EXPECT_EQ(shell(line), 0);
    EXPECT_EQ(readBytes(dir_ / "got.bin"), readBytes(dir_ / "plain.bin"));
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // The superuser could replace the system's /dev/null if this went wrong: it gets a null
    // device of its own in the test's folder.
    fs::path device = "/dev/null";
    if (::geteuid() == 0) {
        device = dir_ / "null";
        ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(device.c_str(), &before), 0);
    EXPECT_EQ(corvtool("decompress " + q(rom_) + " " + hex(text.address) + " " + q(device)).exitCode, 0);
    struct stat after {};
    ASSERT_EQ(::stat(device.c_str(), &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST_F(CorvtoolSaveTest, ReportThatCannotReachStandardOutputFails) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const DemoBlock& text = game_->blocks[static_cast<size_t>(game_->textBlocks[1])];
    const std::string line = "'" + std::string(CORVTOOL_PATH) + "' kana " + q(rom_) + " " + q(dir_ / kBlockDataFileName) +
                             " " + hex(text.address) + " >/dev/full 2>" + q(dir_ / "err.txt");
    EXPECT_EQ(shell(line), 2);
    EXPECT_TRUE(contains(readText(dir_ / "err.txt"), "cannot write to standard output: No space left on device"))
        << readText(dir_ / "err.txt");
}

}  // namespace
