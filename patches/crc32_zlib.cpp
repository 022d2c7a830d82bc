#include "patches/crc32.h"

#include <zlib.h>

namespace corv::patches {

uint32_t Crc32(std::span<const uint8_t> bytes) {
    return static_cast<uint32_t>(crc32_z(crc32_z(0, Z_NULL, 0), bytes.data(), bytes.size()));
}

uint32_t Crc32Concat(uint32_t crcA, uint32_t crcB, uint64_t lengthB) {
    return static_cast<uint32_t>(crc32_combine(crcA, crcB, static_cast<z_off_t>(lengthB)));
}

}  // namespace corv::patches
