// The utility's area walk, writing into memory: pointer tables and blocks from the input.
//
// Input: the area (a byte, modulo 3), then the ROM data from the area's pointer table on; the
// ROM before the table is zero, and the image ends with the input (a length with bit 9 set
// makes the first 512 bytes a copier header, as for any file).

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "comp/area_walk.h"
#include "comp/listing_recompress.h"
#include "fuzz/fuzz_support.h"

using namespace corv;

namespace {

class MemoryOutput final : public comp::AreaOutput {
public:
    bool writeBlockFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) override {
        files[path.string()] = bytes.size();
        return true;
    }
    void addListingLine(const std::string& line) override { listing.push_back(line); }
    std::map<std::string, size_t> files;
    std::vector<std::string> listing;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const auto area = static_cast<comp::Area>(input.u8() % 3);
    const auto tableBytes = input.rest();
    const core::AreaTable table = core::TableOfArea(area);
    std::vector<uint8_t> image(table.start + tableBytes.size(), 0);
    fuzz::CopyBytes(tableBytes, std::span(image).subspan(table.start));

    static comp::UtilityState state;
    state.rom = core::RomImage(image, "fuzz.smc");
    if (!state.workArea) state.workArea = std::make_unique<comp::WorkArea>();
    // A start folder with a blank and a hexadecimal name, as a user's may be.
    const std::filesystem::path directory = std::filesystem::path("/fuzz dir/cafe") / comp::AreaDirectoryName(area);

    MemoryOutput output;
    const comp::ListOutcome outcome = comp::WalkArea(state, area, directory, output);
    if (!comp::AreaTableInsideRom(state, area)) {
        fuzz::Require(outcome.message && output.listing.empty() && output.files.empty(),
                      "a table cut short by the image's end is refused before anything is written");
        return 0;
    }
    fuzz::Require(!outcome.message, "writing into memory never fails");
    fuzz::Require(fuzz::SameBytes(state.rom.fileBytes(), image), "the walk only reads the ROM");
    fuzz::Require(outcome.lines.size() == output.files.size(), "one result line per block file");

    std::set<std::string> listed;
    for (const std::string& line : output.listing) {
        if (!comp::IsEntryLine(line)) continue;
        const auto entry = comp::ParseEntryLine(line);
        fuzz::Require(entry.has_value(), "the reader reads every entry line the walk writes");
        const auto file = output.files.find(entry->path.string());
        fuzz::Require(file != output.files.end(), "an entry line names a block file the walk wrote");
        fuzz::Require(file->second <= 0xFFFF, "a block file holds at most 16 bits of bytes");
        fuzz::Require(entry->end <= state.rom.dataSize() && entry->offset < entry->end,
                      "a block's room lies inside the ROM and after its start");
        listed.insert(file->first);
    }
    fuzz::Require(listed.size() == output.files.size(), "every block file is listed once");
    return 0;
}
