// The main window's side of a translation project: opening one (File menu or command line),
// running what the project mode (editor/logic/project_mode.h) says Build Project, Insert, Save Rom
// File, PATCH and Insert COMPRESSION do, and the editor state the project file keeps, restored on
// opening and written when the project is closed.

#include "editor/logic/editor_project.h"
#include "editor/logic/project_texts.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/key_dispatcher.h"
#include "editor/ui/list_data_window.h"
#include "editor/ui/live_check_wiring.h"
#include "editor/ui/main_window.h"
#include "editor/ui/problems_window.h"
#include "editor/ui/text_editor_window.h"
#include "editor/ui/video_box.h"
#include "editor/ui/wrap_commands.h"

#include <QAction>

namespace corv::editor {

void MainWindow::openProject() {
    const auto chosen = dialogs_.openFile({kOpenProjectTitle, session_->startDirectory(), {}, kOpenProjectFilter});
    if (!chosen) return;
    openProjectFile(*chosen);
}

void MainWindow::openProjectFile(const std::filesystem::path& file) {
    if (busy_) return;
    std::optional<project::ProjectFile> opened = ReadProject(file, dialogs_);
    if (!opened) return;
    closeProject();
    const std::optional<DataFileShown> shown = OpenProjectFiles(*session_, *opened, dialogs_);
    ui_.video->showScreenChanges();
    if (!shown) return;
    project_.open(std::move(*opened));
    dispatcher_->setMode(project_.keys());
    applyDataFile(shown);
    restoreEditorState(project_.file()->editor);
}

void MainWindow::restoreEditorState(const project::EditorState& state) {
    if (state.problemsShown) {
        if (*state.problemsShown) {
            live_->showProblems();
        } else {
            live_->problems()->hide();
        }
    }
    if (state.markOverflow) live_->setMarkOverflow(*state.markOverflow);
    if (state.fontSize) ui_.textEditor->setFontSize(*state.fontSize);
    if (state.wrapWhileTyping) wrap_->setWrapWhileTyping(*state.wrapWhileTyping);
    // A project without the key uses the standard compressor.
    ui_.fitHarder->setChecked(state.compressor == core::Compressor::Maximising);
    fitHarderWhenOver();
    if (ui_.listData->blockCount() == 0) return;
    const std::optional<size_t> row = state.block ? BlockRowOf(*session_, *state.block) : std::nullopt;
    ui_.listData->selectBlock(static_cast<int>(row.value_or(0)));
    ui_.listData->focusBlockList();
    chooseBlock();
    if (state.string && session_->index().hasBlock() && *state.string < session_->index().stringCount()) {
        ui_.listData->selectString(static_cast<int>(*state.string));
        chooseString(ChoiceSender::User);
    }
}

project::EditorState MainWindow::editorState() const {
    project::EditorState state;
    if (session_->index().hasBlock()) {
        state.block = session_->index().currentBlockAddress();
        if (const auto row = ui_.listData->selectedString()) state.string = static_cast<unsigned>(*row);
    }
    state.problemsShown = live_->problems()->isVisible();
    state.markOverflow = live_->marksOverflow();
    state.fontSize = ui_.textEditor->fontSize();
    state.wrapWhileTyping = wrap_->wrapsWhileTyping();
    state.compressor = ui_.fitHarder->isChecked() ? core::Compressor::Maximising : core::Compressor::Standard;
    return state;
}

void MainWindow::closeProject() {
    if (!project_.isOpen()) return;
    project_.close(editorState(), dialogs_);
    dispatcher_->setMode(project_.keys());
}

void MainWindow::buildProject() { (void)runInProject(RomCommand::BuildProject); }

bool MainWindow::runInProject(RomCommand command) {
    const CommandRoute route = project_.route(command);
    switch (route.run) {
    case CommandRun::OnTheRom: return false;
    case CommandRun::ProjectBuild:
        runBusy([this] { (void)project_.build(*session_, script(), *ui_.insertProgress, dialogs_); });
        return true;
    case CommandRun::Refused: dialogs_.message(route.refusal); return true;
    }
    return false;
}

}  // namespace corv::editor
