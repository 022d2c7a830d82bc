#include "patches/digests.h"

#include <bit>
#include <vector>

namespace corv::patches {
namespace {

// Both digests pad the message the same way: a 1 bit, zeros, and the length in bits as a
// 64-bit number (little-endian for MD5, big-endian for SHA-1) filling the last 64-byte block.
std::vector<uint8_t> padded(std::span<const uint8_t> bytes, bool bigEndianLength) {
    std::vector<uint8_t> message(bytes.begin(), bytes.end());
    message.push_back(0x80);
    while (message.size() % 64 != 56) message.push_back(0);
    const uint64_t bits = uint64_t{bytes.size()} * 8;
    for (int i = 0; i < 8; ++i) {
        const int shift = bigEndianLength ? 56 - 8 * i : 8 * i;
        message.push_back(static_cast<uint8_t>(bits >> shift));
    }
    return message;
}

constexpr std::array<uint32_t, 64> kMd5Sines = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};
constexpr std::array<int, 16> kMd5Shifts = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

}  // namespace

Md5Digest Md5(std::span<const uint8_t> bytes) {
    std::array<uint32_t, 4> state = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const std::vector<uint8_t> message = padded(bytes, false);
    for (size_t block = 0; block < message.size(); block += 64) {
        std::array<uint32_t, 16> words{};
        for (size_t i = 0; i < 16; ++i) {
            const uint8_t* at = &message[block + 4 * i];
            words[i] = uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
        }
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        for (uint32_t i = 0; i < 64; ++i) {
            uint32_t f = 0, g = 0;
            switch (i / 16) {
            case 0: f = (b & c) | (~b & d); g = i; break;
            case 1: f = (d & b) | (~d & c); g = (5 * i + 1) % 16; break;
            case 2: f = b ^ c ^ d; g = (3 * i + 5) % 16; break;
            default: f = c ^ (b | ~d); g = (7 * i) % 16; break;
            }
            const uint32_t rotated = std::rotl(a + f + kMd5Sines[i] + words[g], kMd5Shifts[(i / 16) * 4 + i % 4]);
            a = d;
            d = c;
            c = b;
            b += rotated;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
    }
    Md5Digest digest{};
    for (size_t i = 0; i < 16; ++i) digest[i] = static_cast<uint8_t>(state[i / 4] >> (8 * (i % 4)));
    return digest;
}

Sha1Digest Sha1(std::span<const uint8_t> bytes) {
    std::array<uint32_t, 5> state = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    const std::vector<uint8_t> message = padded(bytes, true);
    std::array<uint32_t, 80> words{};
    for (size_t block = 0; block < message.size(); block += 64) {
        for (size_t i = 0; i < 16; ++i) {
            const uint8_t* at = &message[block + 4 * i];
            words[i] = uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | uint32_t{at[3]};
        }
        for (size_t i = 16; i < 80; ++i) {
            words[i] = std::rotl(words[i - 3] ^ words[i - 8] ^ words[i - 14] ^ words[i - 16], 1);
        }
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        for (size_t i = 0; i < 80; ++i) {
            uint32_t f = 0, k = 0;
            switch (i / 20) {
            case 0: f = (b & c) | (~b & d); k = 0x5A827999; break;
            case 1: f = b ^ c ^ d; k = 0x6ED9EBA1; break;
            case 2: f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDC; break;
            default: f = b ^ c ^ d; k = 0xCA62C1D6; break;
            }
            const uint32_t next = std::rotl(a, 5) + f + e + k + words[i];
            e = d;
            d = c;
            c = std::rotl(b, 30);
            b = a;
            a = next;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
    Sha1Digest digest{};
    for (size_t i = 0; i < 20; ++i) digest[i] = static_cast<uint8_t>(state[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

std::string DigestHex(std::span<const uint8_t> digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const uint8_t byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

}  // namespace corv::patches
