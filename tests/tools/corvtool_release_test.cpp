// corvtool build with a release folder, as the real program on the demo project: the lines it
// says, the folder's files, its BPS applied by corvtool patch and checked by verify, and the
// refusals (a stray file, a folder outside the project, a missing version) that leave every
// file as it was.

#include <gtest/gtest.h>

#include <set>

#include "tools/corvtool_fixture.h"
#include "patches/crc32.h"
#include "tools/tree_snapshot.h"

namespace corv::testing {
namespace {

class CorvtoolRelease : public CorvtoolTest {
protected:
    void SetUp() override {
        CorvtoolTest::SetUp();
        project_ = dir_ / "demo";
        ASSERT_NO_FATAL_FAILURE(makeDemoProject(project_));
    }
    std::set<std::string> namesIn(const fs::path& folder) const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
        return names;
    }
    // Runs `arguments`, expects exit 2 with `message`, and every file of the test folder as it was.
    void expectRefused(const std::string& arguments, const std::string& message) const {
        TreeSnapshot before = SnapshotTree(dir_);
        const ToolRun run = corvtool(arguments);
        EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("for the release"), std::string::npos) << run.out;
        TreeSnapshot after = SnapshotTree(dir_);
        for (TreeSnapshot* snapshot : {&before, &after}) {
            snapshot->erase("stdout.txt");
            snapshot->erase("stderr.txt");
        }
        EXPECT_EQ(after, before) << arguments;
    }
    fs::path project_;
};

TEST_F(CorvtoolRelease, BuildWritesTheReleaseWhosePatchGivesTheBuiltRomOnAnyDumpOfTheOriginal) {
    const fs::path release = project_ / "release";
    const ToolRun built = corvtool("build " + q(project_) + " --release-dir " + q(release));
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const std::vector<uint8_t> rom = readBytes(project_ / "build/corvane-translated.smc");
    const std::vector<uint8_t> bps = readBytes(project_ / "build/corvane-translated.bps");
    EXPECT_NE(built.out.find((project_ / "build/corvane-translated.bps").string() + ": " + std::to_string(bps.size()) +
                             " bytes, checked against the original without a copier header\n"),
              std::string::npos) << built.out;
    EXPECT_NE(built.out.find((release / "README.txt").string() + ": "), std::string::npos) << built.out;
    EXPECT_EQ(namesIn(release),
              (std::set<std::string>{"corvane-translated.bps", "corvane-translated.ips", "README.txt"}));
    EXPECT_EQ(readBytes(release / "corvane-translated.bps"), bps);
    EXPECT_EQ(readBytes(release / "corvane-translated.ips"), readBytes(project_ / "build/corvane-translated.ips"));
    const std::string readme = readText(release / "README.txt");
    char resultLine[64];
    std::snprintf(resultLine, sizeof resultLine, "%zu bytes, CRC32 %08X\n", rom.size(), unsigned(patches::Crc32(rom)));
    EXPECT_NE(readme.find(std::string("The patched ROM\n  Without a copier header (as dump databases list it):\n    ") +
                          resultLine),
              std::string::npos) << readme;
    EXPECT_EQ(readme.rfind("Corvane demo translation\nVersion 0.1\n", 0), 0u) << readme;

    // What a player does: verify, then patch a headered dump; the header stays.
    const ToolRun verified = corvtool("verify " + q(project_ / kHeaderedRomFileName) + " --patch " +
                                      q(release / "corvane-translated.bps"));
    EXPECT_EQ(verified.exitCode, 0) << verified.err;
    fs::copy_file(project_ / kHeaderedRomFileName, dir_ / "dump.smc");
    const ToolRun patched = corvtool("patch " + q(dir_ / "dump.smc") + " " + q(release / "corvane-translated.bps"));
    ASSERT_EQ(patched.exitCode, 0) << patched.err;
    EXPECT_NE(patched.out.find("it was applied to the ROM after its 512-byte copier header, which is kept."),
              std::string::npos) << patched.out;
    std::vector<uint8_t> expected = readBytes(project_ / kHeaderedRomFileName);
    std::copy(rom.begin(), rom.end(), expected.begin() + 512);
    EXPECT_EQ(readBytes(dir_ / "dump.smc"), expected);

    // Any other ROM is refused and left as it was.
    std::vector<uint8_t> other = readBytes(project_ / kRomFileName);
    other[0x9000] ^= 0x40;
    writeBytes(dir_ / "other.smc", other);
    expectRefused("patch " + q(dir_ / "other.smc") + " " + q(release / "corvane-translated.bps"),
                  "The BPS file was made for another ROM");

    // status sees the release as part of the last build's outputs.
    writeBytes(release / "corvane-translated.bps", readBytes(release / "corvane-translated.ips"));
    const ToolRun status = corvtool("status " + q(project_));
    EXPECT_NE(status.out.find("OUTPUTS: incomplete: " + (release / "corvane-translated.bps").string()),
              std::string::npos) << status.out;
}

TEST_F(CorvtoolRelease, AStrayFileAFolderOutsideAndAMissingVersionWriteNothing) {
    const fs::path release = project_ / "release";
    fs::create_directories(release);
    std::ofstream(release / "corvane.smc") << "a ROM would be published with the patches\n";
    expectRefused("build " + q(project_) + " --release-dir " + q(release),
                  (release / "corvane.smc").string() + ": the release folder holds a file the release does not write");
    fs::remove_all(release);
    std::ofstream(release) << "a file where the folder would be\n";
    expectRefused("build " + q(project_) + " --release-dir " + q(release),
                  release.string() + ": the release folder is a file, not a folder; nothing was written");
    fs::remove(release);

    expectRefused("build " + q(project_) + " --release-dir " + q(dir_ / "out"),
                  "key '--release-dir': " + (dir_ / "out/corvane-translated.bps").string() + " leads to");
    const ToolRun outside = corvtool("build " + q(project_) + " --release-dir " + q(dir_ / "out") + " --allow-outside");
    EXPECT_EQ(outside.exitCode, 0) << outside.err;
    EXPECT_EQ(namesIn(dir_ / "out").size(), 3u);

    // The key writes a release on every build; without a version it writes nothing at all.
    ASSERT_TRUE(replaceInFile(project_ / "corvane-project.toml", "version = '0.1'\n", "dir = 'rel'\n"));
    const std::string text = readText(project_ / "corvane-project.toml");
    const int line = 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(text.find("[release]")), '\n'));
    expectRefused("build " + q(project_),
                  "corvane-project.toml:" + std::to_string(line) + ": the key 'release.version' is missing");
    EXPECT_FALSE(fs::exists(project_ / "rel"));
    ASSERT_TRUE(replaceInFile(project_ / "corvane-project.toml", "dir = 'rel'\n", "dir = 'rel'\nversion = '1.0'\n"));
    const ToolRun keyed = corvtool("build " + q(project_));
    ASSERT_EQ(keyed.exitCode, 0) << keyed.err;
    EXPECT_NE(readText(project_ / "rel/README.txt").find("\nVersion 1.0\n"), std::string::npos);
}

TEST_F(CorvtoolRelease, TheFormatsKeyWritesOnlyTheIpsAndItsRelease) {
    ASSERT_TRUE(replaceInFile(project_ / "corvane-project.toml", "[output]\n", "[output]\nformats = ['ips']\n"));
    const ToolRun built = corvtool("build " + q(project_) + " --release-dir " + q(project_ / "release"));
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_FALSE(fs::exists(project_ / "build/corvane-translated.bps"));
    EXPECT_EQ(namesIn(project_ / "release"), (std::set<std::string>{"corvane-translated.ips", "README.txt"}));
    EXPECT_NE(readText(project_ / "release/README.txt").find("2. Apply corvane-translated.ips with any IPS patcher."),
              std::string::npos);
    ASSERT_TRUE(replaceInFile(project_ / "corvane-project.toml", "formats = ['ips']", "formats = ['bps', 'pdf']"));
    expectRefused("build " + q(project_), "key 'output.formats': must be a list of the patch formats 'bps' and 'ips'");
}

}  // namespace
}  // namespace corv::testing
