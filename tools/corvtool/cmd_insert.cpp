// corvtool insert ROM DATAFILE TABLE ADDRESS SCRIPT [--allow-missing] [--maximise] [--force]: puts one
// block's script file into the ROM file, as the editor's insertion does after that block was
// chosen, and saves the ROM only when the block was written. The insertion's log lines go to
// standard output. --maximise compresses the block with the maximising compressor.
//
// Stricter than the editor: a text string without an entry in the script (an empty script, or
// one made for another block) would be written as a placeholder without an end byte, which the
// game reads on past; such an insertion is refused unless --allow-missing is given. Whatever
// the checks call an error (characters the game reads as codes, an entry that runs on into the
// next, ...) refuses the insertion too, with the findings worded as check words them, and so
// does a script file named after another listed block; --force inserts anyway.

#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "tools/corvtool/check_inputs.h"
#include "tools/corvtool/check_report.h"
#include "tools/corvtool/command.h"
#include "check/block_check.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "tools/corvtool/rom_argument.h"
#include "tools/corvtool/substitutions_argument.h"
#include "tools/corvtool/table_argument.h"
#include "script/block_data_file.h"
#include "insert/insertion.h"
#include "script/script_file.h"
#include "script/script_text.h"
#include "script/text_block.h"
#include "script/table_file.h"

namespace corv::tool {
namespace {

constexpr std::string_view kAllowMissing = "--allow-missing";

// The checks' errors on the script, printed as check prints them; false when there is one.
// Missing entries are left to the insertion's own refusal (see --allow-missing).
bool CheckBeforeInsertion(const core::RomImage& rom, const script::TextBlock& block, const script::BlockDataLoad& dataFile,
                          script::MemoryScriptText& script, const script::TableFile& table, const std::string& scriptPath,
                          std::ostream& err) {
    const check::BoxMetrics box = BoxOf(dataFile);
    const check::BlockReport report = check::CheckBlock(rom.data(), block, script, table, box);
    size_t errors = 0;
    for (const check::StringReport& string : report.strings) {
        for (const check::Finding& finding : string.findings) {
            if (check::SeverityOf(finding.kind) != check::Severity::Error || finding.kind == check::FindingKind::EntryMissing) {
                continue;
            }
            err << "STRING " << string.number << ": " << check::DescribeFinding(finding, box) << '\n';
            ++errors;
        }
    }
    script.setCaret(0);
    if (errors == 0) return true;
    FileError(err, "insert", scriptPath) << errors << " error(s) in the script; nothing was inserted (" << kForceOption
                                         << " inserts it anyway)\n";
    return false;
}

int runInsert(const std::vector<std::string>& allArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    bool allowMissing = false;
    bool force = false;
    auto compressor = insert::InsertionCompressor::Standard;
    std::vector<std::string> given = allArgs;
    std::optional<std::string> substitutionsFile;
    if (!TakeSubstitutionsOption(given, substitutionsFile, "insert", err)) return kExitUsage;
    for (const std::string& arg : given) {
        if (arg == kAllowMissing) {
            allowMissing = true;
        } else if (arg == kForceOption) {
            force = true;
        } else if (arg == kMaximiseOption) {
            compressor = insert::InsertionCompressor::Maximising;
        } else if (arg.starts_with("--")) {
            err << "corvtool insert: unknown option " << arg << '\n';
            return kExitUsage;
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() != 5) {
        err << "corvtool insert: expected ROM DATAFILE TABLE ADDRESS SCRIPT [--allow-missing] [--maximise] [--force] "
               "[--substitutions FILE]\n";
        return kExitUsage;
    }
    uint32_t address = 0;
    if (!ParseAddressArgument(args[3], "insert", err, address)) return kExitUsage;
    const auto lock = LockGameRom(args[0], "insert", err);
    if (!lock) return kExitBadInput;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "insert", err)) return kExitBadInput;

    auto maps = std::make_unique<script::CodeMaps>();
    const auto dataFile = script::LoadBlockDataFile(args[1], *maps);
    if (!dataFile) {
        FileError(err, "insert", args[1]) << "cannot read this block data file\n";
        return kExitBadInput;
    }
    auto textBlock = OpenTextBlock(rom, *dataFile, args[1], address, script::BlockListing::Required, "insert", err);
    if (!textBlock) return kExitBadInput;
    script::TableFile table;
    if (!LoadCharacterTable(table, args[2], "insert", err)) return kExitBadInput;
    const auto scriptText = script::LoadScriptFile(args[4]);
    if (!scriptText) {
        FileError(err, "insert", args[4]) << "cannot read this script file\n";
        return kExitBadInput;
    }
    const auto substituted = SubstitutedScriptText(*scriptText, substitutionsFile, table.characterMap(), "insert", err);
    if (!substituted) return kExitBadInput;
    script::MemoryScriptText script(*substituted);
    if (!force) {
        if (const auto owner = ScriptOfOtherBlock(args[4], dataFile->blocks, address)) {
            ReportScriptOfOtherBlock(err, "insert", args[4], *owner, textBlock->info.blockAddress);
            return kExitBadInput;
        }
        if (!CheckBeforeInsertion(rom, *textBlock, *dataFile, script, table, args[4], err)) return kExitBadInput;
    }

    uint32_t endOfRoom = textBlock->end;
    if (textBlock->inserted && !textBlock->endGiven) {
        const int64_t room = int64_t(endOfRoom) - int64_t(core::AddressToRomOffset(address & 0xFFFFFF));
        err << "corvtool insert: warning: " << DescribeRoomFromLastInsertion(textBlock->info.blockAddress, room) << '\n';
    }
    core::BlockBuffer& buffer = *textBlock->buffer;
    insert::InsertionBlock block{textBlock->info};
    block.compressor = compressor;

    std::vector<uint8_t> preview(script::kPreviewByteBufferSize);
    insert::RecordedProgress progress;
    const insert::InsertionResult result =
        insert::InsertScript(rom, buffer, block, endOfRoom, script, table, preview, progress);
    if (!result.missingEntries.empty() && !allowMissing) {
        FileError(err, "insert", args[4]) << "no entry for the text string(s)";
        for (const int number : result.missingEntries) err << ' ' << number;
        err << "; nothing was inserted (" << kAllowMissing << " inserts placeholders for them)\n";
        return kExitBadInput;
    }
    // The log tells of success, so it waits until the ROM file is saved.
    if (result.outcome == insert::InsertionOutcome::Inserted &&
        !SaveGameRom(rom, "insert", err, {.force = force}, &*lock)) {
        return kExitBadInput;
    }
    for (const std::string& line : progress.lines) out << line << '\n';
    if (result.message) err << "corvtool insert: " << *result.message << '\n';

    switch (result.outcome) {
    case insert::InsertionOutcome::Inserted:
        return kExitOk;
    case insert::InsertionOutcome::DoesNotFit:
    case insert::InsertionOutcome::LayoutTooLarge:
    case insert::InsertionOutcome::NoReadBack:
        return kExitDoesNotFit;
    default:
        return kExitBadInput;
    }
}

}  // namespace

extern const Command kInsertCommand{
    "insert", "ROM DATAFILE TABLE ADDRESS SCRIPT [--allow-missing] [--maximise] [--force] [--substitutions FILE]",
    "insert the script file SCRIPT of the block at ADDRESS (hex, any bank of its .BLOCK line) into ROM and save "
    "it; a text string without an entry refuses the insertion unless --allow-missing; so do the errors that "
    "check finds and a script named after another block, unless --force; --maximise compresses with the "
    "maximising compressor; --substitutions FILE inserts the script as its pairs write it (the file stays as it is)",
    runInsert};

}  // namespace corv::tool
