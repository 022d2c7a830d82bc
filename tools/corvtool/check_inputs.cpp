#include "check_inputs.h"

#include <ostream>

#include "core/address.h"
#include "rom_argument.h"

namespace corv::tool {

bool LoadRomAndDataFile(CheckInputs& inputs, const std::string& romPath, const std::string& dataPath,
                        std::string_view command, std::ostream& err) {
    if (!OpenGameRom(inputs.rom, romPath, command, err)) return false;
    auto load = script::LoadBlockDataFile(dataPath, *inputs.maps);
    if (!load) {
        err << "corvtool " << command << ": cannot read the block data file " << dataPath << '\n';
        return false;
    }
    inputs.dataFile = std::move(*load);
    return true;
}

bool LoadTable(CheckInputs& inputs, const std::string& tablePath, std::string_view command, std::ostream& err) {
    if (inputs.table.load(tablePath) == script::TableLoadResult::Loaded) return true;
    err << "corvtool " << command << ": cannot read the table file " << tablePath << '\n';
    return false;
}

bool LoadBlock(CheckInputs& inputs, uint32_t address, std::string_view command, std::ostream& err) {
    script::check::TextBlockLoad load =
        script::check::LoadTextBlock(inputs.rom.data(), inputs.dataFile.blocks, address);
    const std::string where = "the block at " + HexWord(address).substr(2);
    switch (load.problem) {
    case script::check::TextBlockProblem::None: inputs.block = std::move(load.block); return true;
    case script::check::TextBlockProblem::NotListed:
        err << "corvtool " << command << ": no .BLOCK line of the data file names the address "
            << HexWord(address).substr(2) << '\n';
        return false;
    case script::check::TextBlockProblem::BadHeader:
        err << "corvtool " << command << ": " << where << " (ROM offset " << HexWord(core::AddressToRomOffset(address))
            << ") has a header that fails its check\n";
        return false;
    case script::check::TextBlockProblem::NoRecordEnd:
        err << "corvtool " << command << ": " << where << " has no end to its string records\n";
        return false;
    }
    return false;
}

script::check::BoxMetrics BoxOf(const script::BlockDataLoad& dataFile) {
    script::MenuStates menus;
    script::ApplyOperations(menus, dataFile.operations);
    script::check::BoxMetrics box;
    box.variableWidth = menus.useVwf;
    return box;
}

}  // namespace corv::tool
