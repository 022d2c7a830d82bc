#include "project/write_paths.h"

namespace corv::project {

std::variant<WriteTarget, ProjectError> CheckWritePath(const ProjectFile& project, const ProjectPath& named,
                                                       const std::filesystem::path& path, bool allowOutside) {
    const core::ResolvedPath folder = core::ResolveThroughLinks(project.directory.empty() ? "." : project.directory);
    const core::ResolvedPath target = core::ResolveThroughLinks(path);
    if (folder.status != core::PathResolveStatus::Resolved || target.status != core::PathResolveStatus::Resolved) {
        return ProjectError{ProjectProblem::UnclearPath, named.key, named.line, {}, path};
    }
    // The folder itself counts as inside: writing it fails as writing any folder does.
    const bool inside = core::LiesInside(target.path, folder.path);
    if (!inside && !MayWriteOutside(project, allowOutside)) {
        return ProjectError{ProjectProblem::LeavesFolder, named.key, named.line, target.path.string(), path};
    }
    return WriteTarget{target.path, target.throughLink};
}

}  // namespace corv::project
