// The dictionary area: pointer table and words written from the table file's dictionary map.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "core/byte_order.h"
#include "core/rom_image.h"
#include "insert/insert_test_support.h"
#include "insert/dictionary_area.h"

namespace corv::insert {
using namespace corv::script;
namespace {

using ::testing::ElementsAre;
using testing_support::LoadedTable;

core::RomImage romOfSize(uint32_t size, uint8_t fill = 0xA5) {
    core::RomImage rom(std::vector<uint8_t>(size, fill), "dictionary_test.smc");
    EXPECT_EQ(rom.headerSize(), 0u);
    return rom;
}

uint16_t pointer(const core::RomImage& rom, unsigned slot) {
    return core::readLe16(rom.data(), insert::kDictionaryPointerOffset + 2 * slot);
}

std::vector<uint8_t> romBytes(const core::RomImage& rom, uint32_t offset, size_t count) {
    return {rom.data().begin() + offset, rom.data().begin() + offset + count};
}

TEST(DictionaryArea, WithoutWordsTheAreaIsPlaceholders) {
    core::RomImage rom = romOfSize(0x200000);
    const TableFile table = LoadedTable("; no dictionary lines\n41=A\n");
    EXPECT_EQ(insert::InsertDictionaryArea(rom, table), insert::DictionaryAreaResult::Written);
    EXPECT_TRUE(rom.modified());
    for (unsigned slot = 0; slot < insert::kDictionarySlotCount; ++slot) {
        ASSERT_EQ(pointer(rom, slot), 0x4F00 + 8 * slot) << "slot " << slot;
        ASSERT_THAT(romBytes(rom, insert::kDictionaryWordsOffset + 8 * slot, 8),
                    ElementsAre(0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0xFF));
    }
    // 512 placeholders take 4096 bytes; the byte after them is left alone.
    EXPECT_EQ(rom.data()[insert::kDictionaryWordsOffset + 4096], 0xA5);
    EXPECT_EQ(rom.data()[insert::kDictionaryPointerOffset - 1], 0xA5);
}

TEST(DictionaryArea, WordThenEmptySlot) {
    core::RomImage rom = romOfSize(0x200000);
    const TableFile table = LoadedTable("0100=the\n");
    ASSERT_EQ(insert::InsertDictionaryArea(rom, table), insert::DictionaryAreaResult::Written);
    EXPECT_EQ(pointer(rom, 0), 0x4F00);
    EXPECT_THAT(romBytes(rom, insert::kDictionaryWordsOffset, 4), ElementsAre('t', 'h', 'e', 0xFF));
    EXPECT_EQ(pointer(rom, 1), 0x4F04);
    EXPECT_THAT(romBytes(rom, insert::kDictionaryWordsOffset + 4, 8), ElementsAre(' ', ' ', ' ', ' ', ' ', ' ', ' ', 0xFF));
    EXPECT_EQ(pointer(rom, 2), 0x4F0C);
}

TEST(DictionaryArea, EmptyWordTakesOneByte) {
    const TableFile table = LoadedTable("0102=\n0103=ab\n");
    const insert::DictionaryArea area = insert::BuildDictionaryArea(table);
    EXPECT_EQ(core::readLe16(area.pointers, 2 * 2), 0x4F10);
    EXPECT_EQ(area.words[0x10], 0xFF);
    EXPECT_EQ(core::readLe16(area.pointers, 2 * 3), 0x4F11);
    EXPECT_EQ(area.words.size(), 8u * 510 + 1 + 3);
}

TEST(DictionaryArea, RefusalsLeaveTheRomUnchanged) {
    {
        core::RomImage rom = romOfSize(0x200000);
        EXPECT_EQ(insert::InsertDictionaryArea(rom, TableFile()), insert::DictionaryAreaResult::NoTable);
        EXPECT_EQ(insert::DictionaryAreaMessage(insert::DictionaryAreaResult::NoTable), "Error: Must load a table file first!");
        EXPECT_FALSE(rom.modified());
    }
    {
        // 73 empty words (one byte each) and a six-letter word bring the area's end to 0x135D00.
        std::string text;
        for (int slot = 0; slot < 73; ++slot) {
            char code[8];
            std::snprintf(code, sizeof code, "01%02X=", slot);
            text += std::string(code) + "\n";
        }
        text += "0149=abcdef\n";
        const TableFile table = LoadedTable(text);
        ASSERT_EQ(insert::kDictionaryWordsOffset + insert::BuildDictionaryArea(table).words.size(), 0x135D00u);
        core::RomImage rom = romOfSize(0x135CFF);
        EXPECT_EQ(insert::InsertDictionaryArea(rom, table), insert::DictionaryAreaResult::RomTooSmall);
        EXPECT_FALSE(rom.modified());
        EXPECT_TRUE(std::all_of(rom.data().begin(), rom.data().end(), [](uint8_t b) { return b == 0xA5; }));
        core::RomImage exact = romOfSize(0x135D00);
        EXPECT_EQ(insert::InsertDictionaryArea(exact, table), insert::DictionaryAreaResult::Written);
        EXPECT_EQ(exact.data()[0x135CFF], 0xFF);
    }
    {
        // 256 words of 200 letters need 51,456 bytes; the bank holds 45,312 after 0x134F00.
        std::string text;
        for (int slot = 0; slot < 256; ++slot) {
            char code[8];
            std::snprintf(code, sizeof code, "01%02X=", slot);
            text += code + std::string(200, 'w') + "\n";
        }
        core::RomImage rom = romOfSize(0x200000);
        EXPECT_EQ(insert::InsertDictionaryArea(rom, LoadedTable(text)), insert::DictionaryAreaResult::WordsPastBank);
        EXPECT_FALSE(rom.modified());
        EXPECT_TRUE(std::all_of(rom.data().begin(), rom.data().end(), [](uint8_t b) { return b == 0xA5; }));
    }
}

TEST(DictionaryArea, WordsEndingExactlyAtTheBankEndFit) {
    // 45,312 bytes after 0x134F00: 256 placeholders (2048) + 256 words of total 43,264 bytes.
    std::string text;
    size_t total = 0;
    for (int slot = 0; slot < 256; ++slot) {
        const size_t letters = slot == 255 ? 43264 - total - 1 : 168;
        char code[8];
        std::snprintf(code, sizeof code, "01%02X=", slot);
        text += code + std::string(letters, 'v') + "\n";
        total += letters + 1;
    }
    ASSERT_EQ(total, 43264u);
    ASSERT_LE(43264 - 255 * 169, 254);  // every word fits one table line
    core::RomImage rom = romOfSize(0x200000);
    EXPECT_EQ(insert::InsertDictionaryArea(rom, LoadedTable(text)), insert::DictionaryAreaResult::Written);
    EXPECT_EQ(pointer(rom, 511), 0xFFF8);
    EXPECT_EQ(rom.data()[0x13FFFF], 0xFF);
    EXPECT_EQ(rom.data()[0x140000], 0xA5);
}

TEST(DictionaryArea, Messages) {
    EXPECT_EQ(insert::DictionaryAreaMessage(insert::DictionaryAreaResult::Written), "Compression inserted successfully!");
    EXPECT_FALSE(insert::DictionaryAreaMessage(insert::DictionaryAreaResult::RomTooSmall).empty());
    EXPECT_FALSE(insert::DictionaryAreaMessage(insert::DictionaryAreaResult::WordsPastBank).empty());
}

}  // namespace
}  // namespace corv::insert
