// Block decoding over arbitrary ROM bytes.
//
// Input: a 24-bit block address, then the ROM data.

#include <algorithm>
#include <memory>

#include "core/address.h"
#include "core/block_decoder.h"
#include "fuzz/fuzz_support.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const uint32_t address = input.u24();
    const auto rom = input.rest();

    static const auto buffer = std::make_unique<core::BlockBuffer>();
    static const auto reference = std::make_unique<std::array<uint8_t, core::kBlockHalfSize>>();
    buffer->fill(0xA5);  // the decoder must clear what an earlier block left
    const uint32_t end = core::DecompressBlock(rom, address, *buffer);

    const uint32_t offset = core::AddressToRomOffset(address);
    const auto header = core::ReadBlockHeader(rom, offset);
    if (!header || !header->valid()) {
        fuzz::Require(end == core::kBadBlockHeader, "a bad or missing header is refused");
        fuzz::Require(std::all_of(buffer->begin(), buffer->end(), [](uint8_t b) { return b == 0; }),
                      "a refused block leaves the buffer cleared");
        return 0;
    }
    fuzz::Require(end != core::kBadBlockHeader, "a valid header is decoded");
    fuzz::Require(end <= rom.size(), "the block ends inside the ROM data");
    fuzz::Require(core::DecompressedLength(*buffer) == header->length, "w0 is stored in the upper half");

    // The lower half is the stream decoded into a cleared area; the upper half the same but
    // for its first word.
    reference->fill(0);
    const core::StreamDecodeResult decoded = core::DecodeBlockStream(rom, offset, *header, *reference);
    fuzz::Require(decoded.end == end, "the end is the stream decoder's end");
    fuzz::Require(std::equal(reference->begin(), reference->end(), buffer->begin()),
                  "the lower half holds the decoded block");
    fuzz::Require(std::equal(buffer->begin() + 2, buffer->begin() + core::kBlockHalfSize,
                             buffer->begin() + core::kBlockHalfSize + 2),
                  "the upper half is a copy of the lower half after its first word");
    return 0;
}
