#pragma once
// The --substitutions FILE option of check, insert and import-po: a small TOML file of pairs
// ("’" = "'") for use with or without a project.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/substitutions.h"

namespace corv::tool {

inline constexpr std::string_view kSubstitutionsOption = "--substitutions";

// Takes "--substitutions FILE" out of `args` into `file`; false, with one line naming `command`,
// when the file is missing after it.
[[nodiscard]] bool TakeSubstitutionsOption(std::vector<std::string>& args, std::optional<std::string>& file,
                                           std::string_view command, std::ostream& err);

// A script's Latin-1 text with the substitutions of `file` applied (none without a file); the
// script file itself is never changed. std::nullopt when the file cannot be read (see below).
[[nodiscard]] std::optional<std::string> SubstitutedScriptText(const std::string& text, const std::optional<std::string>& file,
                                                               const script::CharacterMap& characters,
                                                               std::string_view command, std::ostream& err);

// The substitutions of `path`; std::nullopt, with one error line naming `command` and the file
// (and the line and key of a pair that cannot be one), when they cannot be read.
[[nodiscard]] std::optional<script::Substitutions> LoadSubstitutionsArgument(const std::string& path,
                                                                             std::string_view command, std::ostream& err);

}  // namespace corv::tool
