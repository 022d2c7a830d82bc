// corvtool's patch commands on the demo project's original and built ROMs, as the real
// program: a BPS patch applied across the copier header or refused for another ROM, make-bps,
// verify, and every IPS checked against the blocks the ROM's own area tables list. Every
// refusal leaves the files' checksums as they were.

#include <gtest/gtest.h>

#include "tools/corvtool_fixture.h"
#include "patches/crc32.h"

namespace corv::testing {
namespace {

class CorvtoolBps : public CorvtoolTest {
protected:
    // The demo project, built once for the suite: its original and built ROMs and IPS.
    static void SetUpTestSuite() {
        CorvtoolTest::SetUpTestSuite();
        shared_ = new fs::path(fs::temp_directory_path() / ("corvtool_bps_" + std::to_string(::getpid())));
        fs::remove_all(*shared_);
        const std::string tool = std::string("'") + CORVTOOL_PATH + "' ";
        const std::string project = "'" + (*shared_ / "demo").string() + "'";
        ASSERT_EQ(std::system((tool + "make-demo " + project + " --blocks 7 >/dev/null").c_str()), 0);
        ASSERT_EQ(std::system((tool + "build " + project + " >/dev/null").c_str()), 0);
    }
    static void TearDownTestSuite() {
        fs::remove_all(*shared_);
        delete shared_;
        CorvtoolTest::TearDownTestSuite();
    }
    static fs::path demo(const char* name) { return *shared_ / "demo" / name; }
    static fs::path original() { return demo(kRomFileName); }
    static fs::path headered() { return demo(kHeaderedRomFileName); }
    static fs::path built() { return demo("build/corvane-translated.smc"); }
    static fs::path builtIps() { return demo("build/corvane-translated.ips"); }

    // A copy of `from` in the test's folder.
    fs::path copy(const fs::path& from, const char* name) const {
        fs::copy_file(from, dir_ / name);
        return dir_ / name;
    }
    fs::path makeBps(const fs::path& from, const fs::path& to, const char* name) const {
        const ToolRun run = corvtool("make-bps " + q(from) + " " + q(to) + " " + q(dir_ / name));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return dir_ / name;
    }
    static uint32_t crcOf(const fs::path& file) { return patches::Crc32(readBytes(file)); }

    static fs::path* shared_;
};

fs::path* CorvtoolBps::shared_ = nullptr;

TEST_F(CorvtoolBps, TheBuildsIpsOnTheHeaderedRomIsRefusedWithoutAnyOptionNamingTheHeader) {
    const fs::path rom = copy(headered(), "h.smc");
    const uint32_t before = crcOf(rom);
    const auto identity = fileIdentity(rom);
    const ToolRun refused = corvtool("patch " + q(rom) + " " + q(builtIps()));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("breaks block D01000: its header no longer passes its check. The patch was probably "
                               "made for a ROM without a 512-byte copier header. No patching performed."),
              std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty());
    EXPECT_EQ(crcOf(rom), before);
    EXPECT_EQ(fileIdentity(rom), identity);

    const fs::path plain = copy(original(), "u.smc");
    ASSERT_EQ(corvtool("patch " + q(plain) + " " + q(builtIps())).exitCode, 0);
    EXPECT_EQ(readBytes(plain), readBytes(built()));
}

TEST_F(CorvtoolBps, TheBpsGoesBehindTheCopierHeaderAndIsRefusedForAnyOtherRom) {
    const fs::path bps = makeBps(original(), built(), "t.bps");
    const fs::path rom = copy(headered(), "h.smc");
    const ToolRun applied = corvtool("patch " + q(rom) + " " + q(bps));
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_NE(applied.out.find("t.bps: The BPS file was made for the ROM without a copier header: it was applied to "
                               "the ROM after its 512-byte copier header, which is kept.\napplied 1 patch(es); ROM "
                               "size 2097664 bytes\n"),
              std::string::npos) << applied.out;
    std::vector<uint8_t> expected = readBytes(headered());
    expected.resize(512);
    const std::vector<uint8_t> translated = readBytes(built());
    expected.insert(expected.end(), translated.begin(), translated.end());
    EXPECT_EQ(readBytes(rom), expected);

    // Twice: the ROM already is the result.
    const uint32_t patched = crcOf(rom);
    const ToolRun again = corvtool("patch " + q(rom) + " " + q(bps));
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_NE(again.err.find("already is what the BPS file makes"), std::string::npos) << again.err;
    EXPECT_EQ(crcOf(rom), patched);

    // One byte off: both checksums named, nothing written.
    const fs::path off = copy(original(), "off.smc");
    std::vector<uint8_t> bytes = readBytes(off);
    bytes[0x50] ^= 1;
    writeBytes(off, bytes);
    const uint32_t before = crcOf(off);
    const ToolRun refused = corvtool("patch " + q(off) + " " + q(bps));
    EXPECT_EQ(refused.exitCode, 2);
    char words[128];
    std::snprintf(words, sizeof words, "this patch is for a ROM whose CRC32 is %08X; yours is %08X.",
                  unsigned(crcOf(original())), unsigned(before));
    EXPECT_NE(refused.err.find(words), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("the ROM file was left untouched"), std::string::npos);
    EXPECT_EQ(crcOf(off), before);
}

TEST_F(CorvtoolBps, MakeBpsWritesOnlyAPatchThatGivesTheModifiedFile) {
    const fs::path bps = makeBps(original(), built(), "t.bps");
    EXPECT_LT(fs::file_size(bps), fs::file_size(builtIps()));
    // The other direction too: from the built ROM back to the original.
    const fs::path back = makeBps(built(), original(), "back.bps");
    const fs::path rom = copy(built(), "b.smc");
    ASSERT_EQ(corvtool("patch " + q(rom) + " " + q(back)).exitCode, 0);
    EXPECT_EQ(readBytes(rom), readBytes(original()));

    const uint32_t before = crcOf(bps);
    EXPECT_EQ(corvtool("make-bps " + q(original()) + " " + q(dir_ / "missing.smc") + " " + q(bps)).exitCode, 2);
    EXPECT_EQ(corvtool("make-bps " + q(original()) + " " + q(built()) + " " + q(dir_)).exitCode, 2);  // a folder
    EXPECT_EQ(corvtool("make-bps " + q(original()) + " " + q(built())).exitCode, 3);
    EXPECT_EQ(crcOf(bps), before);
    const ToolRun mixed = corvtool("make-bps " + q(original()) + " " + q(headered()) + " " + q(dir_ / "m.bps"));
    EXPECT_NE(mixed.err.find("has a 512-byte copier header and"), std::string::npos) << mixed.err;
}

TEST_F(CorvtoolBps, VerifyRecognisesTheOriginalWithAndWithoutHeaderAndRejectsAOneByteChange) {
    const fs::path bps = makeBps(original(), built(), "t.bps");
    const struct {
        fs::path rom;
        const char* verdict;
    } originals[] = {
        {original(), " was made for\n"},
        {headered(),
         " was made for, without its copier header (corvtool patch applies it there and keeps the header)\n"},
    };
    for (const auto& c : originals) {
        const ToolRun run = corvtool("verify " + q(c.rom) + " --patch " + q(bps));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find("verified: " + c.rom.string() + " is the ROM " + bps.string() + c.verdict),
                  std::string::npos) << run.out;
        EXPECT_NE(run.out.find("  whole file      " + std::to_string(fs::file_size(c.rom)) + " bytes  CRC32 "),
                  std::string::npos) << run.out;
        const ToolRun project = corvtool("verify " + q(c.rom) + " --project " + q(demo("")));
        EXPECT_EQ(project.exitCode, 0) << project.err;
        EXPECT_NE(project.out.find("verified: " + c.rom.string() + " is the project's original ROM"),
                  std::string::npos);
    }
    const ToolRun headerLines = corvtool("verify " + q(headered()));
    EXPECT_EQ(headerLines.exitCode, 0);
    EXPECT_NE(headerLines.out.find("  without header  2097152 bytes  CRC32 "), std::string::npos) << headerLines.out;

    const fs::path off = copy(original(), "off.smc");
    std::vector<uint8_t> bytes = readBytes(off);
    bytes[0x123456] ^= 0x80;
    writeBytes(off, bytes);
    const ToolRun patchVerdict = corvtool("verify " + q(off) + " --patch " + q(bps));
    EXPECT_EQ(patchVerdict.exitCode, 2);
    EXPECT_NE(patchVerdict.err.find("not the ROM this patch was made for: this patch is for a ROM whose CRC32 is"),
              std::string::npos) << patchVerdict.err;
    const ToolRun projectVerdict = corvtool("verify " + q(off) + " --project " + q(demo("")));
    EXPECT_EQ(projectVerdict.exitCode, 2);
    EXPECT_NE(projectVerdict.err.find("not the project's original ROM"), std::string::npos) << projectVerdict.err;
    EXPECT_EQ(corvtool("verify " + q(built()) + " --patch " + q(bps)).err.find("already the ROM this patch makes") !=
                  std::string::npos, true);

    EXPECT_EQ(corvtool("verify " + q(original()) + " --patch " + q(builtIps())).exitCode, 2);  // IPS names no ROM
    std::vector<uint8_t> damaged = readBytes(bps);
    damaged[damaged.size() / 2] ^= 1;
    writeBytes(dir_ / "damaged.bps", damaged);
    const ToolRun cut = corvtool("verify " + q(original()) + " --patch " + q(dir_ / "damaged.bps"));
    EXPECT_EQ(cut.exitCode, 2);
    EXPECT_NE(cut.err.find("damaged.bps: The BPS file is damaged or cut short: its checksum does not match its "
                           "bytes.\n"), std::string::npos) << cut.err;
    EXPECT_EQ(corvtool("verify " + q(original()) + " --patch " + q(bps) + " --project " + q(demo(""))).exitCode, 3);
    EXPECT_EQ(corvtool("verify").exitCode, 3);
    EXPECT_EQ(corvtool("verify " + q(original()) + " --sha").exitCode, 3);
}

TEST_F(CorvtoolBps, ABuildWhoseCodePatchBreaksABlockStopsNamingTheHeader) {
    const fs::path project = dir_ / "p";
    ASSERT_EQ(corvtool("make-demo " + q(project) + " --blocks 7").exitCode, 0);
    // A code patch made for the headered ROM (the demo project's original has none): it changes
    // a byte 512 bytes before D01000, which on the unheadered ROM is D01000's check word.
    fs::copy_file(headered(), dir_ / "h.smc");
    std::vector<uint8_t> changed = readBytes(headered());
    changed[0x101006] ^= 0xFF;
    writeBytes(dir_ / "h2.smc", changed);
    const ToolRun made =
        corvtool("make-ips " + q(dir_ / "h.smc") + " " + q(dir_ / "h2.smc") + " " + q(project / "code.ips"));
    ASSERT_EQ(made.exitCode, 0) << made.err;
    ASSERT_TRUE(replaceInFile(project / "corvane-project.toml", "patches = []", "patches = ['code.ips']"));

    const ToolRun run = corvtool("build " + q(project));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("code.ips"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("The patch was probably made for a ROM with a 512-byte copier header."), std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(project / "build"));
}

}  // namespace
}  // namespace corv::testing
