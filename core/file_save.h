#pragma once
// Replacing a file with new contents so that, whatever happens, the file holds either its old
// or its new bytes, never a mixture, and keeps the owner, group and mode it had.
//
// How a regular file is replaced: the bytes go into a temporary file of its own beside it
// ("NAME.saving-XXXXXX", created exclusively and never through a link), which is synced, given
// the owner, group and mode of the file it replaces, renamed over it, and the folder is synced.
// A failure at any step removes the temporary file and leaves the old file as it was; a crash
// leaves at most a temporary file, recognisable by its name, that nothing reuses, and that the
// next save of the file under its lock removes (SaveOptions::leftoversBefore).
//
// Files that belong together (a ROM and its patch, the scripts of one import) are replaced in
// two steps (PreparedSave): every new file is written and synced under its temporary name
// first, and only then renamed over its target, one after the other.
//
// Targets that are not plain files: a symbolic link is followed (chains too) and the file it
// names is replaced, the link stays. A FIFO or a character device (a pipe, a terminal,
// /dev/null) is a stream the caller points the output at: it is opened and written, never
// replaced. Anything else (a folder, a block device, a socket) is refused. A file with more than
// one hard link is refused too: replacing it would split the links, writing into it would lose
// the crash guarantee.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace corv::core {

// The steps of a save, in order; a failure names the step it happened in.
enum class SaveStep {
    Inspect,          // finding and checking the file to replace
    CreateTemporary,  // creating the temporary file beside it
    Write,            // writing the bytes (into the temporary file, or into a stream)
    KeepOwner,        // giving the temporary file the replaced file's owner and group
    KeepMode,         // giving it the replaced file's mode
    Sync,             // forcing bytes and attributes to the disk
    Close,            // closing it
    Replace,          // renaming it over the file
    SyncFolder,       // forcing the rename to the disk
};

enum class SaveStatus {
    Saved,
    Failed,        // a system call failed: `error` holds its errno
    LinkLoop,      // the symbolic links never reach a file
    NotAFile,      // a folder, block device or socket: refused
    ReadOnly,      // the caller may not write the file (or its mode forbids writing): refused
    HardLinked,    // the file has more than one name: refused
};

struct SaveResult {
    SaveStatus status = SaveStatus::Saved;
    SaveStep step = SaveStep::Inspect;
    int error = 0;                // errno of a failed call, 0 otherwise
    std::filesystem::path file;   // the file the failure concerns (the target or the temporary)
    // The new bytes are in place although the save failed: only syncing the folder failed, so
    // the change may not survive a power loss.
    bool replaced = false;
    unsigned hardLinks = 0;       // for HardLinked

    [[nodiscard]] bool ok() const { return status == SaveStatus::Saved; }
    explicit operator bool() const { return ok(); }
};

// Called before each step with the step about to run; returns 0 to let it run, or an errno to
// make it fail as if the system call had. The seam through which tests fail, or end the
// process at, every step of a save.
class SaveStepHook {
public:
    virtual ~SaveStepHook() = default;
    [[nodiscard]] virtual int beforeStep(SaveStep step) = 0;
};

struct SaveOptions {
    // Replace a file whose mode forbids writing when the caller owns it (or is the superuser),
    // keeping its mode; without it such a file is refused, also for the superuser.
    bool force = false;
    SaveStepHook* hook = nullptr;
    // A FIFO or character device is refused (NotAFile) instead of written into: for an output
    // that is replaced together with others, which a stream cannot be.
    bool refuseStreams = false;
    // Once the save succeeded, the target's temporary files of earlier saves ("NAME.saving-"
    // and six letters or digits; plain files, never links) last changed before this time are
    // removed. The caller holds the lock every writer of the target takes and got it at this
    // time (FileLock::lockedAt), so the writers of those files have ended.
    std::optional<std::chrono::system_clock::time_point> leftoversBefore = std::nullopt;
};

// The name part every temporary file of a save of `target` starts with ("NAME.saving-").
[[nodiscard]] std::string TemporaryPrefixOf(const std::filesystem::path& target);

// A save in two steps, so that several files can be replaced together: prepare() runs every
// step up to the rename (the new bytes are on the disk under the temporary name), commit()
// renames the temporary file over the target and syncs the folder. A prepared save that is not
// committed removes its temporary file when it ends. A stream target (FIFO, device) is written
// only by commit(), from `bytes`, which must then live until the commit.
class PreparedSave {
public:
    [[nodiscard]] static PreparedSave prepare(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                                              const SaveOptions& options = {});
    // Nothing prepared: neither ready nor holding a temporary file.
    PreparedSave() = default;
    // Moved, the temporary file goes with the save; it is never copied.
    PreparedSave(PreparedSave&& other) noexcept;
    PreparedSave& operator=(PreparedSave&& other) noexcept;
    PreparedSave(const PreparedSave&) = delete;
    PreparedSave& operator=(const PreparedSave&) = delete;
    ~PreparedSave();

    // Saved when the save is ready to commit; otherwise why it is not (nothing is left behind).
    [[nodiscard]] const SaveResult& result() const { return result_; }
    [[nodiscard]] bool ready() const { return result_.ok() && !committed_; }
    // The file the commit replaces: the end of the links the path goes through.
    [[nodiscard]] const std::filesystem::path& target() const { return target_; }
    [[nodiscard]] SaveResult commit();
    // Gives the save up: its temporary file is removed.
    void abandon();

private:
    friend class Save;
    std::filesystem::path target_;
    std::filesystem::path temporary_;  // empty for a stream target
    std::span<const uint8_t> streamBytes_;
    bool stream_ = false;
    bool committed_ = false;
    SaveOptions options_;
    SaveResult result_;
};

// Replaces `path` with `bytes` as described above. On any result but Saved, the file is as it
// was (unless `replaced` is set) and no temporary file is left behind.
[[nodiscard]] SaveResult WriteFileSafely(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                                         const SaveOptions& options = {});

}  // namespace corv::core
