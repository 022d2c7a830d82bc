// corvtool check PROJECT as a team's CI runs it, the warnings a build counts, and the project's
// compressor key read by build, status and the check.

#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "tools/corvtool_fixture.h"
#include "tools/demo/demo_translation.h"

namespace corv::testing {
namespace {

// The findings of a check PROJECT --json document as "BLOCK string line severity kind" rows.
std::vector<std::string> jsonFindings(const std::string& json) {
    const std::regex item("\\{\"block\": \"([0-9A-F]+)\"|\\{\"string\": (\\d+), \"line\": (-?\\d+), \"severity\": "
                          "\"(\\w+)\", \"kind\": \"([a-z-]+)\"");
    std::vector<std::string> rows;
    std::string block;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), item); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m[1].matched) {
            block = m[1];
        } else {
            rows.push_back(block + ' ' + m[2].str() + ' ' + m[3].str() + ' ' + m[4].str() + ' ' + m[5].str());
        }
    }
    return rows;
}

class CorvtoolProjectCheck : public CorvtoolTest {
protected:
    fs::path demoProject() const {
        const fs::path dir = dir_ / "demo";
        EXPECT_EQ(corvtool("make-demo " + q(dir) + " --blocks 7").exitCode, 0);
        return dir;
    }

    // A project on the demo game whose largest block, D46D00, holds an English-like translation
    // that only the maximising compressor fits into its room.
    fs::path projectOverItsRoom() {
        makeDemo();
        const fs::path dir = dir_ / "proj";
        EXPECT_EQ(initProject(dir).exitCode, 0);
        const DemoBlock& block = *std::find_if(game_->blocks.begin(), game_->blocks.end(),
                                               [](const DemoBlock& b) { return b.address == 0xD46D00; });
        auto maps = std::make_unique<script::CodeMaps>();
        (void)script::ParseBlockDataFile(game_->blockDataFile, *maps);
        std::vector<uint8_t> bytes(block.data);
        bytes.resize(0x10000);
        const std::string kana = script::KanaDump(bytes, unsigned(block.records.size()), false, *maps);
        std::ofstream(dir / "Dumps/00D46D00.txt", std::ios::binary)
            << TranslateDemoScript(kana, kEnglishLettersPerKana, 7);
        return dir;
    }
};

TEST_F(CorvtoolProjectCheck, JsonListsExactlyThePlantedMistakesOfTwoBlocksAndExitsTwo) {
    const fs::path dir = demoProject();
    const ToolRun clean = corvtool("check " + q(dir) + " --json");
    ASSERT_EQ(clean.exitCode, 0) << clean.out << clean.err;
    const std::vector<std::string> before = jsonFindings(clean.out);

    // An escape without its bracket in string 3 and a line typed between two entries of D01000,
    // a misspelt code in string 5 of D40000.
    ASSERT_TRUE(replaceInFile(dir / "Dumps/00D01000.txt", ".STRING 3\r\n", ".STRING 3\r\n[$4\r\n"));
    ASSERT_TRUE(replaceInFile(dir / "Dumps/00D01000.txt", ".ENDS\r\n", ".ENDS\r\nthis line has no entry\r\n"));
    ASSERT_TRUE(replaceInFile(dir / "Dumps/00D40000.txt", ".STRING 5\r\n", ".STRING 5\r\n[Kye]\r\n"));
    const ToolRun run = corvtool("check " + q(dir) + " --json");
    EXPECT_EQ(run.exitCode, 2) << run.err;
    std::vector<std::string> found = jsonFindings(run.out);
    for (const std::string& row : before) {
        const auto at = std::find(found.begin(), found.end(), row);
        ASSERT_NE(at, found.end()) << row;
        found.erase(at);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"D01000 0 0 error text-outside-entry",
                                               "D01000 3 1 error unclosed-escape",
                                               "D40000 5 1 warning unknown-bracket-word"}))
        << run.out.substr(0, 2000);
    EXPECT_NE(run.out.find("\"state\": \"check-errors\""), std::string::npos);
    EXPECT_NE(run.out.find("\"total\": {\"blocks\": 7, \"errors\": 2"), std::string::npos) << run.out;
}

TEST_F(CorvtoolProjectCheck, TextNamesBlockStringAndLineWithASummaryPerBlockAndATotal) {
    const fs::path dir = demoProject();
    ASSERT_TRUE(replaceInFile(dir / "Dumps/00D40000.txt", ".STRING 5\r\n", ".STRING 5\r\n[Kye]\r\n"));
    const ToolRun warned = corvtool("check " + q(dir));
    EXPECT_EQ(warned.exitCode, 0) << warned.out << warned.err;
    EXPECT_NE(warned.out.find("BLOCK D40000 STRING 5: warning: line 1: "), std::string::npos) << warned.out;
    EXPECT_TRUE(std::regex_search(warned.out, std::regex("\nBLOCK D40000: [1-9]\\d* warning\\(s\\)\nBLOCK D40000: 136/136 "
                                                          "strings translated; needs \\d+ bytes, room \\d+ bytes, \\d+ "
                                                          "bytes left\n")))
        << warned.out;
    EXPECT_TRUE(std::regex_search(warned.out, std::regex("\nTOTAL: 7 block\\(s\\), 7 with a script; .*; 0 error\\(s\\), "
                                                          "[1-9]\\d* warning\\(s\\)\n$")))
        << warned.out;
    // --strict counts warnings as errors, as a block's check does.
    EXPECT_EQ(corvtool("check " + q(dir) + " --strict").exitCode, 2);
    // A check reads and writes nothing of the project's outputs.
    EXPECT_FALSE(fs::exists(dir / "build"));
    // The single block's options do not apply to a project; a missing project is bad input.
    EXPECT_EQ(corvtool("check " + q(dir) + " --untranslated").exitCode, 3);
    EXPECT_EQ(corvtool("check " + q(dir_ / "nothing")).exitCode, 2);
}

TEST_F(CorvtoolProjectCheck, ABlockOverItsRoomExitsOneAndSaysWhatTheMaximiserLeaves) {
    const fs::path dir = projectOverItsRoom();
    const ToolRun over = corvtool("check " + q(dir));
    EXPECT_EQ(over.exitCode, 1) << over.out << over.err;
    std::smatch figures;
    ASSERT_TRUE(std::regex_search(over.out, figures,
                                  std::regex("BLOCK D46D00: with --maximise needs \\d+ bytes, (\\d+) bytes left\n"
                                             "(BLOCK D46D00: \\d+ warning\\(s\\)\n)?BLOCK D46D00: 242/242 strings translated; needs \\d+ bytes, room \\d+ "
                                             "bytes, \\d+ bytes over; fits with --maximise \\((\\d+) bytes left\\)")))
        << over.out;
    EXPECT_EQ(figures[1], figures[3]);
    // The skeletons init-project wrote translate nothing: kept, and no code of theirs is dropped.
    EXPECT_NE(over.out.find("BLOCK D01000: 0/44 strings translated; kept as in the original\n"), std::string::npos)
        << over.out;
    EXPECT_EQ(over.out.find("BLOCK D01000 STRING"), std::string::npos) << over.out;
    EXPECT_EQ(corvtool("check " + q(dir) + " --maximise").exitCode, 0);
}

TEST_F(CorvtoolProjectCheck, TheCompressorKeyIsReadByBuildStatusAndCheckAndMaximiseRaisesIt) {
    const fs::path dir = projectOverItsRoom();
    const fs::path file = dir / "corvane-project.toml";
    ASSERT_TRUE(replaceInFile(file, "# compressor = \"maximising\"", "compressor = \"maximising\""));
    const ToolRun check = corvtool("check " + q(dir));
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    std::smatch left;
    ASSERT_TRUE(std::regex_search(check.out, left, std::regex("BLOCK D46D00: 242/242 strings translated; needs \\d+ "
                                                               "bytes, room \\d+ bytes, (\\d+) bytes left")))
        << check.out;
    const ToolRun status = corvtool("status " + q(dir));
    EXPECT_NE(status.out.find(left[0].str()), std::string::npos) << status.out;
    const ToolRun build = corvtool("build " + q(dir));
    EXPECT_EQ(build.exitCode, 0) << build.out << build.err;
    EXPECT_NE(build.out.find(left[0].str()), std::string::npos) << build.out;

    // The standard compressor named: over, and --maximise on the command line fits it again.
    ASSERT_TRUE(replaceInFile(file, "compressor = \"maximising\"", "compressor = \"standard\""));
    EXPECT_EQ(corvtool("build " + q(dir)).exitCode, 1);
    EXPECT_EQ(corvtool("build " + q(dir) + " --maximise").exitCode, 0);

    // Any other value is named by its line and key, and nothing is built.
    fs::remove_all(dir / "build");
    ASSERT_TRUE(replaceInFile(file, "compressor = \"standard\"", "compressor = \"best\""));
    const ToolRun wrong = corvtool("build " + q(dir));
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(std::regex_search(wrong.err, std::regex(":\\d+: key 'compressor': "))) << wrong.err;
    EXPECT_NE(wrong.err.find("\"standard\" or \"maximising\""), std::string::npos) << wrong.err;
    EXPECT_FALSE(fs::exists(dir / "build"));
}

TEST_F(CorvtoolProjectCheck, BuildCountsEachBlocksWarningsAndListsThemWithVerbose) {
    const fs::path dir = demoProject();
    const ToolRun plain = corvtool("build " + q(dir));
    ASSERT_EQ(plain.exitCode, 0) << plain.out << plain.err;
    std::smatch before;
    const std::regex d40000("\n(BLOCK D40000: (\\d+) warning\\(s\\)\n)?BLOCK D40000: [^\n]*bytes left\n");
    ASSERT_TRUE(std::regex_search(plain.out, before, d40000)) << plain.out;
    const int counted = before[2].matched ? std::stoi(before[2]) : 0;

    ASSERT_TRUE(replaceInFile(dir / "Dumps/00D40000.txt", ".STRING 5\r\n", ".STRING 5\r\n[Kye] and [Kye]\r\n"));
    const ToolRun warned = corvtool("build " + q(dir));
    ASSERT_EQ(warned.exitCode, 0) << warned.out << warned.err;
    std::smatch after;
    ASSERT_TRUE(std::regex_search(warned.out, after, d40000)) << warned.out;
    ASSERT_TRUE(after[2].matched) << warned.out;
    EXPECT_EQ(std::stoi(after[2]), counted + 2);
    EXPECT_EQ(warned.out.find(" STRING 5: warning: "), std::string::npos) << warned.out;

    const ToolRun verbose = corvtool("build " + q(dir) + " --verbose");
    ASSERT_EQ(verbose.exitCode, 0) << verbose.err;
    EXPECT_NE(verbose.out.find("BLOCK D40000 STRING 5: warning: line 1: "), std::string::npos) << verbose.out;
    EXPECT_EQ(verbose.out.find("the translation is empty"), std::string::npos);
}

}  // namespace
}  // namespace corv::testing
