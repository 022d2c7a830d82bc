#pragma once
// The stream of a compressed block, shared by both compressors and the read-back that every
// compression into the ROM ends with: the words to compress, matches in the window, the encoded
// groups, the standard encoding of them, and the result codes of a compression.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace corv::core {

inline constexpr uint32_t kCompressWritten = 0;
inline constexpr uint32_t kCompressBadHeader = static_cast<uint32_t>(-3);
inline constexpr uint32_t kCompressTooLargeTag = 0xFFFE;
// The too-large code has 16 bits for the excess: a larger one is reported as this value.
inline constexpr uint32_t kMaxCodedExcess = 0xFFFF;
// The new block did not decode back to its data (a fault of the encoder, never of the input):
// nothing was written.
inline constexpr uint32_t kCompressReadBackFailed = static_cast<uint32_t>(-4);
inline constexpr uint32_t kMatchWindowWords = 2048;
inline constexpr uint32_t kMaxMatchWords = 16;
// The decoder's output wraps after this many words, onto the block's start.
inline constexpr uint32_t kOutputWords = 0x8000;

[[nodiscard]] constexpr bool IsTooLarge(uint32_t result) { return (result & 0xFFFF) == kCompressTooLargeTag; }
[[nodiscard]] constexpr uint32_t ExcessBytes(uint32_t result) { return result >> 16; }

// The words of the data to compress: N words of data, followed by whatever the buffer holds
// after them (the last group encodes those too). Words past the end of the view read as 0.
class SourceWords {
public:
    SourceWords(std::span<const uint8_t> bytes, uint32_t wordCount) : bytes_(bytes), count_(wordCount) {}
    [[nodiscard]] uint32_t count() const { return count_; }
    [[nodiscard]] std::span<const uint8_t> bytes() const { return bytes_; }
    [[nodiscard]] uint16_t operator[](uint32_t index) const {
        const size_t at = size_t{index} * 2;
        const uint8_t lo = at < bytes_.size() ? bytes_[at] : 0;
        const uint8_t hi = at + 1 < bytes_.size() ? bytes_[at + 1] : 0;
        return static_cast<uint16_t>(lo | (hi << 8));
    }

private:
    std::span<const uint8_t> bytes_;
    uint32_t count_;
};

struct WordMatch {
    uint32_t length = 0;    // in words, 0 when nothing matches
    uint32_t distance = 0;  // in words back from the current position
};

// Finds, for position p, the longest earlier match within the window of 2048 words, at most
// `maxLength` words long (1 to 16), the oldest candidate winning among equally long ones; a source
// word never reaches p or the end of the data. Positions are asked for in increasing order.
// A finder may report a one-word match whose oldest candidate lies 16 or more words back as no
// match: the stream holds a literal for either.
class MatchFinder {
public:
    virtual ~MatchFinder() = default;
    [[nodiscard]] virtual WordMatch longestMatch(uint32_t position, uint32_t maxLength) = 0;
};

// The production finder: chains of the window's positions by pair of words, walked a run of one
// repeated word at a time, which give exactly the streams of an exhaustive oldest-first scan of
// the window. The finder copies the words it needs.
[[nodiscard]] std::unique_ptr<MatchFinder> MakeIndexedMatchFinder(const SourceWords& words);

struct EncodedStream {
    std::vector<uint8_t> bytes;  // the groups, back to back
    uint16_t groups = 0;
};

// The most words command `command` (0 to 7) of a group at word position p may write: 16, and no
// more than the decoder can still write before its output wraps at 64 KiB onto the block's start
// while every later command of the group writes at least one.
[[nodiscard]] uint32_t MatchLengthLimit(uint32_t p, uint32_t command);

// Encodes all words (and, in the last group, the words after them) into groups. A block of at
// most 32,767 words never makes the decoder's output pass 64 KiB.
[[nodiscard]] EncodedStream EncodeBlockStream(const SourceWords& words, MatchFinder& finder);

}  // namespace corv::core
