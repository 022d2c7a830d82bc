#include "tools/corvtool/project_argument.h"

#include <charconv>
#include <filesystem>
#include <ostream>
#include <thread>

#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

fs::path projectFileOf(const std::string& argument) {
    std::error_code error;
    if (fs::is_directory(argument, error)) return fs::path(argument) / project::kProjectFileName;
    return argument;
}

}  // namespace

void PrintProjectError(std::ostream& err, std::string_view command, const fs::path& projectFile,
                       const project::ProjectError& error) {
    using project::ProjectProblem;
    err << "corvtool " << command << ": " << projectFile.string();
    if (error.line > 0) err << ':' << error.line;
    err << ": ";
    if (!error.key.empty() && error.problem != ProjectProblem::MissingKey && error.problem != ProjectProblem::UnknownKey) {
        err << "key '" << error.key << "': ";
    }
    switch (error.problem) {
    case ProjectProblem::CannotRead: err << "cannot read this project file (missing, unreadable or a folder)\n"; return;
    case ProjectProblem::Syntax: err << "not a valid TOML file: " << error.detail << '\n'; return;
    case ProjectProblem::MissingKey: err << "the key '" << error.key << "' is missing\n"; return;
    case ProjectProblem::WrongType: err << "must be " << error.detail << '\n'; return;
    case ProjectProblem::UnknownKey: err << "unknown key '" << error.key << "' (a misspelling?)\n"; return;
    case ProjectProblem::BadAddress: err << "not a hexadecimal block address\n"; return;
    case ProjectProblem::FileMissing:
        err << error.file.string() << ": cannot read this file (missing, unreadable or a folder)\n";
        return;
    case ProjectProblem::NotTheGame:
        err << error.file.string() << ": not the CORVANE ROM (no internal title CORVANE at ROM offset 00FFC0)\n";
        return;
    case ProjectProblem::BadInput: err << error.file.string() << ": " << error.detail << '\n'; return;
    }
}

std::optional<project::ProjectFile> OpenProjectFile(const std::string& argument, std::string_view command,
                                                    std::ostream& err) {
    const fs::path file = projectFileOf(argument);
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
