#pragma once
// Running the real corvtool program from the tests: its exit code and both output streams, in a
// folder of the test's own, with the demo game built once per suite.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "core/rom_image.h"
#include "script/script_file.h"
#include "tools/demo/demo_game.h"

namespace corv::testing {

namespace fs = std::filesystem;
using namespace corv::demo;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> readBytes(const fs::path& path) {
    const std::string text = readText(path);
    return {text.begin(), text.end()};
}

inline void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Replaces the first `from` in the file `path` by `to`; false when `from` is not there.
inline bool replaceInFile(const fs::path& path, const std::string& from, const std::string& to) {
    std::string text = readText(path);
    const size_t at = text.find(from);
    if (at == std::string::npos) return false;
    text.replace(at, from.size(), to);
    std::ofstream(path, std::ios::binary) << text;
    return true;
}

// Identity of the file on disk: a save replaces the file (a new inode), so a command that wrote
// nothing leaves it the same.
inline std::pair<uint64_t, int64_t> fileIdentity(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {0, -1};
    return {static_cast<uint64_t>(info.st_ino), static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// A script file with an (empty) entry for each of the block's strings but those `skipped`.
inline void writeEntriesFor(const DemoBlock& block, const fs::path& path, const std::vector<unsigned>& skipped = {}) {
    std::string text;
    for (unsigned k = 0; k < block.records.size(); ++k) {
        if (std::find(skipped.begin(), skipped.end(), k) != skipped.end()) continue;
        text += corv::script::EntrySearchText(static_cast<int>(k)) + "\n.ENDS\n";
    }
    writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(value));
    return text;
}

class CorvtoolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { game_ = new DemoGame(BuildDemoGame()); }
    static void TearDownTestSuite() {
        delete game_;
        game_ = nullptr;
    }

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("corvtool_test_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    ToolRun corvtool(const std::string& arguments) const {
        const fs::path out = dir_ / "stdout.txt";
        const fs::path err = dir_ / "stderr.txt";
        const std::string command = std::string("'") + CORVTOOL_PATH + "' " + arguments + " >'" + out.string() +
                                    "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        ToolRun run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = readText(out);
        run.err = readText(err);
        return run;
    }

    // Runs make-demo into the test's folder.
    void makeDemo() const {
        const ToolRun run = corvtool("make-demo '" + dir_.string() + "'");
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    // Runs make-demo of seven blocks into `project`, with the lock file every writing command
    // makes when it is missing already there, so that snapshots compare only what commands write.
    void makeDemoProject(const fs::path& project) const {
        const ToolRun made = corvtool("make-demo " + q(project) + " --blocks 7");
        ASSERT_EQ(made.exitCode, 0) << made.err;
        std::ofstream(project / ".corvane-project.lock");
    }

    // Runs init-project into `project` on the demo files make-demo wrote into the test's folder.
    ToolRun initProject(const fs::path& project) const {
        return corvtool("init-project " + q(project) + " --rom " + q(dir_ / kRomFileName) + " --data-file " +
                        q(dir_ / kBlockDataFileName) + " --table " + q(dir_ / kTableFileName));
    }

    const DemoBlock& blockNamed(const std::string& name) const {
        for (const DemoBlock& block : game_->blocks) {
            if (block.name == name) return block;
        }
        throw std::runtime_error("no demo block " + name);
    }

    std::string q(const fs::path& path) const { return "'" + path.string() + "'"; }

    static DemoGame* game_;
    fs::path dir_;
};

inline DemoGame* CorvtoolTest::game_ = nullptr;

}  // namespace corv::testing
