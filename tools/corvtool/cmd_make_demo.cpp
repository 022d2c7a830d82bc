// corvtool make-demo DIR [--blocks N]: writes the synthetic CORVANE game (ROM with and without a
// copier header, block data file and table file) into DIR. With --blocks N the game has N text
// blocks (a 4 MiB ROM when 2 MiB cannot hold them) and DIR also gets its translation project:
// corvane-project.toml and an English-like stand-in script for every block in DIR/Dumps.

#include <charconv>
#include <filesystem>
#include <memory>
#include <ostream>
#include <system_error>

#include "core/rom_image.h"
#include "core/save_failure_text.h"
#include "project/project_file.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "tools/corvtool/command.h"
#include "tools/demo/demo_game.h"
#include "tools/demo/demo_translation.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

// Stand-in translations as long as the kana: they fit the demo's rooms.
constexpr double kStandInLettersPerKana = 1.0;

bool writeDemoProject(const demo::DemoGame& game, const fs::path& dir) {
    project::ProjectFileSettings settings;
    settings.rom = demo::kRomFileName;
    settings.dataFile = demo::kBlockDataFileName;
    settings.table = demo::kTableFileName;
    settings.outputRom = "build/corvane-translated.smc";
    settings.outputIps = "build/corvane-translated.ips";
    // A release table, so that `build --release-dir DIR` can be tried on the demo at once; before
    // [output], so that the file still ends in that table, as init-project's does.
    std::string text = project::ProjectFileText(settings);
    text.insert(text.find("# What the build writes"),
                "[release]\n# What `corvtool build --release-dir DIR` publishes: the patches and a README.txt for "
                "players.\ntitle = 'Corvane demo translation'\nversion = '0.1'\n\n");
    if (!core::WriteFileSafely(dir / project::kProjectFileName,
                               std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()))) {
        return false;
    }
    std::error_code error;
    fs::create_directories(dir / project::kDefaultScriptsFolder, error);
    if (error) return false;
    auto maps = std::make_unique<script::CodeMaps>();
    (void)script::ParseBlockDataFile(game.blockDataFile, *maps);
    for (size_t n = 0; n < game.textBlocks.size(); ++n) {
        const demo::DemoBlock& block = game.blocks[static_cast<size_t>(game.textBlocks[n])];
        std::vector<uint8_t> bytes(block.data);
        bytes.resize(0x10000);
        const std::string kana = script::KanaDump(bytes, static_cast<unsigned>(block.records.size()), false, *maps);
        const fs::path path = script::ScriptPathFor(dir / project::kDefaultScriptsFolder, block.address);
        if (!script::SaveScriptFile(path, demo::TranslateDemoScript(kana, kStandInLettersPerKana, n + 1))) return false;
    }
    return true;
}

int runMakeDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> rest;
    std::optional<unsigned> blocks;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--blocks") {
            rest.push_back(args[i]);
            continue;
        }
        unsigned value = 0;
        const std::string text = i + 1 < args.size() ? args[++i] : std::string();
        const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (failed != std::errc() || end != text.data() + text.size() || value < demo::kDemoTextBlocks ||
            value > demo::kMaxDemoTextBlocks) {
            err << "corvtool make-demo: --blocks needs a number from " << demo::kDemoTextBlocks << " to "
                << demo::kMaxDemoTextBlocks << '\n';
            return kExitUsage;
        }
        blocks = value;
    }
    if (rest.size() != 1 || rest[0].starts_with("--")) {
        err << "corvtool make-demo: expected DIR [--blocks N]\n";
        return kExitUsage;
    }
    const fs::path dir = rest[0];
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) {
        err << "corvtool make-demo: " << dir.string() << ": cannot create this folder: " << error.message() << '\n';
        return kExitBadInput;
    }
    const demo::DemoGame game = blocks ? demo::BuildDemoGame(*blocks) : demo::BuildDemoGame();
    if (const core::SaveResult saved = demo::WriteDemoFiles(game, dir); !saved) {
        err << "corvtool make-demo: " << dir.string() << ": cannot write the demo files into this folder: "
            << core::SaveFailureReason(saved) << '\n';
        return kExitBadInput;
    }
    if (blocks && !writeDemoProject(game, dir)) {
        err << "corvtool make-demo: " << dir.string() << ": cannot write the demo files into this folder\n";
        return kExitBadInput;
    }
    for (const char* name : {demo::kRomFileName, demo::kHeaderedRomFileName, demo::kBlockDataFileName,
                             demo::kTableFileName}) {
        out << (dir / name).string() << '\n';
    }
    if (blocks) {
        out << (dir / project::kProjectFileName).string() << '\n'
            << (dir / project::kDefaultScriptsFolder).string() << ": " << game.textBlocks.size()
            << " script(s)\n";
    }
    return kExitOk;
}

}  // namespace

extern const Command kMakeDemoCommand{
    "make-demo", "DIR [--blocks N]",
    "write the demo game CORVANE (ROM files, block data file, table file) into DIR; with --blocks N (7 to 500) "
    "a game of N text blocks (4 MiB when needed) and its translation project with a stand-in script per block",
    runMakeDemo};

}  // namespace corv::tool
