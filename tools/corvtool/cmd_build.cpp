// corvtool build PROJECT [--jobs N] [--maximise] [--release] [--release-dir DIR]: builds the
// translated ROM and its BPS and IPS patches from the project's original ROM: patches, then every
// listed block with a script checked and inserted into its room in the original, then the
// dictionary; with a release folder (the option, or release.dir) also what a group publishes.
// Nothing is written unless every block is checked without errors and fits, and then everything
// together. Untranslated strings of a block translated in part get play-test stand-ins, or with
// --release stop the build.

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <ostream>

#include "core/printable_text.h"
#include "core/save_failure_text.h"
#include "project/block_lines.h"
#include "project/build_outcome_text.h"
#include "project/project_build.h"
#include "project/release_files.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/project_argument.h"
#include "tools/corvtool/project_options.h"
#include "tools/corvtool/project_report.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

using project::BuildOutcome;

// The lines for what WriteBuildOutputs did; the exit code.
int ReportWrittenOutputs(std::ostream& out, std::ostream& err, const project::ProjectFile& file,
                         const project::BuildResult& build, const project::ReleaseFiles* release,
                         const project::WriteResult& written) {
    const auto outputLine = [&](const project::ProjectPath& output) {
        FileError(err, "build", core::EscapeControlCharacters(output.path.string()));
    };
    switch (written.outcome) {
    case project::WriteOutcome::Written: break;
    case project::WriteOutcome::OutputIsInput:
        err << "corvtool build: " << core::EscapeControlCharacters(file.file.string()) << ':' << written.failed->line
            << ": key '" << written.failed->key << "': " << core::EscapeControlCharacters(written.failed->path.string())
            << ": " << project::kOutputIsInputText
            << " (its files, scripts, lock and record) nor another output; nothing was written\n";
        return kExitBadInput;
    case project::WriteOutcome::PathNotAllowed:
        PrintProjectError(err, "build", file.file, *written.pathError);
        return kExitBadInput;
    case project::WriteOutcome::NotAPlainFile:
        outputLine(*written.failed);
        err << "not a plain file (a FIFO, a device or a folder): the outputs are replaced together, which a "
               "stream cannot be; nothing was written\n";
        return kExitBadInput;
    case project::WriteOutcome::ReleaseNotEmpty: {
        std::error_code error;
        const bool isTheFolder = release && !release->files.empty() &&
                                 fs::equivalent(written.stray, release->files.front().path.path.parent_path(), error);
        FileError(err, "build", core::EscapeControlCharacters(written.stray.string()))
            << (isTheFolder ? "the release folder is a file, not a folder"
                            : "the release folder holds a file the release does not write, and would be published "
                              "with it; move it away or choose an empty folder")
            << "; nothing was written\n";
        return kExitBadInput;
    }
    case project::WriteOutcome::CannotWrite:
        outputLine(*written.failed);
        err << project::CannotWriteText(written.save) << "; nothing was written\n";
        return kExitBadInput;
    case project::WriteOutcome::RecordNotWritten:
        FileError(err, "build", project::OutputsRecordFile(file.directory).string())
            << "the outputs were written, but not their record: " << core::SaveFailureReason(written.save)
            << "; status and the next build will call them incomplete\n";
        return kExitBadInput;
    }
    // A link is followed: the line names the file that holds the bytes.
    const auto shown = [](const project::ProjectPath& output, const project::WriteTarget& target) {
        const std::string named = core::EscapeControlCharacters(output.path.string());
        return target.throughLink ? named + " (a link to " + core::EscapeControlCharacters(target.path.string()) + ")"
                                  : named;
    };
    out << shown(file.outputRom, written.rom) << ": " << build.rom.size() << " bytes\n";
    if (file.writesBps) {
        out << shown(file.outputBps, written.bps) << ": " << build.bps.size()
            << " bytes, checked against the original without a copier header\n";
    }
    if (file.writesIps) {
        out << shown(file.outputIps, written.ips) << ": " << build.ips.size() << " bytes, checked against the original\n";
    }
    if (release) {
        for (size_t k = 0; k < release->files.size(); ++k) {
            out << shown(release->files[k].path, written.release[k]) << ": " << release->files[k].bytes.size()
                << " bytes, for the release\n";
        }
    }
    return kExitOk;
}

int runBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ProjectOptions options;
    if (!ParseProjectOptions(args, "build", {"--jobs", "--verbose", kMaximiseOption, kReleaseOption, kAllowOutsideOption, kReleaseDirOption},
                             err, options)) {
        return kExitUsage;
    }
    if (options.arguments.size() != 1) {
        err << "corvtool build: expected PROJECT [--jobs N] [--verbose] [--maximise] [--release] [--allow-outside] [--release-dir DIR]\n";
        return kExitUsage;
    }
    // Held from before the scripts are read until the outputs are written: one build reads one
    // consistent set of scripts, and two builds do not mix their outputs.
    const auto lock = LockProjectOf(options.arguments[0], "build", err);
    if (!lock) return kExitBadInput;
    auto opened = OpenProject(options.arguments[0], "build", err);
    if (!opened) return kExitBadInput;
    const project::ProjectFile& file = opened->file;

    project::BuildOptions buildOptions{options.jobs, ProjectCompressor(options, file), {}, file.untranslated};
    if (options.release) buildOptions.untranslated = project::UntranslatedStrings::Refuse;
    // A progress bar only where a person watches: standard error on a terminal.
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO);
    if (terminal) {
        buildOptions.progress = [&err](size_t done, size_t total) {
            constexpr size_t kWidth = 30;
            const size_t filled = done * kWidth / total;
            err << "\rbuilding [" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] " << done
                << '/' << total << std::flush;
        };
    }
    const project::BuildResult build = project::BuildProject(file, *opened->inputs, buildOptions);
    if (terminal) err << '\r' << std::string(60, ' ') << '\r' << std::flush;
    const check::BoxMetrics box = check::BoxOfDataFile(opened->inputs->dataFile);
    for (const project::BlockResult& block : build.blocks) {
        PrintBlockErrors(out, block, box);
        if (options.verbose) {
            for (const std::string& line : project::BlockWarningLines(block, box)) out << line << '\n';
        }
        if (const auto warnings = project::DescribeWarnings(block)) out << *warnings << '\n';
        out << project::DescribeBlock(file, block) << '\n';
    }
    out << project::DescribeTotal(build.blocks) << '\n';

    const std::string stopped = project::BuildStopText(build.outcome) + "; nothing was written\n";
    switch (build.outcome) {
    case BuildOutcome::Built: break;
    case BuildOutcome::BlocksStopped:
        err << "corvtool build: " << file.file.string() << ": " << stopped;
        return BlocksExitCode(build.blocks);
    case BuildOutcome::DictionaryFull:
        FileError(err, "build", file.table.path.string()) << stopped;
        return kExitDoesNotFit;
    case BuildOutcome::DictionaryRom:
        FileError(err, "build", file.rom.path.string()) << stopped;
        return kExitBadInput;
    case BuildOutcome::IpsTooLarge:
    case BuildOutcome::IpsMismatch:
        FileError(err, "build", file.outputIps.path.string()) << stopped;
        return kExitDoesNotFit;
    case BuildOutcome::BpsMismatch:
        FileError(err, "build", file.outputBps.path.string()) << stopped;
        return kExitDoesNotFit;
    }
    std::optional<project::ReleaseFiles> release;
    if (options.releaseDir || file.release.dir) {
        // A folder typed on the command line is the person's own path, relative to where they are.
        const project::ProjectPath folder =
            options.releaseDir ? project::ProjectPath{*options.releaseDir, std::string(kReleaseDirOption), 0}
                               : *file.release.dir;
        auto made = project::MakeReleaseFiles(file, folder, opened->inputs->original, build);
        if (auto* error = std::get_if<project::ProjectError>(&made)) {
            PrintProjectError(err, "build", file.file, *error);
            return kExitBadInput;
        }
        release = std::move(std::get<project::ReleaseFiles>(made));
    }
    if (const project::OutputsCheck before = project::CheckBuildOutputs(file);
        before.state == project::OutputsState::Incomplete) {
        out << "OUTPUTS: " << OutputsIncompleteText(before) << "; all are written again\n";
    }
    project::OutputWriteOptions writeOptions;
    writeOptions.allowOutside = options.allowOutside;
    if (lock->held()) writeOptions.lockedAt = lock->lockedAt();
    if (release) writeOptions.release = &*release;
    const project::WriteResult written = project::WriteBuildOutputs(file, build, writeOptions);
    return ReportWrittenOutputs(out, err, file, build, release ? &*release : nullptr, written);
}
}  // namespace

extern const Command kBuildCommand{
    "build", "PROJECT [--jobs N] [--verbose] [--maximise] [--release] [--allow-outside] [--release-dir DIR]",
    "build the project's translated ROM and its BPS and IPS patches from its original ROM (patches, then every "
    "block with a script checked and inserted into its original room, then the dictionary); one line per block "
    "with the number of the check's warnings (their lines with --verbose) and a total; nothing is written unless every block is free of errors and fits; the untranslated strings of a "
    "block translated in part keep the original's codes with their number (#12) for play-testing, and --release "
    "(or the project key untranslated = \"refuse\") stops the build naming them "
    "instead; --jobs N threads (default: the cores); --release-dir DIR (or release.dir) also writes a release "
    "there: the patches and a README.txt for players; --allow-outside lets the outputs lead outside the project folder",
    runBuild};

}  // namespace corv::tool
