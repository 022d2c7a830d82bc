#include "project/build_outputs.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "core/file_read.h"
#include "core/rom_image.h"
#include "project/project_build.h"
#include "project/project_lock.h"
#include "project/release_files.h"
#include "script/script_file.h"

namespace corv::project {
namespace {

namespace fs = std::filesystem;

// An IPS patch reaches 16 MiB of offsets, a ROM is at most 8 MiB; nothing the build writes is
// larger than this.
constexpr uint64_t kLargestOutput = 64ull * 1024 * 1024;
// A line per output, the release's files among them, each with its path.
constexpr uint64_t kLargestRecord = 64 * 1024;

// FNV-1a: the record must read the same on every machine and with every compiler.
uint64_t checksum(std::span<const uint8_t> bytes) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001B3ull;
    return hash;
}

// One file the build writes: the key that names it, its bytes, where they go, and its record name.
struct Output {
    const ProjectPath* named = nullptr;
    std::span<const uint8_t> bytes;
    const char* kind = "";
    WriteTarget* target = nullptr;
};

std::vector<Output> outputsOf(const ProjectFile& project, const BuildResult& build, const ReleaseFiles* release,
                              WriteResult& result) {
    std::vector<Output> outputs = {{&project.outputRom, build.rom, "rom", &result.rom}};
    if (project.writesIps) outputs.push_back({&project.outputIps, build.ips, "ips", &result.ips});
    if (project.writesBps) outputs.push_back({&project.outputBps, build.bps, "bps", &result.bps});
    if (release) {
        result.release.resize(release->files.size());
        for (size_t k = 0; k < release->files.size(); ++k) {
            outputs.push_back({&release->files[k].path, release->files[k].bytes, "release", &result.release[k]});
        }
    }
    return outputs;
}

std::string relativeName(const ProjectFile& project, const fs::path& path) {
    return path.lexically_relative(project.directory).generic_string();
}

std::string recordText(const ProjectFile& project, std::span<const Output> outputs) {
    std::string text = "# The outputs of the last build, written by it once all were in place; status and the next\n"
                       "# build compare them with it.\n";
    for (const Output& output : outputs) {
        char figures[64];
        std::snprintf(figures, sizeof figures, "%s %zu %016llX ", output.kind, output.bytes.size(),
                      static_cast<unsigned long long>(checksum(output.bytes)));
        text += figures + relativeName(project, output.named->path) + "\n";
    }
    return text;
}

struct RecordedOutput {
    std::string kind;
    uint64_t size = 0;
    uint64_t sum = 0;
    std::string path;
};

std::optional<std::vector<RecordedOutput>> readRecord(const fs::path& file) {
    const core::FileRead read = core::ReadBoundedFile(file, kLargestRecord);
    if (read.status != core::FileReadStatus::Read) return std::nullopt;
    std::istringstream in(std::string(read.bytes.begin(), read.bytes.end()));
    std::vector<RecordedOutput> outputs;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        char kind[8] = {};
        unsigned long long size = 0, sum = 0;
        int used = 0;
        if (std::sscanf(line.c_str(), "%7s %llu %llx %n", kind, &size, &sum, &used) != 3 || used <= 0) return std::nullopt;
        const std::string_view name(kind);
        if (name != "rom" && name != "ips" && name != "bps" && name != "release") return std::nullopt;
        outputs.push_back({std::string(name), size, sum, line.substr(size_t(used))});
    }
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

// A file in the release folder that the release does not write (its own leftovers of killed
// saves aside, which the saves remove); std::nullopt when there is none or no folder yet.
std::optional<fs::path> strayInRelease(std::span<const WriteTarget> files) {
    if (files.empty()) return std::nullopt;
    const fs::path folder = files.front().path.parent_path();
    std::error_code error;
    if (!fs::exists(folder, error)) return std::nullopt;
    fs::directory_iterator entries(folder, error);
    if (error) return folder;
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        const bool own = std::any_of(files.begin(), files.end(), [&](const WriteTarget& file) {
            return file.path.parent_path() == folder &&
                   (name == file.path.filename().string() || name.starts_with(core::TemporaryPrefixOf(file.path)));
        });
        if (!own) return entry.path();
    }
    return std::nullopt;
}

}  // namespace

fs::path OutputsRecordFile(const fs::path& directory) { return directory / kOutputsRecordName; }

WriteResult WriteBuildOutputs(const ProjectFile& project, const BuildResult& build, const OutputWriteOptions& options) {
    WriteResult result;
    const std::vector<Output> outputs = outputsOf(project, build, options.release, result);
    const auto refused = [&](WriteOutcome outcome, const Output& output) {
        WriteResult refusal;
        refusal.outcome = outcome;
        refusal.failed = output.named;
        return refusal;
    };
    for (const Output& output : outputs) {
        auto checked = CheckWritePath(project, *output.named, output.named->path, options.allowOutside);
        if (auto* error = std::get_if<ProjectError>(&checked)) {
            WriteResult refusal = refused(WriteOutcome::PathNotAllowed, output);
            refusal.pathError = std::move(*error);
            return refusal;
        }
        *output.target = std::get<WriteTarget>(checked);
    }
    const std::vector<fs::path> inputs = filesNoOutputMayBe(project, build);
    for (size_t k = 0; k < outputs.size(); ++k) {
        for (const fs::path& input : inputs) {
            if (sameTarget(outputs[k].target->path, input)) return refused(WriteOutcome::OutputIsInput, outputs[k]);
        }
        for (size_t j = 0; j < k; ++j) {
            if (sameTarget(outputs[k].target->path, outputs[j].target->path)) {
                return refused(WriteOutcome::OutputIsInput, outputs[k]);
            }
        }
    }
    for (const Output& output : outputs) {
        if (!isPlainOrMissing(output.target->path)) return refused(WriteOutcome::NotAPlainFile, output);
    }
    if (options.release) {
        if (auto stray = strayInRelease(result.release)) {
            WriteResult refusal = refused(WriteOutcome::ReleaseNotEmpty, outputs.back());
            refusal.stray = std::move(*stray);
            return refusal;
        }
    }

    MadeFolders folders;
    for (const Output& output : outputs) {
        if (!folders.make(output.target->path.parent_path())) {
            folders.removeAll();
            return refused(WriteOutcome::CannotWrite, output);
        }
    }
    core::SaveOptions saveOptions;
    saveOptions.refuseStreams = true;
    saveOptions.leftoversBefore = options.lockedAt;
    saveOptions.hook = options.hook;
    // The files renamed so far, with what they held before, to put back should a later one fail.
    std::vector<std::pair<fs::path, core::FileRead>> renamed;
    std::vector<core::PreparedSave> saves;
    const auto failed = [&](const Output& output, const core::SaveResult& save) {
        // The temporary files go first, so that the folders made for them are empty again.
        for (core::PreparedSave& prepared : saves) prepared.abandon();
        for (auto it = renamed.rbegin(); it != renamed.rend(); ++it) {
            std::error_code error;
            if (it->second.status == core::FileReadStatus::Read) {
                (void)core::WriteFileSafely(it->first, it->second.bytes);
            } else {
                fs::remove(it->first, error);
            }
        }
        folders.removeAll();
        WriteResult failure = refused(WriteOutcome::CannotWrite, output);
        failure.save = save;
        return failure;
    };
    for (const Output& output : outputs) {
        saves.push_back(core::PreparedSave::prepare(output.target->path, output.bytes, saveOptions));
        if (!saves.back().ready()) return failed(output, saves.back().result());
    }
    for (size_t k = 0; k < outputs.size(); ++k) {
        core::FileRead previous = core::ReadBoundedFile(outputs[k].target->path, kLargestOutput);
        const core::SaveResult saved = saves[k].commit();
        // Only the folder's sync failed: the file is in place, and is put back with the others.
        if (!saved && !saved.replaced) return failed(outputs[k], saved);
        renamed.emplace_back(outputs[k].target->path, std::move(previous));
    }
    const std::string record = recordText(project, outputs);
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
    struct Expected {
        const char* kind;
        const ProjectPath* path;
    };
    std::vector<Expected> expected = {{"rom", &project.outputRom}};
    if (project.writesIps) expected.push_back({"ips", &project.outputIps});
    if (project.writesBps) expected.push_back({"bps", &project.outputBps});
    // A record of other outputs (the project file names new ones) says nothing of these.
    const size_t ownLines = size_t(std::count_if(record->begin(), record->end(),
                                                 [](const RecordedOutput& line) { return line.kind != "release"; }));
    if (ownLines != expected.size()) return {};
    std::vector<const RecordedOutput*> lines;
    for (const Expected& output : expected) {
        const auto found = std::find_if(record->begin(), record->end(), [&](const RecordedOutput& line) {
            return line.kind == output.kind && line.path == relativeName(project, output.path->path);
        });
        if (found == record->end()) return {};
        lines.push_back(&*found);
    }
    const auto matches = [&](const fs::path& file, const RecordedOutput& line) {
        const core::FileRead read = core::ReadBoundedFile(file, kLargestOutput);
        return read.status == core::FileReadStatus::Read && read.bytes.size() == line.size &&
               checksum(read.bytes) == line.sum;
    };
    for (size_t k = 0; k < expected.size(); ++k) {
        if (!matches(expected[k].path->path, *lines[k])) {
            return {OutputsState::Incomplete, expected[k].path, expected[k].path->path};
        }
    }
    for (const RecordedOutput& line : *record) {
        if (line.kind != "release") continue;
        const fs::path file = project.directory / line.path;
        std::error_code error;
        if (!fs::is_directory(file.parent_path(), error)) continue;
        if (!matches(file, line)) return {OutputsState::Incomplete, nullptr, file};
    }
    return {OutputsState::Whole, nullptr, {}};
}

}  // namespace corv::project
