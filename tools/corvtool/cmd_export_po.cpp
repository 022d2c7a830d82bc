// corvtool export-po PROJECT [--block ADDRESS] [--language CODE] [--template] OUT_DIR: one PO file
// per listed block (or the one named) for translation tools: a message per text string, the game
// string as msgid, the script's translation as msgstr; with --template a .pot of each with every
// msgstr empty. The header says the language (--language, or the project's language key) and, as
// the revision date, when the block's script was last changed.

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <ostream>

#include "core/printable_text.h"
#include "core/save_failure_text.h"
#include "project/po_exchange.h"
#include "script/script_file.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/po_report.h"
#include "tools/corvtool/project_argument.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

// "2026-12-10 11:55+0000": when `file` was last changed, in UTC; empty when it cannot be told.
std::string revisionDate(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return {};
    std::tm utc{};
    if (!::gmtime_r(&info.st_mtime, &utc)) return {};
    char text[32];
    return std::strftime(text, sizeof text, "%Y-%m-%d %H:%M+0000", &utc) ? text : std::string();
}

int runExportPo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> rest;
    std::optional<uint32_t> only;
    std::optional<std::string> language;
    bool isTemplate = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--block" && i + 1 < args.size()) {
            uint32_t address = 0;
            if (!ParseAddressArgument(args[++i], "export-po", err, address)) return kExitUsage;
            only = address;
        } else if (args[i] == "--language") {
            if (i + 1 >= args.size() || !project::IsLanguageCode(args[i + 1])) {
                err << "corvtool export-po: --language needs a language code such as de or pt_BR\n";
                return kExitUsage;
            }
            language = args[++i];
        } else if (args[i] == "--template") {
            isTemplate = true;
        } else if (args[i].starts_with("--")) {
            err << "corvtool export-po: unknown option " << args[i] << '\n';
            return kExitUsage;
        } else {
            rest.push_back(args[i]);
        }
    }
    if (rest.size() != 2) {
        err << "corvtool export-po: expected PROJECT [--block ADDRESS] [--language CODE] [--template] OUT_DIR\n";
        return kExitUsage;
    }
    auto opened = OpenProject(rest[0], "export-po", err);
    if (!opened) return kExitBadInput;
    const auto& blocks = opened->inputs->dataFile.blocks;
    std::vector<size_t> chosen;
    if (only) {
        const auto index = script::ListedBlockIndex(blocks, *only);
        if (!index) {
            FileError(err, "export-po", opened->file.dataFile.path.string())
                << "no .BLOCK line names the address " << HexWord(*only) << '\n';
            return kExitBadInput;
        }
        chosen.push_back(*index);
    } else {
        for (size_t i = 0; i < blocks.size(); ++i) chosen.push_back(i);
    }
    // Everything is worked out before the first file is written.
    std::vector<project::BlockPo> files;
    for (const size_t index : chosen) {
        files.push_back(project::ExportBlockPo(opened->file, *opened->inputs, index));
        if (files.back().problem) {
            FileError(err, "export-po", opened->file.rom.path.string())
                << "the block " << HexWord(files.back().address) << " cannot be read; nothing written\n";
            return kExitBadInput;
        }
        // A PO file that import-po would refuse is not written: the entry is named instead.
        if (const auto& entry = files.back().unexportable) {
            const fs::path script = script::ScriptPathFor(opened->file.scripts.path, files.back().address);
            FileError(err, "export-po", core::EscapeControlCharacters(script.string()) + ":" +
                                            std::to_string(entry->scriptLine))
                << "string " << entry->string << ": " << UnexportableText(entry->check) << "; nothing written\n";
            return kExitBadInput;
        }
    }
    const fs::path folder = rest[1];
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        FileError(err, "export-po", folder.string()) << "cannot create this folder: " << error.message() << '\n';
        return kExitBadInput;
    }
    // Every file is formatted before the first is written, so a fault in one writes none; a
    // file the disk refuses stops the export there.
    std::vector<std::string> texts;
    std::vector<fs::path> paths;
    for (const project::BlockPo& po : files) {
        const fs::path script = script::ScriptPathFor(opened->file.scripts.path, po.address);
        std::error_code missing;
        project::PoHeader header;
        header.language = language.value_or(opened->file.language);
        header.revisionDate = revisionDate(fs::exists(script, missing) ? script : opened->file.file);
        header.isTemplate = isTemplate;
        texts.push_back(project::FormatPoFile(po.messages, header));
        paths.push_back(project::PoPathFor(folder, po.address, isTemplate));
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const std::span bytes(reinterpret_cast<const uint8_t*>(texts[i].data()), texts[i].size());
        if (const core::SaveResult saved = core::WriteFileSafely(paths[i], bytes); !saved) {
            FileError(err, "export-po", paths[i].string()) << "cannot write this file: " << core::SaveFailureReason(saved)
                                                           << " (" << i << " of " << files.size() << " written)\n";
            return kExitBadInput;
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        size_t translated = 0;
        for (const project::PoMessage& message : files[i].messages) {
            translated += message.str.empty() || isTemplate ? 0 : 1;
        }
        out << paths[i].string() << ": " << files[i].messages.size() << " message(s), " << translated
            << " translated\n";
    }
    return kExitOk;
}

}  // namespace

extern const Command kExportPoCommand{
    "export-po", "PROJECT [--block ADDRESS] [--language CODE] [--template] OUT_DIR",
    "write one UTF-8 PO file per block (or the block at ADDRESS) into OUT_DIR for translation tools: the game "
    "string as msgid, the script's translation as msgstr, notes on the codes to keep and the box; the header "
    "names the language (--language CODE, or the project key language) and every field msgfmt --check wants; "
    "--template writes .pot templates with every msgstr empty",
    runExportPo};

}  // namespace corv::tool
