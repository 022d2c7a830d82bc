#pragma once
// Small hand-made inputs for the script model tests: ROM images holding blocks written with
// literal commands only (so they do not depend on the compressor), and text blocks of records.

#include "support/temp_folder.h"
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/rom_image.h"

namespace corv::script::test {

// Writes `data` (even length) as a block of literal groups at ROM offset `offset` of `rom`.
inline void PutLiteralBlock(std::vector<uint8_t>& rom, uint32_t offset, std::span<const uint8_t> data) {
    const auto words = static_cast<uint32_t>((data.size() + 1) / 2);
    const auto groups = static_cast<uint16_t>((words + 7) / 8);
    const auto length = static_cast<uint16_t>(data.size());
    const auto check = static_cast<uint16_t>(0x10000 - ((length + groups) & 0xFFFF));
    std::vector<uint8_t> block = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8), 0, 0,
                                  static_cast<uint8_t>(groups), static_cast<uint8_t>(groups >> 8),
                                  static_cast<uint8_t>(check),  static_cast<uint8_t>(check >> 8)};
    for (uint32_t g = 0; g < groups; ++g) {
        block.push_back(0);  // control word: eight literals
        block.push_back(0);
        for (uint32_t w = 0; w < 16; ++w) {
            const size_t at = size_t{g} * 16 + w;
            block.push_back(at < data.size() ? data[at] : 0);
        }
    }
    if (rom.size() < offset + block.size()) rom.resize(offset + block.size());
    std::copy(block.begin(), block.end(), rom.begin() + offset);
}

// A ROM of `size` bytes with the game title in place.
inline std::vector<uint8_t> TitledRom(size_t size = 0x80000) {
    std::vector<uint8_t> rom(size, 0);
    const std::string title = "CORVANE";
    std::copy(title.begin(), title.end(), rom.begin() + core::kTitleOffset);
    return rom;
}

// A text block: one 64-byte record per string (type 2 and the string's pointer, or the type
// given), the terminator record, then the strings' words.
struct TestRecord {
    uint16_t type = 2;
    std::vector<uint16_t> words;  // the string, end mark included
};

inline std::vector<uint8_t> TextBlock(const std::vector<TestRecord>& records) {
    std::vector<uint8_t> block((records.size() + 1) * 64, 0);
    block[records.size() * 64] = 0xFF;
    block[records.size() * 64 + 1] = 0xFF;
    for (size_t k = 0; k < records.size(); ++k) {
        const auto pointer = static_cast<uint16_t>(block.size());
        block[k * 64 + 2] = static_cast<uint8_t>(records[k].type);
        block[k * 64 + 3] = static_cast<uint8_t>(records[k].type >> 8);
        block[k * 64 + 14] = static_cast<uint8_t>(pointer);
        block[k * 64 + 15] = static_cast<uint8_t>(pointer >> 8);
        for (uint16_t word : records[k].words) {
            block.push_back(static_cast<uint8_t>(word));
            block.push_back(static_cast<uint8_t>(word >> 8));
        }
    }
    return block;
}

inline std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

using corv::testing::TempFolder;

}  // namespace corv::script::test
