#include "project/release_files.h"

#include <algorithm>

#include "project/project_build.h"
#include "project/release_readme.h"

namespace corv::project {

std::variant<ReleaseFiles, ProjectError> MakeReleaseFiles(const ProjectFile& project, const ProjectPath& folder,
                                                          const core::RomImage& original, const BuildResult& build) {
    const ReleaseSettings& release = project.release;
    if (!release.title) return ProjectError{ProjectProblem::MissingKey, "release.title", release.line, {}, {}};
    if (!release.version) return ProjectError{ProjectProblem::MissingKey, "release.version", release.line, {}, {}};

    ReleaseFiles files{folder, {}};
    ReleaseReadme readme{*release.title, *release.version, {}, {}, original.headerSize() != 0,
                         IdentifyWithAndWithoutHeader(original.fileBytes(), original.headerSize()),
                         IdentifyWithAndWithoutHeader(build.rom, original.headerSize())};
    const auto add = [&](const ProjectPath& output, const std::vector<uint8_t>& bytes) -> std::optional<ProjectError> {
        const std::string name = output.path.filename().string();
        const bool taken = name == kReleaseReadmeName ||
                           std::any_of(files.files.begin(), files.files.end(),
                                       [&](const ReleaseFile& file) { return file.path.path.filename() == name; });
        if (taken) {
            return ProjectError{ProjectProblem::BadInput, output.key, output.line,
                                "ends in the name of another file of the release folder", output.path};
        }
        files.files.push_back({{folder.path / name, folder.key, folder.line}, bytes});
        return std::nullopt;
    };
    if (project.writesBps) {
        if (auto error = add(project.outputBps, build.bps)) return *error;
        readme.bps = ReleasePatch{project.outputBps.path.filename().string(), build.bps.size()};
    }
    if (project.writesIps) {
        if (auto error = add(project.outputIps, build.ips)) return *error;
        readme.ips = ReleasePatch{project.outputIps.path.filename().string(), build.ips.size()};
    }
    const std::string text = ReleaseReadmeText(readme);
    files.files.push_back({{folder.path / kReleaseReadmeName, folder.key, folder.line},
                           std::vector<uint8_t>(text.begin(), text.end())});
    return files;
}

}  // namespace corv::project
