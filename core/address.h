#pragma once
#include <cstdint>
#include <cstdio>

namespace corv::core {

// HiROM: banks $40-$7F and $C0-$FF mirror the same ROM, so clearing bits 22 and 23 of a
// 24-bit 24-bit address gives its offset in the ROM data. No bounds check: callers check.
[[nodiscard]] constexpr uint32_t AddressToRomOffset(uint32_t blockAddress) {
    return blockAddress & ~uint32_t{0xC00000};
}

// Length of an open file in bytes, or -1 for no file; the file position is left unchanged.
[[nodiscard]] int32_t FileSizeOf(std::FILE* file);

}  // namespace corv::core
