#pragma once
// Data for the codec tests: kana-like text blocks and random bytes from a small or full alphabet.

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace corv::testing {

// Kana-like text: records of mostly zero words, then strings drawn from a small vocabulary of
// character codes with control words, the mix that text blocks have.
inline std::vector<uint8_t> TextLikeBytes(size_t length, std::mt19937& random) {
    std::vector<uint8_t> bytes;
    bytes.reserve(length + 64);
    std::uniform_int_distribution<int> pick(0, 99);
    while (bytes.size() < length) {
        if (pick(random) < 10) {
            for (int i = 0; i < 64; ++i) bytes.push_back(i == 2 ? 2 : i == 14 ? static_cast<uint8_t>(pick(random)) : 0);
            continue;
        }
        const int words = 4 + pick(random) % 30;
        for (int i = 0; i < words; ++i) {
            const int r = pick(random);
            const uint16_t w = r < 8 ? static_cast<uint16_t>(0xF000 | (r << 8)) : static_cast<uint16_t>(0x10 + r % 60);
            bytes.push_back(static_cast<uint8_t>(w & 0xFF));
            bytes.push_back(static_cast<uint8_t>(w >> 8));
        }
        bytes.push_back(0xFF);
        bytes.push_back(0xFF);
    }
    bytes.resize(length);
    return bytes;
}

inline std::vector<uint8_t> RandomBytes(size_t length, std::mt19937& random, int alphabet) {
    std::vector<uint8_t> bytes(length);
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    for (auto& b : bytes) b = static_cast<uint8_t>(pick(random));
    return bytes;
}

}  // namespace corv::testing
