#include "project/project_error_text.h"

#include "core/printable_text.h"
#include "core/rom_open_text.h"
#include "project/toml_nesting.h"

namespace corv::project {

std::string ProjectErrorText(const std::filesystem::path& projectFile, const ProjectError& error) {
    // Keys, paths and the parser's words may hold whatever the file's author put there.
    const auto shown = [](std::string_view text) { return core::EscapeControlCharacters(text); };
    const std::string key = shown(error.key);
    const std::string file = shown(error.file.string());
    std::string text = shown(projectFile.string());
    if (error.line > 0) text += ':' + std::to_string(error.line);
    text += ": ";
    const bool keyInText = error.problem == ProjectProblem::MissingKey || error.problem == ProjectProblem::UnknownKey;
    if (!error.key.empty() && !keyInText) {
        text += "key '" + key + "': ";
    }
    switch (error.problem) {
    case ProjectProblem::CannotRead: return text + "cannot read this project file (missing, unreadable or a folder)";
    case ProjectProblem::NotAFile: return text + "not a regular file (a FIFO, a device or a folder); not read";
    case ProjectProblem::TooLarge:
        if (!error.key.empty()) return text + file + ": " + core::RomTooLargeReason();
        return text + "larger than " + std::to_string(kLargestProjectFile) +
               " bytes, the most a project file may be; not read";
    case ProjectProblem::TooDeep:
        return text + "tables or arrays nest deeper than " + std::to_string(kMostProjectNesting) +
               " levels, more than any project file needs; not read";
    case ProjectProblem::NulCharacter: return text + "holds a NUL character, which no name or path may hold";
    case ProjectProblem::Syntax: return text + "not a valid TOML file: " + shown(error.detail);
    case ProjectProblem::MissingKey: return text + "the key '" + key + "' is missing";
    case ProjectProblem::WrongType: return text + "must be " + error.detail;
    case ProjectProblem::UnknownKey: return text + "unknown key '" + key + "' (a misspelling?)";
    case ProjectProblem::BadAddress: return text + "not a hexadecimal block address";
    case ProjectProblem::FileMissing:
        return text + file + ": cannot read this file (missing, unreadable or a folder)";
    case ProjectProblem::NotTheGame:
        return text + file + ": not the CORVANE ROM (no internal title CORVANE at ROM offset 00FFC0)";
    case ProjectProblem::BadInput: return text + file + ": " + shown(error.detail);
    case ProjectProblem::LeavesFolder:
        return text + file + " leads to " + shown(error.detail) + ", outside the project folder; nothing was " +
               "written (--allow-outside, or allow_outside = true in the project file, lets a project write there)";
    case ProjectProblem::UnclearPath:
        return text + file + ": cannot tell where this path leads (a loop of symbolic links, or a folder that may " +
               "not be searched); nothing was written";
    }
    return text;
}

}  // namespace corv::project
