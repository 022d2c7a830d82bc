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
    check::TextBlockLoad load =
        check::LoadTextBlock(inputs.rom.data(), inputs.dataFile.blocks, address);
    const std::string where = "the block at " + HexWord(address).substr(2);
    const std::string romPath = inputs.rom.path().string();
    switch (load.problem) {
    case check::TextBlockProblem::None: inputs.block = std::move(load.block); return true;
    case check::TextBlockProblem::NotListed:
        FileError(err, command, inputs.dataPath) << "no .BLOCK line names the address " << HexWord(address).substr(2)
                                                 << '\n';
        return false;
    case check::TextBlockProblem::BadHeader:
        FileError(err, command, romPath) << "the header of " << where << " (ROM offset "
                                         << HexWord(core::AddressToRomOffset(address)).substr(2)
                                         << ") fails its check or lies past the end of the ROM\n";
        return false;
    case check::TextBlockProblem::NoRecordEnd:
        FileError(err, command, romPath) << where << " has no end to its string records\n";
        return false;
    }
    return false;
}

check::BoxMetrics BoxOf(const script::BlockDataLoad& dataFile) {
    script::MenuStates menus;
    script::ApplyOperations(menus, dataFile.operations);
    check::BoxMetrics box;
    box.variableWidth = menus.useVwf;
    return box;
}

}  // namespace corv::tool
