#include "project/substitutions_table.h"

#include "core/file_read.h"
#include "project/toml_nesting.h"

namespace corv::project {
namespace {

int lineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

std::string problemText(script::SubstitutionProblem problem) {
    switch (problem) {
    case script::SubstitutionProblem::NotOneCharacter: return "one character in quotes as the key";
    case script::SubstitutionProblem::PlainCharacter: return "a character from U+0080 up as the key (ASCII stays as it is)";
    case script::SubstitutionProblem::NotLatin1: return "a replacement of Latin-1 characters (up to U+00FF)";
    case script::SubstitutionProblem::StructureCharacter:
        return "a replacement without line breaks, control characters, \"[\" or \"]\"";
    case script::SubstitutionProblem::TooLong:
        return "a replacement of at most " + std::to_string(script::kLongestSubstitution) + " characters";
    case script::SubstitutionProblem::None: break;
    }
    return {};
}

}  // namespace

std::optional<ProjectError> ReadSubstitutions(const toml::table& table, const std::string& prefix,
                                              script::Substitutions& substitutions) {
    for (const auto& [key, value] : table) {
        const std::string name = prefix + "\"" + std::string(key.str()) + "\"";
        const auto* text = value.as_string();
        if (text == nullptr) return ProjectError{ProjectProblem::WrongType, name, lineOf(value), "a text in quotes", {}};
        const script::SubstitutionProblem problem = substitutions.add(key.str(), text->get());
        if (problem != script::SubstitutionProblem::None) {
            return ProjectError{ProjectProblem::WrongType, name, lineOf(value), problemText(problem), {}};
        }
    }
    return std::nullopt;
}

script::Substitutions DefaultSubstitutions() {
    script::Substitutions substitutions;
    // The list is this program's own text: it always parses.
    const toml::table root = toml::parse(script::DefaultSubstitutionLines());
    (void)ReadSubstitutions(root, "", substitutions);
    return substitutions;
}

SubstitutionsLoad LoadSubstitutionsFile(const std::filesystem::path& file) {
    SubstitutionsLoad load;
    const core::FileRead read = core::ReadBoundedFile(file, kLargestSubstitutionsFile);
    const auto whole = [&](ProjectProblem problem, int line = 0, std::string detail = {}) {
        load.error = ProjectError{problem, {}, line, std::move(detail), file};
        return load;
    };
    switch (read.status) {
    case core::FileReadStatus::Read: break;
    case core::FileReadStatus::CannotRead: return whole(ProjectProblem::CannotRead);
    case core::FileReadStatus::NotAFile: return whole(ProjectProblem::NotAFile);
    case core::FileReadStatus::TooLarge: return whole(ProjectProblem::TooLarge);
    }
    const std::string_view text(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size());
    if (const auto line = LineNestedTooDeep(text, kMostProjectNesting)) return whole(ProjectProblem::TooDeep, *line);
    toml::table root;
    try {
        root = toml::parse(text, file.string());
    } catch (const toml::parse_error& error) {
        return whole(ProjectProblem::Syntax, static_cast<int>(error.source().begin.line), std::string(error.description()));
    }
    if (auto error = ReadSubstitutions(root, "", load.substitutions)) {
        error->file = file;
        load.error = std::move(error);
    }
    return load;
}

}  // namespace corv::project
