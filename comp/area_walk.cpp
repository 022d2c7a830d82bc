#include "comp/area_walk.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>
#include <system_error>
#include <utility>

#include "comp/messages.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/byte_order.h"
#include "core/rom_image.h"

namespace corv::comp {

namespace {

constexpr std::array<AreaTable, 3> kTables = {{
    {0x30000, 0x30508},    // graphics, 322 entries
    {0xC0000, 0xC0040},    // data, 16 entries
    {0x100000, 0x1003A4},  // text, 233 entries
}};

// Folder numbers count from the start of a file that carries a copier header.
constexpr uint32_t kHeaderedFileBias = 0x200;
constexpr uint32_t kEntrySize = 4;

std::string hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// Where the entry points, or std::nullopt for an entry whose bank lies below $40 (no block).
struct EntryTarget {
    bool readable = false;  // the entry itself lies inside the ROM
    std::optional<uint32_t> blockOffset;
};

EntryTarget readEntry(std::span<const uint8_t> rom, uint32_t entryOffset) {
    core::ByteCursor cursor(rom, entryOffset);
    const auto low = cursor.u16le();
    const auto bank = cursor.u8();
    if (!low || !bank || !cursor.u8()) return {false, std::nullopt};
    if ((*bank & 0xC0) == 0) return {true, std::nullopt};
    return {true, core::AddressToRomOffset(uint32_t{*bank} << 16 | *low)};
}

bool writeText(const std::filesystem::path& path, const std::string& text) {
    return core::WriteFileSafely(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace

std::optional<Area> areaFromTag(int tag) {
    if (tag < 0 || tag >= static_cast<int>(kTables.size())) return std::nullopt;
    return static_cast<Area>(tag);
}

AreaTable areaTable(Area area) { return kTables.at(static_cast<size_t>(area)); }

std::string areaDirectoryName(Area area) { return hex8(areaTable(area).start + kHeaderedFileBias); }

std::filesystem::path areaDirectory(const std::filesystem::path& startDirectory, Area area) {
    return startDirectory / areaDirectoryName(area);
}

std::string blockFileName(uint32_t entryIndex) {
    char name[32];
    std::snprintf(name, sizeof name, "corv_%03u.dat", entryIndex);
    return name;
}

ListOutcome decompressArea(UtilityState& state, Area area) {
    ListOutcome outcome;
    if (!state.romLoaded()) return outcome;

    const std::filesystem::path directory = areaDirectory(state.startDirectory, area);
    std::error_code ignored;  // an existing folder is the usual case; a real failure shows below
    std::filesystem::create_directories(directory, ignored);

    // The listing is written whole at the end; an empty one first shows the folder takes files.
    const std::filesystem::path listingPath = directory / kListingFileName;
    if (!writeText(listingPath, {})) {
        outcome.message = std::string(kCannotCreateListing);
        return outcome;
    }
    outcome.listCleared = true;
    std::ostringstream listing;
    const auto closeListing = [&] {
        if (!writeText(listingPath, listing.str()) && !outcome.message) {
            outcome.message = std::string(kCannotCreateListing);
        }
    };

    const std::span<const uint8_t> rom = std::as_const(state.rom).data();
    const WorkHalf output = state.upperHalf();
    std::fill(output.begin(), output.end(), uint8_t{0});

    const AreaTable table = areaTable(area);
    for (uint32_t index = 0; table.start + kEntrySize * index < table.end; ++index) {
        const uint32_t entryOffset = table.start + kEntrySize * index;
        const EntryTarget target = readEntry(rom, entryOffset);
        if (!target.readable) {
            // The table itself runs past the end of a short image: say where, once per entry.
            listing << ".INVALID_DATA " << hex8(entryOffset) << '\n';
            continue;
        }
        if (!target.blockOffset) continue;
        const uint32_t offset = *target.blockOffset;

        const std::optional<core::BlockHeader> header = core::ReadBlockHeader(rom, offset);
        if (!header || !header->valid()) {
            listing << ".INVALID_DATA " << hex8(offset) << '\n';
            continue;
        }
        const core::StreamDecodeResult decoded = core::DecodeBlockStream(rom, offset, *header, output);
        if (decoded.truncated) {
            listing << ".INVALID_DATA " << hex8(offset) << '\n';
            continue;
        }

        const std::string name = blockFileName(index);
        const std::filesystem::path path = directory / name;
        if (!core::WriteFileSafely(path, std::span<const uint8_t>(output.data(), decoded.produced))) {
            outcome.message = std::string(kCannotCreateBlockFile);
            closeListing();  // with what it has so far
            return outcome;
        }
        outcome.lines.push_back(decompressedLine(name));
        listing << ".COMP " << path.string() << "  " << hex8(offset) << "  " << hex8(decoded.end) << '\n';
    }
    closeListing();
    return outcome;
}

}  // namespace corv::comp
