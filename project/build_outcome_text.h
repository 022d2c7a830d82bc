#pragma once
// The build's outcome as both front ends word it: corvtool build puts these texts in its error
// line, the editor in its build log, each in its own frame ("...; nothing was written",
// "Nothing was written: ...").

#include <string>

#include "core/file_save.h"
#include "project/project_build.h"

namespace corv::project {

// What stopped a build that wrote nothing ("the blocks above stop the build"); empty for Built.
[[nodiscard]] std::string BuildStopText(BuildOutcome outcome);

// An output that could not be written, with the save's own reason when it gave one: "cannot
// write this file" or "cannot write this file: FILE: what failed: reason".
[[nodiscard]] std::string CannotWriteText(const core::SaveResult& save);

// An output named as one of the project's inputs (WriteOutcome::OutputIsInput).
inline constexpr char kOutputIsInputText[] = "an output may not be one of the project's inputs";

}  // namespace corv::project
