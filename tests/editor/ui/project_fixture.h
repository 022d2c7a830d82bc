#pragma once
// The demo game as a translation project in an EditorFixture's folder, for the Qt tests: the demo
// files as the original, scripts in Dumps, the outputs in build/; helpers to write a block's
// translation and to choose a block by its row.

#include <memory>
#include <string>

#include "editor/ui/main_window_fixture.h"
#include "project/project_file.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "tools/demo/demo_translation.h"

namespace corv::editor::testing {

inline std::string ProjectText() {
    project::ProjectFileSettings settings;
    settings.rom = demo::kRomFileName;
    settings.dataFile = demo::kBlockDataFileName;
    settings.table = demo::kTableFileName;
    settings.outputRom = "build/translated.smc";
    settings.outputIps = "build/translated.ips";
    return project::ProjectFileText(settings);
}

inline fs::path WriteProject(const EditorFixture& f, const std::string& text = ProjectText()) {
    const fs::path file = f.folder() / project::kProjectFileName;
    WriteBytes(file, text);
    fs::create_directories(f.folder() / "Dumps");
    return file;
}

inline fs::path ScriptOf(const EditorFixture& f, const demo::DemoBlock& block) {
    return script::ScriptPathFor(f.folder() / "Dumps", block.address);
}

// Writes an English-like translation of `block`, `factor` letters per kana long.
inline bool Translate(const EditorFixture& f, const demo::DemoBlock& block, double factor) {
    auto maps = std::make_unique<script::CodeMaps>();
    (void)script::ParseBlockDataFile(EditorFixture::game().blockDataFile, *maps);
    std::vector<uint8_t> bytes(block.data);
    bytes.resize(0x10000);
    const std::string kana = script::KanaDump(bytes, unsigned(block.records.size()), false, *maps);
    return bool(script::SaveScriptFile(ScriptOf(f, block), demo::TranslateDemoScript(kana, factor, 11)));
}

// Writes the project with the first text block translated and opens it in the editor; false
// when the editor did not open it.
inline bool OpenTranslatedProject(EditorFixture& f) {
    const fs::path file = WriteProject(f);
    if (!Translate(f, EditorFixture::textBlock(0), 1.2)) return false;
    f.form->openProjectFile(file);
    return f.form->project().has_value();
}

inline int RowOf(const demo::DemoBlock& block) {
    const auto& text = EditorFixture::game().textBlocks;
    for (size_t n = 0; n < text.size(); ++n) {
        if (&EditorFixture::textBlock(n) == &block) return int(n);
    }
    return -1;
}

inline void ChooseBlock(EditorFixture& f, int row) {
    QListWidget* bList = Named<QListWidget>(*f.form, "bList");
    QTest::mouseClick(bList->viewport(), Qt::LeftButton, {}, bList->visualItemRect(bList->item(row)).center());
}

}  // namespace corv::editor::testing
