// What the module offers JavaScript: the page's editor and the enums of its results, by the
// names the C++ side gives them.

#include <emscripten/bind.h>

#include "web/page_editor.h"

namespace corv::web {

EMSCRIPTEN_BINDINGS(corvane) {
    using emscripten::enum_;

    enum_<editor::RomOpenStep>("RomOpenStep")
        .value("Cancelled", editor::RomOpenStep::Cancelled)
        .value("CannotOpen", editor::RomOpenStep::CannotOpen)
        .value("WrongTitle", editor::RomOpenStep::WrongTitle)
        .value("Opened", editor::RomOpenStep::Opened);
    enum_<editor::ScriptLoad>("ScriptLoad")
        .value("Existing", editor::ScriptLoad::Existing)
        .value("Skeleton", editor::ScriptLoad::Skeleton)
        .value("CannotCreate", editor::ScriptLoad::CannotCreate)
        .value("CannotRead", editor::ScriptLoad::CannotRead);

    emscripten::class_<PageEditor>("Editor")
        .constructor<const std::string&, emscripten::val>()
        .function("openRom", &PageEditor::openRom)
        .function("romHeaderSize", &PageEditor::romHeaderSize)
        .function("loadDataFile", &PageEditor::loadDataFile)
        .function("loadTable", &PageEditor::loadTable)
        .function("chooseBlock", &PageEditor::chooseBlock)
        .function("chooseString", &PageEditor::chooseString)
        .function("screen", &PageEditor::screen)
        .function("scriptText", &PageEditor::scriptText)
        .function("setScriptText", &PageEditor::setScriptText)
        .function("checks", &PageEditor::checks)
        .function("find", &PageEditor::find)
        .function("replace", &PageEditor::replace)
        .function("replaceAll", &PageEditor::replaceAll)
        .function("hexData", &PageEditor::hexData)
        .function("saveScript", &PageEditor::saveScript)
        .function("scriptFileName", &PageEditor::scriptFileName)
        .function("insertBlock", &PageEditor::insertBlock)
        .function("romImage", &PageEditor::romImage)
        .function("makeIps", &PageEditor::makeIps)
        .function("makeBps", &PageEditor::makeBps)
        .function("openProject", &PageEditor::openProject)
        .function("buildProject", &PageEditor::buildProject)
        // The page's lists and navigation keys.
        .function("stringLines", &PageEditor::stringLines)
        .function("entryLine", &PageEditor::entryLine)
        .function("nextUntranslated", &PageEditor::nextUntranslated)
        .function("previousUntranslated", &PageEditor::previousUntranslated)
        .function("nextProblem", &PageEditor::nextProblem)
        .function("stringNumberOf", &PageEditor::stringNumberOf)
        .function("romChecksum", &PageEditor::romChecksum)
        .function("setScriptUnits", &PageEditor::setScriptUnits)
        .function("replaceScriptUnits", &PageEditor::replaceScriptUnits)
        .function("changedChecks", &PageEditor::changedChecks)
        .function("problemRows", &PageEditor::problemRows)
        .function("emptyLineCut", &PageEditor::emptyLineCut);
}

}  // namespace corv::web
