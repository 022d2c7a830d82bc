#include "core/save_failure_text.h"

#include <cerrno>
#include <cstring>

namespace corv::core {

namespace {

const char* stepText(SaveStep step) {
    switch (step) {
    case SaveStep::Inspect: return "cannot examine the file";
    case SaveStep::CreateTemporary: return "cannot create a temporary file beside it";
    case SaveStep::Write: return "cannot write";
    case SaveStep::KeepOwner: return "cannot give it the owner and group of the file it replaces";
    case SaveStep::KeepMode: return "cannot give it the mode of the file it replaces";
    case SaveStep::Sync: return "cannot force it to the disk";
    case SaveStep::Close: return "cannot close";
    case SaveStep::Replace: return "cannot rename the new file over it";
    case SaveStep::SyncFolder:
        return "the file was replaced, but its folder cannot be forced to the disk, so the change may not "
               "survive a power loss";
    }
    return "cannot save";
}

}  // namespace

std::string SaveFailureReason(const SaveResult& result) {
    std::string text = result.file.string() + ": ";
    switch (result.status) {
    case SaveStatus::Saved: return text + "saved";
    case SaveStatus::Failed: return text + stepText(result.step) + ": " + std::strerror(result.error);
    case SaveStatus::LinkLoop: return text + std::strerror(ELOOP);
    case SaveStatus::NotAFile: return text + "not a regular file (a folder, block device or socket)";
    case SaveStatus::ReadOnly:
        return text + "permission denied" +
               (result.error == EACCES ? std::string() : " (" + std::string(std::strerror(result.error)) + ")");
    case SaveStatus::HardLinked:
        return text + "has " + std::to_string(result.hardLinks) +
               " hard links; replacing it would split them (save a copy instead)";
    }
    return text + "cannot save";
}

std::string LockFailureReason(LockStatus status, int error, const std::filesystem::path& path) {
    if (status == LockStatus::TimedOut) return path.string() + ": another program is changing this file";
    return path.string() + ": cannot lock the file: " + std::strerror(error);
}

}  // namespace corv::core
