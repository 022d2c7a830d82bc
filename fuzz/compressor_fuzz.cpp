// The compressor: the production match search makes the exhaustive scan's choices, and a
// compressed block decodes back to its data.
//
// Input: 16 bytes that follow the data in its buffer (the odd-length rule and the last group
// read them), then the data. The format caps a block at 65,534 bytes.

#include <algorithm>
#include <memory>

#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "core/byte_order.h"
#include "fuzz/fuzz_support.h"
#include "support/exhaustive_match_finder.h"

using namespace corv;

namespace {

constexpr uint32_t kBlockOffset = 0x100;
constexpr size_t kAfterBytes = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const auto after = input.take(kAfterBytes);
    const auto block = input.take(core::kMaxBlockFileSize);
    std::vector<uint8_t> source(block.begin(), block.end());
    source.insert(source.end(), after.begin(), after.end());
    const auto length = static_cast<uint32_t>(block.size());
    const uint32_t even = core::EvenBlockLength(source, length);
    fuzz::Require(even == length || even == length + 1 || even + 1 == length, "the even length is one step away");
    fuzz::Require(even % 2 == 0, "the even length is even");

    const core::SourceWords words(source, even / 2);
    const auto finder = core::MakeIndexedMatchFinder(words);
    const core::EncodedStream production = core::EncodeBlockStream(words, *finder);
    const core::EncodedStream reference = testing::EncodeExhaustively(words);
    fuzz::Require(production.groups == reference.groups && production.bytes == reference.bytes,
                  "the compressor's output equals the exhaustive scan's");

    // A room that just holds the stream, behind a header and a two-word dictionary.
    const uint32_t streamStart = kBlockOffset + core::kBlockHeaderSize + 4;
    std::vector<uint8_t> rom(streamStart + production.bytes.size() + 8, 0xEE);
    const core::BlockHeader old{0x1234, 2, 1, core::BlockHeader::checkWordFor(0x1234, 2, 1)};
    core::writeLe16(rom, kBlockOffset, old.length);
    core::writeLe16(rom, kBlockOffset + 2, old.dictionary);
    core::writeLe16(rom, kBlockOffset + 4, old.groups);
    core::writeLe16(rom, kBlockOffset + 6, old.check);
    const auto limit = static_cast<uint32_t>(streamStart + production.bytes.size());

    if (limit > streamStart) {
        std::vector<uint8_t> unchanged = rom;
        const uint32_t tooSmall = core::CompressBlock(rom, kBlockOffset, limit - 1, length, source);
        fuzz::Require(core::IsTooLarge(tooSmall) && core::ExcessBytes(tooSmall) == 1, "one byte short is an excess of 1");
        fuzz::Require(rom == unchanged, "a refused block writes nothing");
    }
    fuzz::Require(core::CompressBlock(rom, kBlockOffset, limit, length, source) == core::kCompressWritten,
                  "a stream that ends at the limit fits");
    fuzz::Require(std::all_of(rom.begin() + limit, rom.end(), [](uint8_t b) { return b == 0xEE; }),
                  "nothing is written past the limit");

    static const auto decoded = std::make_unique<core::BlockBuffer>();
    const uint32_t end = core::DecompressBlock(rom, kBlockOffset, *decoded);
    fuzz::Require(end == limit, "the decoder ends where the stream ends");
    fuzz::Require(core::DecompressedLength(*decoded) == even, "w0 is the even length");
    for (uint32_t i = 0; i < even; ++i) {
        const uint8_t expected = i < source.size() ? source[i] : 0;
        if ((*decoded)[i] != expected) fuzz::Require(false, "the block decodes back to its data");
    }
    return 0;
}
