// corvtool dictionary ROM TABLE: writes the dictionary words of the table file TABLE into the
// ROM's dictionary area and saves the ROM.

#include <ostream>
#include <vector>

#include "tools/corvtool/command.h"
#include "core/rom_image.h"
#include "tools/corvtool/rom_argument.h"
#include "tools/corvtool/table_argument.h"
#include "insert/dictionary_area.h"
#include "script/table_file.h"

namespace corv::tool {
namespace {

int runDictionary(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    const bool force = TakeForceOption(args);
    if (args.size() != 2) {
        err << "corvtool dictionary: expected ROM TABLE\n";
        return kExitUsage;
    }
    const auto lock = LockGameRom(args[0], "dictionary", err);
    if (!lock) return kExitBadInput;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "dictionary", err)) return kExitBadInput;
    script::TableFile table;
    if (!LoadCharacterTable(table, args[1], "dictionary", err)) return kExitBadInput;
    const insert::DictionaryAreaResult result = insert::InsertDictionaryArea(rom, table);
    if (result != insert::DictionaryAreaResult::Written) {
        // Too many words do not fit the area's bank; a ROM too small for the area is not the game's.
        const bool tooManyWords = result == insert::DictionaryAreaResult::WordsPastBank;
        FileError(err, "dictionary", tooManyWords ? args[1] : args[0]) << insert::DictionaryAreaMessage(result) << '\n';
        return tooManyWords ? kExitDoesNotFit : kExitBadInput;
    }
    if (!SaveGameRom(rom, "dictionary", err, {.force = force}, &*lock)) return kExitBadInput;
    out << insert::DictionaryAreaMessage(result) << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kDictionaryCommand{
    "dictionary", "ROM TABLE [--force]",
    "write the dictionary words of TABLE into the ROM's dictionary area (0x134B00) and save it", runDictionary};

}  // namespace corv::tool
