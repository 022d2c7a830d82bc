#pragma once
// Opening a text block: one function from the ROM, the data file's block list and an address to
// the decompressed block or the problem that stops it. The editor, the checks and every
// corvtool command open blocks through it, so each problem has one meaning everywhere.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "core/block_format.h"
#include "script/block_data_file.h"

namespace corv::script {

// The record table of a 64 KiB block holds at most this many records before its terminator.
inline constexpr unsigned kMaxStringRecords = 1024;

// Counts the records before the table's terminator (a first word 0xFFFF), reading at most
// kMaxStringRecords records inside `block`. std::nullopt when there is no terminator there.
[[nodiscard]] std::optional<unsigned> CountStringRecords(std::span<const uint8_t> block);

// Where a block stands in the data file and what its records say: what an insertion of it needs.
struct TextBlockInfo {
    uint32_t index = 0;         // position of the block in the block list (for the inserted mark)
    uint32_t blockAddress = 0;  // the block's 24-bit address
    uint16_t stringCount = 0;   // records before the 0xFFFF terminator
    uint32_t length = 0;        // decompressed length of the block (w0)
};

struct TextBlock {
    TextBlockInfo info;
    uint32_t end = 0;        // ROM offset after the compressed data: the end of its room
    bool listed = false;     // a .BLOCK line names it (else info.index means nothing)
    bool inserted = false;   // the block carries its inserted mark (listed blocks only)
    bool endGiven = false;   // the data file gives the end of its room (.ENDBLOCK)
    std::unique_ptr<core::BlockBuffer> buffer;  // the decompressed block in the lower half
    [[nodiscard]] std::span<const uint8_t> bytes() const { return buffer->lower(); }
};

enum class TextBlockProblem {
    None,
    NotListed,    // no .BLOCK line of the data file names the address (compared as ROM offsets)
    OutsideRom,   // the block's header lies past the end of the ROM
    BadHeader,    // the block's header fails its check
    NoRecordEnd,  // the string records have no terminator inside the block: not a text block
};

struct TextBlockLoad {
    TextBlockProblem problem = TextBlockProblem::None;
    std::optional<TextBlock> block;
};

enum class BlockListing {
    Required,  // an address that no .BLOCK line names is refused (insertion, checks)
    Optional,  // any block of the ROM opens; unlisted ones carry no inserted mark (dumps, pictures)
};

// The position in `blocks` of the block at `address`, matched by ROM offset so that any bank
// spelling of the address finds it.
[[nodiscard]] std::optional<uint32_t> ListedBlockIndex(std::span<const BlockEntry> blocks, uint32_t address);

[[nodiscard]] TextBlockLoad LoadTextBlock(std::span<const uint8_t> romData, std::span<const BlockEntry> blocks,
                                          uint32_t address, BlockListing listing = BlockListing::Required);

}  // namespace corv::script
