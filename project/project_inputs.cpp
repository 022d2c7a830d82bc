#include "project/project_inputs.h"

#include "patches/block_guard.h"
#include "patches/patch_messages.h"
#include "patches/rom_patcher.h"

namespace corv::project {
namespace {

ProjectError fileError(ProjectProblem problem, const ProjectPath& path, std::string detail = {}) {
    return {problem, path.key, path.line, std::move(detail), path.path};
}

}  // namespace

std::variant<std::unique_ptr<ProjectInputs>, ProjectError> LoadProjectInputs(const ProjectFile& project) {
    auto inputs = std::make_unique<ProjectInputs>();
    switch (core::OpenRomFile(inputs->original, project.rom.path)) {
    case core::RomOpenResult::Opened: break;
    case core::RomOpenResult::CannotOpen: return fileError(ProjectProblem::FileMissing, project.rom);
    case core::RomOpenResult::WrongTitle: return fileError(ProjectProblem::NotTheGame, project.rom);
    case core::RomOpenResult::TooLarge: return fileError(ProjectProblem::TooLarge, project.rom);
    }
    auto dataFile = script::LoadBlockDataFile(project.dataFile.path, *inputs->maps);
    if (!dataFile) return fileError(ProjectProblem::FileMissing, project.dataFile);
    inputs->dataFile = std::move(*dataFile);
    if (inputs->table.load(project.table.path) != script::TableLoadResult::Loaded) {
        return fileError(ProjectProblem::FileMissing, project.table);
    }
    if (const auto& refused = inputs->table.refusedCharacterLines(); !refused.empty()) {
        std::string lines;
        for (const script::RefusedCharacterLine& line : refused) {
            lines += (lines.empty() ? "" : "; ") + script::RefusedCharacterLineText(line);
        }
        return fileError(ProjectProblem::BadInput, project.table, lines);
    }

    inputs->patched = inputs->original;
    std::vector<std::vector<uint8_t>> patches;
    for (const ProjectPath& patch : project.patches) {
        auto bytes = core::ReadWholeFile(patch.path);
        if (!bytes) return fileError(ProjectProblem::FileMissing, patch);
        patches.push_back(std::move(*bytes));
    }
    if (!patches.empty()) {
        // Every block of the ROM's area tables and of the data file must keep a header that
        // passes, as with corvtool patch: a code patch made for the other copier header stops here.
        std::vector<uint32_t> listed = {patches::kFontBlockAddress};
        for (const script::BlockEntry& block : inputs->dataFile.blocks) listed.push_back(block.address);
        const patches::PatchOutcome outcome = patches::ApplyPatches(inputs->patched, patches, listed);
        if (outcome.status != patches::PatchStatus::Applied) {
            const ProjectPath& failed = project.patches.at(std::min(outcome.failedIndex, project.patches.size() - 1));
            return fileError(ProjectProblem::BadInput, failed, patches::PatchMessage(outcome));
        }
    }
    inputs->patched.setModified(false);
    return inputs;
}

}  // namespace corv::project
