#include "comp/save_target.h"

#include <cerrno>

#if __has_include(<unistd.h>)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace corv::comp {

namespace {

namespace fs = std::filesystem;

constexpr fs::perms kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// Why this process may not change `path` (write a file, add to a folder); no error when it may.
std::error_code writeRefusal(const fs::path& path, bool folder) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) return error;
    if ((status.permissions() & kAnyWrite) == fs::perms::none) {
        return std::make_error_code(std::errc::permission_denied);
    }
#if __has_include(<unistd.h>)
    // The system's own answer for this user (owner, groups, read-only mounts), with the
    // effective ids the save would run with.
    const int wanted = folder ? (W_OK | X_OK) : W_OK;
    if (::faccessat(AT_FDCWD, path.c_str(), wanted, AT_EACCESS) != 0) return {errno, std::generic_category()};
#else
    (void)folder;
#endif
    return {};
}

}  // namespace

SaveTargetCheck CheckSaveTarget(const fs::path& romPath) {
    std::error_code error;
    // The save replaces the file a link names, in that file's folder; absolute first, so that a
    // relative name of a file that has gone still has a folder.
    const fs::path absolute = fs::absolute(romPath, error);
    if (error) return {SaveTargetStatus::ClosedFolder, error};
    const fs::path target = fs::weakly_canonical(absolute, error);
    if (error) return {SaveTargetStatus::ClosedFolder, error};

    if (fs::exists(target, error) && writeRefusal(target, false)) return {SaveTargetStatus::ReadOnlyFile, {}};
    if (const std::error_code refusal = writeRefusal(target.parent_path(), true)) {
        return {SaveTargetStatus::ClosedFolder, refusal};
    }
    return {};
}

}  // namespace corv::comp
