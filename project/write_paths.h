#pragma once
// Where a project may write. A project file comes from someone else (a teammate's commit), so
// by default every path it names for writing (the two outputs, the scripts folder and the script
// files in it) must lead, every symbolic link followed (dangling ones too), into the project's
// folder. A command given --allow-outside, or a project file holding `allow_outside = true`
// (written by hand, never by the tools), may write elsewhere; the messages then name the file
// the bytes go to. Reading the original ROM, data file, table and patches from anywhere stays
// allowed: the original ROM usually lives outside.

#include <filesystem>
#include <optional>
#include <variant>

#include "core/path_resolve.h"
#include "project/project_file.h"

namespace corv::project {

// Where a path the project writes leads, once it is allowed.
struct WriteTarget {
    std::filesystem::path path;  // where the bytes go, links followed
    bool throughLink = false;    // a symbolic link was followed: the messages name `path`
};

// Checks one path the project writes, named by `named` (its key and line); `path` is the file
// itself when it is not the key's own path (a script file in the scripts folder). LeavesFolder
// or UnclearPath when it may not be written.
[[nodiscard]] std::variant<WriteTarget, ProjectError> CheckWritePath(const ProjectFile& project,
                                                                     const ProjectPath& named,
                                                                     const std::filesystem::path& path,
                                                                     bool allowOutside);

// `allowOutside` as a command gives it, or the project file's own key.
[[nodiscard]] inline bool MayWriteOutside(const ProjectFile& project, bool allowOutside) {
    return allowOutside || project.allowOutside;
}

}  // namespace corv::project
