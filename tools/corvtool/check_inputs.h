#pragma once
// What the check commands (check, room, readback) read before they start: the ROM, the block
// data file, the table file and one listed block, with one error line naming the command and
// the file for whatever cannot be read.

#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/corvtool/command.h"
#include "core/rom_image.h"
#include "script/block_data_file.h"
#include "check/box_lines.h"
#include "script/text_block.h"
#include "script/table_file.h"

namespace corv::tool {

struct CheckInputs {
    core::RomImage rom;
    std::unique_ptr<script::CodeMaps> maps = std::make_unique<script::CodeMaps>();
    script::BlockDataLoad dataFile;
    std::string dataPath;
    script::TableFile table;
    std::optional<script::TextBlock> block;
};

// Reads ROM, DATAFILE and, when `tablePath` is given, TABLE.
[[nodiscard]] bool LoadRomAndDataFile(CheckInputs& inputs, const std::string& romPath, const std::string& dataPath,
                                      std::string_view command, std::ostream& err);
[[nodiscard]] bool LoadTable(CheckInputs& inputs, const std::string& tablePath, std::string_view command,
                             std::ostream& err);
// Takes the listed block at `address` from the ROM.
[[nodiscard]] bool LoadBlock(CheckInputs& inputs, uint32_t address, std::string_view command, std::ostream& err);

// The block whose script file name (eight hex digits and ".txt", as the editor names them) the
// file at `scriptPath` carries, when that is another listed block than the one at `address`.
[[nodiscard]] std::optional<uint32_t> ScriptOfOtherBlock(const std::string& scriptPath,
                                                         std::span<const script::BlockEntry> blocks, uint32_t address);

// One line naming both blocks, for a script refused by ScriptOfOtherBlock.
void ReportScriptOfOtherBlock(std::ostream& err, std::string_view command, const std::string& scriptPath,
                              uint32_t owner, uint32_t address);

// The option that lets insert and check go on past the refusals that guard against mistakes.
inline constexpr std::string_view kForceOption = "--force";

// The lower box as the data file sets it up (the variable-width routine).
[[nodiscard]] check::BoxMetrics BoxOf(const script::BlockDataLoad& dataFile);

}  // namespace corv::tool
