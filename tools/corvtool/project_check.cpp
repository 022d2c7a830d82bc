#include "tools/corvtool/project_check.h"

#include <algorithm>
#include <ostream>

#include "check/finding_text.h"
#include "project/block_lines.h"
#include "project/block_work.h"
#include "tools/corvtool/check_report.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/project_argument.h"
#include "tools/corvtool/project_options.h"
#include "tools/corvtool/project_report.h"

namespace corv::tool {
namespace {

using project::BlockResult;

size_t countOf(const BlockResult& block, check::Severity severity) {
    size_t count = 0;
    for (const check::StringReport& string : block.findings) {
        count += size_t(std::count_if(string.findings.begin(), string.findings.end(),
                                      [&](const check::Finding& f) { return check::SeverityOf(f.kind) == severity; }));
    }
    return count;
}

void printText(std::ostream& out, const project::ProjectFile& file, const std::vector<BlockResult>& blocks,
               const check::BoxMetrics& box, bool verbose) {
    size_t errors = 0, warnings = 0;
    for (const BlockResult& block : blocks) {
        for (const std::string& line : project::BlockFindingLines(block, box, verbose)) out << line << '\n';
        if (block.maximised) out << DescribeMaximisedFit(block.address, *block.maximised) << '\n';
        if (const auto counted = project::DescribeWarnings(block)) out << *counted << '\n';
        out << project::DescribeBlock(file, block) << '\n';
        errors += countOf(block, check::Severity::Error);
        warnings += block.warningCount();
    }
    out << project::DescribeTotal(blocks) << "; " << errors << " error(s), " << warnings << " warning(s)\n";
}

void printJson(std::ostream& out, const project::ProjectFile& file, const std::vector<BlockResult>& blocks,
               const check::BoxMetrics& box) {
    out << "{\"project\": " << JsonString(file.file.string()) << ",\n \"blocks\": [";
    size_t errors = 0, warnings = 0;
    bool first = true;
    for (const BlockResult& block : blocks) {
        const size_t blockErrors = countOf(block, check::Severity::Error);
        const size_t blockWarnings = countOf(block, check::Severity::Warning);
        errors += blockErrors;
        warnings += blockWarnings;
        out << (first ? "\n  " : ",\n  ") << "{\"block\": " << JsonString(project::BlockName(block.address))
            << ", \"state\": \"" << BlockStateName(block.state) << "\", \"strings\": " << block.counts.strings
            << ", \"translated\": " << block.counts.translated;
        first = false;
        if (block.fit) {
            out << ", \"needed\": " << block.fit->needed << ", \"room\": " << block.fit->room
                << ", \"left\": " << block.fit->left();
        }
        if (block.maximised) {
            out << ", \"maximisedNeeded\": " << block.maximised->needed
                << ", \"maximisedLeft\": " << block.maximised->left();
        }
        out << ", \"errors\": " << blockErrors << ", \"warnings\": " << blockWarnings
            << ",\n   \"summary\": " << JsonString(project::DescribeBlock(file, block)) << ",\n   \"findings\": [";
        bool firstFinding = true;
        for (const check::StringReport& string : block.findings) {
            for (const check::Finding& finding : string.findings) {
                out << (firstFinding ? "\n    " : ",\n    ") << "{\"string\": " << string.number
                    << ", \"line\": " << finding.line << ", \"severity\": \""
                    << check::SeverityName(check::SeverityOf(finding.kind)) << "\", \"kind\": \""
                    << FindingKindName(finding.kind) << "\", \"message\": "
                    << JsonString(check::FindingMessage(finding, box, check::FindingCharacters::Bytes)) << '}';
                firstFinding = false;
            }
        }
        out << "]}";
    }
    out << "],\n \"total\": {\"blocks\": " << blocks.size() << ", \"errors\": " << errors
        << ", \"warnings\": " << warnings << ", \"summary\": " << JsonString(project::DescribeTotal(blocks)) << "}}\n";
}

}  // namespace

bool NamesProject(const std::vector<std::string>& args) {
    size_t positional = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--jobs" || args[i] == "--substitutions") {
            ++i;
        } else if (!args[i].starts_with("--")) {
            ++positional;
        }
    }
    return positional == 1;
}

int RunProjectCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> rest;
    bool strict = false;
    for (const std::string& arg : args) {
        if (arg == "--strict") {
            strict = true;
        } else {
            rest.push_back(arg);
        }
    }
    ProjectOptions options;
    if (!ParseProjectOptions(rest, "check", {"--jobs", "--json", "--verbose", kMaximiseOption}, err, options)) {
        return kExitUsage;
    }
    auto opened = OpenProject(options.arguments.at(0), "check", err);
    if (!opened) return kExitBadInput;
    const project::ProjectFile& file = opened->file;
    const std::vector<BlockResult> blocks = project::WorkOnBlocks(
        file, *opened->inputs, {project::BlockWorkMode::Check, ProjectCompressor(options, file), options.jobs, {}, file.untranslated});
    const check::BoxMetrics box = check::BoxOfDataFile(opened->inputs->dataFile);
    if (options.json) {
        printJson(out, file, blocks, box);
    } else {
        printText(out, file, blocks, box, options.verbose);
    }
    const int code = BlocksExitCode(blocks);
    const bool warned = std::any_of(blocks.begin(), blocks.end(),
                                    [](const BlockResult& b) { return countOf(b, check::Severity::Warning) > 0; });
    return strict && warned ? kExitBadInput : code;
}

}  // namespace corv::tool
