#include "editor/logic/busy_commands.h"

#include <algorithm>
#include <array>

namespace corv::editor {

bool DisabledWhileBusy(std::string_view component) {
    static constexpr std::array<std::string_view, 9> kChangesRomOrScript = {
        "OpenBinaryTextData1", "LoadDataFile",    "SaveTextFile1", "SaveRomFile1", "Exit1",
        "Insert1",             "PATCHRomFile1",   "LoadTableFile1", "InsertCOMPRESSIONintoROM1"};
    return std::find(kChangesRomOrScript.begin(), kChangesRomOrScript.end(), component) != kChangesRomOrScript.end();
}

}  // namespace corv::editor
