#include "tools/corvtool/check_inputs.h"

#include <ostream>

#include "core/address.h"
#include "tools/corvtool/rom_argument.h"

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
    if (inputs.table.load(tablePath) == script::TableLoadResult::Loaded) return true;
    FileError(err, command, tablePath) << "cannot read this table file\n";
    return false;
}

bool LoadBlock(CheckInputs& inputs, uint32_t address, std::string_view command, std::ostream& err) {
    inputs.block = OpenTextBlock(inputs.rom, inputs.dataFile, inputs.dataPath, address,
                                 script::BlockListing::Required, command, err);
    return inputs.block.has_value();
}

check::BoxMetrics BoxOf(const script::BlockDataLoad& dataFile) { return check::BoxOfDataFile(dataFile); }

}  // namespace corv::tool
