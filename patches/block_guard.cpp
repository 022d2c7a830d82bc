#include "patches/block_guard.h"

#include "core/address.h"
#include "core/block_format.h"

namespace corv::patches {

bool BlockHeaderPasses(std::span<const uint8_t> romData, uint32_t address) {
    const auto header = core::ReadBlockHeader(romData, core::AddressToRomOffset(address & 0xFFFFFF));
    return header && header->valid();
}

BlockGuard::BlockGuard(std::span<const uint8_t> romData, std::span<const uint32_t> listedBlocks) {
    for (const uint32_t address : listedBlocks) {
        if (BlockHeaderPasses(romData, address)) listed_.push_back(address);
    }
    for (const core::Area area : core::kAreas) {
        for (const core::AreaEntry& entry : core::ReadAreaTable(romData, area)) {
            if (entry.block && BlockHeaderPasses(romData, *entry.block)) {
                entries_.push_back({area, entry.index, entry.address});
            }
        }
    }
}

std::optional<uint32_t> BlockGuard::firstBroken(std::span<const uint8_t> patchedData) const {
    for (const uint32_t address : listed_) {
        if (!BlockHeaderPasses(patchedData, address)) return address;
    }
    for (const WatchedEntry& watched : entries_) {
        const core::AreaTable table = core::TableOfArea(watched.area);
        const auto block = core::AreaEntryTarget(patchedData, table.start + core::kAreaEntrySize * watched.index);
        if (!block || !BlockHeaderPasses(patchedData, *block)) return watched.address;
    }
    return std::nullopt;
}

size_t BlockGuard::watchedCount() const { return listed_.size() + entries_.size(); }

}  // namespace corv::patches
