#pragma once
// The 64-byte string records at the start of a decompressed text block. A record whose first
// word is 0xFFFF ends the table; word 1 is the record type (2 for text); word 7 is the text
// pointer, a byte offset into the block.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/byte_order.h"

namespace corv::script {

inline constexpr size_t kRecordSize = 64;
inline constexpr size_t kRecordTypeOffset = 2;
inline constexpr size_t kRecordTextPointerOffset = 14;
inline constexpr uint16_t kTextRecordType = 2;
inline constexpr uint16_t kRecordTableEnd = 0xFFFF;

// Byte offset of record `index` in the block.
[[nodiscard]] constexpr size_t RecordOffset(size_t index) { return index * kRecordSize; }

// Word 7 of record `index`; the record must lie inside the block.
[[nodiscard]] inline uint16_t RecordTextPointer(std::span<const uint8_t> block, size_t index) {
    return core::readLe16(block, RecordOffset(index) + kRecordTextPointerOffset);
}

// The record type word of record `index`; the record must lie inside the block.
[[nodiscard]] inline uint16_t RecordType(std::span<const uint8_t> block, size_t index) {
    return core::readLe16(block, RecordOffset(index) + kRecordTypeOffset);
}

}  // namespace corv::script
