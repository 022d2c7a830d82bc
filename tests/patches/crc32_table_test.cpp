// The CRC-32 of the browser build, which has no zlib, against zlib's own: the same checksum at
// every length around the table's byte steps and on a ROM-sized file, and the same joined
// checksum for lengths up to the largest a 64-bit file can have.

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "patches/crc32.h"

namespace corv::patches {
namespace {

std::vector<uint8_t> randomBytes(size_t length, std::mt19937& random) {
    std::vector<uint8_t> bytes(length);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
    return bytes;
}

uint32_t zlibCrc(const std::vector<uint8_t>& bytes) {
    return static_cast<uint32_t>(crc32_z(crc32_z(0, Z_NULL, 0), bytes.data(), bytes.size()));
}

TEST(Crc32Table, GivesZlibsChecksumAtEveryLength) {
    std::mt19937 random(33);
    for (size_t length = 0; length <= 300; ++length) {
        const std::vector<uint8_t> bytes = randomBytes(length, random);
        EXPECT_EQ(Crc32(bytes), zlibCrc(bytes)) << length;
    }
    const std::vector<uint8_t> rom = randomBytes((size_t{4} << 20) + 512, random);
    EXPECT_EQ(Crc32(rom), zlibCrc(rom));
    EXPECT_EQ(Crc32(std::vector<uint8_t>(1000, 0xFF)), zlibCrc(std::vector<uint8_t>(1000, 0xFF)));
}

TEST(Crc32Table, JoinsChecksumsAsZlibDoesAndFindsTheUnseenPrefix) {
    std::mt19937 random(34);
    for (const uint64_t lengthB : {uint64_t{0}, uint64_t{1}, uint64_t{7}, uint64_t{8}, uint64_t{512}, uint64_t{65537},
                                   uint64_t{4} << 20, (uint64_t{1} << 33) + 5, uint64_t{1} << 40,
                                   (uint64_t{1} << 62) - 3}) {
        for (int pair = 0; pair < 20; ++pair) {
            const auto crcA = static_cast<uint32_t>(random());
            const auto crcB = static_cast<uint32_t>(random());
            EXPECT_EQ(Crc32Concat(crcA, crcB, lengthB),
                      static_cast<uint32_t>(crc32_combine(crcA, crcB, static_cast<z_off_t>(lengthB))))
                << lengthB;
        }
    }
    const std::vector<uint8_t> header = randomBytes(512, random);
    const std::vector<uint8_t> data = randomBytes(70000, random);
    std::vector<uint8_t> whole = header;
    whole.insert(whole.end(), data.begin(), data.end());
    EXPECT_EQ(Crc32Concat(Crc32(header), Crc32(data), data.size()), zlibCrc(whole));
    EXPECT_EQ(Crc32OfPrefix(zlibCrc(whole), Crc32(data), data.size()), zlibCrc(header));
}

}  // namespace
}  // namespace corv::patches
