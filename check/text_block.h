#pragma once
// A text block of the block data file taken from the ROM for checking: decompressed as choosing
// it in the editor does, with what an insertion of it needs to know.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "core/block_format.h"
#include "script/block_data_file.h"
#include "insert/insertion.h"

namespace corv::check {

struct TextBlock {
    insert::InsertionBlock info;          // list index, address, string count, decompressed length
    uint32_t end = 0;             // ROM offset after the compressed data: the end of its room
    bool inserted = false;        // the block carries its inserted mark
    std::unique_ptr<core::BlockBuffer> buffer;  // the decompressed block in the lower half
    [[nodiscard]] std::span<const uint8_t> bytes() const {
        return buffer->lower();
    }
};

enum class TextBlockProblem {
    None,
    NotListed,    // no .BLOCK line of the data file names the address (compared as ROM offsets)
    BadHeader,    // the block's header fails its check
    NoRecordEnd,  // the string records have no terminator inside the block
};

struct TextBlockLoad {
    TextBlockProblem problem = TextBlockProblem::None;
    std::optional<TextBlock> block;
};

[[nodiscard]] TextBlockLoad LoadTextBlock(std::span<const uint8_t> romData, std::span<const script::BlockEntry> blocks,
                                          uint32_t address);

}  // namespace corv::check
