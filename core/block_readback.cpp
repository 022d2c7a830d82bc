#include "core/block_readback.h"

#include <algorithm>
#include <vector>

#include "core/block_decoder.h"
#include "core/byte_order.h"

namespace corv::core {

uint32_t WriteBlockIfItReadsBack(std::span<uint8_t> romData, uint32_t blockOffset, const EncodedStream& stream,
                                 const SourceWords& words) {
    const auto oldHeader = ReadBlockHeader(romData, blockOffset);
    if (!oldHeader || !oldHeader->valid()) return kCompressBadHeader;
    BlockHeader header = *oldHeader;
    header.length = static_cast<uint16_t>(words.count() * 2);
    header.groups = stream.groups;
    header.check = BlockHeader::checkWordFor(header.length, header.dictionary, header.groups);

    // The block as it will stand in the ROM: new header, old dictionary, new stream.
    const size_t streamOffset = header.streamOffset();
    if (size_t{blockOffset} + streamOffset + stream.bytes.size() > romData.size()) return kCompressReadBackFailed;
    std::vector<uint8_t> block(streamOffset + stream.bytes.size());
    writeLe16(block, 0, header.length);
    writeLe16(block, 2, header.dictionary);
    writeLe16(block, 4, header.groups);
    writeLe16(block, 6, header.check);
    const auto dictionary = romData.subspan(blockOffset + kBlockHeaderSize, streamOffset - kBlockHeaderSize);
    std::copy(dictionary.begin(), dictionary.end(), block.begin() + kBlockHeaderSize);
    std::copy(stream.bytes.begin(), stream.bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(streamOffset));

    // Decoded into a cleared area, as the decompressor does.
    std::vector<uint8_t> output(kBlockHalfSize, 0);
    const StreamDecodeResult decoded =
        DecodeBlockStream(block, 0, header, std::span<uint8_t, kBlockHalfSize>(output.data(), kBlockHalfSize));
    if (decoded.truncated || decoded.end != block.size()) return kCompressReadBackFailed;
    for (uint32_t i = 0; i < words.count(); ++i) {
        if (readLe16(output, size_t{i} * 2) != words[i]) return kCompressReadBackFailed;
    }

    std::copy(block.begin(), block.end(), romData.begin() + blockOffset);
    return kCompressWritten;
}

}  // namespace corv::core
