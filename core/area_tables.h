#pragma once
// The ROM's three area tables: fixed pointer tables that list the compressed blocks of the
// graphics, the data and the text. CorvComp walks them to decompress an area; the patch
// commands read them to know every block whose header a patch must leave intact.
//
// An entry is 4 bytes: the low 16 bits of the block's 24-bit address (little-endian), its bank
// byte, and a byte nobody reads. An entry whose bank lies below $40 points to no block.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corv::core {

// The values are CorvComp's menu tags.
enum class Area : int { Graphics = 0, Data = 1, Text = 2 };
inline constexpr std::array<Area, 3> kAreas = {Area::Graphics, Area::Data, Area::Text};

struct AreaTable {
    uint32_t start = 0;  // ROM offset of the first entry
    uint32_t end = 0;    // ROM offset after the last entry
};

inline constexpr uint32_t kAreaEntrySize = 4;

[[nodiscard]] AreaTable TableOfArea(Area area);

// True when every entry of the area's table lies inside `romData`.
[[nodiscard]] bool AreaTableInsideRom(std::span<const uint8_t> romData, Area area);

// The ROM offset of the block the entry at `entryOffset` points to; std::nullopt when its bank
// lies below $40 (no block) or the entry is not wholly inside `romData`. The offset itself may
// lie anywhere: callers check the block against the ROM.
[[nodiscard]] std::optional<uint32_t> AreaEntryTarget(std::span<const uint8_t> romData, uint32_t entryOffset);

// One entry of a table, counted from 0 with the skipped ones.
struct AreaEntry {
    uint32_t index = 0;
    std::optional<uint32_t> block;  // ROM offset, as AreaEntryTarget gives it
    uint32_t address = 0;           // the 24-bit address the entry holds
};

// Every entry of the area's table in order, or nothing when the table is not inside `romData`.
[[nodiscard]] std::vector<AreaEntry> ReadAreaTable(std::span<const uint8_t> romData, Area area);

}  // namespace corv::core
