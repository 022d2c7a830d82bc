// corvtool insert ROM DATAFILE TABLE ADDRESS SCRIPT [--allow-missing]: puts one block's script
// file into the ROM file, as the editor's insertion does after that block was chosen, and saves
// the ROM only when the block was written. The insertion's log lines go to standard output.
//
// Stricter than the editor: a text string without an entry in the script (an empty script, or
// one made for another block) would be written as a placeholder without an end byte, which the
// game reads on past; such an insertion is refused unless --allow-missing is given.

#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "command.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "rom_argument.h"
#include "script/block_data_file.h"
#include "script/insertion.h"
#include "script/script_file.h"
#include "script/script_text.h"
#include "script/string_index.h"
#include "script/table_file.h"

namespace corv::tool {
namespace {

// Keeps the log lines, which are printed only once the outcome is known.
class RecordedProgress final : public script::InsertionProgress {
public:
    void addLogLine(const std::string& line) override { lines.push_back(line); }
    void start() override {}
    void setCaption(std::string_view) override {}
    void setGaugeRange(int, int) override {}
    void setGaugePosition(int) override {}
    void processPendingMessages() override {}

    std::vector<std::string> lines;
};

constexpr std::string_view kAllowMissing = "--allow-missing";

int runInsert(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> allArgs = givenArgs;
    const bool force = TakeForceOption(allArgs);
    std::vector<std::string> args;
    bool allowMissing = false;
    for (const std::string& arg : allArgs) {
        if (arg == kAllowMissing) {
            allowMissing = true;
        } else if (arg.starts_with("--")) {
            err << "corvtool insert: unknown option " << arg << '\n';
            return kExitUsage;
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() != 5) {
        err << "corvtool insert: expected ROM DATAFILE TABLE ADDRESS SCRIPT [--allow-missing]\n";
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
    const auto blockIndex = ListedBlockIndex(*dataFile, address);
    if (!blockIndex) {
        FileError(err, "insert", args[1]) << "no .BLOCK line names the block at " << args[3] << '\n';
        return kExitBadInput;
    }
    script::TableFile table;
    if (table.load(args[2]) != script::TableLoadResult::Loaded) {
        FileError(err, "insert", args[2]) << "cannot read this table file\n";
        return kExitBadInput;
    }
    const auto scriptText = script::LoadScriptFile(args[4]);
    if (!scriptText) {
        FileError(err, "insert", args[4]) << "cannot read this script file\n";
        return kExitBadInput;
    }
    script::MemoryScriptText script(*scriptText);

    auto buffer = std::make_unique<core::BlockBuffer>();
    const auto decompressed = DecompressNamedBlock(rom, address, *buffer, "insert", err);
    if (!decompressed) return kExitBadInput;
    uint32_t endOfRoom = *decompressed;
    script::InsertionBlock block;
    block.index = *blockIndex;
    block.blockAddress = dataFile->blocks[*blockIndex].address;
    block.length = core::DecompressedLength(*buffer);
    const auto count = script::CountStringRecords(std::span<const uint8_t>(*buffer).first(core::kBlockHalfSize));
    if (!count) {
        FileError(err, "insert", args[0]) << "the block at " << args[3]
                                          << " has no end to its string records: not a text block\n";
        return kExitBadInput;
    }
    block.stringCount = static_cast<uint16_t>(*count);

    std::vector<uint8_t> preview(script::kPreviewByteBufferSize);
    RecordedProgress progress;
    const script::InsertionResult result =
        script::InsertScript(rom, *buffer, block, endOfRoom, script, table, preview, progress);
    if (!result.missingEntries.empty() && !allowMissing) {
        FileError(err, "insert", args[4]) << "no entry for the text string(s)";
        for (const int number : result.missingEntries) err << ' ' << number;
        err << "; nothing was inserted (" << kAllowMissing << " inserts placeholders for them)\n";
        return kExitBadInput;
    }
    // The log tells of success, so it waits until the ROM file is saved.
    if (result.outcome == script::InsertionOutcome::Inserted && !SaveGameRom(rom, "insert", err, {.force = force})) {
        return kExitBadInput;
    }
    for (const std::string& line : progress.lines) out << line << '\n';
    if (result.message) err << "corvtool insert: " << *result.message << '\n';

    switch (result.outcome) {
    case script::InsertionOutcome::Inserted:
        return kExitOk;
    case script::InsertionOutcome::DoesNotFit:
    case script::InsertionOutcome::LayoutTooLarge:
    case script::InsertionOutcome::NoReadBack:
        return kExitDoesNotFit;
    default:
        return kExitBadInput;
    }
}

}  // namespace

extern const Command kInsertCommand{
    "insert", "ROM DATAFILE TABLE ADDRESS SCRIPT [--allow-missing] [--force]",
    "insert the script file SCRIPT of the block at ADDRESS (hex, any bank of its .BLOCK line) into ROM and save "
    "it; a text string without an entry refuses the insertion unless --allow-missing",
    runInsert};

}  // namespace corv::tool
