#include "tools/corvtool/project_options.h"

#include <algorithm>
#include <ostream>

#include "tools/corvtool/command.h"
#include "tools/corvtool/project_argument.h"

namespace corv::tool {

core::Compressor ProjectCompressor(const ProjectOptions& options, const project::ProjectFile& file) {
    return options.compressor == core::Compressor::Maximising ? options.compressor : file.compressor;
}

bool ParseProjectOptions(const std::vector<std::string>& args, std::string_view command,
                         std::initializer_list<std::string_view> allowed, std::ostream& err, ProjectOptions& options) {
    const auto allows = [&](std::string_view option) {
        return std::find(allowed.begin(), allowed.end(), option) != allowed.end();
    };
    options.jobs = DefaultJobs();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--jobs" && allows(arg)) {
            const auto jobs = i + 1 < args.size() ? ParseJobs(args[i + 1]) : std::nullopt;
            if (!jobs) {
                err << "corvtool " << command << ": --jobs needs a number from 1 to 256\n";
                return false;
            }
            options.jobs = *jobs;
            ++i;
        } else if (arg == kReleaseDirOption && allows(arg)) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                err << "corvtool " << command << ": " << kReleaseDirOption << " needs a folder\n";
                return false;
            }
            options.releaseDir = args[++i];
        } else if (arg == "--json" && allows(arg)) {
            options.json = true;
        } else if (arg == "--verbose" && allows(arg)) {
            options.verbose = true;
        } else if (arg == kAllowOutsideOption && allows(arg)) {
            options.allowOutside = true;
        } else if (arg == kReleaseOption && allows(arg)) {
            options.release = true;
        } else if (arg == kMaximiseOption && allows(arg)) {
            options.compressor = core::Compressor::Maximising;
        } else if (arg.starts_with("--")) {
            err << "corvtool " << command << ": unknown option " << arg << '\n';
            return false;
        } else {
            options.arguments.push_back(arg);
        }
    }
    return true;
}

}  // namespace corv::tool
