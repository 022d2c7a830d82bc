#pragma once
// The words for a problem of a project file or of a file it names, shared by corvtool and the
// editor so that a project error reads the same wherever it is shown.

#include <filesystem>
#include <string>

#include "project/project_file.h"

namespace corv::project {

// "PROJECT:LINE: key 'rom': FILE: cannot read this file (missing, unreadable or a folder)"; the
// line is left out when there is none, the key when the problem is of the whole file.
[[nodiscard]] std::string ProjectErrorText(const std::filesystem::path& projectFile, const ProjectError& error);

}  // namespace corv::project
