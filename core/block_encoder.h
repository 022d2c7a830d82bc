#pragma once
// Encoding of compressed blocks (the writing half of the block codec).
// The compressor keeps the block's old dictionary and emits only literals and back-references.
// The stream itself (words, matches, groups, result codes) is block_stream.h's.

#include <cstdint>
#include <span>

#include "core/block_format.h"
#include "core/block_stream.h"

namespace corv::core {

// Odd lengths are made even by the word holding the last byte: one byte more when that word is
// not zero, one less when it is.
[[nodiscard]] uint32_t EvenBlockLength(std::span<const uint8_t> source, uint32_t length);

// Which compressor writes a block's stream. The standard one is the default everywhere: its
// output is defined byte for byte. The maximising one (optimal_encoder.h) writes the smallest
// stream the decoder reads back, never a longer one than the standard compressor's.
enum class Compressor : uint8_t { Standard, Maximising };

// What compressing the first `length` bytes of `source` in place of the block at `blockAddress`
// would take, its room ending at ROM offset `limit`, without writing anything. `code` is what
// CompressBlock returns for the same arguments (except kCompressReadBackFailed, an encoder fault
// that only the write's own read-back finds); the byte counts are valid unless the header
// fails its check, and `needed` only once the data was compressed (length within a block).
struct CompressionMeasure {
    uint32_t code = kCompressBadHeader;
    uint32_t blockOffset = 0;  // ROM offset of the block's header
    uint64_t needed = 0;       // header, dictionary and groups: bytes from the block's offset
    int64_t room = 0;          // bytes from the block's offset to the end of its room (negative
                               // when that end lies before the block)
};
[[nodiscard]] CompressionMeasure MeasureBlockCompression(std::span<const uint8_t> romData, uint32_t blockAddress,
                                                         uint32_t limit, uint32_t length,
                                                         std::span<const uint8_t> source,
                                                         Compressor compressor = Compressor::Standard);

// Compresses the first `length` bytes of `source` into the ROM data in place of the block at
// `blockAddress`, its room ending at ROM offset `limit` (the room is also cut at the end of the
// data). Returns kCompressWritten, kCompressBadHeader (header fails its check or lies past the
// data; nothing written), the too-large code (0xFFFE | excess << 16; nothing written) or
// kCompressReadBackFailed (the new block would not decode to the data; nothing written).
[[nodiscard]] uint32_t CompressBlock(std::span<uint8_t> romData, uint32_t blockAddress, uint32_t limit,
                                     uint32_t length, std::span<const uint8_t> source,
                                     Compressor compressor = Compressor::Standard);

}  // namespace corv::core
