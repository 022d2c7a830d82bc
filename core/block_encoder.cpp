#include "core/block_encoder.h"

#include <algorithm>

#include "core/address.h"
#include "core/block_readback.h"
#include "core/byte_order.h"
#include "core/optimal_encoder.h"

namespace corv::core {

uint32_t EvenBlockLength(std::span<const uint8_t> source, uint32_t length) {
    if (length % 2 == 0) return length;
    const SourceWords words(source, 0);
    return words[length / 2] != 0 ? length + 1 : length - 1;
}

namespace {

// Everything a compression decides before it writes: the measure, and for a block that fits
// the stream and the header words to write.
struct CompressionPlan {
    CompressionMeasure measure;
    BlockHeader header;
    uint16_t length = 0;
    EncodedStream stream;
};

CompressionPlan planCompression(std::span<const uint8_t> romData, uint32_t blockAddress, uint32_t limit,
                                uint32_t length, std::span<const uint8_t> source, Compressor compressor) {
    CompressionPlan plan;
    CompressionMeasure& measure = plan.measure;
    length = EvenBlockLength(source, length);
    measure.blockOffset = AddressToRomOffset(blockAddress & 0xFFFFFF);
    const auto header = ReadBlockHeader(romData, measure.blockOffset);
    if (!header || !header->valid()) return plan;
    plan.header = *header;

    const uint64_t roomEnd = std::min<uint64_t>(limit, romData.size());
    measure.room = int64_t(roomEnd) - int64_t{measure.blockOffset};
    const auto tooLarge = [](uint64_t excess) {
        // The code has 16 bits for the excess; a larger one is reported as the largest it can say.
        return kCompressTooLargeTag | (static_cast<uint32_t>(std::min<uint64_t>(excess, 0xFFFF)) << 16);
    };
    // The size word has 16 bits: a longer block can never be written.
    if (length > kMaxBlockFileSize) {
        measure.code = tooLarge(length - kMaxBlockFileSize);
        return plan;
    }

    const SourceWords words(source, length / 2);
    if (compressor == Compressor::Maximising) {
        plan.stream = EncodeMaximisedStream(words);
    } else {
        const auto finder = MakeIndexedMatchFinder(words);
        plan.stream = EncodeBlockStream(words, *finder);
    }
    plan.length = static_cast<uint16_t>(length);

    measure.needed = header->streamOffset() + plan.stream.bytes.size();
    const uint64_t streamEnd = uint64_t{measure.blockOffset} + measure.needed;
    measure.code = streamEnd > roomEnd ? tooLarge(streamEnd - roomEnd) : kCompressWritten;
    return plan;
}

}  // namespace

CompressionMeasure MeasureBlockCompression(std::span<const uint8_t> romData, uint32_t blockAddress, uint32_t limit,
                                           uint32_t length, std::span<const uint8_t> source, Compressor compressor) {
    return planCompression(romData, blockAddress, limit, length, source, compressor).measure;
}

uint32_t CompressBlock(std::span<uint8_t> romData, uint32_t blockAddress, uint32_t limit, uint32_t length,
                       std::span<const uint8_t> source, Compressor compressor) {
    const CompressionPlan plan = planCompression(romData, blockAddress, limit, length, source, compressor);
    if (plan.measure.code != kCompressWritten) return plan.measure.code;
    const SourceWords words(source, plan.length / 2u);
    return WriteBlockIfItReadsBack(romData, plan.measure.blockOffset, plan.stream, words);
}

}  // namespace corv::core
