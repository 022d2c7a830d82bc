// corvtool wrap ROM DATAFILE ADDRESS SCRIPT [--reflow] [--force], and wrap PROJECT [--block
// ADDRESS] [--reflow] [--allow-outside]: breaks the text of every entry of the scripts at
// spaces so that it fits the block's box, pages ended with the page break (check/box_wrap.h).
// The project form wraps as its [wrap] table says and writes every changed script or none,
// under the project's lock. A script that wrapping leaves as it is is not written.

#include <filesystem>
#include <map>
#include <ostream>

#include "check/script_wrap.h"
#include "core/printable_text.h"
#include "core/save_failure_text.h"
#include "project/script_writes.h"
#include "project/write_paths.h"
#include "script/script_file.h"
#include "tools/corvtool/check_inputs.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/project_argument.h"
#include "tools/corvtool/project_options.h"
#include "tools/corvtool/project_report.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

struct WrapArguments {
    std::vector<std::string> files;
    std::optional<uint32_t> block;
    bool reflow = false;
    bool force = false;
    bool allowOutside = false;
};

// The strings of one script that the wrap cut or left alone, one line each.
void reportEntries(std::ostream& err, const std::string& script, const check::ScriptWrap& wrapped) {
    for (const unsigned string : wrapped.cutEntries) {
        FileError(err, "wrap", script) << "warning: string " << string
                                       << ": a word is wider than the box on its own and was cut between two characters\n";
    }
    for (const unsigned string : wrapped.keptEntries) {
        FileError(err, "wrap", script) << "warning: string " << string
                                       << ": left as it is, since a wrapped row would read as a \".STRING\" or \".ENDS\" line\n";
    }
}

int wrapOneScript(const WrapArguments& args, std::ostream& out, std::ostream& err) {
    uint32_t address = 0;
    if (!ParseAddressArgument(args.files[2], "wrap", err, address)) return kExitUsage;
    CheckInputs inputs;
    if (!LoadRomAndDataFile(inputs, args.files[0], args.files[1], "wrap", err) || !LoadBlock(inputs, address, "wrap", err)) {
        return kExitBadInput;
    }
    const std::string& path = args.files[3];
    const auto text = script::LoadScriptFile(path);
    if (!text) {
        FileError(err, "wrap", core::EscapeControlCharacters(path)) << "cannot read this script file\n";
        return kExitBadInput;
    }
    if (const auto owner = ScriptOfOtherBlock(path, inputs.dataFile.blocks, address); owner && !args.force) {
        ReportScriptOfOtherBlock(err, "wrap", path, *owner, inputs.block->info.blockAddress);
        return kExitBadInput;
    }
    check::WrapOptions options;
    options.reflow = args.reflow;
    check::BoxWrapper wrapper(BoxOf(inputs.dataFile), options);
    const check::ScriptWrap wrapped = check::WrapScript(*text, wrapper);
    reportEntries(err, core::EscapeControlCharacters(path), wrapped);
    if (wrapped.text != *text) {
        const core::SaveResult saved = script::SaveScriptFile(path, wrapped.text);
        if (!saved.ok()) {
            FileError(err, "wrap", core::EscapeControlCharacters(path))
                << "cannot write this file: " << core::SaveFailureReason(saved) << "; it is as it was\n";
            return kExitBadInput;
        }
    }
    out << core::EscapeControlCharacters(path) << ": " << wrapped.entriesChanged << " entries changed\n";
    return kExitOk;
}

int wrapProject(const WrapArguments& args, std::ostream& out, std::ostream& err) {
    const auto lock = LockProjectOf(args.files[0], "wrap", err);
    if (!lock) return kExitBadInput;
    auto opened = OpenProject(args.files[0], "wrap", err);
    if (!opened) return kExitBadInput;
    const project::ProjectFile& project = opened->file;
    const auto& blocks = opened->inputs->dataFile.blocks;
    std::vector<size_t> chosen;
    if (args.block) {
        const auto index = script::ListedBlockIndex(blocks, *args.block);
        if (!index) {
            FileError(err, "wrap", project.dataFile.path.string()) << "no .BLOCK line names the address " << HexWord(*args.block) << '\n';
            return kExitBadInput;
        }
        chosen.push_back(*index);
    } else {
        for (size_t i = 0; i < blocks.size(); ++i) chosen.push_back(i);
    }
    check::WrapOptions options = project.wrap;
    options.reflow = args.reflow;
    check::BoxWrapper wrapper(check::BoxOfDataFile(opened->inputs->dataFile), options, opened->inputs->table.characterMap());
    std::map<fs::path, std::string> changed;
    std::map<fs::path, unsigned> entries;
    unsigned total = 0;
    for (const size_t index : chosen) {
        const fs::path path = script::ScriptPathFor(project.scripts.path, blocks[index].address);
        std::error_code error;
        if (!fs::exists(fs::symlink_status(path, error))) continue;  // a block nobody has translated yet
        const std::string shown = core::EscapeControlCharacters(path.string());
        const auto text = script::LoadScriptFile(path);
        if (!text) {
            FileError(err, "wrap", shown) << "cannot read this script file; nothing was written\n";
            return kExitBadInput;
        }
        const check::ScriptWrap wrapped = check::WrapScript(*text, wrapper);
        reportEntries(err, shown, wrapped);
        if (wrapped.text == *text) continue;
        auto allowed = project::CheckWritePath(project, project.scripts, path, project::MayWriteOutside(project, args.allowOutside));
        if (const auto* refused = std::get_if<project::ProjectError>(&allowed)) {
            PrintProjectError(err, "wrap", project.file, *refused);
            err << "corvtool wrap: nothing was written\n";
            return kExitBadInput;
        }
        changed[path] = wrapped.text;
        entries[path] = wrapped.entriesChanged;
        total += wrapped.entriesChanged;
    }
    core::SaveOptions saveOptions;
    if (lock->held()) saveOptions.leftoversBefore = lock->lockedAt();
    const project::ScriptWritesResult written = project::WriteScriptsTogether(changed, saveOptions);
    if (!written.written) {
        PrintScriptWritesFailed(err, "wrap", written);
        return kExitBadInput;
    }
    for (const auto& [path, count] : entries) out << core::EscapeControlCharacters(path.string()) << ": " << count << " entries changed\n";
    out << total << " entries changed in " << changed.size() << " script file(s)\n";
    return kExitOk;
}

int runWrap(const std::vector<std::string>& list, std::ostream& out, std::ostream& err) {
    WrapArguments args;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& arg = list[i];
        if (arg == "--reflow") {
            args.reflow = true;
        } else if (arg == kForceOption) {
            args.force = true;
        } else if (arg == kAllowOutsideOption) {
            args.allowOutside = true;
        } else if (arg == "--block" && i + 1 < list.size()) {
            uint32_t address = 0;
            if (!ParseAddressArgument(list[++i], "wrap", err, address)) return kExitUsage;
            args.block = address;
        } else if (arg.starts_with("--")) {
            err << "corvtool wrap: unknown option " << arg << '\n';
            return kExitUsage;
        } else {
            args.files.push_back(arg);
        }
    }
    const bool projectForm = args.files.size() == 1 && !args.force;
    const bool scriptForm = args.files.size() == 4 && !args.block && !args.allowOutside;
    if (!projectForm && !scriptForm) {
        err << "corvtool wrap: expected ROM DATAFILE ADDRESS SCRIPT [--reflow] [--force], or PROJECT [--block ADDRESS] "
               "[--reflow] [--allow-outside]\n";
        return kExitUsage;
    }
    return projectForm ? wrapProject(args, out, err) : wrapOneScript(args, out, err);
}

}  // namespace

extern const Command kWrapCommand{
    "wrap", "(ROM DATAFILE ADDRESS SCRIPT | PROJECT [--block ADDRESS]) [--reflow] [--force] [--allow-outside]",
    "break the text of every entry of SCRIPT (or of every script of the project, or of the block at ADDRESS) at "
    "spaces so that no line is drawn wider than the block's box, and end each full page with [Key][ClrWin] (the "
    "project's [wrap] table sets the page break and the width of the player's name); lines broken by hand stay "
    "broken unless --reflow; prints how many entries changed; a project's scripts are written all or none",
    runWrap};

}  // namespace corv::tool
