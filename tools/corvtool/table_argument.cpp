#include "tools/corvtool/table_argument.h"

#include <ostream>

#include "tools/corvtool/rom_argument.h"

namespace corv::tool {

bool LoadCharacterTable(script::TableFile& table, const std::string& path, std::string_view command,
                        std::ostream& err) {
    if (table.load(path) != script::TableLoadResult::Loaded) {
        FileError(err, command, path) << "cannot read this table file\n";
        return false;
    }
    for (const script::RefusedCharacterLine& refused : table.refusedCharacterLines()) {
        FileError(err, command, path) << script::RefusedCharacterLineText(refused) << '\n';
    }
    if (!table.refusedCharacterLines().empty()) return false;
    for (const script::CharacterMapWarning& warning : table.characterWarnings()) {
        FileError(err, command, path) << "warning: " << script::CharacterMapWarningText(warning) << '\n';
    }
    return true;
}

}  // namespace corv::tool
