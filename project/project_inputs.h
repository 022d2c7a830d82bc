#pragma once
// What a project's files hold, read once for a build or a status: the original ROM as it is on
// disk, the ROM the blocks are measured and inserted on (the original with the code patches
// applied), the block data file and the table.

#include <memory>
#include <optional>
#include <variant>

#include "core/rom_image.h"
#include "project/project_file.h"
#include "script/block_data_file.h"
#include "script/code_table.h"
#include "script/table_file.h"

namespace corv::project {

struct ProjectInputs {
    core::RomImage original;  // the file as read; never written
    core::RomImage patched;   // the original with the project's patches applied
    std::unique_ptr<script::CodeMaps> maps = std::make_unique<script::CodeMaps>();
    script::BlockDataLoad dataFile;
    script::TableFile table;
};

// Reads every file the project names; the first one missing, unreadable or not the game stops
// it, named by its key and line. Nothing is written.
[[nodiscard]] std::variant<std::unique_ptr<ProjectInputs>, ProjectError> LoadProjectInputs(const ProjectFile& project);

}  // namespace corv::project
