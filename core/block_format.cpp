#include "core/block_format.h"

#include "core/byte_order.h"

namespace corv::core {

std::optional<BlockHeader> ReadBlockHeader(std::span<const uint8_t> romData, uint32_t offset) {
    if (offset > romData.size() || romData.size() - offset < kBlockHeaderSize) return std::nullopt;
    BlockHeader header;
    header.length = readLe16(romData, offset);
    header.dictionary = readLe16(romData, offset + 2);
    header.groups = readLe16(romData, offset + 4);
    header.check = readLe16(romData, offset + 6);
    return header;
}

}  // namespace corv::core
