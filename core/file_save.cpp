#include "core/file_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <utility>

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

constexpr char kTemporaryInfix[] = ".saving-";
constexpr size_t kSuffixLength = 6;

// Six letters and digits, so that a leftover temporary file is never taken for another's.
std::string uniqueSuffix(std::mt19937_64& random) {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (size_t i = 0; i < kSuffixLength; ++i) suffix.push_back(kChars[random() % (sizeof kChars - 1)]);
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

}  // namespace

// Runs the steps of one save; prepare() stops before the rename, commit() does the rest.
class Save {
public:
    explicit Save(PreparedSave& save) : save_(save), options_(save.options_) {}

    SaveResult prepare(const fs::path& path, std::span<const uint8_t> bytes) {
        struct stat info {};
        if (const int error = attempt(SaveStep::Inspect, [&] { return ::stat(path.c_str(), &info) == 0; })) {
            if (error == ELOOP) return refused(SaveStatus::LinkLoop, path, ELOOP);
            if (error != ENOENT) return failed(SaveStep::Inspect, path, error);
            const std::optional<fs::path> target = replacedFile(path);
            if (!target) return refused(SaveStatus::LinkLoop, path, ELOOP);
            return writeTemporary(*target, bytes, nullptr);
        }
        if (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode)) {
            if (options_.refuseStreams) return refused(SaveStatus::NotAFile, path, 0);
            // A pipe or device is written as it is, at the commit: there is nothing to replace.
            save_.target_ = path;
            save_.stream_ = true;
            save_.streamBytes_ = bytes;
            return {};
        }
        if (!S_ISREG(info.st_mode)) return refused(SaveStatus::NotAFile, path, 0);
        const std::optional<fs::path> target = replacedFile(path);
        if (!target) return refused(SaveStatus::LinkLoop, path, ELOOP);
        if (info.st_nlink > 1) {
            SaveResult result = refused(SaveStatus::HardLinked, *target, 0);
            result.hardLinks = static_cast<unsigned>(info.st_nlink);
            return result;
        }
        if (const int error = permissionError(*target, info)) return refused(SaveStatus::ReadOnly, *target, error);
        return writeTemporary(*target, bytes, &info);
    }

    SaveResult commit() {
        if (save_.stream_) return writeStream(save_.target_, save_.streamBytes_);
        const fs::path& target = save_.target_;
        const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
        if (const int error = attempt(SaveStep::Replace, [&] {
                return ::rename(save_.temporary_.c_str(), target.c_str()) == 0;
            })) {
            save_.abandon();
            return failed(SaveStep::Replace, target, error);
        }
        save_.temporary_.clear();
        // The rename is only lasting once the folder that records it is on the disk too.
        if (const int error = attempt(SaveStep::SyncFolder, [&] { return syncFolder(folder); })) {
            SaveResult result = failed(SaveStep::SyncFolder, folder, error);
            result.replaced = true;
            return result;
        }
        if (options_.leftoversBefore) removeLeftovers(target, *options_.leftoversBefore);
        return {};
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

    SaveResult writeStream(const fs::path& path, std::span<const uint8_t> bytes) {
        int fd = -1;
        if (const int error = attempt(SaveStep::Write, [&] {
                fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
                return fd >= 0 && writeAll(fd, bytes);
            })) {
            if (fd >= 0) ::close(fd);
            return failed(SaveStep::Write, path, error);
        }
        if (const int error = attempt(SaveStep::Close, [&] { return ::close(fd) == 0; })) {
            return failed(SaveStep::Close, path, error);
        }
        return {};
    }

    // Every step before the rename: the bytes, owner and mode on the disk under the temporary name.
    SaveResult writeTemporary(const fs::path& target, std::span<const uint8_t> bytes, const struct stat* previous) {
        save_.target_ = target;
        int fd = -1;
        fs::path temporary;
        if (const int error = attempt(SaveStep::CreateTemporary, [&] { return createTemporary(target, previous, fd, temporary); })) {
            return failed(SaveStep::CreateTemporary, target, error);
        }
        const auto abandon = [&](SaveStep step, int error) {
            if (fd >= 0) ::close(fd);
            ::unlink(temporary.c_str());
            return failed(step, temporary, error);
        };
        if (const int error = attempt(SaveStep::Write, [&] { return writeAll(fd, bytes); })) {
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
        save_.temporary_ = temporary;
        return {};
    }

    // A new file gets the mode a plain create would give it; a replacement starts private and
    // takes the old file's mode once written.
    static bool createTemporary(const fs::path& target, const struct stat* previous, int& fd, fs::path& temporary) {
        std::mt19937_64 random(std::random_device{}() ^ static_cast<uint64_t>(::getpid()) << 32);
        const mode_t mode = previous != nullptr ? 0600 : 0666;
        for (int tries = 0; tries < 100; ++tries) {
            temporary = target;
            temporary += kTemporaryInfix + uniqueSuffix(random);
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

    // Best effort: a leftover that cannot be removed stays as it was before this save.
    static void removeLeftovers(const fs::path& target, std::chrono::system_clock::time_point before) {
        const std::string prefix = TemporaryPrefixOf(target);
        const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.size() != prefix.size() + kSuffixLength || name.compare(0, prefix.size(), prefix) != 0) continue;
            if (!std::all_of(name.begin() + long(prefix.size()), name.end(),
                             [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
                continue;
            }
            struct stat info {};
            if (::lstat(it->path().c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
            const auto changed = std::chrono::system_clock::time_point(
                std::chrono::duration_cast<std::chrono::system_clock::duration>(
                    std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
            if (changed < before) ::unlink(it->path().c_str());
        }
    }

    PreparedSave& save_;
    const SaveOptions& options_;
};

std::string TemporaryPrefixOf(const fs::path& target) { return target.filename().string() + kTemporaryInfix; }

PreparedSave::~PreparedSave() { abandon(); }

PreparedSave::PreparedSave(PreparedSave&& other) noexcept { *this = std::move(other); }

PreparedSave& PreparedSave::operator=(PreparedSave&& other) noexcept {
    if (this != &other) {
        abandon();
        target_ = std::move(other.target_);
        temporary_ = std::exchange(other.temporary_, {});
        streamBytes_ = other.streamBytes_;
        stream_ = other.stream_;
        committed_ = other.committed_;
        options_ = other.options_;
        result_ = other.result_;
    }
    return *this;
}

PreparedSave PreparedSave::prepare(const fs::path& path, std::span<const uint8_t> bytes, const SaveOptions& options) {
    PreparedSave save;
    save.options_ = options;
    save.result_ = Save(save).prepare(path, bytes);
    return save;
}

SaveResult PreparedSave::commit() {
    if (!ready()) return result_;
    committed_ = true;
    result_ = Save(*this).commit();
    return result_;
}

void PreparedSave::abandon() {
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

SaveResult WriteFileSafely(const fs::path& path, std::span<const uint8_t> bytes, const SaveOptions& options) {
    PreparedSave save = PreparedSave::prepare(path, bytes, options);
    if (!save.ready()) return save.result();
    return save.commit();
}

}  // namespace corv::core
