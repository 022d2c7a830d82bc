#pragma once
// An independent reader of a compressed block's command stream, for tests that ask what kinds
// of commands a stream holds (the codec's own decoder only produces bytes).

#include <cstdint>
#include <span>

namespace corv::testing {

struct CommandCounts {
    uint32_t literals = 0;
    uint32_t dictionary = 0;       // dictionary word commands
    uint32_t dictionaryBadIndex = 0;  // ... whose index is not 4 + i for a dictionary word i
    uint32_t shortReferences = 0;
    uint32_t longReferences = 0;
    uint32_t overlapping = 0;      // back-references whose distance is smaller than their length
    uint32_t groups = 0;
    uint32_t produced = 0;         // output bytes of all groups (not wrapped)
    uint32_t endOffset = 0;        // ROM offset after the last operand
};

// Walks the block at `offset` in `rom` (header already known to be valid).
[[nodiscard]] inline CommandCounts WalkBlockStream(std::span<const uint8_t> rom, uint32_t offset) {
    const auto word = [&rom](uint32_t at) { return static_cast<uint16_t>(rom[at] | (rom[at + 1] << 8)); };
    CommandCounts counts;
    const uint16_t dictionaryWords = word(offset + 2);
    const auto groups = static_cast<int16_t>(word(offset + 4));
    uint32_t r = offset + 8 + 2u * dictionaryWords;
    for (int g = 0; g < groups; ++g) {
        ++counts.groups;
        uint16_t control = word(r);
        r += 2;
        for (int c = 0; c < 8; ++c) {
            const unsigned kind = control >> 14;
            control = static_cast<uint16_t>(control << 2);
            if (kind <= 1) counts.produced += 2;
            if (kind == 0) {
                ++counts.literals;
                r += 2;
            } else if (kind == 1) {
                const uint16_t index = word(r);
                ++counts.dictionary;
                if (index < 4 || index >= 4u + dictionaryWords) ++counts.dictionaryBadIndex;
                r += 2;
            } else {
                const unsigned value = kind == 2 ? rom[r] : word(r);
                r += kind == 2 ? 1 : 2;
                const unsigned distance = (value >> 4) + 1;
                const unsigned length = (value & 0xF) + 1;
                ++(kind == 2 ? counts.shortReferences : counts.longReferences);
                counts.produced += 2 * length;
                if (distance < length) ++counts.overlapping;
            }
        }
    }
    counts.endOffset = r;
    return counts;
}

}  // namespace corv::testing
