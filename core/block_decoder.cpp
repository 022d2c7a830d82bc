#include "core/block_decoder.h"

#include <algorithm>

#include "core/address.h"
#include "core/byte_order.h"
#include "core/rom_image.h"

namespace corv::core {

namespace {

// The 64 KiB output area with its 16-bit position: output never leaves the area.
class WrappingOutput {
public:
    explicit WrappingOutput(std::span<uint8_t, kBlockHalfSize> area) : area_(area) {}

    void putWord(uint16_t word) {
        area_[position_] = static_cast<uint8_t>(word & 0xFF);
        ++position_;
        area_[position_] = static_cast<uint8_t>(word >> 8);
        ++position_;
        produced_ = static_cast<uint16_t>(produced_ + 2);
    }
    // Byte by byte and forward, so a distance shorter than the length repeats what this copy wrote.
    void copyBack(uint32_t distance, uint32_t count) {
        uint16_t source = static_cast<uint16_t>(position_ - distance);
        for (uint32_t i = 0; i < count; ++i) {
            area_[position_] = area_[source];
            ++position_;
            ++source;
        }
        produced_ = static_cast<uint16_t>(produced_ + count);
    }
    [[nodiscard]] uint16_t produced() const { return produced_; }

private:
    std::span<uint8_t, kBlockHalfSize> area_;
    uint16_t position_ = 0;
    uint16_t produced_ = 0;
};

// Distance and length in bytes of a back-reference operand: high bits = words back - 1,
// low nibble = words - 1.
constexpr uint32_t referenceDistance(uint32_t operand) { return 2 * (operand >> 4) + 2; }
constexpr uint32_t referenceLength(uint32_t operand) { return 2 * ((operand & 0x0F) + 1); }

}  // namespace

StreamDecodeResult DecodeBlockStream(std::span<const uint8_t> romData, uint32_t blockOffset,
                                     const BlockHeader& header, std::span<uint8_t, kBlockHalfSize> output) {
    WrappingOutput out(output);
    ByteCursor in(romData, std::min<size_t>(size_t{blockOffset} + header.streamOffset(), romData.size()));
    StreamDecodeResult result;
    const auto stop = [&](size_t at) {
        result.end = static_cast<uint32_t>(at);
        result.produced = out.produced();
        result.truncated = true;
        return result;
    };

    for (int16_t groups = static_cast<int16_t>(header.groups); groups > 0; --groups) {
        const size_t controlAt = in.position();
        const auto control = in.u16le();
        if (!control) return stop(controlAt);
        uint16_t bits = *control;
        for (int command = 0; command < 8; ++command, bits = static_cast<uint16_t>(bits << 2)) {
            const size_t operandAt = in.position();
            switch (static_cast<BlockCommand>(bits >> 14)) {
                case BlockCommand::Literal: {
                    const auto word = in.u16le();
                    if (!word) return stop(operandAt);
                    out.putWord(*word);
                    break;
                }
                case BlockCommand::Dictionary: {
                    const auto index = in.u16le();
                    const size_t wordAt = size_t{blockOffset} + 2 * size_t{index.value_or(0)};
                    if (!index || wordAt + 2 > romData.size()) return stop(operandAt);
                    out.putWord(readLe16(romData, wordAt));
                    break;
                }
                case BlockCommand::ShortReference: {
                    const auto operand = in.u8();
                    if (!operand) return stop(operandAt);
                    out.copyBack(referenceDistance(*operand), referenceLength(*operand));
                    break;
                }
                case BlockCommand::LongReference: {
                    const auto operand = in.u16le();
                    if (!operand) return stop(operandAt);
                    out.copyBack(referenceDistance(*operand), referenceLength(*operand));
                    break;
                }
            }
        }
    }
    result.end = static_cast<uint32_t>(in.position());
    result.produced = out.produced();
    return result;
}

uint32_t DecompressBlock(std::span<const uint8_t> romData, uint32_t blockAddress, BlockBuffer& buffer) {
    std::fill(buffer.begin(), buffer.end(), uint8_t{0});
    const uint32_t offset = AddressToRomOffset(blockAddress);
    const auto header = ReadBlockHeader(romData, offset);
    if (!header || !header->valid()) return kBadBlockHeader;

    const BlockHalf lower = buffer.lower();
    const BlockHalf upper = buffer.upper();
    const StreamDecodeResult result = DecodeBlockStream(romData, offset, *header, upper);
    std::copy(upper.begin(), upper.end(), lower.begin());
    writeLe16(upper, 0, header->length);
    return result.end;
}

uint16_t DecompressedLength(const BlockBuffer& buffer) {
    return readLe16(buffer.upper(), 0);
}

SaveResult DumpDecompressedBlock(const BlockBuffer& buffer, uint32_t length, const std::filesystem::path& path,
                                 const SaveOptions& options) {
    const size_t count = std::min<size_t>(length, kBlockHalfSize);
    return WriteFileSafely(path, buffer.lower().first(count), options);
}

}  // namespace corv::core
