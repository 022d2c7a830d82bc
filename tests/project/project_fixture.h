#pragma once
// A translation project around the demo game in a folder of the test's own: the demo's files in
// game/, the project file beside Dumps/, and English-like translations of chosen blocks.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "core/rom_image.h"
#include "project/project_build.h"
#include "project/project_file.h"
#include "project/project_inputs.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "tools/demo/demo_game.h"
#include "tools/demo/demo_translation.h"

namespace corv::testing {

namespace fs = std::filesystem;

class ProjectTest : public ::testing::Test {
public:
    // The commented project file init-project writes for the demo game in game/.
    static std::string projectText() {
        project::ProjectFileSettings settings;
        settings.rom = "game/corvane.smc";
        settings.dataFile = "game/corvane.txt";
        settings.table = "game/corvane.tbl";
        settings.outputRom = "build/translated.smc";
        settings.outputIps = "build/translated.ips";
        return project::ProjectFileText(settings);
    }

protected:
    static void SetUpTestSuite() { game_ = new demo::DemoGame(demo::BuildDemoGame()); }
    static void TearDownTestSuite() {
        delete game_;
        game_ = nullptr;
    }

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("corv_project_test_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "game");
        fs::create_directories(dir_ / "Dumps");
        ASSERT_TRUE(demo::WriteDemoFiles(*game_, dir_ / "game"));
        writeProject(projectText());
    }
    void TearDown() override { fs::remove_all(dir_); }

    void writeProject(const std::string& text) const {
        std::ofstream(dir_ / project::kProjectFileName, std::ios::binary) << text;
    }
    fs::path projectPath() const { return dir_ / project::kProjectFileName; }

    // The n-th text block of the block list.
    static const demo::DemoBlock& textBlock(size_t n) { return game_->blocks.at(size_t(game_->textBlocks.at(n))); }

    static std::string kanaDump(const demo::DemoBlock& block) {
        auto maps = std::make_unique<script::CodeMaps>();
        (void)script::ParseBlockDataFile(game_->blockDataFile, *maps);
        std::vector<uint8_t> bytes(block.data);
        bytes.resize(0x10000);
        return script::KanaDump(bytes, unsigned(block.records.size()), false, *maps);
    }
    fs::path scriptPath(const demo::DemoBlock& block) const {
        return script::ScriptPathFor(dir_ / "Dumps", block.address);
    }
    // Writes an English-like translation `lengthFactor` letters per kana long.
    void translate(const demo::DemoBlock& block, double lengthFactor, uint64_t seed = 7) const {
        ASSERT_TRUE(script::SaveScriptFile(scriptPath(block), demo::TranslateDemoScript(kanaDump(block), lengthFactor, seed)));
    }

    project::ProjectFile loadProject() const {
        project::ProjectLoad load = project::LoadProjectFile(projectPath());
        EXPECT_FALSE(load.error.has_value()) << (load.error ? load.error->key : "");
        return load.project.value();
    }
    std::unique_ptr<project::ProjectInputs> loadInputs(const project::ProjectFile& file) const {
        auto inputs = project::LoadProjectInputs(file);
        EXPECT_TRUE(std::holds_alternative<std::unique_ptr<project::ProjectInputs>>(inputs));
        return std::move(std::get<0>(inputs));
    }
    project::BuildResult build(unsigned jobs = 1) const {
        const project::ProjectFile file = loadProject();
        project::BuildOptions options;
        options.jobs = jobs;
        return project::BuildProject(file, *loadInputs(file), options);
    }

    static std::vector<uint8_t> readBytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static demo::DemoGame* game_;
    fs::path dir_;
};

inline demo::DemoGame* ProjectTest::game_ = nullptr;

}  // namespace corv::testing
