// corvtool import-po PROJECT PO... [--fuzzy]: puts the translations of PO files back into the
// project's script files. Entries the PO files do not translate stay as they are; fuzzy ones
// only with --fuzzy. Any character a script cannot hold refuses the whole import.

#include <cstdio>
#include <ostream>

#include "project/po_exchange.h"
#include "script/script_file.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/project_argument.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

std::string codePoint(char32_t character) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
    return text;
}

void printImportError(std::ostream& err, const project::PoImportError& error) {
    err << "corvtool import-po: " << error.file.string();
    if (error.line > 0) err << ':' << error.line;
    err << ": ";
    if (!error.context.empty()) err << '"' << error.context << "\": ";
    switch (error.problem) {
    case project::PoImportProblem::CannotRead: err << "cannot read this PO file: " << error.detail << '\n'; return;
    case project::PoImportProblem::UnknownString: err << "names no text string of a listed block\n"; return;
    case project::PoImportProblem::BadCharacter:
        err << "the character " << codePoint(error.character)
            << (error.character > 0xFF ? " cannot be written in a script file (Latin-1)\n"
                                       : " is read by the game as a code, not a character\n");
        return;
    case project::PoImportProblem::EntryMissing:
        err << "the script has no closed entry for this string\n";
        return;
    case project::PoImportProblem::ScriptUnreadable: err << "cannot read this script file\n"; return;
    }
}

int runImportPo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> rest;
    bool fuzzy = false;
    for (const std::string& arg : args) {
        if (arg == "--fuzzy") {
            fuzzy = true;
        } else if (arg.starts_with("--")) {
            err << "corvtool import-po: unknown option " << arg << '\n';
            return kExitUsage;
        } else {
            rest.push_back(arg);
        }
    }
    if (rest.size() < 2) {
        err << "corvtool import-po: expected PROJECT PO... [--fuzzy]\n";
        return kExitUsage;
    }
    auto opened = OpenProject(rest[0], "import-po", err);
    if (!opened) return kExitBadInput;
    const std::vector<std::filesystem::path> files(rest.begin() + 1, rest.end());
    const project::PoImport imported = project::ImportPoFiles(opened->file, *opened->inputs, files, fuzzy);
    if (!imported.errors.empty()) {
        for (const project::PoImportError& error : imported.errors) printImportError(err, error);
        err << "corvtool import-po: nothing was written\n";
        return kExitBadInput;
    }
    std::error_code error;
    std::filesystem::create_directories(opened->file.scripts.path, error);
    for (const auto& [path, text] : imported.scripts) {
        if (!script::SaveScriptFile(path, text)) {
            FileError(err, "import-po", path.string()) << "cannot write this file\n";
            return kExitBadInput;
        }
        out << path.string() << '\n';
    }
    out << imported.imported << " translation(s) imported into " << imported.scripts.size() << " script file(s); "
        << imported.unchanged << " unchanged, " << imported.untranslated << " untranslated, " << imported.fuzzySkipped
        << " fuzzy left out" << (fuzzy ? "" : " (--fuzzy imports them)") << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kImportPoCommand{
    "import-po", "PROJECT PO... [--fuzzy]",
    "put the translations of PO files back into the project's script files (Latin-1); untranslated entries are "
    "left as they are, fuzzy ones only with --fuzzy; a character a script cannot hold refuses the whole import",
    runImportPo};

}  // namespace corv::tool
