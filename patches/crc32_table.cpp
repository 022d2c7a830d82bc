#include "patches/crc32.h"

#include <array>

// The CRC-32 without zlib, for the browser build (Emscripten's zlib is a port it downloads). The
// polynomial is taken bit-reflected, as zlib and PNG do: bit 31 holds the coefficient of x^0.

namespace corv::patches {
namespace {

constexpr uint32_t kPolynomial = 0xEDB88320;

// The remainder times x, modulo the polynomial.
constexpr uint32_t TimesX(uint32_t value) { return (value & 1) ? (value >> 1) ^ kPolynomial : value >> 1; }

constexpr std::array<uint32_t, 256> kByteTable = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint32_t value = byte;
        for (int bit = 0; bit < 8; ++bit) value = TimesX(value);
        table[byte] = value;
    }
    return table;
}();

constexpr uint32_t Multiply(uint32_t a, uint32_t b) {
    uint32_t product = 0;
    for (uint32_t coefficient = 0x80000000; coefficient != 0; coefficient >>= 1) {
        if (a & coefficient) product ^= b;
        b = TimesX(b);
    }
    return product;
}

constexpr uint32_t kOne = 0x80000000;          // x^0
constexpr uint32_t kOneByteShift = 0x00800000;  // x^8
static_assert(Multiply(kOne, kOneByteShift) == kOneByteShift);

}  // namespace

uint32_t Crc32(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (const uint8_t byte : bytes) crc = kByteTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFF;
}

uint32_t Crc32Concat(uint32_t crcA, uint32_t crcB, uint64_t lengthB) {
    // CRC(A B) = CRC(A) · x^(8·|B|) + CRC(B) modulo the polynomial: the register's starting and
    // final inversions cancel out. x^(8·|B|) by squaring x^8 along the bits of the length.
    uint32_t shift = kOne;
    uint32_t square = kOneByteShift;
    for (uint64_t n = lengthB; n != 0; n >>= 1) {
        if (n & 1) shift = Multiply(shift, square);
        square = Multiply(square, square);
    }
    return Multiply(crcA, shift) ^ crcB;
}

}  // namespace corv::patches
