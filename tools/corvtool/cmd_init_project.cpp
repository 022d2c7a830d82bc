// corvtool init-project DIR --rom ROM --data-file DATAFILE --table TABLE: writes a commented
// corvane-project.toml into DIR (paths relative to it) and the skeleton script of every listed
// block that has none yet. An existing project file is never replaced.

#include <filesystem>
#include <ostream>

#include "project/project_file.h"
#include "script/script_file.h"
#include "tools/corvtool/check_inputs.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

constexpr char kUsage[] = "DIR --rom ROM --data-file DATAFILE --table TABLE";

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
    std::error_code error;
    if (fs::exists(projectPath, error)) {
        FileError(err, "init-project", projectPath.string()) << "a project file is already there; nothing written\n";
        return kExitBadInput;
    }
    CheckInputs inputs;
    if (!LoadRomAndDataFile(inputs, rom, dataFile, "init-project", err) ||
        !LoadTable(inputs, table, "init-project", err)) {
        return kExitBadInput;
    }
    fs::create_directories(dir / project::kDefaultScriptsFolder, error);
    if (error) {
        FileError(err, "init-project", dir.string()) << "cannot create this folder: " << error.message() << '\n';
        return kExitBadInput;
    }

    project::ProjectFileSettings settings;
    settings.rom = relativeTo(dir, rom);
    settings.dataFile = relativeTo(dir, dataFile);
    settings.table = relativeTo(dir, table);
    const fs::path romName = fs::path(rom).filename();
    settings.outputRom = "build/" + romName.stem().string() + "-translated" + romName.extension().string();
    settings.outputIps = "build/" + romName.stem().string() + "-translated.ips";

    size_t skeletons = 0;
    for (const script::BlockEntry& entry : inputs.dataFile.blocks) {
        const fs::path scriptPath = script::ScriptPathFor(dir / project::kDefaultScriptsFolder, entry.address);
        if (fs::exists(scriptPath, error)) continue;
        const script::TextBlockLoad load = script::LoadTextBlock(inputs.rom.data(), inputs.dataFile.blocks, entry.address);
        if (!load.block) {
            err << "corvtool init-project: block " << HexWord(entry.address)
                << " cannot be read from the ROM; no skeleton written for it\n";
            continue;
        }
        if (!script::SaveScriptFile(scriptPath, script::ScriptSkeleton(load.block->info.stringCount))) {
            FileError(err, "init-project", scriptPath.string()) << "cannot write this file\n";
            return kExitBadInput;
        }
        ++skeletons;
    }
    const std::string text = project::ProjectFileText(settings);
    if (!core::WriteFileSafely(projectPath, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()))) {
        FileError(err, "init-project", projectPath.string()) << "cannot write this file\n";
        return kExitBadInput;
    }
    out << projectPath.string() << '\n'
        << (dir / project::kDefaultScriptsFolder).string() << ": " << skeletons << " skeleton script(s) written\n";
    return kExitOk;
}

}  // namespace

extern const Command kInitProjectCommand{
    "init-project", kUsage,
    "write a commented project file corvane-project.toml into DIR (paths relative to it) and a skeleton script "
    "in DIR/Dumps for every listed block that has none yet; an existing project file is never replaced",
    runInitProject};

}  // namespace corv::tool
