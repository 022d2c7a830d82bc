// corvtool dictionary ROM TABLE: writes the dictionary words of the table file TABLE into the
// ROM's dictionary area and saves the ROM.

#include <ostream>
#include <vector>

#include "command.h"
#include "core/rom_image.h"
#include "rom_argument.h"
#include "script/dictionary_area.h"
#include "script/table_file.h"

namespace corv::tool {
namespace {

constexpr int kExitFailed = 2;

int runDictionary(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "corvtool dictionary: expected ROM TABLE\n";
        return kExitUsage;
    }
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "dictionary", err)) return kExitFailed;
    script::TableFile table;
    if (table.load(args[1]) != script::TableLoadResult::Loaded) {
        err << "corvtool dictionary: cannot read the table file " << args[1] << '\n';
        return kExitFailed;
    }
    const script::DictionaryAreaResult result = script::InsertDictionaryArea(rom, table);
    if (result != script::DictionaryAreaResult::Written) {
        err << "corvtool dictionary: " << script::DictionaryAreaMessage(result) << '\n';
        return kExitFailed;
    }
    if (core::SaveRomFile(rom) != core::RomSaveResult::Saved) {
        err << "corvtool dictionary: cannot save " << args[0] << "; the ROM file was left as it was\n";
        return kExitFailed;
    }
    out << script::DictionaryAreaMessage(result) << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kDictionaryCommand{
    "dictionary", "ROM TABLE",
    "write the dictionary words of TABLE into the ROM's dictionary area (0x134B00) and save it", runDictionary};

}  // namespace corv::tool
