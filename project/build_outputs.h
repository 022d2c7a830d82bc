#pragma once
// Writing a build's two outputs together, and telling afterwards whether they still belong
// together.
//
// How they are written: both go into temporary files beside them and are synced
// (core::PreparedSave), then are renamed over the old ones one after the other, and last the
// record ".corvane-outputs" in the project folder is replaced: the size and checksum of each
// output. After a crash at any instant both old files or both new ones are in place, or the
// files no longer match the record, and CheckBuildOutputs (status, the next build) names the
// pair incomplete. (A crash between the second rename and the record names a whole new pair
// incomplete too: the safe side.)
//
// Nothing is written when an output leads outside the project folder (write_paths.h), is one of
// the files the project reads (the project file, the original ROM, data file, table, patches,
// the scripts, the lock file, the record) or the other output, or is anything but a plain file
// or a name not taken yet: a FIFO would wait for a reader, and a stream cannot be replaced
// together with its partner.

#include <chrono>
#include <filesystem>
#include <optional>

#include "core/file_save.h"
#include "project/project_file.h"
#include "project/write_paths.h"

namespace corv::project {

struct BuildResult;

inline constexpr char kOutputsRecordName[] = ".corvane-outputs";

// The record of the project whose folder is `directory`.
[[nodiscard]] std::filesystem::path OutputsRecordFile(const std::filesystem::path& directory);

struct OutputWriteOptions {
    bool allowOutside = false;  // --allow-outside (the project file's key counts as well)
    // When the caller took the project's lock: leftovers of saves killed before then are removed.
    std::optional<std::chrono::system_clock::time_point> lockedAt = std::nullopt;
};

enum class WriteOutcome {
    Written,
    OutputIsInput,     // an output names a file the project reads, or the other output
    PathNotAllowed,    // an output leads outside the folder, or nowhere clear: see `pathError`
    NotAPlainFile,     // an output is a FIFO, a device, a folder or a socket
    CannotWrite,       // a folder cannot be made or a file replaced (see `save`): both are as they were
    RecordNotWritten,  // both outputs are in place, but their record is not (see `save`)
};

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Written;
    const ProjectPath* failed = nullptr;    // the output concerned (nullptr for the record)
    std::optional<ProjectError> pathError = std::nullopt;  // PathNotAllowed
    core::SaveResult save = {};                            // CannotWrite, RecordNotWritten
    WriteTarget rom = {};                                  // Written: where the bytes went
    WriteTarget ips = {};
};

// Writes the translated ROM and the IPS patch of a build that succeeded, making their folders
// when needed.
[[nodiscard]] WriteResult WriteBuildOutputs(const ProjectFile& project, const BuildResult& build,
                                            const OutputWriteOptions& options = {});

enum class OutputsState {
    NoRecord,    // no record of these outputs (never built, or built before records were kept)
    Whole,       // both outputs hold what the last build wrote
    Incomplete,  // an output is missing or differs from the record: see `differs`
};

struct OutputsCheck {
    OutputsState state = OutputsState::NoRecord;
    const ProjectPath* differs = nullptr;  // Incomplete: the first output that does not match
};

// Compares the outputs with the record. Reads only.
[[nodiscard]] OutputsCheck CheckBuildOutputs(const ProjectFile& project);

}  // namespace corv::project
