#include "script/text_block.h"

#include <algorithm>

#include "core/address.h"
#include "core/block_decoder.h"
#include "core/byte_order.h"
#include "script/string_decoder.h"
#include "script/string_record.h"

namespace corv::script {

std::optional<unsigned> CountStringRecords(std::span<const uint8_t> block) {
    for (unsigned k = 0; k < kMaxStringRecords && size_t{k} * kRecordSize + 2 <= block.size(); ++k) {
        if (core::readLe16(block, RecordOffset(k)) == kRecordTableEnd) return k;
    }
    return std::nullopt;
}

std::optional<uint32_t> ListedBlockIndex(std::span<const BlockEntry> blocks, uint32_t address) {
    const uint32_t offset = core::AddressToRomOffset(address & 0xFFFFFF);
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (core::AddressToRomOffset(blocks[i].address & 0xFFFFFF) == offset) return static_cast<uint32_t>(i);
    }
    return std::nullopt;
}

TextBlockLoad LoadTextBlock(std::span<const uint8_t> romData, std::span<const BlockEntry> blocks, uint32_t address,
                            BlockListing listing) {
    TextBlockLoad load;
    const std::optional<uint32_t> index = ListedBlockIndex(blocks, address);
    if (!index && listing == BlockListing::Required) {
        load.problem = TextBlockProblem::NotListed;
        return load;
    }
    if (size_t{core::AddressToRomOffset(address & 0xFFFFFF)} + core::kBlockHeaderSize > romData.size()) {
        load.problem = TextBlockProblem::OutsideRom;
        return load;
    }
    TextBlock block;
    block.buffer = std::make_unique<core::BlockBuffer>();
    block.end = core::DecompressBlock(romData, address, *block.buffer);
    if (block.end == core::kBadBlockHeader) {
        load.problem = TextBlockProblem::BadHeader;
        return load;
    }
    const auto count = CountStringRecords(block.bytes());
    if (!count) {
        load.problem = TextBlockProblem::NoRecordEnd;
        return load;
    }
    block.info.index = index.value_or(0);
    // A listed block goes by the data file's spelling of its address, as in the editor.
    block.info.blockAddress = index ? blocks[*index].address : address;
    block.info.stringCount = static_cast<uint16_t>(*count);
    block.info.length = core::DecompressedLength(*block.buffer);
    block.listed = index.has_value();
    // The room given in the data file holds even when the data now end before it (after an
    // insertion of shorter data); data running past it keep their own end.
    if (index && blocks[*index].endOfRoom) {
        block.end = std::max(block.end, *blocks[*index].endOfRoom);
        block.endGiven = true;
    }
    block.inserted = index && BlockIsInserted(romData, *index);
    load.block = std::move(block);
    return load;
}

}  // namespace corv::script
