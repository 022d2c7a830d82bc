#include "check/text_block.h"

#include "core/address.h"
#include "core/block_decoder.h"
#include "script/string_decoder.h"
#include "script/string_index.h"

namespace corv::check {

TextBlockLoad LoadTextBlock(std::span<const uint8_t> romData, std::span<const script::BlockEntry> blocks, uint32_t address) {
    TextBlockLoad load;
    std::optional<uint32_t> index;
    // Matched by ROM offset, so that any bank spelling of the address finds its block.
    for (size_t i = 0; i < blocks.size() && !index; ++i) {
        if (core::AddressToRomOffset(blocks[i].address) == core::AddressToRomOffset(address)) {
            index = static_cast<uint32_t>(i);
        }
    }
    if (!index) {
        load.problem = TextBlockProblem::NotListed;
        return load;
    }
    TextBlock block;
    block.buffer = std::make_unique<core::BlockBuffer>();
    block.end = core::DecompressBlock(romData, address, *block.buffer);
    if (block.end == core::kBadBlockHeader) {
        load.problem = TextBlockProblem::BadHeader;
        return load;
    }
    const auto count = script::CountStringRecords(block.bytes());
    if (!count) {
        load.problem = TextBlockProblem::NoRecordEnd;
        return load;
    }
    block.info.index = *index;
    block.info.blockAddress = address;
    block.info.stringCount = static_cast<uint16_t>(*count);
    block.info.length = core::DecompressedLength(*block.buffer);
    block.inserted = script::BlockIsInserted(romData, *index);
    load.block = std::move(block);
    return load;
}

}  // namespace corv::check
