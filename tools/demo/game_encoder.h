#pragma once
// A block encoder in the style of the game's own tool chain, used only to build the demo ROM.
// Unlike the editor's compressor it builds a per-block dictionary of frequent words and refers
// to it, prefers the nearest of equally long matches, reaches 4096 words back, and lets
// back-references overlap the words they produce (runs come out as distance-1 copies). It
// therefore gives the decoder streams the production compressor never writes.

#include <cstdint>
#include <span>
#include <vector>

namespace corv::demo {

struct GameEncoderOptions {
    uint32_t dictionaryWords = 16;  // at most this many of the most frequent words
    // Pad the stream with groups of zero literals (output past the data, which readers ignore)
    // until it is at least this long in bytes ...
    uint32_t minimumStreamBytes = 0;
    // ... as long as the decoder's output stays within this many bytes (the 64 KiB output area
    // must not wrap onto the data).
    uint32_t maximumOutputBytes = 0xFFF0;
};

struct GameEncodedBlock {
    std::vector<uint8_t> bytes;        // header, dictionary and groups
    std::vector<uint16_t> dictionary;
    uint16_t groups = 0;               // all groups, padding included
    uint16_t paddingGroups = 0;
    [[nodiscard]] uint32_t streamBytes() const {
        return static_cast<uint32_t>(bytes.size() - 8 - 2 * dictionary.size());
    }
};

// Encodes `data` (an even number of bytes, at most 65,534) as a complete block.
[[nodiscard]] GameEncodedBlock EncodeGameBlock(std::span<const uint8_t> data, const GameEncoderOptions& options);

}  // namespace corv::demo
