// corvtool import-po PROJECT PO... [--fuzzy] [--wrap] [--allow-outside]: puts the translations of PO files
// back into the project's script files. Entries the PO files do not translate stay as they are;
// fuzzy ones only with --fuzzy. A translation is text, never structure: anything a script cannot
// hold as an entry's text refuses the whole import, and every changed script is written or none.

#include <optional>
#include <ostream>

#include "core/printable_text.h"
#include "project/po_exchange.h"
#include "project/script_writes.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/po_report.h"
#include "tools/corvtool/project_argument.h"
#include "tools/corvtool/project_options.h"
#include "tools/corvtool/project_report.h"
#include "tools/corvtool/rom_argument.h"
#include "tools/corvtool/substitutions_argument.h"

namespace corv::tool {
namespace {

int runImportPo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> rest;
    bool fuzzy = false;
    bool allowOutside = false;
    std::optional<std::string> substitutionsFile;
    std::vector<std::string> given = args;
    if (!TakeSubstitutionsOption(given, substitutionsFile, "import-po", err)) return kExitUsage;
    bool wrap = false;
    for (const std::string& arg : given) {
        if (arg == "--fuzzy") {
            fuzzy = true;
        } else if (arg == "--wrap") {
            wrap = true;
        } else if (arg == kAllowOutsideOption) {
            allowOutside = true;
        } else if (arg.starts_with("--")) {
            err << "corvtool import-po: unknown option " << arg << '\n';
            return kExitUsage;
        } else {
            rest.push_back(arg);
        }
    }
    if (rest.size() < 2) {
        err << "corvtool import-po: expected PROJECT PO... [--fuzzy] [--wrap] [--allow-outside] [--substitutions FILE]\n";
        return kExitUsage;
    }
    // Held from before the scripts are read until they are written: two imports into one
    // script run one after the other, and neither loses the other's translations.
    const auto lock = LockProjectOf(rest[0], "import-po", err);
    if (!lock) return kExitBadInput;
    auto opened = OpenProject(rest[0], "import-po", err);
    if (!opened) return kExitBadInput;
    const std::vector<std::filesystem::path> files(rest.begin() + 1, rest.end());
    project::ProjectFile project = opened->file;
    if (substitutionsFile) {
        // The file's pairs are added to the project's own; the file wins for a character both list.
        const auto loaded = LoadSubstitutionsArgument(*substitutionsFile, "import-po", err);
        if (!loaded) return kExitBadInput;
        project.substitutions.merge(*loaded);
    }
    const project::PoImport imported = project::ImportPoFiles(project, *opened->inputs, files, fuzzy, allowOutside, wrap);
    for (const project::PoImportError& warning : imported.warnings) PrintPoImportProblem(err, warning);
    if (!imported.errors.empty()) {
        for (const project::PoImportError& error : imported.errors) PrintPoImportProblem(err, error);
        err << "corvtool import-po: nothing was written\n";
        return kExitBadInput;
    }
    core::SaveOptions options;
    if (lock->held()) options.leftoversBefore = lock->lockedAt();
    const project::ScriptWritesResult written = project::WriteScriptsTogether(imported.scripts, options);
    if (!written.written) {
        PrintScriptWritesFailed(err, "import-po", written);
        return kExitBadInput;
    }
    for (const auto& [path, text] : imported.scripts) out << path.string() << '\n';
    out << imported.imported << " translation(s) imported into " << imported.scripts.size() << " script file(s); "
        << imported.unchanged << " unchanged, " << imported.untranslated << " untranslated, " << imported.fuzzySkipped
        << " fuzzy left out" << (fuzzy ? "" : " (--fuzzy imports them)") << "; " << imported.substituted
        << " character(s) written differently by the substitutions\n";
    return kExitOk;
}

}  // namespace

extern const Command kImportPoCommand{
    "import-po", "PROJECT PO... [--fuzzy] [--wrap] [--allow-outside] [--substitutions FILE]",
    "put the translations of PO files back into the project's script files (Latin-1), all of them or none; "
    "untranslated entries are left as they are, fuzzy ones only with --fuzzy; --wrap wraps each translation to "
    "the box as corvtool wrap does; a translation holding a keyword "
    "line, a character a script cannot hold or more than a block can, a plural entry or a string translated "
    "differently in two files refuses the whole import; --allow-outside lets scripts lead outside the project folder; "
    "the project's [substitutions] (and those of --substitutions FILE) write typographic characters differently first",
    runImportPo};

}  // namespace corv::tool
