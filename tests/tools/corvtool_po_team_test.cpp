// The project's script skeletons and PO files as a team meets them, run as its members would:
// a one-line translation typed into init-project's skeleton ends without a line break, and a
// trailing line break goes out to the PO file and back.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tools/corvtool_fixture.h"

namespace corv::testing {
namespace {

class CorvtoolPoTeam : public CorvtoolTest {
protected:
    fs::path demoFilesProject() {
        makeDemo();
        const fs::path dir = dir_ / "proj";
        const ToolRun init = initProject(dir);
        EXPECT_EQ(init.exitCode, 0) << init.err;
        return dir;
    }
    std::string files() const {
        return q(dir_ / kRomFileName) + " " + q(dir_ / kBlockDataFileName) + " " + q(dir_ / kTableFileName);
    }
};

TEST_F(CorvtoolPoTeam, AOneLineTranslationTypedIntoTheSkeletonEndsWithItsText) {
    const fs::path dir = demoFilesProject();
    // Typed on the entry's first line, as the skeleton's header says.
    ASSERT_TRUE(replaceInFile(dir / "Dumps/00D01000.txt", ".STRING 2\r\n\r\n.ENDS", ".STRING 2\r\nHP is low!\r\n.ENDS"));
    const ToolRun check = corvtool("check " + q(dir) + " --json");
    EXPECT_EQ(check.out.find("trailing-line-break"), std::string::npos) << check.out.substr(0, 1500);
    ASSERT_EQ(corvtool("build " + q(dir)).exitCode, 0);
    const std::string built = q(dir / "build/corvane-translated.smc") + " " + q(dir_ / kBlockDataFileName) + " " +
                              q(dir_ / kTableFileName);
    const ToolRun read = corvtool("readback " + built + " D01000");
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_NE(read.out.find(".STRING 2\nHP is low!\n.ENDS\n"), std::string::npos) << read.out.substr(0, 600);
}

TEST_F(CorvtoolPoTeam, ATrailingLineBreakGoesToThePoFileAndBackAndGoesWhenRemovedThere) {
    const fs::path dir = demoFilesProject();
    const fs::path script = dir / "Dumps/00D01000.txt";
    ASSERT_TRUE(replaceInFile(script, ".STRING 2\r\n\r\n.ENDS", ".STRING 2\r\nHP is low!\r\n\r\n.ENDS"));
    ASSERT_EQ(corvtool("export-po " + q(dir) + " " + q(dir / "po")).exitCode, 0);
    const fs::path po = dir / "po/00D01000.po";
    EXPECT_NE(readText(po).find("msgstr \"HP is low![NEWLINE]\"\n"), std::string::npos) << readText(po).substr(0, 900);
    const auto before = fileIdentity(script);
    ASSERT_EQ(corvtool("import-po " + q(dir) + " " + q(po)).exitCode, 0);
    EXPECT_EQ(fileIdentity(script), before);

    ASSERT_TRUE(replaceInFile(po, "msgstr \"HP is low![NEWLINE]\"", "msgstr \"HP is low!\""));
    const ToolRun removed = corvtool("import-po " + q(dir) + " " + q(po));
    ASSERT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_NE(readText(script).find(".STRING 2\r\nHP is low!\r\n.ENDS"), std::string::npos);
}

// msgfmt's report of a PO file: its statistics and every warning, on standard error.
std::string msgfmtReport(const fs::path& po, const fs::path& report) {
    const std::string command = "msgfmt --check --statistics -o /dev/null '" + po.string() + "' 2>'" + report.string() + "'";
    return std::system(command.c_str()) == 0 ? readText(report) : "msgfmt failed: " + readText(report);
}

TEST_F(CorvtoolPoTeam, EveryExportedPoFileOfTheDemoPassesMsgfmtWithoutAWarning) {
    if (std::system("msgfmt --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "msgfmt is not installed";
    const fs::path dir = dir_ / "demo";
    ASSERT_EQ(corvtool("make-demo " + q(dir) + " --blocks 7").exitCode, 0);
    ASSERT_EQ(corvtool("export-po " + q(dir) + " --language en " + q(dir / "po")).exitCode, 0);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir / "po")) {
        const std::string report = msgfmtReport(entry.path(), dir_ / "msgfmt.txt");
        EXPECT_EQ(report.find("warning"), std::string::npos) << entry.path() << ": " << report;
        EXPECT_NE(report.find(" translated message"), std::string::npos) << entry.path() << ": " << report;
        EXPECT_NE(readText(entry.path()).find("\"Language: en\\n\""), std::string::npos);
        ++files;
    }
    EXPECT_EQ(files, 7u);

    // Without a language the one field msgfmt misses is the language.
    ASSERT_EQ(corvtool("export-po " + q(dir) + " --block D01000 " + q(dir / "bare")).exitCode, 0);
    const std::string bare = msgfmtReport(dir / "bare/00D01000.po", dir_ / "msgfmt.txt");
    EXPECT_NE(bare.find("Language"), std::string::npos) << bare;
    // The project key names it as well; the option wins over it.
    const std::string project = readText(dir / "corvane-project.toml");
    std::ofstream(dir / "corvane-project.toml", std::ios::binary) << "language = \"de\"\n" << project;
    ASSERT_EQ(corvtool("export-po " + q(dir) + " --block D01000 " + q(dir / "keyed")).exitCode, 0);
    EXPECT_NE(readText(dir / "keyed/00D01000.po").find("\"Language: de\\n\""), std::string::npos);
    EXPECT_EQ(msgfmtReport(dir / "keyed/00D01000.po", dir_ / "msgfmt.txt").find("warning"), std::string::npos);
    ASSERT_EQ(corvtool("export-po " + q(dir) + " --block D01000 --language pt_BR " + q(dir / "keyed")).exitCode, 0);
    EXPECT_NE(readText(dir / "keyed/00D01000.po").find("\"Language: pt_BR\\n\""), std::string::npos);
    // A value that would write a header line of its own is refused.
    EXPECT_EQ(corvtool("export-po " + q(dir) + " --language 'de\\nX: y' " + q(dir / "keyed")).exitCode, 3);
    ASSERT_TRUE(replaceInFile(dir / "corvane-project.toml", "language = \"de\"", "language = \"de\\nX-Evil: 1\""));
    const ToolRun evil = corvtool("export-po " + q(dir) + " " + q(dir / "evil"));
    EXPECT_EQ(evil.exitCode, 2);
    EXPECT_NE(evil.err.find(":1: key 'language'"), std::string::npos) << evil.err;
}

TEST_F(CorvtoolPoTeam, ATemplateHasEveryMessageWithAnEmptyTranslation) {
    const fs::path dir = dir_ / "demo";
    ASSERT_EQ(corvtool("make-demo " + q(dir) + " --blocks 7").exitCode, 0);
    const ToolRun run = corvtool("export-po " + q(dir) + " --template --block D40000 " + q(dir / "pot"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("00D40000.pot: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" translated"), std::string::npos);
    const std::string pot = readText(dir / "pot/00D40000.pot");
    size_t messages = 0, empty = 0;
    for (size_t at = 0; (at = pot.find("\nmsgctxt ", at)) != std::string::npos; ++at) ++messages;
    for (size_t at = 0; (at = pot.find("\nmsgstr \"\"\n\n", at)) != std::string::npos; ++at) ++empty;
    EXPECT_GT(messages, 100u);
    EXPECT_GE(empty + 1, messages);  // the last message ends the file without a blank line
    EXPECT_NE(pot.find("PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "pot/00D40000.po"));
    // The PO file exported beside it holds the translations (the demo translates all of D40000).
    ASSERT_EQ(corvtool("export-po " + q(dir) + " --block D40000 " + q(dir / "pot")).exitCode, 0);
    EXPECT_EQ(readText(dir / "pot/00D40000.po").find("\nmsgstr \"\"\n\n"), std::string::npos);
}

TEST_F(CorvtoolPoTeam, AnImportTakesAFileWhoseHeaderAPlatformRewrote) {
    const fs::path dir = dir_ / "demo";
    ASSERT_EQ(corvtool("make-demo " + q(dir) + " --blocks 7").exitCode, 0);
    ASSERT_EQ(corvtool("export-po " + q(dir) + " --block 545C00 --language en " + q(dir / "po")).exitCode, 0);
    const fs::path po = dir / "po/00545C00.po";
    std::string text = readText(po);
    const size_t end = text.find("\n\n");
    ASSERT_NE(end, std::string::npos);
    // Fields in another order, more of them, and a translation changed.
    text.replace(0, end,
                 "# Translators of the demo\nmsgid \"\"\nmsgstr \"\"\n\"Content-Transfer-Encoding: 8bit\\n\"\n"
                 "\"Content-Type: text/plain; charset=UTF-8\\n\"\n\"Language: en\\n\"\n\"Plural-Forms: nplurals=2; "
                 "plural=n != 1;\\n\"\n\"X-Generator: a translation platform 5.0\\n\"\n\"MIME-Version: 1.0\\n\"\n"
                 "\"PO-Revision-Date: 2026-12-01 10:00+0100\\n\"\n\"Last-Translator: A. Translator <a@example.org>\\n\"\n");
    const size_t at = text.find("msgctxt \"BLOCK 545C00 STRING 1\"");
    ASSERT_NE(at, std::string::npos);
    const size_t str = text.find("\nmsgstr ", at);
    text.replace(str, text.find("\n\n", str) - str, "\nmsgstr \"Rewritten by the team\"");
    std::ofstream(po, std::ios::binary) << text;
    const ToolRun run = corvtool("import-po " + q(dir) + " " + q(po));
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(readText(dir / "Dumps/00545C00.txt").find(".STRING 1\r\nRewritten by the team\r\n.ENDS"),
              std::string::npos);
}

TEST_F(CorvtoolPoTeam, AnImportRefusesAScriptHoldingTextOutsideItsEntriesAndWritesNothing) {
    const fs::path dir = dir_ / "demo";
    ASSERT_EQ(corvtool("make-demo " + q(dir) + " --blocks 7").exitCode, 0);
    ASSERT_EQ(corvtool("export-po " + q(dir) + " --block 545C00 " + q(dir / "po")).exitCode, 0);
    const fs::path po = dir / "po/00545C00.po";
    const size_t str = readText(po).find("\nmsgstr ", readText(po).find("msgctxt \"BLOCK 545C00 STRING 1\""));
    std::string text = readText(po);
    text.replace(str, text.find("\n\n", str) - str, "\nmsgstr \"Changed\"");
    std::ofstream(po, std::ios::binary) << text;

    const fs::path script = dir / "Dumps/00545C00.txt";
    ASSERT_TRUE(replaceInFile(script, ".ENDS\r\n", ".ENDS\r\nthis line has no entry\r\n"));
    const auto before = fileIdentity(script);
    const ToolRun refused = corvtool("import-po " + q(dir) + " " + q(po));
    EXPECT_EQ(refused.exitCode, 2) << refused.err;
    EXPECT_NE(refused.err.find("00545C00.txt:"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("\"this line has no entry\" outside every entry"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("nothing was written"), std::string::npos);
    EXPECT_EQ(fileIdentity(script), before);

    // An entry for a string the block does not have is refused the same way; mended, it imports.
    ASSERT_TRUE(replaceInFile(script, "this line has no entry\r\n", ".STRING 400\r\nnowhere\r\n.ENDS\r\n"));
    EXPECT_EQ(corvtool("import-po " + q(dir) + " " + q(po)).exitCode, 2);
    ASSERT_TRUE(replaceInFile(script, ".STRING 400\r\nnowhere\r\n.ENDS\r\n", ""));
    EXPECT_EQ(corvtool("import-po " + q(dir) + " " + q(po)).exitCode, 0);
    EXPECT_NE(readText(script).find(".STRING 1\r\nChanged\r\n.ENDS"), std::string::npos);
}

}  // namespace
}  // namespace corv::testing
