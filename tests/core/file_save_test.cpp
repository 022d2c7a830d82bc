// The save that replaces a file: what it does with files in the temporary file's way, with
// special, read-only and hard-linked targets, with owner and mode, and what a failure or a crash
// at each of its steps leaves behind.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "core/file_save.h"
#include "core/rom_image.h"
#include "core/save_failure_text.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace corv::core;

const std::vector<uint8_t> kOld = {'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'};
const std::vector<uint8_t> kNew = {'n', 'e', 'w', '!'};

constexpr SaveStep kAllSteps[] = {SaveStep::Inspect, SaveStep::CreateTemporary, SaveStep::Write,
                                  SaveStep::KeepOwner, SaveStep::KeepMode, SaveStep::Sync,
                                  SaveStep::Close,   SaveStep::Replace,         SaveStep::SyncFolder};

std::vector<uint8_t> readAll(const fs::path& path) { return ReadWholeFile(path).value_or(std::vector<uint8_t>{}); }

void writeAll(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

// Fails one step with an errno, or ends the process there (a crash).
class FailAt final : public SaveStepHook {
public:
    FailAt(SaveStep step, int error, bool crash = false) : step_(step), error_(error), crash_(crash) {}
    int beforeStep(SaveStep step) override {
        if (step != step_) return 0;
        if (crash_) ::_exit(0);
        return error_;
    }

private:
    SaveStep step_;
    int error_;
    bool crash_;
};

class FileSaveTest : public ::testing::Test {
protected:
    corv::testing::TempFolder folder{"corv-file-save"};
    fs::path dir = folder.path();
    fs::path target = dir / "rom.smc";
};

TEST_F(FileSaveTest, AnythingNamedLikeTheOldTemporaryFileIsLeftAlone) {
    writeAll(target, kOld);
    writeAll(dir / "victim.bin", kOld);
    fs::create_symlink(dir / "victim.bin", dir / "rom.smc.saving");
    fs::create_directory(dir / "empty.smc.saving");
    writeAll(dir / "empty.smc", kOld);

    ASSERT_TRUE(WriteFileSafely(target, kNew));
    ASSERT_TRUE(WriteFileSafely(dir / "empty.smc", kNew));
    EXPECT_EQ(readAll(target), kNew);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
    EXPECT_EQ(readAll(dir / "victim.bin"), kOld);
    EXPECT_TRUE(fs::is_symlink(dir / "rom.smc.saving"));
    EXPECT_TRUE(fs::is_directory(dir / "empty.smc.saving"));
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"empty.smc", "empty.smc.saving", "rom.smc", "rom.smc.saving",
                                                      "victim.bin"}));
}

TEST_F(FileSaveTest, FifoAndCharacterDeviceAreWrittenIntoAndNeverReplaced) {
    const fs::path fifo = dir / "out.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<uint8_t> received;
    std::thread rawReader([&] {
        std::ifstream in(fifo, std::ios::binary);
        received.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    const SaveResult written = WriteFileSafely(fifo, kNew);
    rawReader.join();
    EXPECT_TRUE(written.ok()) << SaveFailureReason(written);
    EXPECT_EQ(received, kNew);
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"out.fifo"});

    // The superuser could replace the system's /dev/null if this went wrong: it gets a null
    // device of its own.
    fs::path device = "/dev/null";
    if (::geteuid() == 0) {
        device = dir / "null";
        ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    }
    const struct stat before = statOf(device);
    ASSERT_TRUE(S_ISCHR(before.st_mode));
    EXPECT_TRUE(WriteFileSafely(device, kNew));
    const struct stat after = statOf(device);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
}

TEST_F(FileSaveTest, FolderAndSocketAreRefused) {
    const fs::path socketPath = dir / "s.sock";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    const SaveResult onSocket = WriteFileSafely(socketPath, kNew);
    const SaveResult onFolder = WriteFileSafely(dir, kNew);
    ::close(fd);
    EXPECT_EQ(onSocket.status, SaveStatus::NotAFile);
    EXPECT_EQ(onFolder.status, SaveStatus::NotAFile);
    EXPECT_TRUE(S_ISSOCK(statOf(socketPath).st_mode));
    EXPECT_EQ(SaveFailureReason(onSocket), socketPath.string() + ": not a regular file (a folder, block device or socket)");
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"s.sock"});
}

TEST_F(FileSaveTest, ReadOnlyFileIsRefusedUnlessForcedAndKeepsItsMode) {
    writeAll(target, kOld);
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const SaveResult refused = WriteFileSafely(target, kNew);
    EXPECT_EQ(refused.status, SaveStatus::ReadOnly);
    EXPECT_EQ(SaveFailureReason(refused), target.string() + ": permission denied");
    EXPECT_EQ(readAll(target), kOld);

    const SaveResult forced = WriteFileSafely(target, kNew, {.force = true});
    EXPECT_TRUE(forced.ok()) << SaveFailureReason(forced);
    EXPECT_EQ(readAll(target), kNew);
    EXPECT_EQ(statOf(target).st_mode & 07777, 0444u);
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"rom.smc"});
}

TEST_F(FileSaveTest, FileTheUserMayNotWriteIsRefusedEvenWhenForced) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as another user";
    // Another user's file in a folder everyone may write: the folder would allow the rename.
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    writeAll(target, kOld);
    ASSERT_EQ(::chmod(target.c_str(), 0644), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
        const SaveResult plain = WriteFileSafely(target, kNew);
        const SaveResult forced = WriteFileSafely(target, kNew, {.force = true});
        ::_exit(plain.status == SaveStatus::ReadOnly && plain.error == EACCES &&
                        forced.status == SaveStatus::ReadOnly ? 0 : 11);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readAll(target), kOld);
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"rom.smc"});
}

TEST_F(FileSaveTest, OwnerGroupAndModeOfTheReplacedFileAreKept) {
    writeAll(target, kOld);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const bool superuser = ::geteuid() == 0;
    if (superuser) {
        ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
    }
    const struct stat before = statOf(target);

    ASSERT_TRUE(WriteFileSafely(target, kNew));
    const struct stat after = statOf(target);
    EXPECT_NE(after.st_ino, before.st_ino);  // replaced, not written into
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(readAll(target), kNew);

    // A new file gets the mode a plain create gives it: no more than 0666.
    ASSERT_TRUE(WriteFileSafely(dir / "new.bin", kNew));
    EXPECT_EQ(statOf(dir / "new.bin").st_mode & 07111, 0u);
}

TEST_F(FileSaveTest, HardLinkedFileIsRefusedAndBothNamesKeepTheirBytes) {
    writeAll(target, kOld);
    fs::create_hard_link(target, dir / "copy.smc");
    const SaveResult refused = WriteFileSafely(target, kNew);
    EXPECT_EQ(refused.status, SaveStatus::HardLinked);
    EXPECT_EQ(refused.hardLinks, 2u);
    EXPECT_EQ(SaveFailureReason(refused),
              target.string() + ": has 2 hard links; replacing it would split them (save a copy instead)");
    EXPECT_EQ(readAll(target), kOld);
    EXPECT_EQ(readAll(dir / "copy.smc"), kOld);
    EXPECT_EQ(statOf(target).st_nlink, 2u);
}

TEST_F(FileSaveTest, EachStepThatFailsLeavesTheOldFileAndNoTemporaryFile) {
    for (const SaveStep step : kAllSteps) {
        SCOPED_TRACE(static_cast<int>(step));
        writeAll(target, kOld);
        FailAt failure(step, EIO);
        const SaveResult result = WriteFileSafely(target, kNew, {.hook = &failure});
        EXPECT_EQ(result.status, SaveStatus::Failed);
        EXPECT_EQ(result.step, step);
        EXPECT_EQ(result.error, EIO);
        EXPECT_NE(SaveFailureReason(result).find(std::strerror(EIO)), std::string::npos);
        // Only the folder sync comes after the rename: then the new bytes are in place, and said so.
        EXPECT_EQ(result.replaced, step == SaveStep::SyncFolder);
        EXPECT_EQ(readAll(target), step == SaveStep::SyncFolder ? kNew : kOld);
        EXPECT_EQ(namesIn(dir), std::vector<std::string>{"rom.smc"});
    }
    // A file that did not exist before is not created by a failed save.
    FailAt failure(SaveStep::Replace, ENOSPC);
    EXPECT_FALSE(WriteFileSafely(dir / "new.bin", kNew, {.hook = &failure}));
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"rom.smc"});
}

TEST_F(FileSaveTest, CrashAtEachStepLeavesTheOldOrTheNewFileAndARecognisableLeftover) {
    for (const SaveStep step : kAllSteps) {
        SCOPED_TRACE(static_cast<int>(step));
        fs::remove_all(dir);
        fs::create_directories(dir);
        writeAll(target, kOld);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FailAt crash(step, 0, true);
            (void)WriteFileSafely(target, kNew, {.hook = &crash});
            ::_exit(1);  // not reached: the hook ends the process first
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        const std::vector<uint8_t> left = readAll(target);
        const bool renamed = step == SaveStep::SyncFolder;
        EXPECT_EQ(left, renamed ? kNew : kOld);
        for (const std::string& name : namesIn(dir)) {
            if (name == "rom.smc") continue;
            EXPECT_EQ(name.rfind("rom.smc.saving-", 0), 0u) << name;
            EXPECT_EQ(name.size(), std::string("rom.smc.saving-").size() + 6) << name;
        }
        // The next save goes through beside the leftover and leaves it as it is.
        const std::vector<std::string> leftovers = namesIn(dir);
        ASSERT_TRUE(WriteFileSafely(target, kNew));
        EXPECT_EQ(namesIn(dir), leftovers);
    }
}

TEST_F(FileSaveTest, LockIsExclusiveAndFollowsTheFileAcrossAReplacement) {
    writeAll(target, kOld);
    FileLock first = FileLock::acquire(target, std::chrono::milliseconds(0));
    ASSERT_EQ(first.status(), LockStatus::Locked);
    EXPECT_EQ(FileLock::acquire(target, std::chrono::milliseconds(30)).status(), LockStatus::TimedOut);

    // A waiter that gets the old file's lock after the holder replaced the file locks the new one.
    FileLock second;
    std::thread waiter([&] { second = FileLock::acquire(target, std::chrono::seconds(10)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(WriteFileSafely(target, kNew));
    first.release();
    waiter.join();
    ASSERT_EQ(second.status(), LockStatus::Locked);
    EXPECT_EQ(FileLock::acquire(target, std::chrono::milliseconds(30)).status(), LockStatus::TimedOut);
    second.release();
    EXPECT_EQ(FileLock::acquire(target, std::chrono::milliseconds(0)).status(), LockStatus::Locked);

    EXPECT_EQ(FileLock::acquire(dir / "missing.smc", std::chrono::milliseconds(0)).status(), LockStatus::Unavailable);
}

TEST_F(FileSaveTest, HeldRomSaveAsksBeforeOverwritingAFileChangedOnDisk) {
    std::vector<uint8_t> bytes(0x10000, 0);
    writeAll(target, bytes);
    RomImage image(bytes, target);
    image.data()[5] = 0x11;
    int asked = 0;
    bool answer = false;
    const auto question = [&] {
        ++asked;
        return answer;
    };
    ASSERT_EQ(SaveHeldRomFile(image, std::chrono::milliseconds(0), question).result, RomSaveResult::Saved);
    EXPECT_EQ(asked, 0);

    // Another program saves the file: No keeps its work, Yes replaces it.
    std::vector<uint8_t> theirs = readAll(target);
    theirs[9] = 0x22;
    ASSERT_TRUE(WriteFileSafely(target, theirs));
    image.data()[6] = 0x33;
    EXPECT_EQ(SaveHeldRomFile(image, std::chrono::milliseconds(0), question).result, RomSaveResult::KeptOnDisk);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(readAll(target), theirs);
    answer = true;
    EXPECT_EQ(SaveHeldRomFile(image, std::chrono::milliseconds(0), question).result, RomSaveResult::Saved);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(readAll(target)[6], 0x33);
    EXPECT_EQ(readAll(target)[9], 0);

    // While another process holds the lock nothing is asked or written.
    const FileLock other = FileLock::acquire(target, std::chrono::milliseconds(0));
    image.data()[7] = 0x44;
    const RomSaveOutcome busy = SaveHeldRomFile(image, std::chrono::milliseconds(20), question);
    EXPECT_EQ(busy.result, RomSaveResult::Busy);
    EXPECT_EQ(LockFailureReason(busy.lock, busy.lockError, target), target.string() + ": another program is changing this file");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(readAll(target)[7], 0);
}

}  // namespace
