#include "tools/corvtool/project_argument.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <thread>

#include "core/printable_text.h"
#include "project/project_error_text.h"
#include "project/project_lock.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

}  // namespace

fs::path ProjectFileOf(const std::string& argument) {
    std::error_code error;
    if (fs::is_directory(argument, error)) return fs::path(argument) / project::kProjectFileName;
    return argument;
}

std::optional<core::FileLock> LockProjectOf(const std::string& argument, std::string_view command, std::ostream& err) {
    const fs::path file = ProjectFileOf(argument);
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code error;
    if (!fs::is_directory(folder, error)) return core::FileLock();
    const long seconds = LockWaitSeconds();
    core::FileLock lock = project::LockProject(folder, std::chrono::seconds(seconds));
    // A lock file committed as a link is never followed: it has to go.
    const std::string_view reason = lock.error() == ELOOP ? "the lock file is a symbolic link (remove it)" : "";
    return LockOrReport(std::move(lock), command, core::EscapeControlCharacters(project::ProjectLockFile(folder).string()),
                        "project", seconds, err, reason);
}

void PrintProjectError(std::ostream& err, std::string_view command, const fs::path& projectFile,
                       const project::ProjectError& error) {
    err << "corvtool " << command << ": " << project::ProjectErrorText(projectFile, error) << '\n';
}

std::optional<project::ProjectFile> OpenProjectFile(const std::string& argument, std::string_view command,
                                                    std::ostream& err) {
    const fs::path file = ProjectFileOf(argument);
    project::ProjectLoad load = project::LoadProjectFile(file);
    if (load.error) {
        PrintProjectError(err, command, file, *load.error);
        return std::nullopt;
    }
    return std::move(load.project);
}

std::optional<OpenedProject> OpenProject(const std::string& argument, std::string_view command, std::ostream& err) {
    auto file = OpenProjectFile(argument, command, err);
    if (!file) return std::nullopt;
    auto inputs = project::LoadProjectInputs(*file);
    if (auto* error = std::get_if<project::ProjectError>(&inputs)) {
        PrintProjectError(err, command, file->file, *error);
        return std::nullopt;
    }
    return OpenedProject{std::move(*file), std::move(std::get<0>(inputs))};
}

std::optional<unsigned> ParseJobs(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > 256) return std::nullopt;
    return value;
}

unsigned DefaultJobs() { return std::max(1u, std::thread::hardware_concurrency()); }

}  // namespace corv::tool
