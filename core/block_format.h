#pragma once
// The game's compressed block: four little-endian header words (decompressed length w0,
// dictionary length D in words, group count G, check word; the four sum to 0 mod 65536),
// D dictionary words, then G groups of a control word and eight two-bit commands.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace corv::core {

inline constexpr size_t kBlockHalfSize = 0x10000;                // 64 KiB
inline constexpr size_t kBlockBufferSize = 2 * kBlockHalfSize;   // 128 KiB
inline constexpr uint32_t kBlockHeaderSize = 8;
inline constexpr uint32_t kMaxBlockFileSize = 65534;             // largest even 16-bit length

// The two-bit commands, top bits of the control word first.
enum class BlockCommand : uint8_t { Literal = 0, Dictionary = 1, ShortReference = 2, LongReference = 3 };

struct BlockHeader {
    uint16_t length = 0;       // w0: decompressed length in bytes
    uint16_t dictionary = 0;   // w1: dictionary length in words
    uint16_t groups = 0;       // w2: group count (read as signed by the decoder)
    uint16_t check = 0;        // w3
    [[nodiscard]] bool valid() const {
        return static_cast<uint16_t>(length + dictionary + groups + check) == 0;
    }
    // Offset of the first group from the start of the block.
    [[nodiscard]] uint32_t streamOffset() const { return kBlockHeaderSize + 2u * dictionary; }
    [[nodiscard]] static uint16_t checkWordFor(uint16_t length, uint16_t dictionary, uint16_t groups) {
        return static_cast<uint16_t>(0x10000 - ((length + dictionary + groups) & 0xFFFF));
    }
};

// The header at ROM offset `offset`, or std::nullopt when its 8 bytes lie past the data.
[[nodiscard]] std::optional<BlockHeader> ReadBlockHeader(std::span<const uint8_t> romData, uint32_t offset);

using BlockHalf = std::span<uint8_t, kBlockHalfSize>;
using ConstBlockHalf = std::span<const uint8_t, kBlockHalfSize>;

// The editor's 128 KiB work area: lower half = decompressed current block, upper half = the
// codec's staging area. Callers take the halves by name instead of cutting the bytes by hand.
struct BlockBuffer : std::array<uint8_t, kBlockBufferSize> {
    [[nodiscard]] BlockHalf lower() { return BlockHalf(data(), kBlockHalfSize); }
    [[nodiscard]] ConstBlockHalf lower() const { return ConstBlockHalf(data(), kBlockHalfSize); }
    [[nodiscard]] BlockHalf upper() { return BlockHalf(data() + kBlockHalfSize, kBlockHalfSize); }
    [[nodiscard]] ConstBlockHalf upper() const { return ConstBlockHalf(data() + kBlockHalfSize, kBlockHalfSize); }
};

}  // namespace corv::core
