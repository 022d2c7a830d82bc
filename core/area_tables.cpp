#include "core/area_tables.h"

#include "core/address.h"
#include "core/byte_order.h"

namespace corv::core {
namespace {

constexpr std::array<AreaTable, 3> kTables = {{
    {0x30000, 0x30508},    // graphics, 322 entries
    {0xC0000, 0xC0040},    // data, 16 entries
    {0x100000, 0x1003A4},  // text, 233 entries
}};

}  // namespace

AreaTable TableOfArea(Area area) { return kTables.at(static_cast<size_t>(area)); }

bool AreaTableInsideRom(std::span<const uint8_t> romData, Area area) { return TableOfArea(area).end <= romData.size(); }

std::optional<uint32_t> AreaEntryTarget(std::span<const uint8_t> romData, uint32_t entryOffset) {
    ByteCursor cursor(romData, entryOffset);
    const auto low = cursor.u16le();
    const auto bank = cursor.u8();
    if (!low || !bank || (*bank & 0xC0) == 0) return std::nullopt;
    return AddressToRomOffset(uint32_t{*bank} << 16 | *low);
}

std::vector<AreaEntry> ReadAreaTable(std::span<const uint8_t> romData, Area area) {
    std::vector<AreaEntry> entries;
    if (!AreaTableInsideRom(romData, area)) return entries;
    const AreaTable table = TableOfArea(area);
    for (uint32_t index = 0; table.start + kAreaEntrySize * index < table.end; ++index) {
        const uint32_t at = table.start + kAreaEntrySize * index;
        const uint32_t address = readLe16(romData, at) | uint32_t{romData[at + 2]} << 16;
        entries.push_back({index, AreaEntryTarget(romData, at), address});
    }
    return entries;
}

}  // namespace corv::core
