// corvtool init-project DIR --rom ROM --data-file DATAFILE --table TABLE: writes a commented
// corvane-project.toml into DIR (paths relative to it), the skeleton script of every listed
// block that has none yet and, when DIR has none, a .gitignore. An existing project file is
// never replaced, and no link in DIR leads a write out of it.

#include <filesystem>
#include <ostream>

#include "core/path_resolve.h"
#include "core/printable_text.h"
#include "project/project_file.h"
#include "project/project_lock.h"
#include "script/script_file.h"
#include "tools/corvtool/check_inputs.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

constexpr char kUsage[] = "DIR --rom ROM --data-file DATAFILE --table TABLE";
constexpr char kIgnoreFileName[] = ".gitignore";
constexpr std::string_view kIgnoreFileText =
    "# Written by corvtool init-project. The project's lock and the record of the last build are the\n"
    "# tools' own; the build's outputs hold the whole game, which a shared repository must not.\n"
    "/.corvane-project.lock\n"
    "/.corvane-outputs\n"
    "/build/\n";

std::span<const uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string relativeTo(const fs::path& dir, const std::string& file) {
    std::error_code error;
    const fs::path relative = fs::proximate(fs::absolute(file, error), fs::absolute(dir, error), error);
    return (error ? fs::path(file) : relative).generic_string();
}

bool takeOption(const std::vector<std::string>& args, size_t& i, std::string_view name, std::string& value) {
    if (args[i] != name || i + 1 >= args.size()) return false;
    value = args[++i];
    return true;
}

int runInitProject(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string dirArgument, rom, dataFile, table;
    for (size_t i = 0; i < args.size(); ++i) {
        if (takeOption(args, i, "--rom", rom) || takeOption(args, i, "--data-file", dataFile) ||
            takeOption(args, i, "--table", table)) {
            continue;
        }
        if (args[i].starts_with("--") || !dirArgument.empty()) {
            err << "corvtool init-project: expected " << kUsage << '\n';
            return kExitUsage;
        }
        dirArgument = args[i];
    }
    if (dirArgument.empty() || rom.empty() || dataFile.empty() || table.empty()) {
        err << "corvtool init-project: expected " << kUsage << '\n';
        return kExitUsage;
    }
    const fs::path dir = dirArgument;
    const fs::path projectPath = dir / project::kProjectFileName;
    const fs::path scriptsFolder = dir / project::kDefaultScriptsFolder;
    const fs::path ignorePath = dir / kIgnoreFileName;
    std::error_code error;
    const auto taken = [&](const fs::path& path) { return fs::exists(fs::symlink_status(path, error)); };
    if (taken(projectPath)) {
        FileError(err, "init-project", projectPath.string()) << "a project file is already there; nothing written\n";
        return kExitBadInput;
    }
    CheckInputs inputs;
    if (!LoadRomAndDataFile(inputs, rom, dataFile, "init-project", err) ||
        !LoadTable(inputs, table, "init-project", err)) {
        return kExitBadInput;
    }

    // Every file written, and the scripts folder, must lie in DIR once links are followed:
    // a link in a folder someone else filled must not carry the skeletons elsewhere.
    const core::ResolvedPath root = core::ResolveThroughLinks(dir);
    const auto staysInside = [&](const fs::path& path) {
        const core::ResolvedPath resolved = core::ResolveThroughLinks(path);
        if (root.status == core::PathResolveStatus::Resolved && resolved.status == core::PathResolveStatus::Resolved &&
            core::LiesInside(resolved.path, root.path)) {
            return true;
        }
        FileError(err, "init-project", core::EscapeControlCharacters(path.string()))
            << (resolved.status == core::PathResolveStatus::Resolved
                    ? "leads to " + core::EscapeControlCharacters(resolved.path.string()) + ", outside " +
                          core::EscapeControlCharacters(dir.string())
                    : std::string("cannot tell where this path leads (a loop of symbolic links)"))
            << "; nothing written\n";
        return false;
    };
    std::vector<std::pair<fs::path, unsigned>> skeletons;  // script path, string count
    for (const fs::path& path : {projectPath, scriptsFolder, ignorePath}) {
        if (!staysInside(path)) return kExitBadInput;
    }
    for (const script::BlockEntry& entry : inputs.dataFile.blocks) {
        const fs::path scriptPath = script::ScriptPathFor(scriptsFolder, entry.address);
        // A script already there is kept, but one that leads out of DIR is named now.
        if (!staysInside(scriptPath)) return kExitBadInput;
        if (taken(scriptPath)) continue;
        const script::TextBlockLoad load = script::LoadTextBlock(inputs.rom.data(), inputs.dataFile.blocks, entry.address);
        if (!load.block) {
            err << "corvtool init-project: block " << HexWord(entry.address)
                << " cannot be read from the ROM; no skeleton written for it\n";
            continue;
        }
        skeletons.emplace_back(scriptPath, load.block->info.stringCount);
    }

    fs::create_directories(scriptsFolder, error);
    if (error) {
        FileError(err, "init-project", dir.string()) << "cannot create this folder: " << error.message() << '\n';
        return kExitBadInput;
    }
    // The project's lock, which every command that writes its scripts takes as well.
    const long seconds = LockWaitSeconds();
    const auto lock = LockOrReport(project::LockProject(dir, std::chrono::seconds(seconds)), "init-project",
                                   project::ProjectLockFile(dir).string(), "project", seconds, err);
    if (!lock) return kExitBadInput;

    project::ProjectFileSettings settings;
    settings.rom = relativeTo(dir, rom);
    settings.dataFile = relativeTo(dir, dataFile);
    settings.table = relativeTo(dir, table);
    const fs::path romName = fs::path(rom).filename();
    settings.outputRom = "build/" + romName.stem().string() + "-translated" + romName.extension().string();
    settings.outputIps = "build/" + romName.stem().string() + "-translated.ips";

    core::SaveOptions options;
    if (lock->held()) options.leftoversBefore = lock->lockedAt();
    for (const auto& [scriptPath, strings] : skeletons) {
        const std::string bytes = script::ScriptFileBytes(script::ProjectScriptSkeleton(strings));
        if (!core::WriteFileSafely(scriptPath, asBytes(bytes), options)) {
            FileError(err, "init-project", scriptPath.string()) << "cannot write this file\n";
            return kExitBadInput;
        }
    }
    const std::string text = project::ProjectFileText(settings);
    if (!core::WriteFileSafely(projectPath, asBytes(text), options)) {
        FileError(err, "init-project", projectPath.string()) << "cannot write this file\n";
        return kExitBadInput;
    }
    // A repository shared by a team keeps none of the tools' own files, nor the translated ROM.
    if (!taken(ignorePath) && !core::WriteFileSafely(ignorePath, asBytes(kIgnoreFileText), options)) {
        FileError(err, "init-project", ignorePath.string()) << "cannot write this file\n";
        return kExitBadInput;
    }
    out << projectPath.string() << '\n'
        << scriptsFolder.string() << ": " << skeletons.size() << " skeleton script(s) written\n";
    return kExitOk;
}

}  // namespace

extern const Command kInitProjectCommand{
    "init-project", kUsage,
    "write a commented project file corvane-project.toml into DIR (paths relative to it), a skeleton script "
    "in DIR/Dumps for every listed block that has none yet and a .gitignore when DIR has none; an existing project "
    "file is never replaced, and nothing is written through a link that leads out of DIR",
    runInitProject};

}  // namespace corv::tool
