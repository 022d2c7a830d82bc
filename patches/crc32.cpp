#include "patches/crc32.h"

#include <array>
#include <utility>

// Crc32 and Crc32Concat come from crc32_zlib.cpp, or from crc32_table.cpp where there is no zlib.

namespace corv::patches {

uint32_t Crc32OfPrefix(uint32_t whole, uint32_t crcB, uint64_t lengthB) {
    // Concat(a, crcB, n) = M·a xor crcB, where M (multiplying by x^8n modulo the polynomial) is
    // an invertible 32x32 matrix over GF(2): its columns are Concat(2^j, 0, n). Solve M·a = whole
    // xor crcB by Gauss-Jordan elimination on the rows [M | rhs].
    std::array<uint64_t, 32> rows{};  // bits 0-31: the row of M; bit 32: the right-hand side
    const uint32_t rhs = whole ^ crcB;
    for (int column = 0; column < 32; ++column) {
        const uint32_t image = Crc32Concat(uint32_t{1} << column, 0, lengthB);
        for (int row = 0; row < 32; ++row) {
            if ((image >> row) & 1) rows[static_cast<size_t>(row)] |= uint64_t{1} << column;
        }
    }
    for (int row = 0; row < 32; ++row) rows[static_cast<size_t>(row)] |= uint64_t{(rhs >> row) & 1} << 32;
    for (size_t column = 0; column < 32; ++column) {
        size_t pivot = column;
        while (pivot < 32 && !((rows[pivot] >> column) & 1)) ++pivot;
        if (pivot == 32) continue;  // cannot happen: x is prime to the polynomial
        std::swap(rows[pivot], rows[column]);
        for (size_t row = 0; row < 32; ++row) {
            if (row != column && ((rows[row] >> column) & 1)) rows[row] ^= rows[column];
        }
    }
    uint32_t prefix = 0;
    for (size_t row = 0; row < 32; ++row) prefix |= static_cast<uint32_t>((rows[row] >> 32) & 1) << row;
    return prefix;
}

}  // namespace corv::patches
