#include "project/project_build.h"

#include <algorithm>
#include <filesystem>

#include "core/rom_image.h"
#include "patches/ips_create.h"
#include "patches/ips_patch.h"

namespace corv::project {
namespace {

namespace fs = std::filesystem;

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

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
    result.blocks = WorkOnBlocks(project, inputs, {BlockWorkMode::Build, options.compressor, options.jobs, options.progress});
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
    patches::IpsCreation creation = patches::CreateIpsPatch(original, rom);
    if (creation.status != patches::IpsCreateStatus::Created) {
        result.outcome = BuildOutcome::IpsTooLarge;
        return result;
    }
    std::vector<uint8_t> check(original.begin(), original.end());
    if (patches::ApplyIpsPatch(check, creation.patch) != patches::IpsStatus::Applied || check != rom) {
        result.outcome = BuildOutcome::IpsMismatch;
        return result;
    }
    result.rom = std::move(rom);
    result.ips = std::move(creation.patch);
    return result;
}

WriteResult WriteBuildOutputs(const ProjectFile& project, const BuildResult& build) {
    const ProjectPath* inputs[] = {&project.rom, &project.dataFile, &project.table};
    for (const ProjectPath* output : {&project.outputRom, &project.outputIps}) {
        for (const ProjectPath* input : inputs) {
            if (sameFile(output->path, input->path)) return {WriteOutcome::OutputIsInput, output};
        }
        for (const ProjectPath& patch : project.patches) {
            if (sameFile(output->path, patch.path)) return {WriteOutcome::OutputIsInput, output};
        }
    }
    if (sameFile(project.outputRom.path, project.outputIps.path)) return {WriteOutcome::OutputIsInput, &project.outputIps};

    for (const ProjectPath* output : {&project.outputRom, &project.outputIps}) {
        std::error_code error;
        const fs::path folder = output->path.parent_path();
        if (!folder.empty()) fs::create_directories(folder, error);
        if (error) return {WriteOutcome::CannotWrite, output};
    }
    const auto previousRom = core::ReadWholeFile(project.outputRom.path);
    if (!core::WriteFileSafely(project.outputRom.path, build.rom)) return {WriteOutcome::CannotWrite, &project.outputRom};
    if (!core::WriteFileSafely(project.outputIps.path, build.ips)) {
        // Keep the two outputs matching: the old ROM back, or none where there was none.
        std::error_code error;
        if (previousRom) {
            (void)core::WriteFileSafely(project.outputRom.path, *previousRom);
        } else {
            fs::remove(project.outputRom.path, error);
        }
        return {WriteOutcome::CannotWrite, &project.outputIps};
    }
    return {};
}

}  // namespace corv::project
