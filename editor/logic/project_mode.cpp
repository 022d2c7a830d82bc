#include "editor/logic/project_mode.h"

#include "editor/logic/project_texts.h"
#include "project/substitutions_table.h"

namespace corv::editor {

ProjectMode::ProjectMode() : defaultSubstitutions_(project::DefaultSubstitutions()) {}

CommandRoute ProjectMode::route(RomCommand command) const {
    if (!file_) {
        if (command == RomCommand::BuildProject) return {CommandRun::Refused, kBuildNeedsProject};
        return {CommandRun::OnTheRom};
    }
    switch (command) {
    case RomCommand::Insert:
    case RomCommand::SaveRom:
    case RomCommand::BuildProject: return {CommandRun::ProjectBuild};
    case RomCommand::Patch: return {CommandRun::Refused, kProjectPatchesInFile};
    case RomCommand::InsertCompression: return {CommandRun::Refused, kProjectDictionaryInBuild};
    }
    return {CommandRun::Refused, kBuildNeedsProject};
}

bool ProjectMode::leftBy(RomOpenStep step) const {
    return file_ && step != RomOpenStep::Cancelled && step != RomOpenStep::CannotOpen;
}

void ProjectMode::close(const project::EditorState& state, dialogs::Dialogs& dialogs) {
    if (!file_) return;
    KeepEditorState(*file_, state, dialogs);
    file_.reset();
}

ProjectBuildOutcome ProjectMode::build(EditorSession& session, script::ScriptText& script,
                                       insert::InsertionProgress& progress, dialogs::Dialogs& dialogs) const {
    return RunProjectBuild(session, *file_, script, progress, dialogs);
}

const script::Substitutions& ProjectMode::substitutions() const {
    return file_ ? file_->substitutions : defaultSubstitutions_;
}

check::WrapOptions ProjectMode::wrapOptions() const { return file_ ? file_->wrap : check::WrapOptions{}; }

}  // namespace corv::editor
