// The script file's bytes as the editor last loaded or saved them: a change by someone else is
// seen, a change back is not, and bytes the user chose not to load are not asked about again.

#include <gtest/gtest.h>

#include <fstream>

#include "editor/logic/script_on_disk.h"
#include "support/temp_folder.h"

namespace corv::editor {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(ScriptOnDisk, SeesAChangeOfTheRememberedFileOnly) {
    corv::testing::TempFolder folder("script-on-disk");
    const fs::path file = folder.path() / "00D40000.txt";
    const fs::path other = folder.path() / "00D50000.txt";
    Write(file, ".STRING 0\r\nA\r\n.ENDS\r\n");
    Write(other, "x");
    ScriptOnDisk disk;
    EXPECT_FALSE(disk.changed(file));  // nothing remembered yet
    disk.remember(file);
    EXPECT_FALSE(disk.changed(file));
    Write(other, "y");
    EXPECT_FALSE(disk.changed(other));
    EXPECT_FALSE(disk.changed(file));
    // One byte of the same length differs.
    Write(file, ".STRING 0\r\nB\r\n.ENDS\r\n");
    EXPECT_TRUE(disk.changed(file));
    Write(file, ".STRING 0\r\nA\r\n.ENDS\r\n");
    EXPECT_FALSE(disk.changed(file));
    Write(file, "");
    EXPECT_TRUE(disk.changed(file));
    fs::remove(file);
    EXPECT_FALSE(disk.changed(file));  // nothing there to lose or to load
    disk.forget();
    EXPECT_FALSE(disk.changed(file));
}

TEST(ScriptOnDisk, DeclinedBytesAreNotAskedAboutUntilTheyChangeAgain) {
    corv::testing::TempFolder folder("script-on-disk");
    const fs::path file = folder.path() / "00D40000.txt";
    Write(file, "one");
    ScriptOnDisk disk;
    disk.remember(file);
    Write(file, "two");
    EXPECT_TRUE(disk.changedAndNotDeclined(file));
    disk.declineCurrent();
    EXPECT_FALSE(disk.changedAndNotDeclined(file));
    EXPECT_TRUE(disk.changed(file));  // a save still asks
    Write(file, "three");
    EXPECT_TRUE(disk.changedAndNotDeclined(file));
    disk.remember(file);  // saved or loaded: the slate is clean
    EXPECT_FALSE(disk.changed(file));
}

TEST(ScriptOnDisk, ReloadsQuietlyOnlyWithoutUnsavedEdits) {
    EXPECT_EQ(ActionForScriptOnDisk(false, false), ScriptDiskAction::Nothing);
    EXPECT_EQ(ActionForScriptOnDisk(false, true), ScriptDiskAction::Nothing);
    EXPECT_EQ(ActionForScriptOnDisk(true, false), ScriptDiskAction::Reload);
    EXPECT_EQ(ActionForScriptOnDisk(true, true), ScriptDiskAction::Ask);
}

}  // namespace
}  // namespace corv::editor
