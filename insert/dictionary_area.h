#pragma once
// The dictionary area in the ROM: the words that the translated text refers to with 01 nn.
//
//   0x134B00  512 little-endian 16-bit pointers, entry k for slot k: the word's offset within
//             the 64 KiB bank that holds the area (the first word is at 0x4F00)
//   0x134F00  the words in slot order: a slot's characters followed by 0xFF, or for a slot
//             without a word the placeholder of seven blanks and 0xFF
//
// Slots 256 to 511 never hold a word, so the area always ends with at least 256 placeholders.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/rom_image.h"
#include "script/table_file.h"

namespace corv::insert {

inline constexpr uint32_t kDictionaryPointerOffset = 0x134B00;
inline constexpr uint32_t kDictionaryWordsOffset = 0x134F00;
inline constexpr unsigned kDictionarySlotCount = 512;
// The pointers address the bank 0x130000-0x13FFFF: the words must end by its last byte.
inline constexpr uint32_t kDictionaryBankEnd = 0x140000;

struct DictionaryArea {
    std::array<uint8_t, 2 * kDictionarySlotCount> pointers{};  // ready to copy to 0x134B00
    std::vector<uint8_t> words;                                // ready to copy to 0x134F00
};

// Lays out the area from the table's dictionary map (empty words take the 0xFF alone).
[[nodiscard]] DictionaryArea BuildDictionaryArea(const script::TableFile& table);

enum class DictionaryAreaResult {
    Written,
    NoRom,          // nothing loaded: nothing done
    NoTable,        // no table file name recorded
    RomTooSmall,    // the ROM data ends before the area would end
    WordsPastBank,  // the words would run past 0x13FFFF, out of reach of the 16-bit pointers
};

// Writes the area into the ROM data and sets the modified flag; every refusal leaves the ROM
// untouched. Bytes after the last word stay as they were.
[[nodiscard]] DictionaryAreaResult InsertDictionaryArea(core::RomImage& rom, const script::TableFile& table);

// The message shown for `result` (empty for NoRom).
[[nodiscard]] std::string DictionaryAreaMessage(DictionaryAreaResult result);

}  // namespace corv::insert
