#include "project/project_error_text.h"

namespace corv::project {

std::string ProjectErrorText(const std::filesystem::path& projectFile, const ProjectError& error) {
    std::string text = projectFile.string();
    if (error.line > 0) text += ':' + std::to_string(error.line);
    text += ": ";
    const bool keyInText = error.problem == ProjectProblem::MissingKey || error.problem == ProjectProblem::UnknownKey;
    if (!error.key.empty() && !keyInText) {
        text += "key '" + error.key + "': ";
    }
    switch (error.problem) {
    case ProjectProblem::CannotRead: return text + "cannot read this project file (missing, unreadable or a folder)";
    case ProjectProblem::Syntax: return text + "not a valid TOML file: " + error.detail;
    case ProjectProblem::MissingKey: return text + "the key '" + error.key + "' is missing";
    case ProjectProblem::WrongType: return text + "must be " + error.detail;
    case ProjectProblem::UnknownKey: return text + "unknown key '" + error.key + "' (a misspelling?)";
    case ProjectProblem::BadAddress: return text + "not a hexadecimal block address";
    case ProjectProblem::FileMissing:
        return text + error.file.string() + ": cannot read this file (missing, unreadable or a folder)";
    case ProjectProblem::NotTheGame:
        return text + error.file.string() + ": not the CORVANE ROM (no internal title CORVANE at ROM offset 00FFC0)";
    case ProjectProblem::BadInput: return text + error.file.string() + ": " + error.detail;
    }
    return text;
}

}  // namespace corv::project
