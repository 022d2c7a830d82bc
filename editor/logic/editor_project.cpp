#include "editor/logic/editor_project.h"

#include <string>
#include <variant>

#include "check/box_lines.h"
#include "core/address.h"
#include "core/save_failure_text.h"
#include "project/project_lock.h"
#include "editor/logic/editor_texts.h"
#include "editor/logic/project_texts.h"
#include "project/block_lines.h"
#include "project/build_outcome_text.h"
#include "project/project_build.h"
#include "project/project_error_text.h"
#include "project/project_inputs.h"
#include "project/release_files.h"
#include "script/script_file.h"

namespace corv::editor {

namespace fs = std::filesystem;

std::optional<fs::path> ProjectFileArgument(const fs::path& argument) {
    std::error_code error;
    if (fs::is_directory(argument, error)) {
        const fs::path inside = argument / project::kProjectFileName;
        return fs::exists(inside, error) ? std::optional<fs::path>(inside) : std::nullopt;
    }
    if (argument.extension() == ".toml") return argument;
    // A ROM is no TOML file: only a file that reads as a whole project counts.
    if (project::LoadProjectFile(argument).project) return argument;
    return std::nullopt;
}

std::optional<project::ProjectFile> ReadProject(const fs::path& file, dialogs::Dialogs& dialogs) {
    project::ProjectLoad load = project::LoadProjectFile(file);
    if (load.error) {
        dialogs.message(project::ProjectErrorText(file, *load.error));
        return std::nullopt;
    }
    // Every file it names is read now, so that a missing one is named by its key before the
    // editor lets go of what it shows.
    const auto inputs = project::LoadProjectInputs(*load.project);
    if (const auto* error = std::get_if<project::ProjectError>(&inputs)) {
        dialogs.message(project::ProjectErrorText(file, *error));
        return std::nullopt;
    }
    return std::move(load.project);
}

std::optional<DataFileShown> OpenProjectFiles(EditorSession& session, const project::ProjectFile& file,
                                              dialogs::Dialogs& dialogs) {
    if (session.openRomFile(file.rom.path, dialogs, file.scripts.path) != RomOpenStep::Opened) return std::nullopt;
    session.setProjectFolder(file.file.parent_path());
    // The table first: the first block chosen after the data file load is checked with it.
    if (!session.loadTableFrom(file.table.path, dialogs)) return std::nullopt;
    return session.loadDataFileFrom(file.dataFile.path, dialogs);
}

std::optional<size_t> BlockRowOf(const EditorSession& session, uint32_t address) {
    const editor::StringIndex& index = session.index();
    for (size_t n = 0; n < index.blockCount(); ++n) {
        if (core::AddressToRomOffset(index.blockAddress(n)) == core::AddressToRomOffset(address)) return n;
    }
    return std::nullopt;
}

namespace {

// The reason a build that ran wrote nothing, as a log line.
std::string stoppedLine(const project::ProjectFile& file, const project::BuildResult& build,
                        const project::WriteResult& written) {
    if (build.outcome != project::BuildOutcome::Built) {
        return kBuildNothingWritten + project::BuildStopText(build.outcome) + ".";
    }
    if (written.outcome == project::WriteOutcome::ReleaseNotEmpty) {
        return kBuildNothingWritten + written.stray.string() + kBuildReleaseNotEmpty;
    }
    const std::string output = written.failed ? written.failed->path.string() : file.outputRom.path.string();
    if (written.outcome == project::WriteOutcome::OutputIsInput) {
        return kBuildNothingWritten + output + ": " + project::kOutputIsInputText + ".";
    }
    return kBuildNothingWritten + output + ": " + project::CannotWriteText(written.save) + ".";
}

}  // namespace

ProjectBuildOutcome RunProjectBuild(EditorSession& session, const project::ProjectFile& file,
                                    script::ScriptText& script, insert::InsertionProgress& progress,
                                    dialogs::Dialogs& dialogs) {
    // One writer per project: held from saving the script being edited to the last output
    // written, as corvtool build holds it, so an import-po never lands between them.
    const core::FileLock lock = project::LockProject(file.file.parent_path(), core::kHeldRomLockWait);
    if (lock.status() != core::LockStatus::Locked) {
        dialogs.message(kBuildNothingWritten + std::string("\n") +
                        core::LockFailureReason(lock.status(), lock.error(),
                                                project::ProjectLockFile(file.file.parent_path())));
        return ProjectBuildOutcome::NotStarted;
    }
    // The build reads the scripts from the disk: the one being edited goes there first.
    const fs::path& scriptPath = session.index().scriptPath();
    const bool saveScript = session.index().hasBlock() && !scriptPath.empty() && script.modified();
    if (!session.saveScriptForBuild(script, dialogs)) return ProjectBuildOutcome::NotStarted;
    auto inputs = project::LoadProjectInputs(file);
    if (const auto* error = std::get_if<project::ProjectError>(&inputs)) {
        dialogs.message(project::ProjectErrorText(file.file, *error));
        return ProjectBuildOutcome::NotStarted;
    }
    const project::ProjectInputs& read = *std::get<0>(inputs);

    progress.start();
    progress.setCaption(kBuildCaption);
    if (saveScript) progress.addLogLine(kBuildSavedScriptPrefix + scriptPath.string());
    project::BuildOptions options;
    // One thread: the gauge moves and the windows repaint between blocks, as in an insertion.
    options.jobs = 1;
    options.compressor = session.fitHarderWhenOver() ? core::Compressor::Maximising : core::Compressor::Standard;
    options.untranslated = file.untranslated;
    options.progress = [&progress](size_t done, size_t total) {
        progress.setGaugeRange(0, static_cast<int>(total));
        progress.setGaugePosition(static_cast<int>(done));
        progress.processPendingMessages();
    };
    const project::BuildResult build = project::BuildProject(file, read, options);
    const check::BoxMetrics box = check::BoxOfDataFile(read.dataFile);
    for (const project::BlockResult& block : build.blocks) {
        for (const std::string& line : project::BlockErrorLines(block, box)) progress.addLogLine(line);
        if (const auto warnings = project::DescribeWarnings(block)) progress.addLogLine(*warnings);
        progress.addLogLine(project::DescribeBlock(file, block));
    }
    progress.addLogLine(project::DescribeTotal(build.blocks));

    // The project's release folder is written with the outputs, as corvtool build writes it.
    std::optional<project::ReleaseFiles> release;
    if (build.outcome == project::BuildOutcome::Built && file.release.dir) {
        auto made = project::MakeReleaseFiles(file, *file.release.dir, read.original, build);
        if (const auto* error = std::get_if<project::ProjectError>(&made)) {
            progress.addLogLine(kBuildNothingWritten + project::ProjectErrorText(file.file, *error));
            dialogs.message(project::ProjectErrorText(file.file, *error));
            return ProjectBuildOutcome::Stopped;
        }
        release = std::move(std::get<project::ReleaseFiles>(made));
    }
    project::WriteResult written{project::WriteOutcome::CannotWrite, nullptr};
    project::OutputWriteOptions writeOptions;
    if (release) writeOptions.release = &*release;
    if (build.outcome == project::BuildOutcome::Built) written = project::WriteBuildOutputs(file, build, writeOptions);
    if (build.outcome != project::BuildOutcome::Built || written.outcome != project::WriteOutcome::Written) {
        progress.addLogLine(stoppedLine(file, build, written));
        dialogs.message(kBuildFailedMessage);
        return ProjectBuildOutcome::Stopped;
    }
    const auto writtenLine = [&](const project::ProjectPath& output, size_t size, const char* what) {
        progress.addLogLine(output.path.string() + kBuildWrittenSuffix + " (" + std::to_string(size) + " bytes" + what +
                            ")");
    };
    writtenLine(file.outputRom, build.rom.size(), "");
    if (file.writesBps) writtenLine(file.outputBps, build.bps.size(), ", checked against the original");
    if (file.writesIps) writtenLine(file.outputIps, build.ips.size(), ", checked against the original");
    if (release) {
        for (const project::ReleaseFile& output : release->files) writtenLine(output.path, output.bytes.size(), ", for the release");
    }
    return ProjectBuildOutcome::Written;
}

void KeepEditorState(const project::ProjectFile& file, const project::EditorState& state, dialogs::Dialogs& dialogs) {
    const project::EditorStateSaveResult saved = project::SaveEditorState(file.file, state);
    switch (saved.outcome) {
    case project::EditorStateSave::Saved:
    case project::EditorStateSave::Unchanged: return;
    case project::EditorStateSave::CannotRead:
        dialogs.message(kCannotKeepStatePrefix + file.file.string() + ":\nthe project file cannot be read.");
        return;
    case project::EditorStateSave::NotReplaceable:
        dialogs.message(kCannotKeepStatePrefix + file.file.string() +
                        ":\nthe file no longer reads as a project, or its [editor] table is not one plain table; "
                        "it was left as it is.");
        return;
    case project::EditorStateSave::CannotWrite:
        dialogs.message(kCannotKeepStatePrefix + file.file.string() + ":\n" + core::SaveFailureReason(saved.save));
        return;
    }
}

}  // namespace corv::editor
