#pragma once
// Replacing several script files together, all or nothing: every new file is written and synced
// under its temporary name first (core::PreparedSave), and only when all of them are ready are
// they renamed over the scripts, one after the other. Should a rename fail, the scripts already
// replaced get their old bytes back and a new one is removed, so that every script is as it was.

#include <filesystem>
#include <map>
#include <string>

#include "core/file_save.h"

namespace corv::project {

struct ScriptWritesResult {
    bool written = true;
    std::filesystem::path failed;  // the script that could not be written
    core::SaveResult save;         // why
    bool restored = true;          // after a failed rename: every script got its old bytes back
};

// Writes each script's text ('\n' line ends, written as CR LF) to its path, making the folders
// it needs. A FIFO or device in a script's place is refused: a stream cannot be replaced
// together with the others.
[[nodiscard]] ScriptWritesResult WriteScriptsTogether(const std::map<std::filesystem::path, std::string>& scripts,
                                                      const core::SaveOptions& options);

}  // namespace corv::project
