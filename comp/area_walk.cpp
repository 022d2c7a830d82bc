#include "comp/area_walk.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <system_error>
#include <utility>

#include "comp/messages.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "core/save_failure_text.h"

namespace corv::comp {

namespace {

// Folder numbers count from the start of a file that carries a copier header.
constexpr uint32_t kHeaderedFileBias = 0x200;

std::string hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

ListOutcome tableOutsideRom() {
    ListOutcome outcome;
    outcome.message = std::string(kAreaTableOutsideRom);
    return outcome;
}

// Block files and compfile.txt on disk, each written safely; the listing is kept in memory and
// written whole when the walk ends.
class FileAreaOutput final : public AreaOutput {
public:
    explicit FileAreaOutput(std::filesystem::path listingPath) : listingPath_(std::move(listingPath)) {}
    // An empty listing first shows that the folder takes files.
    [[nodiscard]] bool createListing() { return writeText(listingPath_, {}); }
    [[nodiscard]] bool closeListing() { return writeText(listingPath_, listing_.str()); }
    bool writeBlockFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) override {
        return write(path, bytes);
    }
    void addListingLine(const std::string& line) override { listing_ << line << '\n'; }
    // Why the first write that failed did, for the line below the message.
    [[nodiscard]] const std::optional<std::string>& failureReason() const { return failureReason_; }

private:
    bool writeText(const std::filesystem::path& path, const std::string& text) {
        return write(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    bool write(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
        const core::SaveResult saved = core::WriteFileSafely(path, bytes);
        if (!saved && !failureReason_) failureReason_ = core::SaveFailureReason(saved);
        return saved.ok();
    }

    std::optional<std::string> failureReason_;
    std::filesystem::path listingPath_;
    std::ostringstream listing_;
};

}  // namespace

std::optional<Area> AreaFromTag(int tag) {
    if (tag < 0 || tag >= static_cast<int>(core::kAreas.size())) return std::nullopt;
    return static_cast<Area>(tag);
}

std::string AreaDirectoryName(Area area) { return hex8(core::TableOfArea(area).start + kHeaderedFileBias); }

std::filesystem::path AreaDirectory(const std::filesystem::path& startDirectory, Area area) {
    return startDirectory / AreaDirectoryName(area);
}

std::string BlockFileName(uint32_t entryIndex) {
    char name[32];
    std::snprintf(name, sizeof name, "corv_%03u.dat", entryIndex);
    return name;
}

bool AreaTableInsideRom(const UtilityState& state, Area area) { return core::AreaTableInsideRom(state.rom.data(), area); }

ListOutcome WalkArea(UtilityState& state, Area area, const std::filesystem::path& directory, AreaOutput& output) {
    ListOutcome outcome;
    if (!state.romLoaded()) return outcome;
    if (!AreaTableInsideRom(state, area)) return tableOutsideRom();

    const std::span<const uint8_t> rom = std::as_const(state.rom).data();
    const WorkHalf blockBytes = state.upperHalf();
    std::fill(blockBytes.begin(), blockBytes.end(), uint8_t{0});

    for (const core::AreaEntry& entry : core::ReadAreaTable(rom, area)) {
        if (!entry.block) continue;
        const uint32_t offset = *entry.block;
        const uint32_t index = entry.index;

        const std::optional<core::BlockHeader> header = core::ReadBlockHeader(rom, offset);
        if (!header || !header->valid()) {
            output.addListingLine(".INVALID_DATA " + hex8(offset));
            continue;
        }
        const core::StreamDecodeResult decoded = core::DecodeBlockStream(rom, offset, *header, blockBytes);
        if (decoded.truncated) {
            output.addListingLine(".INVALID_DATA " + hex8(offset));
            continue;
        }

        const std::string name = BlockFileName(index);
        const std::filesystem::path path = directory / name;
        if (!output.writeBlockFile(path, std::span<const uint8_t>(blockBytes.data(), decoded.produced))) {
            outcome.message = std::string(kCannotCreateBlockFile);
            return outcome;  // the listing closes with what it has so far
        }
        outcome.lines.push_back(DecompressedLine(name));
        output.addListingLine(".COMP " + path.string() + "  " + hex8(offset) + "  " + hex8(decoded.end));
    }
    return outcome;
}

ListOutcome DecompressArea(UtilityState& state, Area area) {
    if (!state.romLoaded()) return {};
    // Checked before the folder is made: a short ROM leaves nothing behind.
    if (!AreaTableInsideRom(state, area)) return tableOutsideRom();

    const std::filesystem::path directory = AreaDirectory(state.startDirectory, area);
    std::error_code ignored;  // an existing folder is the usual case; a real failure shows below
    std::filesystem::create_directories(directory, ignored);

    FileAreaOutput output(directory / kListingFileName);
    if (!output.createListing()) {
        ListOutcome outcome;
        outcome.message = std::string(kCannotCreateListing) + "\n" + output.failureReason().value_or("");
        return outcome;
    }
    ListOutcome outcome = WalkArea(state, area, directory, output);
    outcome.listCleared = true;
    // The listing closes with what the walk wrote, also after a block file that failed.
    if (!output.closeListing() && !outcome.message) outcome.message = std::string(kCannotCreateListing);
    // The message keeps its known first line; the system's reason follows on the next.
    if (outcome.message && output.failureReason()) *outcome.message += "\n" + *output.failureReason();
    return outcome;
}

}  // namespace corv::comp
