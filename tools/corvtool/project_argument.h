#pragma once
// Opening the project named on the command line (the project file, or the folder that holds
// corvane-project.toml) and the files it names, with one error line for whatever stops it:
// "corvtool COMMAND: FILE:LINE: key 'rom': what is wrong".

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "project/project_file.h"
#include "project/project_inputs.h"

namespace corv::tool {

struct OpenedProject {
    project::ProjectFile file;
    std::unique_ptr<project::ProjectInputs> inputs;
};

// Reads the project file only.
[[nodiscard]] std::optional<project::ProjectFile> OpenProjectFile(const std::string& argument, std::string_view command,
                                                                  std::ostream& err);
// Reads the project file and every file it names.
[[nodiscard]] std::optional<OpenedProject> OpenProject(const std::string& argument, std::string_view command,
                                                       std::ostream& err);

// The line printed for a problem of the project file or of a file it names.
void PrintProjectError(std::ostream& err, std::string_view command, const std::filesystem::path& projectFile,
                       const project::ProjectError& error);

// Parses "--jobs N" values: 1 to 256.
[[nodiscard]] std::optional<unsigned> ParseJobs(std::string_view text);
// The default for --jobs: the number of cores.
[[nodiscard]] unsigned DefaultJobs();

}  // namespace corv::tool
