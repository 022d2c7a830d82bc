#include "about/version.h"

#include "about/build_version.h"

namespace corv::about {

std::string_view ProjectVersion() { return CORV_PROJECT_VERSION; }

std::string_view GitCommit() { return CORV_GIT_COMMIT; }

std::string FormatVersionLine(std::string_view program, std::string_view version, std::string_view commit) {
    std::string line = std::string(program) + ' ' + std::string(version);
    if (!commit.empty()) line += " (commit " + std::string(commit) + ')';
    return line;
}

std::string VersionLine(std::string_view program) {
    return FormatVersionLine(program, ProjectVersion(), GitCommit());
}

std::string AboutText(std::string_view program, std::string_view purpose) {
    return VersionLine(program) + "\n\n" + std::string(purpose);
}

bool AsksForVersion(int argc, const char* const* argv) {
    return argc == 2 && std::string_view(argv[1]) == "--version";
}

}  // namespace corv::about
