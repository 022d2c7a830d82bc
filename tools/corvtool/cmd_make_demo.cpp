// corvtool make-demo DIR: writes the synthetic CORVANE game (ROM with and without a copier header,
// block data file and table file) into DIR.

#include <filesystem>
#include <ostream>
#include <system_error>

#include "core/save_failure_text.h"
#include "tools/corvtool/command.h"
#include "tools/demo/demo_game.h"

namespace corv::tool {
namespace {

int runMakeDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "corvtool make-demo: expected DIR\n";
        return kExitUsage;
    }
    const std::filesystem::path dir = args[0];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        err << "corvtool make-demo: " << dir.string() << ": cannot create this folder: " << error.message() << '\n';
        return kExitBadInput;
    }
    const demo::DemoGame game = demo::BuildDemoGame();
    if (const core::SaveResult saved = demo::WriteDemoFiles(game, dir); !saved) {
        err << "corvtool make-demo: " << dir.string() << ": cannot write the demo files into this folder: "
            << core::SaveFailureReason(saved) << '\n';
        return kExitBadInput;
    }
    for (const char* name : {demo::kRomFileName, demo::kHeaderedRomFileName, demo::kBlockDataFileName,
                             demo::kTableFileName}) {
        out << (dir / name).string() << '\n';
    }
    return kExitOk;
}

}  // namespace

extern const Command kMakeDemoCommand{"make-demo", "DIR",
                                      "write the demo game CORVANE (ROM files, block data file, table file) into DIR",
                                      runMakeDemo};

}  // namespace corv::tool
