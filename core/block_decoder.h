#pragma once
// Decoding of compressed blocks (the reading half of the block codec).

#include <cstdint>
#include <filesystem>
#include <span>

#include "core/block_format.h"
#include "core/file_save.h"

namespace corv::core {

inline constexpr uint32_t kBadBlockHeader = 0xFFFFFFFF;

struct StreamDecodeResult {
    uint32_t end = 0;        // ROM offset after the last operand read
    uint16_t produced = 0;   // bytes the groups produced, counted in 16 bits (wraps)
    bool truncated = false;  // the stream ran into the end of the ROM data and was cut there
};

// Decodes the groups of the valid block at ROM offset `blockOffset` into the 64 KiB `output`,
// from position 0, without clearing it first: a back-reference reaching before position 0 wraps
// to the end of `output` and reads whatever is there. The group count is taken as signed (0x8000
// and more decode nothing). Back-references copy byte by byte, so overlapping copies repeat.
// A read position, operand or dictionary index past the ROM data ends the block at that command:
// `truncated` is set and `end` is the position of the operand that could not be read (never past
// the data). The header must have been checked by the caller.
StreamDecodeResult DecodeBlockStream(std::span<const uint8_t> romData, uint32_t blockOffset,
                                     const BlockHeader& header, std::span<uint8_t, kBlockHalfSize> output);

// The editor's decompression: clears the whole buffer; on a bad header (or a header past the
// data) returns kBadBlockHeader and leaves it all zero. Otherwise decodes into the upper half,
// copies the upper half to the lower half, stores w0 in the first word of the upper half and
// returns the ROM offset after the compressed data.
uint32_t DecompressBlock(std::span<const uint8_t> romData, uint32_t blockAddress, BlockBuffer& buffer);

// The decompressed length that the last DecompressBlock left in the upper half.
[[nodiscard]] uint16_t DecompressedLength(const BlockBuffer& buffer);

// Writes the first `length` bytes of the lower half to `path` with WriteFileSafely.
[[nodiscard]] SaveResult DumpDecompressedBlock(const BlockBuffer& buffer, uint32_t length,
                                               const std::filesystem::path& path, const SaveOptions& options = {});

}  // namespace corv::core
