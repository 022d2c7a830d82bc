#include "project/build_outputs.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "core/file_read.h"
#include "core/rom_image.h"
#include "project/project_build.h"
#include "project/project_lock.h"
#include "script/script_file.h"

namespace corv::project {
namespace {

namespace fs = std::filesystem;

// An IPS patch reaches 16 MiB of offsets; nothing the build writes is larger than this.
constexpr uint64_t kLargestOutput = 64ull * 1024 * 1024;
constexpr uint64_t kLargestRecord = 4096;

// FNV-1a: the record must read the same on every machine and with every compiler.
uint64_t checksum(std::span<const uint8_t> bytes) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001B3ull;
    return hash;
}

std::string recordLine(const char* name, std::span<const uint8_t> bytes, const ProjectFile& project,
                       const ProjectPath& output) {
    char figures[64];
    std::snprintf(figures, sizeof figures, "%s %zu %016llX ", name, bytes.size(),
                  static_cast<unsigned long long>(checksum(bytes)));
    return figures + output.path.lexically_relative(project.directory).generic_string() + "\n";
}

std::string recordText(const ProjectFile& project, const BuildResult& build) {
    return "# The outputs of the last build, written by it once both were in place; status and the next\n"
           "# build compare them with it.\n" +
           recordLine("rom", build.rom, project, project.outputRom) + recordLine("ips", build.ips, project, project.outputIps);
}

struct RecordedOutput {
    uint64_t size = 0;
    uint64_t sum = 0;
    std::string path;
};

std::optional<std::array<RecordedOutput, 2>> readRecord(const fs::path& file) {
    const core::FileRead read = core::ReadBoundedFile(file, kLargestRecord);
    if (read.status != core::FileReadStatus::Read) return std::nullopt;
    std::istringstream in(std::string(read.bytes.begin(), read.bytes.end()));
    std::array<RecordedOutput, 2> outputs;
    std::array<bool, 2> found{};
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        char name[4] = {};
        unsigned long long size = 0, sum = 0;
        int used = 0;
        if (std::sscanf(line.c_str(), "%3s %llu %llx %n", name, &size, &sum, &used) != 3 || used <= 0) return std::nullopt;
        const int slot = std::string_view(name) == "rom" ? 0 : std::string_view(name) == "ips" ? 1 : -1;
        if (slot < 0) return std::nullopt;
        outputs[size_t(slot)] = {size, sum, line.substr(size_t(used))};
        found[size_t(slot)] = true;
    }
    if (!found[0] || !found[1]) return std::nullopt;
    return outputs;
}

bool sameTarget(const fs::path& a, const fs::path& b) {
    if (a == b) return true;
    std::error_code error;
    return fs::exists(a, error) && fs::exists(b, error) && fs::equivalent(a, b, error);
}

// Every file the project reads, and the files of its own that no output may be.
std::vector<fs::path> filesNoOutputMayBe(const ProjectFile& project, const BuildResult& build) {
    std::vector<fs::path> files = {project.file, project.rom.path, project.dataFile.path, project.table.path,
                                   ProjectLockFile(project.directory), OutputsRecordFile(project.directory)};
    for (const ProjectPath& patch : project.patches) files.push_back(patch.path);
    for (const BlockResult& block : build.blocks) files.push_back(script::ScriptPathFor(project.scripts.path, block.address));
    for (fs::path& file : files) {
        const core::ResolvedPath resolved = core::ResolveThroughLinks(file);
        if (resolved.status == core::PathResolveStatus::Resolved) file = resolved.path;
    }
    return files;
}

bool isPlainOrMissing(const fs::path& target) {
    struct stat info {};
    return ::stat(target.c_str(), &info) != 0 || S_ISREG(info.st_mode);
}

// The folders made for the outputs, removed again when nothing is written after all.
class MadeFolders {
public:
    bool make(const fs::path& folder) {
        std::vector<fs::path> missing;
        std::error_code error;
        for (fs::path at = folder; !at.empty() && !fs::exists(at, error); at = at.parent_path()) {
            missing.push_back(at);
            if (at == at.parent_path()) break;
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (!fs::create_directory(*it, error) && error) return false;
            made_.push_back(*it);
        }
        return true;
    }
    void removeAll() {
        std::error_code error;
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) fs::remove(*it, error);  // only when empty
        made_.clear();
    }

private:
    std::vector<fs::path> made_;
};

}  // namespace

fs::path OutputsRecordFile(const fs::path& directory) { return directory / kOutputsRecordName; }

WriteResult WriteBuildOutputs(const ProjectFile& project, const BuildResult& build, const OutputWriteOptions& options) {
    WriteResult result;
    const ProjectPath* outputs[] = {&project.outputRom, &project.outputIps};
    WriteTarget* targets[] = {&result.rom, &result.ips};
    for (size_t k = 0; k < 2; ++k) {
        auto checked = CheckWritePath(project, *outputs[k], outputs[k]->path, options.allowOutside);
        if (auto* error = std::get_if<ProjectError>(&checked)) {
            result.outcome = WriteOutcome::PathNotAllowed;
            result.failed = outputs[k];
            result.pathError = std::move(*error);
            return result;
        }
        *targets[k] = std::get<WriteTarget>(checked);
    }
    const std::vector<fs::path> inputs = filesNoOutputMayBe(project, build);
    for (size_t k = 0; k < 2; ++k) {
        for (const fs::path& input : inputs) {
            if (sameTarget(targets[k]->path, input)) return {WriteOutcome::OutputIsInput, outputs[k], {}, {}, {}, {}};
        }
    }
    if (sameTarget(result.rom.path, result.ips.path)) return {WriteOutcome::OutputIsInput, outputs[1], {}, {}, {}, {}};
    for (size_t k = 0; k < 2; ++k) {
        if (!isPlainOrMissing(targets[k]->path)) return {WriteOutcome::NotAPlainFile, outputs[k], {}, {}, {}, {}};
    }

    MadeFolders folders;
    for (size_t k = 0; k < 2; ++k) {
        if (!folders.make(targets[k]->path.parent_path())) {
            folders.removeAll();
            return {WriteOutcome::CannotWrite, outputs[k], {}, {}, {}, {}};
        }
    }
    core::SaveOptions saveOptions;
    saveOptions.refuseStreams = true;
    saveOptions.leftoversBefore = options.lockedAt;
    const auto failed = [&](const ProjectPath* output, const core::SaveResult& save) {
        folders.removeAll();
        return WriteResult{WriteOutcome::CannotWrite, output, {}, save, {}, {}};
    };
    core::PreparedSave rom = core::PreparedSave::prepare(result.rom.path, build.rom, saveOptions);
    if (!rom.ready()) return failed(outputs[0], rom.result());
    core::PreparedSave ips = core::PreparedSave::prepare(result.ips.path, build.ips, saveOptions);
    if (!ips.ready()) return failed(outputs[1], ips.result());

    // The old ROM, to put back should the patch not follow it.
    const core::FileRead previous = core::ReadBoundedFile(result.rom.path, kLargestOutput);
    if (const core::SaveResult saved = rom.commit(); !saved) {
        if (!saved.replaced) return failed(outputs[0], saved);
    }
    if (const core::SaveResult saved = ips.commit(); !saved && !saved.replaced) {
        std::error_code error;
        if (previous.status == core::FileReadStatus::Read) {
            (void)core::WriteFileSafely(result.rom.path, previous.bytes);
        } else {
            fs::remove(result.rom.path, error);
        }
        return failed(outputs[1], saved);
    }
    const std::string record = recordText(project, build);
    core::SaveOptions recordOptions;
    recordOptions.leftoversBefore = options.lockedAt;
    if (const core::SaveResult saved = core::WriteFileSafely(
            OutputsRecordFile(project.directory),
            std::span(reinterpret_cast<const uint8_t*>(record.data()), record.size()), recordOptions);
        !saved) {
        result.outcome = WriteOutcome::RecordNotWritten;
        result.save = saved;
    }
    return result;
}

OutputsCheck CheckBuildOutputs(const ProjectFile& project) {
    const auto record = readRecord(OutputsRecordFile(project.directory));
    if (!record) return {};
    const ProjectPath* outputs[] = {&project.outputRom, &project.outputIps};
    for (size_t k = 0; k < 2; ++k) {
        // A record of other outputs (the project file names new ones) says nothing of these.
        if ((*record)[k].path != outputs[k]->path.lexically_relative(project.directory).generic_string()) return {};
    }
    for (size_t k = 0; k < 2; ++k) {
        const core::FileRead read = core::ReadBoundedFile(outputs[k]->path, kLargestOutput);
        if (read.status != core::FileReadStatus::Read || read.bytes.size() != (*record)[k].size ||
            checksum(read.bytes) != (*record)[k].sum) {
            return {OutputsState::Incomplete, outputs[k]};
        }
    }
    return {OutputsState::Whole, nullptr};
}

}  // namespace corv::project
