#include "insert/dictionary_area.h"

#include <algorithm>
#include <string_view>

#include "core/byte_order.h"

namespace corv::insert {
namespace {

constexpr std::string_view kPlaceholder = "       \xFF";  // seven blanks and the end byte
constexpr uint32_t kBankPointerBase = 0x4F00;              // 0x134F00 within its bank

}  // namespace

DictionaryArea BuildDictionaryArea(const script::TableFile& table) {
    DictionaryArea area;
    for (unsigned slot = 0; slot < kDictionarySlotCount; ++slot) {
        const size_t position = area.words.size();
        core::writeLe16(area.pointers, 2 * slot, static_cast<uint16_t>((position + kBankPointerBase) & 0xFFFF));
        const std::optional<std::string>& word = table.dictionaryWord(slot);
        if (word) {
            // Words are written with the letters of the character map, as the encoder writes text.
            for (const char c : *word) area.words.push_back(table.characterMap().byteOf(c));
            area.words.push_back(0xFF);
        } else {
            area.words.insert(area.words.end(), kPlaceholder.begin(), kPlaceholder.end());
        }
    }
    return area;
}

DictionaryAreaResult InsertDictionaryArea(core::RomImage& rom, const script::TableFile& table) {
    if (!rom.loaded()) return DictionaryAreaResult::NoRom;
    if (!table.hasName()) return DictionaryAreaResult::NoTable;

    const DictionaryArea area = BuildDictionaryArea(table);
    const size_t wordsEnd = size_t{kDictionaryWordsOffset} + area.words.size();
    if (wordsEnd > kDictionaryBankEnd) return DictionaryAreaResult::WordsPastBank;
    if (wordsEnd > rom.dataSize()) return DictionaryAreaResult::RomTooSmall;

    const auto data = rom.data();
    std::copy(area.pointers.begin(), area.pointers.end(), data.begin() + kDictionaryPointerOffset);
    std::copy(area.words.begin(), area.words.end(), data.begin() + kDictionaryWordsOffset);
    rom.setModified(true);
    return DictionaryAreaResult::Written;
}

std::string DictionaryAreaMessage(DictionaryAreaResult result) {
    switch (result) {
    case DictionaryAreaResult::Written: return "Compression inserted successfully!";
    case DictionaryAreaResult::NoRom: return {};
    case DictionaryAreaResult::NoTable: return "Error: Must load a table file first!";
    case DictionaryAreaResult::RomTooSmall:
        return "Error: The ROM is too small to hold the compression area. Nothing was written.";
    case DictionaryAreaResult::WordsPastBank:
        return "Error: The compression words do not fit in their 64 KiB bank. Nothing was written.";
    }
    return {};
}

}  // namespace corv::insert
