// The maximising compressor: every stream it writes decodes back to its data (read in an output
// area that is not cleared, so that a source before word 0 would show), stays within 64 KiB,
// writes at most seven words past the data, and is never longer than the standard compressor's.
//
// Input: the data (the format caps a block at 65,534 bytes).

#include <algorithm>
#include <memory>

#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "core/byte_order.h"
#include "core/optimal_encoder.h"
#include "fuzz/fuzz_support.h"
#include "support/stream_walk.h"

using namespace corv;

namespace {

constexpr uint32_t kBlockOffset = 0x100;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const auto block = input.take(core::kMaxBlockFileSize);
    const std::vector<uint8_t> source(block.begin(), block.end());
    const auto length = static_cast<uint32_t>(source.size() & ~size_t{1});
    const core::SourceWords words(source, length / 2);

    const core::EncodedStream optimal = core::EncodeOptimalStream(words);
    fuzz::Require(!testing::StreamFault(words, optimal, 7).has_value(), "the optimal stream is sound");
    const auto finder = core::MakeIndexedMatchFinder(words);
    const core::EncodedStream standard = core::EncodeBlockStream(words, *finder);
    fuzz::Require(optimal.bytes.size() <= standard.bytes.size(), "never longer than the standard stream");
    const core::EncodedStream maximised = core::EncodeMaximisedStream(words);
    fuzz::Require(maximised.bytes.size() == std::min(optimal.bytes.size(), standard.bytes.size()),
                  "the maximised stream is the smaller one");

    // Into a room that just holds it, behind a header and a one-word dictionary.
    const uint32_t streamStart = kBlockOffset + core::kBlockHeaderSize + 2;
    const auto limit = static_cast<uint32_t>(streamStart + maximised.bytes.size());
    std::vector<uint8_t> rom(limit + 8, 0xEE);
    core::writeLe16(rom, kBlockOffset, 0x1234);
    core::writeLe16(rom, kBlockOffset + 2, 1);
    core::writeLe16(rom, kBlockOffset + 4, 1);
    core::writeLe16(rom, kBlockOffset + 6, core::BlockHeader::checkWordFor(0x1234, 1, 1));
    fuzz::Require(core::CompressBlock(rom, kBlockOffset, limit, length, source, core::Compressor::Maximising) ==
                      core::kCompressWritten,
                  "the maximised stream fits a room of its size");
    static const auto decoded = std::make_unique<core::BlockBuffer>();
    fuzz::Require(core::DecompressBlock(rom, kBlockOffset, *decoded) == limit, "the decoder ends where the stream ends");
    fuzz::Require(std::equal(source.begin(), source.begin() + length, decoded->begin()),
                  "the block decodes back to its data");
    return 0;
}
