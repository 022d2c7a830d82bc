// One writer per project, against the real corvtool: imports and builds at the same time on one
// project lose nothing and mix nothing, and a build killed at any instant leaves its ROM and
// patch matching, or a pair that status and the next build name as incomplete.
//
// CI runs a few rounds; CORV_TRUST_ROUNDS and CORV_TRUST_KILLS ask for more when run by hand.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "tools/corvtool_fixture.h"
#include "patches/ips_patch.h"

extern char** environ;

namespace corv::testing {
namespace {

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

int fromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text ? std::max(1, std::atoi(text)) : fallback;
}

const std::string kHeader = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

// A PO file translating the given strings of `block` as "WORD n".
std::string poFor(const std::string& block, const std::string& word, std::initializer_list<unsigned> strings) {
    std::string text = kHeader;
    for (const unsigned n : strings) {
        text += "msgctxt \"BLOCK " + block + " STRING " + std::to_string(n) + "\"\nmsgid \"x\"\nmsgstr \"" + word +
                " " + std::to_string(n) + "\"\n\n";
    }
    return text;
}

class CorvtoolTrustStress : public CorvtoolTest {
protected:
    void SetUp() override {
        CorvtoolTest::SetUp();
        project_ = dir_ / "demo";
        ASSERT_EQ(corvtool("make-demo " + q(project_) + " --blocks 7").exitCode, 0);
        script_ = project_ / "Dumps/00545C00.txt";
        original_ = readText(script_);
        rom_ = project_ / "build/corvane-translated.smc";
        ips_ = project_ / "build/corvane-translated.ips";
        std::ofstream(dir_ / "a.po", std::ios::binary) << poFor("545C00", "Alpha", {1, 2, 4});
        std::ofstream(dir_ / "b.po", std::ios::binary) << poFor("545C00", "Beta", {5, 7, 8});
        // The first and the last block of the list: a build reads the one long before the other.
        std::ofstream(dir_ / "both.po", std::ios::binary)
            << poFor("D01000", "First", {1, 2}) + poFor("D55D00", "Last", {1, 2}).substr(kHeader.size());
        for (const char* name : {"00D01000.txt", "00D55D00.txt"}) originals_.push_back(readText(project_ / "Dumps" / name));
    }

    std::string command(const std::string& arguments) const { return "'" + std::string(CORVTOOL_PATH) + "' " + arguments; }

    // Runs the two command lines at once (the second `delay` later); their exit codes.
    std::pair<int, int> together(const std::string& first, const std::string& second,
                                 const std::string& delay = "0") const {
        const std::string line = "(" + command(first) + " >/dev/null 2>" + q(dir_ / "1.err") + "; echo $? >" +
                                 q(dir_ / "1.code") + ") & (sleep " + delay + "; " + command(second) +
                                 " >/dev/null 2>" + q(dir_ / "2.err") +
                                 "; echo $? >" + q(dir_ / "2.code") + ") & wait";
        EXPECT_EQ(std::system(line.c_str()), 0);
        return {std::atoi(readText(dir_ / "1.code").c_str()), std::atoi(readText(dir_ / "2.code").c_str())};
    }

    // Whether the patch gives the ROM from the original.
    bool pairMatches() const {
        std::vector<uint8_t> rebuilt = readBytes(project_ / kRomFileName);
        const std::vector<uint8_t> ips = readBytes(ips_);
        return !ips.empty() && patches::ApplyIpsPatch(rebuilt, ips) == patches::IpsStatus::Applied &&
               rebuilt == readBytes(rom_);
    }

    std::vector<fs::path> leftovers() const {
        std::vector<fs::path> found;
        for (const fs::path& folder : {project_, project_ / "build", project_ / "Dumps"}) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(folder, error)) {
                if (contains(entry.path().filename().string(), ".saving-")) found.push_back(entry.path());
            }
        }
        return found;
    }

    void restoreScripts() const {
        std::ofstream(script_, std::ios::binary) << original_;
        std::ofstream(project_ / "Dumps/00D01000.txt", std::ios::binary) << originals_[0];
        std::ofstream(project_ / "Dumps/00D55D00.txt", std::ios::binary) << originals_[1];
    }

    fs::path project_, script_, rom_, ips_;
    std::string original_;
    std::vector<std::string> originals_;  // of blocks D01000 and D55D00
};

TEST_F(CorvtoolTrustStress, TwoImportsIntoOneScriptAtOnceKeepBothTranslations) {
    const int rounds = fromEnvironment("CORV_TRUST_ROUNDS", 4);
    int lost = 0;
    for (int r = 0; r < rounds && lost < 3; ++r) {
        std::ofstream(script_, std::ios::binary) << original_;
        const auto [a, b] = together("import-po " + q(project_) + " " + q(dir_ / "a.po"),
                                     "import-po " + q(project_) + " " + q(dir_ / "b.po"));
        const std::string text = readText(script_);
        bool both = a == 0 && b == 0;
        for (const char* line : {"Alpha 1", "Alpha 2", "Alpha 4", "Beta 5", "Beta 7", "Beta 8"}) {
            both = both && contains(text, std::string(line) + "\r\n.ENDS");
        }
        if (!both) ++lost;
        EXPECT_TRUE(both) << "round " << r << ": exit " << a << " and " << b << readText(dir_ / "1.err")
                          << readText(dir_ / "2.err");
    }
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(CorvtoolTrustStress, ABuildDuringAnImportBuildsTheOldScriptsOrTheNew) {
    ASSERT_EQ(corvtool("build " + q(project_)).exitCode, 0);
    const std::vector<uint8_t> oldRom = readBytes(rom_);
    ASSERT_EQ(corvtool("import-po " + q(project_) + " " + q(dir_ / "both.po")).exitCode, 0);
    ASSERT_EQ(corvtool("build " + q(project_)).exitCode, 0);
    const std::vector<uint8_t> newRom = readBytes(rom_);
    ASSERT_NE(oldRom, newRom);

    const int rounds = fromEnvironment("CORV_TRUST_ROUNDS", 4);
    int mixed = 0;
    for (int r = 0; r < rounds && mixed < 3; ++r) {
        restoreScripts();
        fs::remove_all(project_ / "build");
        // The import starts a moment after the build, while it works on the blocks between the two.
        const auto [built, imported] = together("build " + q(project_) + " --jobs 1",
                                                "import-po " + q(project_) + " " + q(dir_ / "both.po"), "0.03");
        const std::vector<uint8_t> rom = readBytes(rom_);
        const bool whole = imported == 0 && built == 0 && (rom == oldRom || rom == newRom) && pairMatches();
        if (!whole) ++mixed;
        EXPECT_TRUE(whole) << "round " << r << ": exit " << built << " and " << imported << readText(dir_ / "1.err")
                           << readText(dir_ / "2.err");
    }
}

TEST_F(CorvtoolTrustStress, TwoBuildsWritingTheSameOutputsAtOnceLeaveOneBuildsPair) {
    // Two project files of one folder whose scripts differ, writing the same outputs at once: one
    // build after the other, so always one build's pair.
    const int rounds = fromEnvironment("CORV_TRUST_ROUNDS", 4);
    int mixed = 0;
    fs::copy(project_ / "Dumps", project_ / "Dumps2");
    std::string other = readText(project_ / "corvane-project.toml");
    other.replace(other.find("scripts = 'Dumps'"), 17, "scripts = 'Dumps2'");
    std::ofstream(project_ / "other.toml", std::ios::binary) << other;
    ASSERT_EQ(corvtool("import-po " + q(project_ / "other.toml") + " " + q(dir_ / "both.po")).exitCode, 0);
    for (int r = 0; r < rounds && mixed < 3; ++r) {
        const auto [first, second] =
            together("build " + q(project_) + " --jobs 1", "build " + q(project_ / "other.toml") + " --jobs 1", "0.02");
        const bool whole = first == 0 && second == 0 && pairMatches();
        if (!whole) ++mixed;
        EXPECT_TRUE(whole) << "round " << r << readText(dir_ / "1.err") << readText(dir_ / "2.err");
    }
}

TEST_F(CorvtoolTrustStress, ABuildKilledAtAnyInstantLeavesAMatchingPairOrOneNamedIncomplete) {
    const int kills = fromEnvironment("CORV_TRUST_KILLS", 12);
    // The time a whole build takes, to spread the kills over it.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(corvtool("build " + q(project_) + " --jobs 1").exitCode, 0);
    const auto buildTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::mt19937 random(20260101);
    std::string tool = CORVTOOL_PATH;
    const std::string project = project_.string();
    int incomplete = 0, broken = 0;
    for (int k = 0; k < kills && broken < 3; ++k) {
        // Each build writes other bytes than the last: the old pair and the new one differ.
        std::ofstream(script_, std::ios::binary) << original_;
        if (k % 2 == 0) {
            ASSERT_EQ(corvtool("import-po " + q(project_) + " " + q(dir_ / "a.po")).exitCode, 0);
        }
        char* argv[] = {tool.data(), const_cast<char*>("build"), const_cast<char*>(project.c_str()),
                        const_cast<char*>("--jobs"), const_cast<char*>("1"), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (buildTime.count() * 6 / 5 + 1)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);

        const ToolRun report = corvtool("status " + q(project_));
        const bool named = contains(report.out, "OUTPUTS: incomplete: ");
        const bool matches = pairMatches();
        if (named) ++incomplete;
        if (!matches && !named) ++broken;
        EXPECT_TRUE(matches || named) << "kill " << k << ": a mismatched pair that status does not name";
        // The next build names what it found and writes a whole pair, leaving no leftovers behind.
        const ToolRun next = corvtool("build " + q(project_) + " --jobs 1");
        ASSERT_EQ(next.exitCode, 0) << next.err;
        EXPECT_EQ(contains(next.out, "OUTPUTS: "), named) << next.out;
        EXPECT_TRUE(pairMatches());
        EXPECT_TRUE(leftovers().empty()) << leftovers().front();
    }
    std::printf("%d kills: %d left a pair named incomplete, the rest a matching pair\n", kills, incomplete);
}

}  // namespace
}  // namespace corv::testing
