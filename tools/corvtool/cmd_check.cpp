// corvtool check ROM DATAFILE TABLE ADDRESS SCRIPT [--strict] [--json] [--verbose] [--untranslated]
// [--force]: the translation checks of one block before it is inserted. One line per finding
// ("STRING n: ..."; empty translations only with --verbose), the count of strings translated,
// then the block's summary: bytes needed, room, bytes left or over; for a block over or tight, a
// line before the summary gives the same with --maximise. --untranslated lists the numbers of
// the strings not translated yet. A script named after another listed block is refused unless
// --force. Nothing is written.
//
// Exit codes: 0 the block fits and nothing is an error; 1 it does not fit; 2 errors (findings
// that are errors, files that cannot be read, a block that cannot be inserted at all); 3 usage.
// Warnings count as errors with --strict.
//
// corvtool check PROJECT [--json] [--strict] [--verbose] [--jobs N] [--maximise]: the same for
// every block of a project that has a script (project_check.h).

#include <ostream>

#include "tools/corvtool/check_inputs.h"
#include "tools/corvtool/check_report.h"
#include "tools/corvtool/project_check.h"
#include "tools/corvtool/command.h"
#include "tools/corvtool/rom_argument.h"
#include "tools/corvtool/substitutions_argument.h"
#include "check/block_check.h"
#include "script/script_file.h"
#include "script/script_text.h"

namespace corv::tool {
namespace {

int exitCodeOf(const check::BlockReport& report, bool strict) {
    using insert::InsertionOutcome;
    const insert::InsertionOutcome outcome = report.fit.outcome;
    const bool blockUnusable = outcome != insert::InsertionOutcome::Inserted && outcome != insert::InsertionOutcome::DoesNotFit &&
                               outcome != insert::InsertionOutcome::LayoutTooLarge;
    if (blockUnusable || report.count(check::Severity::Error) > 0) return kExitBadInput;
    if (strict && report.count(check::Severity::Warning) > 0) return kExitBadInput;
    return report.fit.fits() ? kExitOk : kExitDoesNotFit;
}

int runCheck(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    if (NamesProject(givenArgs)) return RunProjectCheck(givenArgs, out, err);
    std::vector<std::string> args = givenArgs;
    std::optional<std::string> substitutionsFile;
    if (!TakeSubstitutionsOption(args, substitutionsFile, "check", err)) return kExitUsage;
    std::vector<std::string> files;
    bool strict = false;
    bool json = false;
    bool force = false;
    TextReportOptions options;
    for (const std::string& arg : args) {
        if (arg == "--strict") {
            strict = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--untranslated") {
            options.untranslated = true;
        } else if (arg == kForceOption) {
            force = true;
        } else if (arg == "--json") {
            json = true;
        } else if (arg.rfind("--", 0) == 0) {
            err << "corvtool check: unknown option " << arg << '\n';
            return kExitUsage;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 5) {
        err << "corvtool check: expected ROM DATAFILE TABLE ADDRESS SCRIPT, or PROJECT\n";
        return kExitUsage;
    }
    uint32_t address = 0;
    if (!ParseAddressArgument(files[3], "check", err, address)) return kExitUsage;

    CheckInputs inputs;
    if (!LoadRomAndDataFile(inputs, files[0], files[1], "check", err) || !LoadTable(inputs, files[2], "check", err) ||
        !LoadBlock(inputs, address, "check", err)) {
        return kExitBadInput;
    }
    const auto scriptText = script::LoadScriptFile(files[4]);
    if (!scriptText) {
        FileError(err, "check", files[4]) << "cannot read this script file\n";
        return kExitBadInput;
    }
    if (const auto owner = ScriptOfOtherBlock(files[4], inputs.dataFile.blocks, address); owner && !force) {
        ReportScriptOfOtherBlock(err, "check", files[4], *owner, inputs.block->info.blockAddress);
        return kExitBadInput;
    }
    const auto substituted =
        SubstitutedScriptText(*scriptText, substitutionsFile, inputs.table.characterMap(), "check", err);
    if (!substituted) return kExitBadInput;
    script::MemoryScriptText script(*substituted);
    const check::BoxMetrics box = BoxOf(inputs.dataFile);
    const check::BlockReport report =
        check::CheckBlock(inputs.rom.data(), *inputs.block, script, inputs.table, box);
    if (json) {
        PrintReportJson(out, address, report, box);
    } else {
        PrintReportText(out, address, report, box, options);
    }
    return exitCodeOf(report, strict);
}

}  // namespace

extern const Command kCheckCommand{
    "check", "(ROM DATAFILE TABLE ADDRESS SCRIPT [--untranslated] [--force] [--substitutions FILE] | PROJECT [--jobs N] "
    "[--maximise]) [--strict] [--json] [--verbose]",
    "check the script file SCRIPT of the block at ADDRESS before inserting it: findings per string (empty "
    "translations with --verbose), the strings translated and the bytes left or over (for a block over or "
    "tight also with --maximise); --untranslated lists the strings not translated yet; a script named after "
    "another block is refused unless --force; exit 1 when it does not fit, 2 on errors (warnings too with "
    "--strict); --substitutions FILE checks the script as its pairs write it; PROJECT: the same for every block "
    "of the project that has a script, as its build would check it (the findings by block and string, a summary "
    "per block and a total), exit 1 when a block is over, 2 on errors",
    runCheck};

}  // namespace corv::tool
