// The project's lock: one holder at a time, a lock file made where missing, and a lock file that
// a shared folder could plant as a link or a folder refused without touching what it names.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "project/project_lock.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using corv::core::LockStatus;
using corv::project::LockProject;
using corv::project::ProjectLockFile;
constexpr std::chrono::milliseconds kNoWait{0};

TEST(ProjectLock, OneHolderAtATimeAndTheLockFileStaysForTheNext) {
    corv::testing::TempFolder folder("corv-project-lock");
    {
        const auto first = LockProject(folder.path(), kNoWait);
        ASSERT_EQ(first.status(), LockStatus::Locked);
        EXPECT_TRUE(fs::is_regular_file(ProjectLockFile(folder.path())));
        // flock locks belong to the open file, so a second take in this process waits like another's.
        const auto second = LockProject(folder.path(), std::chrono::milliseconds(30));
        EXPECT_EQ(second.status(), LockStatus::TimedOut);
        EXPECT_FALSE(second.held());
    }
    const auto again = LockProject(folder.path(), kNoWait);
    EXPECT_EQ(again.status(), LockStatus::Locked);
}

TEST(ProjectLock, ALinkOrFolderAtTheLockFileIsRefusedAndNothingIsMadeWhereItLeads) {
    corv::testing::TempFolder folder("corv-project-lock");
    const fs::path project = folder.path() / "project";
    fs::create_directories(project);
    const fs::path outside = folder.path() / "outside.txt";
    const fs::path lockFile = ProjectLockFile(project);

    fs::create_symlink(outside, lockFile);  // dangling: following it would create `outside`
    auto dangling = LockProject(project, kNoWait);
    EXPECT_EQ(dangling.status(), LockStatus::Failed);
    EXPECT_EQ(dangling.error(), ELOOP);
    EXPECT_FALSE(fs::exists(outside));

    std::ofstream(outside) << "keep";
    auto toFile = LockProject(project, kNoWait);
    EXPECT_EQ(toFile.status(), LockStatus::Failed);
    EXPECT_EQ(toFile.error(), ELOOP);
    EXPECT_EQ(fs::file_size(outside), 4u);

    fs::remove(lockFile);
    fs::create_directory(lockFile);
    const auto folderThere = LockProject(project, kNoWait);
    EXPECT_EQ(folderThere.status(), LockStatus::Failed);
    EXPECT_EQ(folderThere.error(), EISDIR);
}

}  // namespace
