#include "core/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <utility>

namespace corv::core {

FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), status_(other.status_), error_(other.error_), lockedAt_(other.lockedAt_) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        status_ = other.status_;
        error_ = other.error_;
        lockedAt_ = other.lockedAt_;
    }
    return *this;
}

void FileLock::release() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor gives the lock back
    fd_ = -1;
}

namespace {

// How a lock's file is opened: an existing file through its links, or a lock file made when
// missing and never through a link (a link committed into a shared folder must not make the
// lock create or hold a file somewhere else). Read access is all flock needs; O_NONBLOCK keeps
// a FIFO from stalling the open.
constexpr int kOpenExisting = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr int kOpenLockFile = kOpenExisting | O_CREAT | O_NOFOLLOW;

}  // namespace

FileLock FileLock::acquire(const std::filesystem::path& path, std::chrono::milliseconds wait) {
    return acquireOpened(path, wait, false);
}

FileLock FileLock::acquireLockFile(const std::filesystem::path& path, std::chrono::milliseconds wait) {
    return acquireOpened(path, wait, true);
}

FileLock FileLock::acquireOpened(const std::filesystem::path& path, std::chrono::milliseconds wait, bool lockFile) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kPoll = std::chrono::milliseconds(5);
    const auto deadline = Clock::now() + wait;
    FileLock lock;
    for (;;) {
        const int fd = lockFile ? ::open(path.c_str(), kOpenLockFile, 0644) : ::open(path.c_str(), kOpenExisting);
        struct stat opened {};
        const bool plain = fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
        if (!plain) {
            if (lockFile) {
                lock.error_ = fd < 0 ? errno : S_ISDIR(opened.st_mode) ? EISDIR : EINVAL;
                lock.status_ = LockStatus::Failed;
            }
            if (fd >= 0) ::close(fd);
            return lock;  // Unavailable for an existing file: the caller's own read reports it
        }
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                lock.error_ = errno;
                lock.status_ = LockStatus::Failed;
                ::close(fd);
                return lock;
            }
            if (Clock::now() >= deadline) {
                lock.status_ = LockStatus::TimedOut;
                ::close(fd);
                return lock;
            }
            std::this_thread::sleep_for(kPoll);
        }
        // The holder may have replaced (or removed) the file while this process waited: the
        // lock counts only on the file the path names now.
        struct stat current {};
        const int found = lockFile ? ::lstat(path.c_str(), &current) : ::stat(path.c_str(), &current);
        if (found == 0 && current.st_dev == opened.st_dev && current.st_ino == opened.st_ino) {
            lock.fd_ = fd;
            lock.status_ = LockStatus::Locked;
            lock.lockedAt_ = std::chrono::system_clock::now();
            return lock;
        }
        ::close(fd);
        if (Clock::now() >= deadline) {
            lock.status_ = LockStatus::TimedOut;
            return lock;
        }
    }
}

}  // namespace corv::core
