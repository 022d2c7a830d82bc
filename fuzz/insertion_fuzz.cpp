// The insertion of a script into one of the demo game's text blocks, with an arbitrary table
// file: it either writes a block that decodes back to the new layout, or leaves the ROM as it was.
//
// Input: which of the demo's text blocks up to 8 KiB (a byte: bits 0-6; bit 7 leaves the block's end to be searched for, as
// before the block was chosen), then the table file, a zero byte and the script text.

#include <algorithm>
#include <utility>
#include <fstream>
#include <memory>

#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "fuzz/fuzz_support.h"
#include "insert/insertion.h"
#include "script/script_encoder.h"
#include "script/script_text.h"
#include "script/text_block.h"
#include "script/table_file.h"

using namespace corv;

namespace {

// Compressing a block costs most of a run: the small text blocks take every rule as well.
constexpr size_t kMaxBlockLength = 0x2000;

// A text block as choosing it leaves the block buffer.
struct ChosenBlock {
    insert::InsertionBlock block;
    uint32_t end = 0;  // the block end table entry that choosing the block fills
    std::unique_ptr<core::BlockBuffer> buffer = std::make_unique<core::BlockBuffer>();
};

const std::vector<ChosenBlock>& textBlocks() {
    static const std::vector<ChosenBlock> blocks = [] {
        std::vector<ChosenBlock> chosen;
        const demo::DemoGame& game = fuzz::Demo();
        for (size_t i = 0; i < game.textBlocks.size(); ++i) {
            const demo::DemoBlock& demoBlock = game.blocks.at(static_cast<size_t>(game.textBlocks[i]));
            if (demoBlock.data.size() > kMaxBlockLength) continue;
            ChosenBlock& block = chosen.emplace_back();
            block.end = core::DecompressBlock(game.rom, demoBlock.address, *block.buffer);
            block.block.index = static_cast<uint32_t>(i);
            block.block.blockAddress = demoBlock.address;
            block.block.stringCount = static_cast<uint16_t>(script::CountStringRecords(
                block.buffer->lower()).value_or(0));
            block.block.length = core::DecompressedLength(*block.buffer);
        }
        return chosen;
    }();
    return blocks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const uint8_t choice = input.u8();
    const ChosenBlock& chosen = textBlocks().at((choice & 0x7F) % textBlocks().size());
    const auto parts = fuzz::SplitParts(input.rest(), 2);

    // The insertion needs a table that was loaded from a file, as the editor's is.
    const auto tablePath = fuzz::ScratchFolder() / "fuzz.tbl";
    {
        std::ofstream file(tablePath, std::ios::binary | std::ios::trunc);
        file.write(parts[0].data(), static_cast<std::streamsize>(parts[0].size()));
    }
    script::TableFile table;
    fuzz::Require(table.load(tablePath) == script::TableLoadResult::Loaded, "a written table loads");
    script::MemoryScriptText script(parts[1]);

    static const std::vector<uint8_t>& pristine = fuzz::Demo().rom;
    static core::RomImage rom(pristine, "fuzz.smc");
    static const auto buffer = std::make_unique<core::BlockBuffer>();
    static const auto preview = std::make_unique<std::array<uint8_t, script::kPreviewByteBufferSize>>();
    *buffer = *chosen.buffer;
    uint32_t endOfRoom = (choice & 0x80) != 0 ? 0 : chosen.end;
    insert::RecordedProgress progress;
    const insert::InsertionResult result =
        insert::InsertScript(rom, *buffer, chosen.block, endOfRoom, script, table, *preview, progress);

    const auto romData = std::as_const(rom).data();
    if (result.outcome != insert::InsertionOutcome::Inserted) {
        fuzz::Require(fuzz::SameBytes(romData, pristine), "a failed insertion leaves the ROM bytes unchanged");
        fuzz::Require(!rom.modified(), "a failed insertion leaves the modified flag");
        return 0;
    }
    fuzz::Require(rom.modified(), "an insertion sets the modified flag");
    fuzz::Require(romData[romData.size() - 1 - chosen.block.index] == chosen.block.index, "an insertion marks its block");
    static const auto decoded = std::make_unique<core::BlockBuffer>();
    const uint32_t end = core::DecompressBlock(romData, chosen.block.blockAddress, *decoded);
    fuzz::Require(end != core::kBadBlockHeader && end <= endOfRoom, "the new block lies inside its room");
    fuzz::Require(std::equal(decoded->begin(), decoded->begin() + result.newLength, buffer->begin()),
                  "the inserted block decodes back to its new layout");

    fuzz::CopyBytes(pristine, rom.data());
    rom.setModified(false);
    return 0;
}
