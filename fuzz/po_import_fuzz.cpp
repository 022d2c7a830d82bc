// PO import: a translation is text, never structure. Whatever a PO file holds, an import that
// is accepted leaves every script with exactly the entries it had (the same lines that the
// script's reader acts on, in the same order), each imported string's entry holding the
// imported text and every other entry as it was; an import that is refused names why.
//
// Input: the PO file's bytes. The project is the demo game's, in the scratch folder, with a
// translated script for block 545C00 and none for the other blocks.

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "project/po_exchange.h"
#include "project/po_reader.h"
#include "project/project_inputs.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "script/script_text.h"
#include "tools/demo/demo_translation.h"

using namespace corv;

namespace {

struct FuzzProject {
    project::ProjectFile file;
    std::unique_ptr<project::ProjectInputs> inputs;
};

CORV_FUZZ_UNTRACED const FuzzProject& Project() {
    static const std::unique_ptr<FuzzProject> made = [] {
        const std::filesystem::path dir = fuzz::ScratchFolder() / "po_project";
        std::filesystem::create_directories(dir / "game");
        std::filesystem::create_directories(dir / "Dumps");
        fuzz::Require(demo::WriteDemoFiles(fuzz::Demo(), dir / "game").ok(), "the demo game is written");
        project::ProjectFileSettings settings{"game/corvane.smc", "game/corvane.txt", "game/corvane.tbl", "Dumps",
                                              "build/t.smc", "build/t.ips"};
        std::ofstream(dir / project::kProjectFileName, std::ios::binary) << project::ProjectFileText(settings);
        auto project = std::make_unique<FuzzProject>();
        project->file = project::LoadProjectFile(dir / project::kProjectFileName).project.value();
        auto inputs = project::LoadProjectInputs(project->file);
        project->inputs = std::move(std::get<0>(inputs));
        // One block with a translated script, the others from their skeletons.
        for (const demo::DemoBlock& block : fuzz::Demo().blocks) {
            if (block.address != 0x545C00) continue;
            std::vector<uint8_t> bytes(block.data);
            bytes.resize(0x10000);
            const std::string kana = script::KanaDump(bytes, unsigned(block.records.size()), false, *project->inputs->maps);
            fuzz::Require(script::SaveScriptFile(script::ScriptPathFor(dir / "Dumps", block.address),
                                                 demo::TranslateDemoScript(kana, 1.0, 7))
                              .ok(),
                          "the script is written");
        }
        return project;
    }();
    return *made;
}

CORV_FUZZ_UNTRACED std::vector<std::string> linesOf(std::string_view text) {
    const script::MemoryScriptText script(text);
    std::vector<std::string> lines;
    for (int n = 0; n < script.lineCount(); ++n) lines.push_back(script.line(n));
    return lines;
}

// The lines the script's reader acts on (or could, in another letter case), in order.
CORV_FUZZ_UNTRACED std::vector<std::string> structureOf(std::string_view text) {
    std::vector<std::string> keywordLines;
    for (std::string& line : linesOf(text)) {
        if (script::ActsAsKeywordLine(line)) keywordLines.push_back(std::move(line));
    }
    return keywordLines;
}

CORV_FUZZ_UNTRACED std::vector<std::string> withoutTrailingEmpty(std::vector<std::string> lines) {
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

CORV_FUZZ_UNTRACED std::optional<std::vector<std::string>> entryOf(const std::string& text, unsigned n) {
    script::MemoryScriptText script(text);
    return script::LookupEntry(script, int(n));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzProject& project = Project();
    const std::filesystem::path po = fuzz::ScratchFolder() / "input.po";
    {
        std::ofstream out(po, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const project::PoImport imported = project::ImportPoFiles(project.file, *project.inputs, {po}, true);
    if (!imported.errors.empty()) return 0;

    // What the file translates, by block and string, as the import reads it.
    std::map<std::pair<uint32_t, unsigned>, std::string> translations;
    for (const project::PoEntry& entry : project::ReadPoFile(po).entries) {
        const auto where = project::ParsePoContext(entry.context);
        fuzz::Require(where.has_value() && !entry.plural, "an accepted import names only text strings, no plurals");
        const project::ScriptCharacters characters = project::Utf8ToScriptCharacters(entry.str, script::CharacterMap{});
        fuzz::Require(characters.check.problem == project::TranslationProblem::None, "an accepted translation is text");
        if (characters.latin1.find_first_not_of(" \t\n") == std::string::npos) continue;  // empty or blank: not imported
        const auto index = script::ListedBlockIndex(project.inputs->dataFile.blocks, where->first);
        translations[{project.inputs->dataFile.blocks.at(*index).address, where->second}] = characters.latin1;
    }
    for (const auto& [path, after] : imported.scripts) {
        const uint32_t address = uint32_t(std::stoul(path.stem().string(), nullptr, 16));
        const script::TextBlockLoad load =
            script::LoadTextBlock(project.inputs->patched.data(), project.inputs->dataFile.blocks, address);
        fuzz::Require(load.block.has_value(), "a changed script belongs to a readable block");
        const std::string before = std::filesystem::exists(path) ? script::LoadScriptFile(path).value()
                                                                 : script::ScriptSkeleton(load.block->info.stringCount);
        fuzz::Require(structureOf(before) == structureOf(after), "a script keeps exactly the entries it had");
        for (unsigned n = 0; n < load.block->info.stringCount; ++n) {
            const auto entry = entryOf(after, n);
            const auto translation = translations.find({address, n});
            if (translation == translations.end()) {
                fuzz::Require(entry == entryOf(before, n), "an entry the file does not translate stays as it was");
            } else {
                fuzz::Require(entry && withoutTrailingEmpty(*entry) == withoutTrailingEmpty(linesOf(translation->second)),
                              "an imported entry holds the imported text");
            }
        }
    }
    return 0;
}
