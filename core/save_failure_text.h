#pragma once
// Why a save or a lock failed, in one line that names the file and gives the system's reason,
// for the programs to put after their own message.

#include <string>

#include "core/file_lock.h"
#include "core/file_save.h"

namespace corv::core {

// "FILE: what failed: reason", e.g. "rom.smc.saving-Ab3xQ9: cannot write: No space left on
// device". Precondition: !result.ok().
[[nodiscard]] std::string SaveFailureReason(const SaveResult& result);

// For a lock that timed out or failed: "FILE: another program is changing this file" and the like.
[[nodiscard]] std::string LockFailureReason(LockStatus status, int error, const std::filesystem::path& path);

}  // namespace corv::core
