#pragma once
// Going to the next piece of work in the current block: the next or previous string not
// translated yet, the next string with a problem, or a string by its number. The searches go
// round past the block's end (or start) and come back to the current string last.

#include <optional>
#include <string_view>

#include "editor/logic/live_checks.h"

namespace corv::editor {

// `current` is the chosen string's record number (-1 or past the block: none chosen).
[[nodiscard]] std::optional<unsigned> NextUntranslated(const LiveChecks& checks, int current);
[[nodiscard]] std::optional<unsigned> PreviousUntranslated(const LiveChecks& checks, int current);
[[nodiscard]] std::optional<unsigned> NextProblem(const LiveChecks& checks, int current);

// Go to String: a decimal record number below `stringCount` (blanks around it allowed).
[[nodiscard]] std::optional<unsigned> ParseStringNumber(std::string_view text, unsigned stringCount);

}  // namespace corv::editor
