#pragma once
// Comparison of up to sixteen words at once, shared by the match searches of both compressors.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/block_stream.h"

namespace corv::core {

// Sixteen words held for comparisons with many places, loaded once where the processor can.
class SixteenWords {
public:
    static_assert(kMaxMatchWords == 16);

    explicit SixteenWords(const uint16_t* words) {
#if defined(__SSE2__)
        low_ = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words));
        high_ = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words) + 1);
#else
        std::memcpy(words_.data(), words, sizeof words_);
#endif
    }

    // The limit of equalPrefix for at most `length` (up to 16) words.
    [[nodiscard]] static constexpr uint64_t limitOf(uint32_t length) { return (uint64_t{1} << (2 * length)) - 1; }

    // How many of the 16 words from `other` on equal these, at most the length of `limit`.
    [[nodiscard]] uint32_t equalPrefix(const uint16_t* other, uint64_t limit) const {
#if defined(__SSE2__)
        const auto* at = reinterpret_cast<const __m128i*>(other);
        const auto low = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(at), low_)));
        const auto high = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(at + 1), high_)));
        const uint64_t equal = (low | (uint64_t{high} << 16)) & limit;  // two bits per word
        return static_cast<uint32_t>(std::countr_one(equal)) / 2;
#else
        const auto limitWords = static_cast<uint32_t>(std::popcount(limit)) / 2;
        uint32_t length = 0;
        while (length < limitWords && other[length] == words_[length]) ++length;
        return length;
#endif
    }

private:
#if defined(__SSE2__)
    __m128i low_;
    __m128i high_;
#else
    std::array<uint16_t, kMaxMatchWords> words_;
#endif
};

}  // namespace corv::core
