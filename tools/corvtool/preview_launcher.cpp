// corvtool preview: hands its arguments on to the corvtool-preview program beside corvtool,
// which links the GUI libraries for writing PNG files; corvtool itself does not.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tools/corvtool/command.h"
#include "tools/corvtool/preview_usage.h"

namespace corv::tool {
namespace {

std::filesystem::path previewProgram() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::string(kPreviewProgram);  // searched for on the PATH
    return self.parent_path() / kPreviewProgram;
}

int runPreviewProgram(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string program = previewProgram().string();
    std::vector<std::string> words = {program, std::string(kPreviewName)};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    out.flush();
    err.flush();
    ::execvp(program.c_str(), argv.data());
    err << "corvtool preview: " << program << ": cannot start this program: " << std::strerror(errno) << '\n';
    return kExitBadInput;
}

}  // namespace

extern const Command kPreviewCommand{kPreviewName, kPreviewUsage, kPreviewSummary, runPreviewProgram};

}  // namespace corv::tool
