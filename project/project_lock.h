#pragma once
// One writer per project: every command that reads a project's scripts to write them again, or
// reads its inputs to write its outputs (import-po, build, the editor's save of a script), holds
// this lock from before its first read until after its last write, so two of them on one
// project run one after the other and a build reads one consistent set of scripts.
//
// The lock is the lock file ".corvane-project.lock" in the project's folder (core::FileLock's
// lock file: made when missing, never replaced, never followed through a link). It holds back
// only programs that take it.

#include <chrono>
#include <filesystem>

#include "core/file_lock.h"

namespace corv::project {

inline constexpr char kProjectLockFileName[] = ".corvane-project.lock";

// The lock file of the project whose folder is `directory`.
[[nodiscard]] std::filesystem::path ProjectLockFile(const std::filesystem::path& directory);

// Takes the project's lock, waiting at most `wait` for another holder (see core::FileLock for
// the statuses; a folder that takes no new file gives Failed with the system's reason).
[[nodiscard]] core::FileLock LockProject(const std::filesystem::path& directory, std::chrono::milliseconds wait);

}  // namespace corv::project
