#include "core/file_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <random>
#include <string>
#include <system_error>

namespace corv::core {

namespace fs = std::filesystem;

namespace {

// The file a save replaces: through symbolic links (chains too) to the file they name, so that
// a link keeps pointing at the new contents instead of being replaced by a plain file. A link
// may name a file that does not exist yet; std::nullopt for a loop of links.
std::optional<fs::path> replacedFile(fs::path path) {
    constexpr int kMaxLinks = 40;  // as many as the system itself follows
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
        const fs::path next = fs::read_symlink(path, error);
        if (error) return std::nullopt;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return std::nullopt;
}

// Six letters and digits, so that a leftover temporary file is never taken for another's.
std::string uniqueSuffix(std::mt19937_64& random) {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix.push_back(kChars[random() % (sizeof kChars - 1)]);
    return suffix;
}

bool writeAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

class Save {
public:
    Save(std::span<const uint8_t> bytes, const SaveOptions& options) : bytes_(bytes), options_(options) {}

    SaveResult run(const fs::path& path) {
        struct stat info {};
        if (const int error = attempt(SaveStep::Inspect, [&] { return ::stat(path.c_str(), &info) == 0; })) {
            if (error == ELOOP) return refused(SaveStatus::LinkLoop, path, ELOOP);
            if (error != ENOENT) return failed(SaveStep::Inspect, path, error);
            const std::optional<fs::path> target = replacedFile(path);
            if (!target) return refused(SaveStatus::LinkLoop, path, ELOOP);
            return replace(*target, nullptr);
        }
        if (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode)) return writeStream(path);
        if (!S_ISREG(info.st_mode)) return refused(SaveStatus::NotAFile, path, 0);
        const std::optional<fs::path> target = replacedFile(path);
        if (!target) return refused(SaveStatus::LinkLoop, path, ELOOP);
        if (info.st_nlink > 1) {
            SaveResult result = refused(SaveStatus::HardLinked, *target, 0);
            result.hardLinks = static_cast<unsigned>(info.st_nlink);
            return result;
        }
        if (const int error = permissionError(*target, info)) return refused(SaveStatus::ReadOnly, *target, error);
        return replace(*target, &info);
    }

private:
    // Runs one step: 0 when it succeeded, else the errno it failed with (or the one injected).
    template <class Call>
    int attempt(SaveStep step, Call call) {
        if (options_.hook) {
            if (const int injected = options_.hook->beforeStep(step)) return injected;
        }
        errno = 0;
        if (call()) return 0;
        return errno != 0 ? errno : EIO;
    }

    static SaveResult failed(SaveStep step, const fs::path& file, int error) {
        return {SaveStatus::Failed, step, error, file, false, 0};
    }
    static SaveResult refused(SaveStatus status, const fs::path& file, int error) {
        return {status, SaveStep::Inspect, error, file, false, 0};
    }

    // A file the caller may not write, or whose mode forbids writing (which the superuser's
    // rights would otherwise pass over), is kept unless forced by someone who may change its mode.
    int permissionError(const fs::path& target, const struct stat& info) const {
        int error = 0;
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            error = errno;
        } else if ((info.st_mode & 0222) == 0) {
            error = EACCES;
        }
        if (error == 0) return 0;
        const bool mayChangeMode = ::geteuid() == 0 || ::geteuid() == info.st_uid;
        return options_.force && mayChangeMode && error == EACCES ? 0 : error;
    }

    // A pipe or device is written as it is: there is nothing to replace.
    SaveResult writeStream(const fs::path& path) {
        int fd = -1;
        if (const int error = attempt(SaveStep::Write, [&] {
                fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
                return fd >= 0 && writeAll(fd, bytes_);
            })) {
            if (fd >= 0) ::close(fd);
            return failed(SaveStep::Write, path, error);
        }
        if (const int error = attempt(SaveStep::Close, [&] { return ::close(fd) == 0; })) {
            return failed(SaveStep::Close, path, error);
        }
        return {};
    }

    SaveResult replace(const fs::path& target, const struct stat* previous) {
        const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
        int fd = -1;
        fs::path temporary;
        if (const int error = attempt(SaveStep::CreateTemporary, [&] { return createTemporary(target, previous, fd, temporary); })) {
            return failed(SaveStep::CreateTemporary, target, error);
        }
        const auto abandon = [&](SaveStep step, int error) {
            if (fd >= 0) ::close(fd);
            ::unlink(temporary.c_str());
            return failed(step, step == SaveStep::Replace ? target : temporary, error);
        };
        if (const int error = attempt(SaveStep::Write, [&] { return writeAll(fd, bytes_); })) {
            return abandon(SaveStep::Write, error);
        }
        if (previous != nullptr) {
            struct stat created {};
            if (::fstat(fd, &created) != 0) return abandon(SaveStep::KeepOwner, errno);
            const bool sameOwner = created.st_uid == previous->st_uid && created.st_gid == previous->st_gid;
            if (const int error = attempt(SaveStep::KeepOwner, [&] {
                    return sameOwner || ::fchown(fd, previous->st_uid, previous->st_gid) == 0;
                })) {
                return abandon(SaveStep::KeepOwner, error);
            }
            // After the owner: a change of owner clears the set-user and set-group bits.
            if (const int error = attempt(SaveStep::KeepMode, [&] { return ::fchmod(fd, previous->st_mode & 07777) == 0; })) {
                return abandon(SaveStep::KeepMode, error);
            }
        }
        if (const int error = attempt(SaveStep::Sync, [&] { return ::fsync(fd) == 0; })) {
            return abandon(SaveStep::Sync, error);
        }
        const int closing = fd;
        fd = -1;
        if (const int error = attempt(SaveStep::Close, [&] { return ::close(closing) == 0; })) {
            return abandon(SaveStep::Close, error);
        }
        if (const int error = attempt(SaveStep::Replace, [&] { return ::rename(temporary.c_str(), target.c_str()) == 0; })) {
            return abandon(SaveStep::Replace, error);
        }
        // The rename is only lasting once the folder that records it is on the disk too.
        if (const int error = attempt(SaveStep::SyncFolder, [&] { return syncFolder(folder); })) {
            SaveResult result = failed(SaveStep::SyncFolder, folder, error);
            result.replaced = true;
            return result;
        }
        return {};
    }

    // A new file gets the mode a plain create would give it; a replacement starts private and
    // takes the old file's mode once written.
    bool createTemporary(const fs::path& target, const struct stat* previous, int& fd, fs::path& temporary) {
        std::mt19937_64 random(std::random_device{}() ^ static_cast<uint64_t>(::getpid()) << 32);
        const mode_t mode = previous != nullptr ? 0600 : 0666;
        for (int tries = 0; tries < 100; ++tries) {
            temporary = target;
            temporary += ".saving-" + uniqueSuffix(random);
            fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd >= 0) return true;
            if (errno != EEXIST) return false;
        }
        return false;
    }

    static bool syncFolder(const fs::path& folder) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool synced = ::fsync(fd) == 0;
        const int error = errno;
        ::close(fd);
        errno = error;
        return synced;
    }

    std::span<const uint8_t> bytes_;
    const SaveOptions& options_;
};

}  // namespace

SaveResult WriteFileSafely(const fs::path& path, std::span<const uint8_t> bytes, const SaveOptions& options) {
    return Save(bytes, options).run(path);
}

}  // namespace corv::core
