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

bool ReadsTheBlockBeingRewritten(std::string_view component) {
    static constexpr std::array<std::string_view, 15> kReadsTheBlock = {
        "DTT",           "HideCodes",        "UseVWFRoutine1",   "Blue1",         "Green1",
        "Red1",          "Gradient1",        "Solid1",           "DumpMemory1",   "DumpKanatoafile1",
        "ViewKanaDump1", "NextUntranslated1", "PreviousUntranslated1", "NextProblem1", "GoToString1"};
    return std::find(kReadsTheBlock.begin(), kReadsTheBlock.end(), component) != kReadsTheBlock.end();
}

}  // namespace corv::editor
