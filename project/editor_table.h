#pragma once
// The project file's [editor] table: what the editor shows again when it opens the project (the
// last block and string, the Problems window, Mark Overflow, the Text Editor's font size, Wrap
// While Typing). The
// builds never read it. The editor writes it back by replacing only that table's lines (or
// appending the table), so the translator's comments and layout stay as they are.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/file_save.h"
#include "project/editor_state.h"

namespace corv::project {

// The [editor] table for `state` (a heading and one line per value held), lines ended by `newline`.
[[nodiscard]] std::string EditorTableText(const EditorState& state, std::string_view newline = "\n");

// `text` with its [editor] table replaced by the one for `state`, or with that table appended
// when it has none, and the top-level compressor key set to `state.compressor` when that differs
// from the file's (put in before the first table when the file has none); every other byte stays. std::nullopt
// when `text` is no project file, when its editor table is not one plain [editor] table, or
// when the result would not read back as the same project holding `state`.
[[nodiscard]] std::optional<std::string> WithEditorTable(std::string_view text, const EditorState& state,
                                                         const std::filesystem::path& file);

enum class EditorStateSave {
    Saved,
    Unchanged,       // the file holds this state already: not written
    CannotRead,      // the project file cannot be read
    NotReplaceable,  // see WithEditorTable: the file is left as it is
    CannotWrite,     // the safe save failed (see `save`): the file is as it was
};

struct EditorStateSaveResult {
    EditorStateSave outcome = EditorStateSave::Saved;
    core::SaveResult save;  // CannotWrite: why
};

// Reads the project file as it is now (it may have been edited meanwhile), replaces its
// [editor] table and saves it safely.
[[nodiscard]] EditorStateSaveResult SaveEditorState(const std::filesystem::path& file, const EditorState& state);

}  // namespace corv::project
