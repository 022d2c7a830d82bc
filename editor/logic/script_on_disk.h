#pragma once
// The bytes of the current block's script file as the editor last loaded or saved them, so that
// a change someone else made on disk (corvtool import-po, a teammate's git pull) is noticed
// before the editor replaces it, and loaded when nothing of the editor's would be lost.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace corv::editor {

class ScriptOnDisk {
public:
    // Notes the bytes `path` holds now: right after the editor loaded or wrote it.
    void remember(const std::filesystem::path& path);
    void forget();
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

    // True when `path` is the remembered file and it now reads as other bytes than the
    // remembered ones (a file gone or unreadable holds nothing to lose or load: false).
    [[nodiscard]] bool changed(const std::filesystem::path& path) const;
    // True when the file changed and the user has not yet declined to load these very bytes.
    [[nodiscard]] bool changedAndNotDeclined(const std::filesystem::path& path) const;
    // The user keeps the editor's text over the file as it is now: not asked again about these
    // bytes until they change once more. A save still asks before it replaces them.
    void declineCurrent();

private:
    std::filesystem::path path_;
    std::optional<std::vector<uint8_t>> known_;     // std::nullopt: unreadable when remembered
    std::optional<std::vector<uint8_t>> declined_;  // the bytes the user chose not to load
    bool hasDeclined_ = false;
};

// What the editor does about a script file that changed on disk.
enum class ScriptDiskAction : uint8_t {
    Nothing,  // unchanged, or changed to bytes the user already chose not to load
    Reload,   // no unsaved edits: loaded again quietly
    Ask,      // unsaved edits: the user chooses between the disk's text and the editor's
};
[[nodiscard]] ScriptDiskAction ActionForScriptOnDisk(bool changedAndNotDeclined, bool unsavedEdits);

}  // namespace corv::editor
