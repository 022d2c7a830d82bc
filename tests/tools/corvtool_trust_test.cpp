// Projects and PO files as a hostile teammate would write them, against the real corvtool: every
// refusal exits 2 and leaves every file of the project (and outside it) as it was, checked entry
// by entry and byte by byte.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "tools/corvtool_fixture.h"
#include "tools/tree_snapshot.h"

namespace corv::testing {
namespace {

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

std::string repeated(std::string_view part, size_t times) {
    std::string text;
    for (size_t k = 0; k < times; ++k) text += part;
    return text;
}

const std::string kHeader = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

std::string poEntry(const std::string& context, const std::string& str) {
    return "msgctxt \"" + context + "\"\nmsgid \"x\"\nmsgstr \"" + str + "\"\n\n";
}

class CorvtoolTrust : public CorvtoolTest {
protected:
    void SetUp() override {
        CorvtoolTest::SetUp();
        project_ = dir_ / "demo";
        ASSERT_NO_FATAL_FAILURE(makeDemoProject(project_));
        projectText_ = readText(project_ / "corvane-project.toml");
    }

    fs::path write(const std::string& name, const std::string& text) const {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return dir_ / name;
    }
    // The project file with its two outputs replaced.
    void setOutputs(const std::string& rom, const std::string& ips) const {
        std::string text = projectText_;
        text.replace(text.find("rom = 'build/corvane-translated.smc'"), 36, "rom = '" + rom + "'");
        text.replace(text.find("ips = 'build/corvane-translated.ips'"), 36, "ips = '" + ips + "'");
        std::ofstream(project_ / "corvane-project.toml", std::ios::binary) << text;
    }

    // Runs `arguments`, expects it refused with a line holding `message`, and the whole test
    // folder (the project and everything beside it) as it was.
    void expectRefused(const std::string& arguments, std::string_view message) const {
        const TreeSnapshot before = SnapshotTree(dir_);
        const ToolRun run = corvtool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments << '\n' << run.out << run.err;
        EXPECT_TRUE(contains(run.err, message)) << arguments << '\n' << run.err;
        EXPECT_FALSE(contains(run.out, " bytes, checked against the original")) << run.out;
        TreeSnapshot after = SnapshotTree(dir_);
        after.erase("stdout.txt");
        after.erase("stderr.txt");
        TreeSnapshot expected = before;
        expected.erase("stdout.txt");
        expected.erase("stderr.txt");
        EXPECT_EQ(after, expected) << arguments;
    }

    fs::path project_;
    std::string projectText_;
};

TEST_F(CorvtoolTrust, ATranslationThatHoldsKeywordLinesIsRefusedAndAnInjectedEntryIsAnError) {
    const std::string injected = "Hi\\n.ENDS\\n\\n.STRING 4\\nInjected into four";
    const struct {
        std::string str;
        std::string message;
    } cases[] = {
        {injected, "line 2 of the translation would be read as a script's \".STRING\" or \".ENDS\" line"},
        {"Hi\\n   .ends  ", "line 2 of the translation"},
        {"said .string 4 aloud", "line 1 of the translation"},
    };
    for (const auto& c : cases) {
        // A good translation in another file is refused with it: the import is one.
        const fs::path good = write("good.po", kHeader + poEntry("BLOCK 545C00 STRING 1", "Fine"));
        const fs::path bad = write("bad.po", kHeader + poEntry("BLOCK 545C00 STRING 0", c.str));
        expectRefused("import-po " + q(project_) + " " + q(good) + " " + q(bad), c.message);
    }
    // The script as the old import left it: string 4 has a second entry, which check and build refuse.
    const fs::path script = project_ / "Dumps/00545C00.txt";
    std::string text = readText(script);
    text.insert(text.find("\r\n", text.find(".STRING 0\r\n") + 11) + 2, ".ENDS\r\n\r\n.STRING 4\r\nInjected into four\r\n");
    std::ofstream(script, std::ios::binary) << text;
    const ToolRun check = corvtool("check " + q(project_ / "corvane.smc") + " " + q(project_ / "corvane.txt") + " " +
                                   q(project_ / "corvane.tbl") + " 545C00 " + q(script) + " --strict");
    EXPECT_EQ(check.exitCode, 2);
    EXPECT_TRUE(contains(check.out, "STRING 4: error: script line ")) << check.out;
    EXPECT_TRUE(contains(check.out, "holds a second \".STRING 4\" line")) << check.out;
    expectRefused("build " + q(project_), "the blocks above stop the build; nothing was written");
}

TEST_F(CorvtoolTrust, OutputsThatAreInputsOrLeaveTheFolderAreRefusedBeforeAnythingIsWritten) {
    fs::create_directories(dir_ / "elsewhere");
    fs::create_symlink(dir_ / "elsewhere", project_ / "linked");
    fs::create_symlink(dir_ / "nowhere.smc", project_ / "dangling.smc");
    fs::create_symlink(dir_ / "none", project_ / "dangling-folder");
    ASSERT_EQ(::mkfifo((project_ / "pipe.smc").c_str(), 0600), 0);
    const struct {
        std::string rom, ips;
        std::string message;
    } cases[] = {
        {"Dumps/00D40000.txt", "build/a.ips", "an output may not be one of the project's inputs"},
        {"build/a.smc", "corvane-project.toml", "an output may not be one of the project's inputs"},
        {"build/a.smc", "./Dumps/../corvane.tbl", "an output may not be one of the project's inputs"},
        {"build/a.smc", "build/a.smc", "nor another output"},
        {"build/a.smc", ".corvane-outputs", "an output may not be one of the project's inputs"},
        {"../x.smc", "build/a.ips", "leads to " + (dir_ / "x.smc").string() + ", outside the project folder"},
        {(dir_ / "abs.smc").string(), "build/a.ips", "outside the project folder"},
        {"linked/a.smc", "build/a.ips", "leads to " + (dir_ / "elsewhere/a.smc").string()},
        {"dangling.smc", "build/a.ips", "leads to " + (dir_ / "nowhere.smc").string()},
        {"build/a.smc", "dangling-folder/a.ips", "leads to " + (dir_ / "none/a.ips").string()},
        {"pipe.smc", "build/a.ips", "not a plain file (a FIFO, a device or a folder)"},
        {"Dumps", "build/a.ips", "not a plain file"},
    };
    for (const auto& c : cases) {
        setOutputs(c.rom, c.ips);
        expectRefused("build " + q(project_), c.message);
        EXPECT_FALSE(fs::exists(project_ / "build")) << c.rom << ' ' << c.ips;  // no folder made either
    }

    // Allowed, the bytes go through the link and the lines name where they went.
    setOutputs("dangling.smc", "build/a.ips");
    const ToolRun allowed = corvtool("build " + q(project_) + " --allow-outside");
    ASSERT_EQ(allowed.exitCode, 0) << allowed.err;
    EXPECT_TRUE(contains(allowed.out, "dangling.smc (a link to " + (dir_ / "nowhere.smc").string() + "): ")) << allowed.out;
    EXPECT_TRUE(fs::is_regular_file(dir_ / "nowhere.smc"));
    const std::string outputsOutside = readText(project_ / "corvane-project.toml");
    std::ofstream(project_ / "corvane-project.toml", std::ios::binary) << "allow_outside = true\n" << outputsOutside;
    EXPECT_EQ(corvtool("build " + q(project_)).exitCode, 0);  // the project's own key, written by hand
}

TEST_F(CorvtoolTrust, ScriptsOutsideTheFolderAreNotWrittenAndInitProjectKeepsToItsFolder) {
    const fs::path po = write("a.po", kHeader + poEntry("BLOCK 545C00 STRING 1", "Fine"));
    // A script committed as a link to a file outside, and a scripts folder outside.
    fs::remove(project_ / "Dumps/00545C00.txt");
    fs::create_symlink(dir_ / "outside.txt", project_ / "Dumps/00545C00.txt");
    expectRefused("import-po " + q(project_) + " " + q(po), "leads to " + (dir_ / "outside.txt").string());
    std::string text = projectText_;
    text.replace(text.find("scripts = 'Dumps'"), 17, "scripts = '../Dumps'");
    std::ofstream(project_ / "corvane-project.toml", std::ios::binary) << text;
    expectRefused("import-po " + q(project_) + " " + q(po), "key 'scripts'");

    // init-project into a folder whose Dumps and project file are links out of it.
    const fs::path fresh = dir_ / "fresh";
    fs::create_directories(fresh);
    fs::create_symlink(dir_ / "stolen", fresh / "Dumps");
    const std::string init = "init-project " + q(fresh) + " --rom " + q(project_ / "corvane.smc") + " --data-file " +
                             q(project_ / "corvane.txt") + " --table " + q(project_ / "corvane.tbl");
    expectRefused(init, "leads to " + (dir_ / "stolen").string() + ", outside");
    fs::remove(fresh / "Dumps");
    fs::create_directories(fresh / "Dumps");
    fs::create_symlink(dir_ / "stolen.txt", fresh / "Dumps/00D40000.txt");
    expectRefused(init, "leads to " + (dir_ / "stolen.txt").string());
    EXPECT_FALSE(fs::exists(dir_ / "stolen.txt"));
    fs::remove(fresh / "Dumps/00D40000.txt");
    const ToolRun made = corvtool(init);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(readText(fresh / ".gitignore"),
              "# Written by corvtool init-project. The project's lock and the record of the last build are the\n"
              "# tools' own; the build's outputs hold the whole game, which a shared repository must not.\n"
              "/.corvane-project.lock\n/.corvane-outputs\n/build/\n");
}

TEST_F(CorvtoolTrust, DeepNestingOversizedAndSpecialInputsAreRefusedWithTheirReason) {
    std::string dotted = "a";
    for (int k = 0; k < 40000; ++k) dotted += ".a";
    std::string heading = "[";
    for (int k = 0; k < 40000; ++k) heading += "a.";
    const struct {
        std::string tail;
    } nestings[] = {{"\n" + dotted + " = 1\n"}, {"\n" + heading + "a]\n"}, {"\nx = " + std::string(40000, '[') + std::string(40000, ']') + "\n"},
                    {"\nq = " + repeated("{a = ", 20000) + "1" + std::string(20000, '}') + "\n"}};
    for (const auto& nesting : nestings) {
        std::ofstream(project_ / "corvane-project.toml", std::ios::binary) << projectText_ + nesting.tail;
        expectRefused("build " + q(project_), "nest deeper than 16 levels");
    }
    std::ofstream(project_ / "corvane-project.toml", std::ios::binary) << projectText_;

    fs::create_symlink("/dev/zero", dir_ / "zero.toml");
    expectRefused("status " + q(dir_ / "zero.toml"), "not a regular file");
    fs::create_symlink("/dev/zero", dir_ / "zero.po");
    expectRefused("import-po " + q(project_) + " " + q(dir_ / "zero.po"), "not a regular file");
    ASSERT_EQ(::mkfifo((dir_ / "pipe.po").c_str(), 0600), 0);
    expectRefused("import-po " + q(project_) + " " + q(dir_ / "pipe.po"), "not a regular file");
    {
        std::ofstream big(dir_ / "big.toml", std::ios::binary);
        big << projectText_ << "# " << std::string(1024 * 1024, 'x') << '\n';
    }
    expectRefused("status " + q(dir_ / "big.toml"), "larger than 1048576 bytes, the most a project file may be");
    const fs::path longPo = write("long.po", kHeader + poEntry("BLOCK 545C00 STRING 1", std::string(70000, 'a')));
    expectRefused("import-po " + q(project_) + " " + q(longPo), "longer than any block can hold (65536 bytes)");

    // A ROM of 1 GiB (sparse: nothing is stored) is refused before it is read.
    const fs::path huge = dir_ / "huge.smc";
    { std::ofstream(huge, std::ios::binary); }
    fs::resize_file(huge, 1ull << 30);
    std::string text = projectText_;
    text.replace(text.find("rom = 'corvane.smc'"), 19, "rom = '" + huge.string() + "'");
    std::ofstream(project_ / "corvane-project.toml", std::ios::binary) << text;
    expectRefused("status " + q(project_), "huge.smc: larger than 8389120 bytes (8 MiB and a copier header)");
    expectRefused("kana " + q(huge) + " " + q(project_ / "corvane.txt") + " D40000", "larger than 8389120 bytes");
}

TEST_F(CorvtoolTrust, AnImportIntoTwoScriptsWritesBothOrNeither) {
    const fs::path po = write("two.po", kHeader + poEntry("BLOCK 545C00 STRING 1", "First") +
                                            poEntry("BLOCK D55D00 STRING 1", "Second"));
    ASSERT_EQ(::chmod((project_ / "Dumps/00D55D00.txt").c_str(), 0444), 0);
    expectRefused("import-po " + q(project_) + " " + q(po), "00D55D00.txt: cannot write this file");
    ASSERT_EQ(::chmod((project_ / "Dumps/00D55D00.txt").c_str(), 0644), 0);
    const ToolRun both = corvtool("import-po " + q(project_) + " " + q(po));
    ASSERT_EQ(both.exitCode, 0) << both.err;
    EXPECT_TRUE(contains(both.out, "2 translation(s) imported into 2 script file(s)")) << both.out;
}

TEST_F(CorvtoolTrust, CodesWithoutTheirParametersAreErrorsOfCheckImportAndBuild) {
    const struct {
        std::string translation;
        std::string message;
    } cases[] = {
        {"Choose[YES-NO]", "[YES-NO], which takes 4 parameter bytes"},
        {"Wait[PAUSE] now", "[PAUSE$..], which takes 1 parameter byte"},
        {"Stop[$FFFF]here", "\"[$FFFF]\" writes FF where the game reads the end mark"},
        {"End[$FF]", "\"[$FF]\" writes FF where the game reads the end mark"},
    };
    const fs::path script = project_ / "Dumps/00545C00.txt";
    const std::string original = readText(script);
    for (const auto& c : cases) {
        const fs::path po = write("codes.po", kHeader + poEntry("BLOCK 545C00 STRING 1", c.translation));
        expectRefused("import-po " + q(project_) + " " + q(po), c.message);
        std::string text = original;
        const size_t entry = text.find(".STRING 1\r\n") + 11;
        text.replace(entry, text.find("\r\n.ENDS", entry) - entry, c.translation);
        std::ofstream(script, std::ios::binary) << text;
        const ToolRun check = corvtool("check " + q(project_ / "corvane.smc") + " " + q(project_ / "corvane.txt") + " " +
                                       q(project_ / "corvane.tbl") + " 545C00 " + q(script));
        EXPECT_EQ(check.exitCode, 2) << c.translation;
        EXPECT_TRUE(contains(check.out, "STRING 1: error: line 1: ")) << check.out;
        expectRefused("build " + q(project_), "the blocks above stop the build");
        std::ofstream(script, std::ios::binary) << original;
    }
}

TEST_F(CorvtoolTrust, CharsetsNulsEscapesPluralsDuplicatesAndBlanksAreRefusedOrWarnedAboutByName) {
    const std::string entry = poEntry("BLOCK 545C00 STRING 1", "caf\xE9");
    const struct {
        std::string file;
        std::string message;
    } refused[] = {
        {"msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n" + entry,
         "the file is in ISO-8859-1 (its charset header); only UTF-8 PO files are read"},
        {"msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=CP1252\\n\"\n\n" + entry, "the file is in CP1252"},
        {"msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=KOI8-R\\n\"\n\n" +
             poEntry("BLOCK 545C00 STRING 1", "caf\xC3\xA9"),
         "the file is in KOI8-R"},
        {kHeader + entry, "cannot read this PO file: invalid multibyte sequence"},
        {kHeader + poEntry("BLOCK 545C00 STRING 1", "cut\\0short"), "holds a NUL byte"},
        {kHeader + poEntry("BLOCK 545C00 STRING 1", "cut") + std::string("#\0\n", 3), "holds a NUL byte"},
        {kHeader + poEntry("BLOCK 545C00 STRING 1", "a\\rb"), "the control character U+000D"},
        {kHeader + "msgctxt \"BLOCK 545C00 STRING 1\"\nmsgid \"a\"\nmsgid_plural \"b\"\nmsgstr[0] \"x\"\nmsgstr[1] \"y\"\n",
         "a plural entry (msgid_plural)"},
        {kHeader + poEntry("BLOCK 545C00 STRING 1\x1B]0;owned\x07", "x"), "\"BLOCK 545C00 STRING 1\\x1B]0;owned\\x07\""},
    };
    for (const auto& c : refused) {
        const fs::path po = write("in.po", c.file);
        expectRefused("import-po " + q(project_) + " " + q(po), c.message);
        EXPECT_FALSE(contains(readText(dir_ / "stderr.txt"), "\x1B")) << "an escape reached the terminal";
    }
    // One string in two files: differently refused, alike only told.
    const fs::path first = write("first.po", kHeader + poEntry("BLOCK 545C00 STRING 1", "One"));
    const fs::path other = write("other.po", kHeader + poEntry("BLOCK 145C00 STRING 1", "Another"));
    expectRefused("import-po " + q(project_) + " " + q(first) + " " + q(other),
                  "translated differently in " + first.string() + ":7");
    const fs::path same = write("same.po", kHeader + poEntry("BLOCK 545C00 STRING 1", "One") +
                                               poEntry("BLOCK 545C00 STRING 2", "   "));
    const std::string before = readText(project_ / "Dumps/00545C00.txt");
    const ToolRun told = corvtool("import-po " + q(project_) + " " + q(first) + " " + q(same));
    EXPECT_EQ(told.exitCode, 0) << told.err;
    EXPECT_TRUE(contains(told.err, "warning: translated the same in " + first.string())) << told.err;
    EXPECT_TRUE(contains(told.err, "\"BLOCK 545C00 STRING 2\": warning: the translation is only blanks")) << told.err;
    const std::string after = readText(project_ / "Dumps/00545C00.txt");
    EXPECT_TRUE(contains(after, ".STRING 1\r\nOne\r\n.ENDS")) << after;
    EXPECT_EQ(after.substr(after.find(".STRING 2\r\n")), before.substr(before.find(".STRING 2\r\n")));

    // A NUL in a project path or key: nothing, not even a folder, is made.
    std::string text = projectText_;
    text.replace(text.find("rom = 'build/corvane-translated.smc'"), 36, "rom = \"out\\u0000/x.smc\"");
    std::ofstream(project_ / "corvane-project.toml", std::ios::binary) << text;
    expectRefused("build " + q(project_), "key 'output.rom': holds a NUL character");
    std::ofstream(project_ / "corvane-project.toml", std::ios::binary) << projectText_ << "\"\\u001B[2J\" = 1\n";
    expectRefused("build " + q(project_), "unknown key 'output.\\x1B[2J'");
}

TEST_F(CorvtoolTrust, ExportAndImportAgreeOnEveryByteAScriptMayHold) {
    const fs::path script = project_ / "Dumps/00545C00.txt";
    const std::string original = readText(script);
    const size_t entry = original.find(".STRING 1\r\n") + 11;
    const auto withLine = [&](const std::string& line) {
        std::string text = original;
        text.insert(entry, line + "\r\n");
        std::ofstream(script, std::ios::binary) << text;
    };
    // A tab goes out and comes back byte for byte.
    withLine("a\tb");
    const std::string tabbed = readText(script);
    const ToolRun exported = corvtool("export-po " + q(project_) + " --block 545C00 " + q(dir_ / "po"));
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const ToolRun imported = corvtool("import-po " + q(project_) + " " + q(dir_ / "po/00545C00.po"));
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(readText(script), tabbed);
    // F5 and a lone CR cannot come back: the export names the entry and writes nothing.
    for (const auto& [line, message] : {std::pair<std::string, std::string_view>{"a\xF5" "b", "the byte F5 is read by the game as a code"},
                                        {"a\rb", "the control byte 0D"}}) {
        withLine(line);
        fs::remove_all(dir_ / "po");
        expectRefused("export-po " + q(project_) + " --block 545C00 " + q(dir_ / "po"),
                      "00545C00.txt:" + std::to_string(std::count(original.begin(), original.begin() + long(entry), '\n') + 1) +
                          ": string 1: " + std::string(message));
        EXPECT_FALSE(fs::exists(dir_ / "po/00545C00.po"));
    }
}

}  // namespace
}  // namespace corv::testing
