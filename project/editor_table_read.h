#pragma once
// Reading the [editor] table from the parsed project file (inside the project library only).
// The values are a convenience: one of another kind or out of range is left unread rather than
// stopping a build.

#include <toml++/toml.h>

#include "project/editor_state.h"

namespace corv::project {

[[nodiscard]] EditorState ReadEditorTable(const toml::table& editor);

}  // namespace corv::project
