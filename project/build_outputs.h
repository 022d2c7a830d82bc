#pragma once
// Writing a build's outputs together (the translated ROM, the chosen patches, and a release
// folder when one is asked for), and telling afterwards whether they still belong together.
//
// How they are written: all go into temporary files beside them and are synced
// (core::PreparedSave), then are renamed over the old ones one after the other (a failed rename
// puts back the files renamed before it), and last the record ".corvane-outputs" in the project
// folder is replaced: the size and checksum of each output. After a crash at any instant all old
// files or all new ones are in place, or the files no longer match the record, and
// CheckBuildOutputs (status, the next build) names the outputs incomplete. (A crash between the
// last rename and the record names a whole new set incomplete too: the safe side.)
//
// Nothing is written when an output leads outside the project folder (write_paths.h), is one of
// the files the project reads (the project file, the original ROM, data file, table, patches,
// the scripts, the lock file, the record) or another output, or is anything but a plain file
// or a name not taken yet: a FIFO would wait for a reader, and a stream cannot be replaced
// together with its partners. A release folder must hold nothing but the release's own files:
// what it holds is what a group publishes.

#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/file_save.h"
#include "project/project_file.h"
#include "project/write_paths.h"

namespace corv::project {

struct BuildResult;
struct ReleaseFiles;

inline constexpr char kOutputsRecordName[] = ".corvane-outputs";

// The record of the project whose folder is `directory`.
[[nodiscard]] std::filesystem::path OutputsRecordFile(const std::filesystem::path& directory);

struct OutputWriteOptions {
    bool allowOutside = false;  // --allow-outside (the project file's key counts as well)
    // When the caller took the project's lock: leftovers of saves killed before then are removed.
    std::optional<std::chrono::system_clock::time_point> lockedAt = std::nullopt;
    // A release folder written with the outputs (release_files.h); it must live until the write ends.
    const ReleaseFiles* release = nullptr;
    core::SaveStepHook* hook = nullptr;  // every output's save goes through it (tests fail steps)
};

enum class WriteOutcome {
    Written,
    OutputIsInput,     // an output names a file the project reads, or another output
    PathNotAllowed,    // an output leads outside the folder, or nowhere clear: see `pathError`
    NotAPlainFile,     // an output is a FIFO, a device, a folder or a socket
    ReleaseNotEmpty,   // the release folder holds `stray`, a file the release does not write
    CannotWrite,       // a folder cannot be made or a file replaced (see `save`): all are as they were
    RecordNotWritten,  // the outputs are in place, but their record is not (see `save`)
};

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Written;
    const ProjectPath* failed = nullptr;    // the output concerned (nullptr for the record)
    std::optional<ProjectError> pathError = std::nullopt;  // PathNotAllowed
    core::SaveResult save = {};                            // CannotWrite, RecordNotWritten
    std::filesystem::path stray = {};                      // ReleaseNotEmpty
    WriteTarget rom = {};                                  // Written: where the bytes went
    WriteTarget ips = {};                                  // when the project writes an IPS
    WriteTarget bps = {};                                  // when it writes a BPS
    std::vector<WriteTarget> release = {};                 // the release's files, in its order
};

// Writes the translated ROM and the patches of a build that succeeded, and the release when the
// options hold one, making their folders when needed.
[[nodiscard]] WriteResult WriteBuildOutputs(const ProjectFile& project, const BuildResult& build,
                                            const OutputWriteOptions& options = {});

enum class OutputsState {
    NoRecord,    // no record of these outputs (never built, or built before records were kept)
    Whole,       // every output holds what the last build wrote
    Incomplete,  // an output is missing or differs from the record: see `differs`
};

struct OutputsCheck {
    OutputsState state = OutputsState::NoRecord;
    const ProjectPath* differs = nullptr;  // Incomplete: the first output that does not match
                                           // (nullptr for a file of a release folder)
    std::filesystem::path differsFile = {};  // Incomplete: that file
};

// Compares the outputs with the record: the ROM and patches the project names, and the files of
// the release the last build wrote, unless its folder is gone (published and cleared away).
// Reads only.
[[nodiscard]] OutputsCheck CheckBuildOutputs(const ProjectFile& project);

}  // namespace corv::project
