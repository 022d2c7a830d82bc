#pragma once
// One writer at a time for a file that is read, changed in memory and saved: an exclusive
// advisory lock (flock) on the file itself, held from before the read until after the save.
//
// The lock is on the file the path names (through symbolic links), not on a lock file beside
// it: two names of one ROM (a link and its file) meet at the same lock, and no extra file is
// left in the user's folder. A save replaces the file by a rename, so a process that waited for
// the lock on the old file finds, once it has it, that the path names a new file; it then locks
// that one instead. Every program of the system that changes a file takes this lock; other
// programs are not held back by it.
//
// A lock file (acquireLockFile) guards something that is not one file, such as a folder of
// files written together: a plain file that only ever carries the lock, made when missing and
// never replaced, so every holder meets the same file.

#include <chrono>
#include <filesystem>

namespace corv::core {

enum class LockStatus {
    Locked,       // held until the FileLock is destroyed
    Unavailable,  // the file is missing, unreadable or not a plain file: nothing to lock (the
                  // caller's own read reports the problem)
    TimedOut,     // another process held it for the whole wait
    Failed,       // the system refused the lock (or, for a lock file, to make or open it): `error` says why
};

class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on the file `path` names, waiting at most `wait` for another holder.
    [[nodiscard]] static FileLock acquire(const std::filesystem::path& path, std::chrono::milliseconds wait);
    // Takes the lock on the lock file `path`, making it (empty, mode 0644 before the umask) when it
    // is missing. The lock file is never followed through a symbolic link: a link there, a folder
    // or any other file that is not plain is Failed (ELOOP, EISDIR or EINVAL in `error`).
    [[nodiscard]] static FileLock acquireLockFile(const std::filesystem::path& path, std::chrono::milliseconds wait);

    [[nodiscard]] LockStatus status() const { return status_; }
    [[nodiscard]] int error() const { return error_; }
    [[nodiscard]] bool held() const { return fd_ >= 0; }
    // When the lock was taken (Locked only): every earlier holder had let it go by then.
    [[nodiscard]] std::chrono::system_clock::time_point lockedAt() const { return lockedAt_; }
    // Gives the lock back before the object ends.
    void release();

private:
    [[nodiscard]] static FileLock acquireOpened(const std::filesystem::path& path, std::chrono::milliseconds wait,
                                                bool lockFile);

    int fd_ = -1;
    LockStatus status_ = LockStatus::Unavailable;
    int error_ = 0;
    std::chrono::system_clock::time_point lockedAt_{};
};

}  // namespace corv::core
