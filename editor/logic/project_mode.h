#pragma once
// The editor's translation-project mode, without a window: the project open, if any, and what
// each command that would write the ROM does now. In a project the ROM in memory is the
// original, which is never written: Insert and Save Rom File run the project's build, as Build
// Project does, and PATCH Rom File and Insert COMPRESSION into ROM are refused with a message
// saying where their work belongs. Without one, Build Project is refused and the others work on
// the ROM as they always did. The project also gives pasted text its substitutions and the wrap
// its options.

#include <cstdint>
#include <optional>

#include "check/box_wrap.h"
#include "dialogs/dialogs.h"
#include "editor/logic/editor_project.h"
#include "editor/logic/editor_session.h"
#include "editor/logic/text_keys.h"
#include "insert/insertion.h"
#include "project/editor_table.h"
#include "project/project_file.h"
#include "script/script_text.h"
#include "script/substitutions.h"

namespace corv::editor {

// The commands whose work a project changes.
enum class RomCommand : uint8_t { Insert, SaveRom, Patch, InsertCompression, BuildProject };

// What one of them does now.
enum class CommandRun : uint8_t {
    OnTheRom,      // its own work, on the ROM in memory
    ProjectBuild,  // the open project's build from its original ROM (build())
    Refused,       // nothing but the message that says why
};

struct CommandRoute {
    CommandRun run = CommandRun::OnTheRom;
    const char* refusal = nullptr;  // Refused: the message to show
};

class ProjectMode {
public:
    ProjectMode();

    [[nodiscard]] bool isOpen() const { return file_.has_value(); }
    [[nodiscard]] const std::optional<project::ProjectFile>& file() const { return file_; }
    // Whose the text-editing keys are (text_keys.h): Project while one is open.
    [[nodiscard]] EditorMode keys() const { return file_ ? EditorMode::Project : EditorMode::Rom; }
    [[nodiscard]] CommandRoute route(RomCommand command) const;

    // `file` was read and its files opened in the session: it is the open project now. The one
    // open before must have been closed.
    void open(project::ProjectFile file) { file_ = std::move(file); }
    // Whether a ROM opened by hand, which ended in `step`, leaves the open project: a ROM read
    // does (another game's too, which leaves none loaded); a cancelled or unreadable one does not.
    [[nodiscard]] bool leftBy(RomOpenStep step) const;
    // Keeps `state` in the open project's file (a failure is told) and leaves the project;
    // nothing without one.
    void close(const project::EditorState& state, dialogs::Dialogs& dialogs);

    // The build a ProjectBuild route runs (RunProjectBuild); a project must be open.
    ProjectBuildOutcome build(EditorSession& session, script::ScriptText& script, insert::InsertionProgress& progress,
                              dialogs::Dialogs& dialogs) const;

    // What pasted text is written with: the project's substitutions, or the default list.
    [[nodiscard]] const script::Substitutions& substitutions() const;
    // How the wrap commands wrap: the project's [wrap] table, or the defaults.
    [[nodiscard]] check::WrapOptions wrapOptions() const;

private:
    std::optional<project::ProjectFile> file_;
    script::Substitutions defaultSubstitutions_;
};

}  // namespace corv::editor
