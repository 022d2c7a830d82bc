#pragma once
// Whether Save ROM File may replace the ROM file, asked before anything is written. The save
// writes a temporary file beside the ROM and renames it over the old one, which needs only the
// folder's permission; this check also honours the file's own.

#include <filesystem>
#include <system_error>

namespace corv::comp {

enum class SaveTargetStatus {
    Writable,
    ReadOnlyFile,  // the file is marked read-only, or this user may not write it
    ClosedFolder,  // no temporary file can be made in the file's folder (`reason` says why)
};

struct SaveTargetCheck {
    SaveTargetStatus status = SaveTargetStatus::Writable;
    std::error_code reason;
};

// Checks the file that a save of `romPath` replaces (through symbolic links) and its folder. A
// file or folder whose mode lets nobody write is refused also when the process may write
// anything (root): a read-only mark is the owner's wish that it stay as it is. A file that does
// not exist (any more) is fine when its folder takes new files.
[[nodiscard]] SaveTargetCheck CheckSaveTarget(const std::filesystem::path& romPath);

}  // namespace corv::comp
