#pragma once
// The editor's side of a translation project: which argument names one, opening its original
// ROM (only ever read), data file, table and scripts folder, the build that Insert, Build and
// Save Rom File run in a project, and the state the project file keeps for the editor.

#include <cstdint>
#include <filesystem>
#include <optional>

#include "dialogs/dialogs.h"
#include "editor/logic/editor_session.h"
#include "insert/insertion.h"
#include "project/editor_table.h"
#include "project/project_file.h"
#include "script/script_text.h"

namespace corv::editor {

// The project file a command-line argument names: a folder holding corvane-project.toml, a
// .toml file, or any other file that reads as a project file. std::nullopt for anything else
// (a ROM).
[[nodiscard]] std::optional<std::filesystem::path> ProjectFileArgument(const std::filesystem::path& argument);

// Reads the project file and every file it names; on any problem the message names the file,
// key and line, and std::nullopt is returned. Nothing in the editor changes.
[[nodiscard]] std::optional<project::ProjectFile> ReadProject(const std::filesystem::path& file,
                                                              dialogs::Dialogs& dialogs);

// Opens the project's original ROM with its scripts folder, its table and its data file in
// `session`; what the data file load leaves to show, or std::nullopt when a step failed
// (message shown).
[[nodiscard]] std::optional<DataFileShown> OpenProjectFiles(EditorSession& session, const project::ProjectFile& file,
                                                            dialogs::Dialogs& dialogs);

// The row of the block list with this address (any bank of it), if listed.
[[nodiscard]] std::optional<size_t> BlockRowOf(const EditorSession& session, uint32_t address);

enum class ProjectBuildOutcome {
    Written,     // the translated ROM and IPS were written
    Stopped,     // a block, the dictionary or an output stopped it: nothing written (logged)
    NotStarted,  // the script could not be saved or the project not read (message shown)
};

// Saves the current block's script (a block chosen), reads the project's files as they are on
// disk and builds from the original ROM, logging one line per block, the check errors and the
// total; writes the translated ROM and IPS only when everything went in. The session's ROM,
// the original, is only read.
ProjectBuildOutcome RunProjectBuild(EditorSession& session, const project::ProjectFile& file,
                                    script::ScriptText& script, insert::InsertionProgress& progress,
                                    dialogs::Dialogs& dialogs);

// Writes `state` into the project file's [editor] table; a failure is told, the file stays.
void KeepEditorState(const project::ProjectFile& file, const project::EditorState& state, dialogs::Dialogs& dialogs);

}  // namespace corv::editor
