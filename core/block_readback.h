#pragma once
// The last step of every compression into the ROM: a new block goes in only after it has been
// decoded in memory, exactly as the decompressor will read it, and found to give back its data.

#include <cstdint>
#include <span>

#include "core/block_stream.h"

namespace corv::core {

// Writes the new header (length = 2 x the words' count, the old dictionary length, the stream's
// group count) and `stream` in place of the valid block at ROM offset `blockOffset`, whose
// dictionary stays as it is. The caller has checked that the stream fits its room. Returns
// kCompressWritten; kCompressBadHeader when no valid block stands there; kCompressReadBackFailed
// when the block would reach past the ROM data or decode differently from the data anywhere.
// Nothing is written unless the result is kCompressWritten.
[[nodiscard]] uint32_t WriteBlockIfItReadsBack(std::span<uint8_t> romData, uint32_t blockOffset,
                                               const EncodedStream& stream, const SourceWords& words);

}  // namespace corv::core
