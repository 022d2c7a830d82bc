// corvtool status PROJECT [--json] [--jobs N]: how far the translation is, per block and in total:
// strings translated, characters, and the room the scripts as they stand would need.

#include <ostream>

#include "project/block_lines.h"
#include "project/block_work.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/project_argument.h"
#include "tools/corvtool/project_options.h"
#include "tools/corvtool/project_report.h"

namespace corv::tool {
namespace {

int runStatus(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ProjectOptions options;
    if (!ParseProjectOptions(args, "status", {"--jobs", "--json"}, err, options)) return kExitUsage;
    if (options.arguments.size() != 1) {
        err << "corvtool status: expected PROJECT [--json] [--jobs N]\n";
        return kExitUsage;
    }
    auto opened = OpenProject(options.arguments[0], "status", err);
    if (!opened) return kExitBadInput;
    const auto blocks = project::WorkOnBlocks(opened->file, *opened->inputs,
                                              {project::BlockWorkMode::Status, ProjectCompressor(options, opened->file), options.jobs, {}});
    const project::OutputsCheck outputs = project::CheckBuildOutputs(opened->file);
    if (options.json) {
        PrintStatusJson(out, opened->file, blocks, outputs);
        return kExitOk;
    }
    for (const project::BlockResult& block : blocks) out << project::DescribeBlock(opened->file, block) << '\n';
    out << project::DescribeTotal(blocks) << '\n';
    if (outputs.state == project::OutputsState::Incomplete) {
        out << "OUTPUTS: incomplete: " << OutputsIncompleteText(outputs) << "; build again\n";
    }
    return kExitOk;
}

}  // namespace

extern const Command kStatusCommand{
    "status", "PROJECT [--json] [--jobs N]",
    "show how far the project's translation is: per block and in total the strings translated, their characters "
    "and the bytes of room the scripts need, and whether the outputs are still the last build's pair; --json for "
    "other tools",
    runStatus};

}  // namespace corv::tool
