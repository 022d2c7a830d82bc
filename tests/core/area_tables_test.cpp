// The ROM's three area tables: their places and sizes, which entries point to a block (bank
// $40 and up, both mirrors the same), and tables that do not fit a short ROM.

#include <gtest/gtest.h>

#include "core/area_tables.h"

namespace corv::core {
namespace {

TEST(AreaTables, PlacesAndEntryCounts) {
    const struct {
        Area area;
        uint32_t start;
        uint32_t entries;
    } cases[] = {{Area::Graphics, 0x30000, 322}, {Area::Data, 0xC0000, 16}, {Area::Text, 0x100000, 233}};
    for (const auto& c : cases) {
        EXPECT_EQ(TableOfArea(c.area).start, c.start);
        EXPECT_EQ((TableOfArea(c.area).end - c.start) / kAreaEntrySize, c.entries);
    }
}

TEST(AreaTables, EntriesOfBankFortyAndUpPointToBlocks) {
    std::vector<uint8_t> rom(0xC0040, 0);
    const auto put = [&](uint32_t index, uint32_t address) {
        const uint32_t at = 0xC0000 + 4 * index;
        rom[at] = uint8_t(address);
        rom[at + 1] = uint8_t(address >> 8);
        rom[at + 2] = uint8_t(address >> 16);
        rom[at + 3] = 0x99;  // read by nobody
    };
    put(0, 0x3F1234);  // below $40: no block
    put(1, 0x401234);
    put(2, 0x801234);
    put(3, 0xC11234);
    put(4, 0x411234);
    const std::vector<AreaEntry> entries = ReadAreaTable(rom, Area::Data);
    ASSERT_EQ(entries.size(), 16u);
    EXPECT_EQ(entries[0].block, std::nullopt);
    EXPECT_EQ(entries[1].block, 0x001234u);
    EXPECT_EQ(entries[2].block, 0x001234u);
    EXPECT_EQ(entries[3].block, 0x011234u);
    EXPECT_EQ(entries[3].block, entries[4].block);  // the two mirrors of one bank
    EXPECT_EQ(entries[3].address, 0xC11234u);
    EXPECT_EQ(entries[15].index, 15u);
    // Tables past the end of a short ROM hold nothing; an entry cut by the end points nowhere.
    EXPECT_TRUE(AreaTableInsideRom(rom, Area::Data));
    EXPECT_FALSE(AreaTableInsideRom(rom, Area::Text));
    EXPECT_TRUE(ReadAreaTable(rom, Area::Text).empty());
    EXPECT_EQ(AreaEntryTarget(std::span(rom).first(0xC0006), 0xC0004), std::nullopt);
}

}  // namespace
}  // namespace corv::core
