// corvtool's project commands run as a translator would: make-demo --blocks, init-project, build,
// status; exit codes, the lines they print and the files they leave.

#include <gtest/gtest.h>

#include "tools/corvtool_fixture.h"

namespace corv::testing {
namespace {

class CorvtoolProject : public CorvtoolTest {
protected:
    fs::path demoProject(unsigned blocks = 7) const {
        const fs::path dir = dir_ / "demo";
        const ToolRun run = corvtool("make-demo " + q(dir) + " --blocks " + std::to_string(blocks));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return dir;
    }
};

TEST_F(CorvtoolProject, MakeDemoWithBlocksWritesAGameOfThatManyBlocksAndItsProject) {
    const fs::path dir = demoProject(300);
    const auto rom = readBytes(dir / kRomFileName);
    EXPECT_EQ(rom.size(), 0x400000u);
    EXPECT_EQ(readText(dir / kBlockDataFileName).find(".BLOCK") != std::string::npos, true);
    size_t blockLines = 0;
    for (size_t at = 0; (at = readText(dir / kBlockDataFileName).find(".BLOCK ", at)) != std::string::npos; ++at) {
        ++blockLines;
    }
    EXPECT_EQ(blockLines, 300u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Dumps"), fs::directory_iterator()), 300);
    EXPECT_EQ(corvtool("make-demo " + q(dir_ / "x") + " --blocks 6").exitCode, 3);
    EXPECT_EQ(corvtool("make-demo " + q(dir_ / "x") + " --blocks").exitCode, 3);
}

TEST_F(CorvtoolProject, BuildWritesTheRomAndAPatchThatTurnsTheOriginalIntoIt) {
    const fs::path dir = demoProject();
    const auto original = readBytes(dir / kRomFileName);
    const auto originalIdentity = fileIdentity(dir / kRomFileName);
    const ToolRun run = corvtool("build " + q(dir) + " --jobs 2");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("BLOCK D46D00: 242/242 strings translated; needs "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("TOTAL: 7 block(s), 7 with a script, 7 inserted"), std::string::npos) << run.out;
    EXPECT_EQ(readBytes(dir / kRomFileName), original);
    EXPECT_EQ(fileIdentity(dir / kRomFileName), originalIdentity);

    const auto translated = readBytes(dir / "build/corvane-translated.smc");
    fs::copy_file(dir / kRomFileName, dir_ / "copy.smc");
    ASSERT_EQ(corvtool("patch " + q(dir_ / "copy.smc") + " " + q(dir / "build/corvane-translated.ips")).exitCode, 0);
    EXPECT_EQ(readBytes(dir_ / "copy.smc"), translated);

    // Again with one thread: the same bytes.
    ASSERT_EQ(corvtool("build " + q(dir / "corvane-project.toml") + " --jobs 1").exitCode, 0);
    EXPECT_EQ(readBytes(dir / "build/corvane-translated.smc"), translated);
}

TEST_F(CorvtoolProject, ABuildStoppedByABlockWritesNothingAndNamesEveryBlock) {
    const fs::path dir = demoProject();
    const fs::path script = dir / "Dumps/00D01000.txt";
    std::string text = readText(script);
    const size_t entry = text.find(".STRING 0\r\n");
    ASSERT_NE(entry, std::string::npos);
    text.insert(entry + 11, "[$4\r\n");  // an escape without its closing bracket
    std::ofstream(script, std::ios::binary) << text;
    const ToolRun errors = corvtool("build " + q(dir));
    EXPECT_EQ(errors.exitCode, 2) << errors.out << errors.err;
    EXPECT_NE(errors.out.find("BLOCK D01000 STRING 0: error: "), std::string::npos) << errors.out;
    EXPECT_NE(errors.out.find("BLOCK D01000: 43/44 strings translated; 1 string(s) with errors, not inserted"),
              std::string::npos)
        << errors.out;
    EXPECT_NE(errors.err.find("nothing was written"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "build"));
}

TEST_F(CorvtoolProject, StatusCountsTheTranslationAndShowsItAsJson) {
    const fs::path dir = dir_ / "p";
    makeDemo();
    ToolRun init = corvtool("init-project " + q(dir) + " --rom " + q(dir_ / kRomFileName) + " --data-file " +
                            q(dir_ / kBlockDataFileName) + " --table " + q(dir_ / kTableFileName));
    ASSERT_EQ(init.exitCode, 0) << init.err;
    EXPECT_NE(readText(dir / "corvane-project.toml").find("rom = '../corvane.smc'"), std::string::npos);
    // A second init never replaces the project file.
    EXPECT_EQ(corvtool("init-project " + q(dir) + " --rom " + q(dir_ / kRomFileName) + " --data-file " +
                       q(dir_ / kBlockDataFileName) + " --table " + q(dir_ / kTableFileName))
                  .exitCode,
              2);
    std::ofstream(dir / "Dumps/00545C00.txt", std::ios::binary)
        << ".STRING 0\r\nHello there\r\n.ENDS\r\n.STRING 1\r\n\r\n.ENDS\r\n.STRING 2\r\nAbc\r\n.ENDS\r\n";
    const ToolRun status = corvtool("status " + q(dir) + " --jobs 2");
    ASSERT_EQ(status.exitCode, 0) << status.err;
    EXPECT_NE(status.out.find("BLOCK 545C00: 2/20 strings translated; needs "), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("BLOCK D01000: 0/44 strings translated; needs "), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("TOTAL: 7 block(s), 7 with a script; 2/665 strings translated (0%), 14 characters"),
              std::string::npos)
        << status.out;
    const ToolRun json = corvtool("status " + q(dir / "corvane-project.toml") + " --json");
    ASSERT_EQ(json.exitCode, 0);
    EXPECT_NE(json.out.find("{\"block\": \"545C00\", \"state\": \"measured\", \"strings\": 20, \"translated\": 2, "
                            "\"characters\": 14, \"needed\": "),
              std::string::npos)
        << json.out;

    // The skeletons translate nothing: the build keeps every block as it is.
    const ToolRun build = corvtool("build " + q(dir));
    ASSERT_EQ(build.exitCode, 2) << build.out;  // the 545C00 script lacks most entries
    EXPECT_NE(build.out.find("BLOCK D01000: 0/44 strings translated; kept as in the original"), std::string::npos);
}

TEST_F(CorvtoolProject, ProjectFileProblemsNameTheKeyAndLineAndUsageErrorsExitThree) {
    const fs::path dir = demoProject();
    std::string text = readText(dir / "corvane-project.toml");
    text.replace(text.find("rom = 'corvane.smc'"), 19, "rom = 'missing.smc'");
    std::ofstream(dir / "corvane-project.toml", std::ios::binary) << text;
    const ToolRun missing = corvtool("build " + q(dir));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("corvane-project.toml:5: key 'rom': "), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("missing.smc: cannot read this file"), std::string::npos) << missing.err;

    EXPECT_EQ(corvtool("build " + q(dir) + " --jobs 0").exitCode, 3);
    EXPECT_EQ(corvtool("build " + q(dir) + " --json").exitCode, 3);
    EXPECT_EQ(corvtool("status").exitCode, 3);
    EXPECT_EQ(corvtool("init-project " + q(dir) + " --rom x").exitCode, 3);
}

TEST_F(CorvtoolProject, PoFilesRoundTripAndAFuzzyEntryWaitsForTheOption) {
    const fs::path dir = demoProject();
    const auto before = readBytes(dir / "Dumps/00545C00.txt");
    const ToolRun exported = corvtool("export-po " + q(dir) + " --block 145C00 " + q(dir_ / "po"));
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(exported.out, (dir_ / "po/00545C00.po").string() + ": 20 message(s), 20 translated\n");
    const fs::path po = dir_ / "po/00545C00.po";
    if (std::system("msgfmt --version > /dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("msgfmt --check -o /dev/null " + q(po) + " 2>/dev/null").c_str()), 0);
    }
    ToolRun same = corvtool("import-po " + q(dir) + " " + q(po));
    ASSERT_EQ(same.exitCode, 0) << same.err;
    EXPECT_EQ(readBytes(dir / "Dumps/00545C00.txt"), before);

    // A translator marks string 0 fuzzy after changing it.
    std::string text = readText(po);
    const size_t at = text.find("msgctxt \"BLOCK 545C00 STRING 0\"");
    ASSERT_NE(at, std::string::npos);
    text.insert(at, "#, fuzzy\n");
    const size_t str = text.find("msgstr ", at);
    text.insert(str + 8, "Changed ");
    std::ofstream(po, std::ios::binary) << text;
    const ToolRun fuzzyLeft = corvtool("import-po " + q(dir) + " " + q(po));
    ASSERT_EQ(fuzzyLeft.exitCode, 0) << fuzzyLeft.err;
    EXPECT_NE(fuzzyLeft.out.find("1 fuzzy left out (--fuzzy imports them)"), std::string::npos) << fuzzyLeft.out;
    EXPECT_EQ(readBytes(dir / "Dumps/00545C00.txt"), before);
    const ToolRun fuzzyIn = corvtool("import-po " + q(dir) + " " + q(po) + " --fuzzy");
    ASSERT_EQ(fuzzyIn.exitCode, 0) << fuzzyIn.err;
    EXPECT_NE(readText(dir / "Dumps/00545C00.txt").find("Changed "), std::string::npos);

    EXPECT_EQ(corvtool("import-po " + q(dir)).exitCode, 3);
    EXPECT_EQ(corvtool("import-po " + q(dir) + " " + q(dir_ / "none.po")).exitCode, 2);
    EXPECT_EQ(corvtool("export-po " + q(dir) + " --block 123456 " + q(dir_ / "po2")).exitCode, 2);
}

}  // namespace
}  // namespace corv::testing
