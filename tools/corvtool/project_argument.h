#pragma once
// Opening the project named on the command line (the project file, or the folder that holds
// corvane-project.toml) and the files it names, with one error line for whatever stops it:
// "corvtool COMMAND: FILE:LINE: key 'rom': what is wrong".

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/file_lock.h"
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

// The project file the argument names: the file itself, or corvane-project.toml in the folder.
[[nodiscard]] std::filesystem::path ProjectFileOf(const std::string& argument);

// Takes the lock of the project the argument names, for a command that writes its scripts or
// outputs: held from before its first read until after its last write, so that two such
// commands on one project run one after the other. Waits CORVTOOL_LOCK_WAIT seconds; when the
// lock cannot be had prints one line and returns std::nullopt. A folder that is not there gives
// an unheld lock: the read of the project file that follows reports it.
[[nodiscard]] std::optional<core::FileLock> LockProjectOf(const std::string& argument, std::string_view command,
                                                          std::ostream& err);

// The line printed for a problem of the project file or of a file it names.
void PrintProjectError(std::ostream& err, std::string_view command, const std::filesystem::path& projectFile,
                       const project::ProjectError& error);

// Parses "--jobs N" values: 1 to 256.
[[nodiscard]] std::optional<unsigned> ParseJobs(std::string_view text);
// The default for --jobs: the number of cores.
[[nodiscard]] unsigned DefaultJobs();

}  // namespace corv::tool
