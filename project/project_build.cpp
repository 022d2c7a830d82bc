#include "project/project_build.h"

#include <algorithm>
#include <filesystem>

#include "core/rom_image.h"
#include "patches/bps_create.h"
#include "patches/ips_create.h"

namespace corv::project {
namespace {

namespace fs = std::filesystem;

// Lays every built block's room and mark over the patched original, in list order.
void placeBlocks(core::RomImage& rom, const std::vector<BlockResult>& blocks) {
    const auto data = rom.data();
    for (const BlockResult& block : blocks) {
        if (block.state != BlockState::Built) continue;
        std::copy(block.roomBytes.begin(), block.roomBytes.end(), data.begin() + block.roomOffset);
        if (block.markOffset < data.size()) data[block.markOffset] = block.markValue;
    }
}

}  // namespace

BuildResult BuildProject(const ProjectFile& project, const ProjectInputs& inputs, const BuildOptions& options) {
    BuildResult result;
    result.blocks = WorkOnBlocks(project, inputs, {BlockWorkMode::Build, options.compressor, options.jobs, options.progress, options.untranslated});
    if (std::any_of(result.blocks.begin(), result.blocks.end(), [](const BlockResult& b) { return StopsBuild(b.state); })) {
        result.outcome = BuildOutcome::BlocksStopped;
        return result;
    }
    core::RomImage translated = inputs.patched;
    placeBlocks(translated, result.blocks);
    switch (insert::InsertDictionaryArea(translated, inputs.table)) {
    case insert::DictionaryAreaResult::Written: break;
    case insert::DictionaryAreaResult::WordsPastBank: result.outcome = BuildOutcome::DictionaryFull; return result;
    default: result.outcome = BuildOutcome::DictionaryRom; return result;
    }

    const auto original = inputs.original.fileBytes();
    std::vector<uint8_t> rom(translated.fileBytes().begin(), translated.fileBytes().end());
    if (project.writesIps) {
        patches::IpsCreation creation = patches::CreateCheckedIpsPatch(original, rom);
        if (creation.status != patches::IpsCreateStatus::Created) {
            result.outcome = creation.status == patches::IpsCreateStatus::TooLarge ? BuildOutcome::IpsTooLarge
                                                                                   : BuildOutcome::IpsMismatch;
            return result;
        }
        result.ips = std::move(creation.patch);
    }
    if (project.writesBps) {
        patches::BpsCreation creation = patches::CreateCheckedBpsPatch(inputs.original.data(), translated.data());
        if (creation.status != patches::BpsCreateStatus::Created) {
            result.outcome = BuildOutcome::BpsMismatch;
            return result;
        }
        result.bps = std::move(creation.patch);
    }
    result.rom = std::move(rom);
    return result;
}

}  // namespace corv::project
