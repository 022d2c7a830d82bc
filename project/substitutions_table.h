#pragma once
// The substitutions as TOML pairs ("’" = "'"): the [substitutions] table of a project file, or
// the top level of a substitutions file given with --substitutions. One reader for both.

#include <toml++/toml.h>

#include <filesystem>
#include <optional>
#include <string>

#include "project/project_file.h"
#include "script/substitutions.h"

namespace corv::project {

// A substitutions file is a short list; anything larger is no such file.
inline constexpr uint64_t kLargestSubstitutionsFile = 64 * 1024;

// Adds the pairs of `table` to `substitutions`. A pair that cannot be one (see
// script::SubstitutionProblem) is an error naming its key (`prefix` and the character) and line.
[[nodiscard]] std::optional<ProjectError> ReadSubstitutions(const toml::table& table, const std::string& prefix,
                                                            script::Substitutions& substitutions);

struct SubstitutionsLoad {
    script::Substitutions substitutions;
    std::optional<ProjectError> error;  // `file` is the substitutions file
};

// The default list (script::DefaultSubstitutionLines) as substitutions: what the editor applies
// to pasted text without a project.
[[nodiscard]] script::Substitutions DefaultSubstitutions();

// Reads a substitutions file (TOML pairs at its top level, at most kLargestSubstitutionsFile).
[[nodiscard]] SubstitutionsLoad LoadSubstitutionsFile(const std::filesystem::path& file);

}  // namespace corv::project
