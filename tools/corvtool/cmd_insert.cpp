// corvtool insert ROM DATAFILE TABLE ADDRESS SCRIPT: puts one block's script file into the ROM
// file, as the editor's insertion does after that block was chosen, and saves the ROM only when
// the block was written. The insertion's log lines go to standard output.
//
// Exit codes: 0 inserted and saved, 1 the block does not fit its room, 2 any other failure.
// On every failure the ROM file is left untouched.

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

constexpr int kExitDoesNotFit = 1;
constexpr int kExitFailed = 2;

class PrintedProgress final : public script::InsertionProgress {
public:
    explicit PrintedProgress(std::ostream& out) : out_(out) {}
    void addLogLine(const std::string& line) override { out_ << line << '\n'; }
    void start() override {}
    void setCaption(std::string_view) override {}
    void setGaugeRange(int, int) override {}
    void setGaugePosition(int) override {}
    void processPendingMessages() override {}

private:
    std::ostream& out_;
};

std::optional<uint32_t> blockIndexOf(const script::BlockDataLoad& load, uint32_t address) {
    for (size_t i = 0; i < load.blocks.size(); ++i) {
        if (load.blocks[i].address == address) return static_cast<uint32_t>(i);
    }
    return std::nullopt;
}

int runInsert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 5) {
        err << "corvtool insert: expected ROM DATAFILE TABLE ADDRESS SCRIPT\n";
        return kExitUsage;
    }
    uint32_t address = 0;
    if (!ParseAddressArgument(args[3], "insert", err, address)) return kExitUsage;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "insert", err)) return kExitFailed;

    auto maps = std::make_unique<script::CodeMaps>();
    const auto dataFile = script::LoadBlockDataFile(args[1], *maps);
    if (!dataFile) {
        err << "corvtool insert: cannot read the block data file " << args[1] << '\n';
        return kExitFailed;
    }
    const auto blockIndex = blockIndexOf(*dataFile, address);
    if (!blockIndex) {
        err << "corvtool insert: no .BLOCK line of " << args[1] << " names the address " << args[3] << '\n';
        return kExitFailed;
    }

    script::TableFile table;
    if (table.load(args[2]) != script::TableLoadResult::Loaded) {
        err << "corvtool insert: cannot read the table file " << args[2] << '\n';
        return kExitFailed;
    }
    const auto scriptText = script::LoadScriptFile(args[4]);
    if (!scriptText) {
        err << "corvtool insert: cannot read the script file " << args[4] << '\n';
        return kExitFailed;
    }
    script::MemoryScriptText script(*scriptText);

    auto buffer = std::make_unique<core::BlockBuffer>();
    uint32_t endOfRoom = core::DecompressBlock(rom.data(), address, *buffer);
    if (endOfRoom == core::kBadBlockHeader) {
        err << "corvtool insert: the block header at ROM offset " << HexWord(core::AddressToRomOffset(address))
            << " fails its check\n";
        return kExitFailed;
    }
    script::InsertionBlock block;
    block.index = *blockIndex;
    block.blockAddress = address;
    block.length = core::DecompressedLength(*buffer);
    const auto count = script::CountStringRecords(std::span<const uint8_t>(*buffer).first(core::kBlockHalfSize));
    if (!count) {
        err << "corvtool insert: the block at " << args[3] << " has no end to its string records\n";
        return kExitFailed;
    }
    block.stringCount = static_cast<uint16_t>(*count);

    std::vector<uint8_t> preview(script::kPreviewByteBufferSize);
    PrintedProgress progress(out);
    const script::InsertionResult result =
        script::InsertScript(rom, *buffer, block, endOfRoom, script, table, preview, progress);
    if (result.message) err << "corvtool insert: " << *result.message << '\n';

    switch (result.outcome) {
    case script::InsertionOutcome::Inserted:
        if (core::SaveRomFile(rom) != core::RomSaveResult::Saved) {
            err << "corvtool insert: cannot save " << args[0] << "; the ROM file was left as it was\n";
            return kExitFailed;
        }
        return kExitOk;
    case script::InsertionOutcome::DoesNotFit: return kExitDoesNotFit;
    default: return kExitFailed;
    }
}

}  // namespace

extern const Command kInsertCommand{
    "insert", "ROM DATAFILE TABLE ADDRESS SCRIPT",
    "insert the script file SCRIPT of the block at ADDRESS (hex, as its .BLOCK line gives it) into ROM; "
    "exit 1 when it does not fit, 2 on other failures (ROM untouched)",
    runInsert};

}  // namespace corv::tool
