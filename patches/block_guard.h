#pragma once
// The headers a patch must leave passing: every block the ROM's three area tables list and
// the blocks a block data file lists. A patch made for the same ROM with (or without) a copier
// header lands 512 bytes off and breaks the headers of the blocks it was meant to rewrite; it
// is caught here, in memory, before anything is written.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/area_tables.h"

namespace corv::patches {

// The block that holds the game font.
inline constexpr uint32_t kFontBlockAddress = 0x060000;

class BlockGuard {
public:
    // Notes which blocks pass their header check in `romData` (the ROM before the patches): those
    // of the area tables, entry by entry, and `listedBlocks` (24-bit addresses). A block that
    // fails already is not watched.
    BlockGuard(std::span<const uint8_t> romData, std::span<const uint32_t> listedBlocks);

    // The first watched block that fails in `patchedData`, as its 24-bit address; std::nullopt
    // when every one passes. An area table entry is followed as it reads in `patchedData`, so a
    // patch may move a block; an entry that no longer points to a block inside the ROM fails.
    [[nodiscard]] std::optional<uint32_t> firstBroken(std::span<const uint8_t> patchedData) const;

    [[nodiscard]] size_t watchedCount() const;

private:
    struct WatchedEntry {
        core::Area area;
        uint32_t index;
        uint32_t address;  // as the entry read before the patches, for the message
    };
    std::vector<WatchedEntry> entries_;
    std::vector<uint32_t> listed_;
};

// Whether the block header at the 24-bit `address` lies inside `romData` and passes its check.
[[nodiscard]] bool BlockHeaderPasses(std::span<const uint8_t> romData, uint32_t address);

}  // namespace corv::patches
