#include "editor/logic/script_on_disk.h"

#include "core/file_read.h"

namespace corv::editor {

namespace {

// A script is text of a few hundred kilobytes at most; anything far larger is no script of ours.
constexpr uint64_t kScriptReadLimit = 64ULL << 20;

std::optional<std::vector<uint8_t>> BytesOf(const std::filesystem::path& path) {
    core::FileRead read = core::ReadBoundedFile(path, kScriptReadLimit);
    if (read.status != core::FileReadStatus::Read) return std::nullopt;
    return std::move(read.bytes);
}

}  // namespace

void ScriptOnDisk::remember(const std::filesystem::path& path) {
    path_ = path;
    known_ = BytesOf(path);
    declined_.reset();
    hasDeclined_ = false;
}

void ScriptOnDisk::forget() {
    path_.clear();
    known_.reset();
    declined_.reset();
    hasDeclined_ = false;
}

bool ScriptOnDisk::changed(const std::filesystem::path& path) const {
    if (path_.empty() || path != path_) return false;
    // A file gone, or one that is no file now, holds no one's text to lose or load.
    const auto now = BytesOf(path_);
    return now && now != known_;
}

bool ScriptOnDisk::changedAndNotDeclined(const std::filesystem::path& path) const {
    if (!changed(path)) return false;
    return !hasDeclined_ || BytesOf(path_) != declined_;
}

void ScriptOnDisk::declineCurrent() {
    declined_ = BytesOf(path_);
    hasDeclined_ = true;
}

ScriptDiskAction ActionForScriptOnDisk(bool changedAndNotDeclined, bool unsavedEdits) {
    if (!changedAndNotDeclined) return ScriptDiskAction::Nothing;
    return unsavedEdits ? ScriptDiskAction::Ask : ScriptDiskAction::Reload;
}

}  // namespace corv::editor
