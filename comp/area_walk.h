#pragma once
// Decompression of one area of the ROM: every block a pointer table lists goes into a numbered
// file of its own, and compfile.txt records where each block lies and how much room it has, so
// that the recompression can put edited files back.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "comp/utility_state.h"
#include "core/area_tables.h"

namespace corv::comp {

// The three pointer tables (read in core, where the patch checks read them too); the values
// are the menu items' tags.
using core::Area;

[[nodiscard]] std::optional<Area> AreaFromTag(int tag);
// The table's position in a file with a copier header, as eight hex digits ("00100200"): the
// folder name is the same whether or not the loaded file has a header.
[[nodiscard]] std::string AreaDirectoryName(Area area);
[[nodiscard]] std::filesystem::path AreaDirectory(const std::filesystem::path& startDirectory, Area area);
// corv_000.dat, corv_001.dat, ... numbered by table entry, skipped ones included.
[[nodiscard]] std::string BlockFileName(uint32_t entryIndex);
inline constexpr std::string_view kListingFileName = "compfile.txt";

// What a command did to the list box and what it wants shown in a message box.
struct ListOutcome {
    bool listCleared = false;            // the list was cleared before `lines` were added
    std::vector<std::string> lines;      // lines to add, in order
    std::optional<std::string> message;  // shown after the lines
};

// Walks the table of `area`. With no ROM loaded it does nothing (empty outcome). The ROM is only
// read. The upper half of the work area is the output buffer: cleared at the start of the walk
// (so that the files depend on the ROM alone) but not between blocks, so a back-reference that
// reaches before a block's start reads what the previous block left there. Each file holds every
// byte the block's groups produced (counted in 16 bits), not the header's length. A block that
// is not wholly inside the ROM is listed as invalid, like a failed header check. A table that is
// not wholly inside the ROM (a short file) holds no pointers to follow: the outcome is the
// message kAreaTableOutsideRom, and nothing is written, not even the folder.
[[nodiscard]] ListOutcome DecompressArea(UtilityState& state, Area area);

// True when every entry of the area's table lies inside the loaded ROM. Precondition: romLoaded().
[[nodiscard]] bool AreaTableInsideRom(const UtilityState& state, Area area);

// Where a walk puts what it produces: block files and listing lines.
class AreaOutput {
public:
    virtual ~AreaOutput() = default;
    // False when the file cannot be written; the walk then stops.
    [[nodiscard]] virtual bool writeBlockFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) = 0;
    virtual void addListingLine(const std::string& line) = 0;
};

// The walk of decompressArea into `output`, with block paths under `directory`: the outcome
// without listCleared (the caller has prepared the output). decompressArea runs it with files.
[[nodiscard]] ListOutcome WalkArea(UtilityState& state, Area area, const std::filesystem::path& directory,
                                   AreaOutput& output);

}  // namespace corv::comp
