#include "tools/corvtool/check_inputs.h"

#include <filesystem>
#include <ostream>

#include "script/script_file.h"
#include "script/text_lines.h"

#include "core/address.h"
#include "tools/corvtool/rom_argument.h"
#include "tools/corvtool/table_argument.h"

namespace corv::tool {

bool LoadRomAndDataFile(CheckInputs& inputs, const std::string& romPath, const std::string& dataPath,
                        std::string_view command, std::ostream& err) {
    if (!OpenGameRom(inputs.rom, romPath, command, err)) return false;
    auto load = script::LoadBlockDataFile(dataPath, *inputs.maps);
    if (!load) {
        FileError(err, command, dataPath) << "cannot read this block data file\n";
        return false;
    }
    inputs.dataFile = std::move(*load);
    inputs.dataPath = dataPath;
    return true;
}

bool LoadTable(CheckInputs& inputs, const std::string& tablePath, std::string_view command, std::ostream& err) {
    return LoadCharacterTable(inputs.table, tablePath, command, err);
}

bool LoadBlock(CheckInputs& inputs, uint32_t address, std::string_view command, std::ostream& err) {
    inputs.block = OpenTextBlock(inputs.rom, inputs.dataFile, inputs.dataPath, address,
                                 script::BlockListing::Required, command, err);
    return inputs.block.has_value();
}

std::optional<uint32_t> ScriptOfOtherBlock(const std::string& scriptPath, std::span<const script::BlockEntry> blocks,
                                           uint32_t address) {
    const std::string name = std::filesystem::path(scriptPath).filename().string();
    const uint32_t own = core::AddressToRomOffset(address & 0xFFFFFF);
    for (const script::BlockEntry& block : blocks) {
        if (core::AddressToRomOffset(block.address & 0xFFFFFF) == own) continue;
        const std::string expected = script::ScriptPathFor({}, block.address).filename().string();
        if (script::EqualsIgnoringCase(name, expected)) return block.address;
    }
    return std::nullopt;
}

void ReportScriptOfOtherBlock(std::ostream& err, std::string_view command, const std::string& scriptPath,
                              uint32_t owner, uint32_t address) {
    FileError(err, command, scriptPath) << "this is the script file of block " << std::hex << std::uppercase << owner
                                        << ", not of block " << address << std::dec << "; nothing was done ("
                                        << kForceOption << " uses it anyway)\n";
}

check::BoxMetrics BoxOf(const script::BlockDataLoad& dataFile) { return check::BoxOfDataFile(dataFile); }

}  // namespace corv::tool
