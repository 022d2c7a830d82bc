#include "project/project_lock.h"

namespace corv::project {

std::filesystem::path ProjectLockFile(const std::filesystem::path& directory) {
    return directory / kProjectLockFileName;
}

core::FileLock LockProject(const std::filesystem::path& directory, std::chrono::milliseconds wait) {
    return core::FileLock::acquireLockFile(ProjectLockFile(directory), wait);
}

}  // namespace corv::project
