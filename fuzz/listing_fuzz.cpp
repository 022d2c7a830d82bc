// The utility's recompression from a listing, over the block files of the demo game's data area.
//
// Input: the listing. The demo's data area is unpacked as the utility does it into
// fuzz::ListingFolder() (000C0200/corv_000.dat ...), whose files the seeds name.

#include <algorithm>
#include <utility>
#include <cstdio>
#include <memory>
#include <sstream>

#include "comp/area_walk.h"
#include "comp/listing_recompress.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "fuzz/fuzz_support.h"

using namespace corv;

namespace {

// The data area's blocks lie below 1 MiB; a smaller image keeps the checks after every line quick.
constexpr size_t kRomSize = 0x100000;
// Lines handled per input: later lines are handled the same way and only cost time.
constexpr int kMaxLines = 16;

comp::UtilityState& state() {
    static comp::UtilityState utility = [] {
        comp::UtilityState made;
        made.startDirectory = fuzz::ListingFolder();
        const auto& rom = fuzz::Demo().rom;
        made.rom = core::RomImage(std::vector<uint8_t>(rom.begin(), rom.begin() + kRomSize), "fuzz.smc");
        made.workArea = std::make_unique<comp::WorkArea>();
        const comp::ListOutcome unpacked = comp::DecompressArea(made, comp::Area::Data);
        fuzz::Require(!unpacked.message && !unpacked.lines.empty(), "the data area unpacks");
        return made;
    }();
    return utility;
}

std::string hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// A parsed line written back the way the utility writes it reads as the same entry.
void checkReadsBack(const comp::ListingEntry& entry) {
    const auto again = comp::ParseEntryLine(".COMP " + entry.path.string() + "  " + hex8(entry.offset) + "  " +
                                            hex8(entry.end));
    fuzz::Require(again && again->path == entry.path && again->offset == entry.offset && again->end == entry.end,
                  "an entry line reads back from the form the utility writes");
}

// A written block decodes back to its file's bytes (an odd length made even).
CORV_FUZZ_UNTRACED void checkWrittenBlock(std::span<const uint8_t> romData, const comp::ListingEntry& entry) {
    const auto file = core::ReadWholeFile(entry.path);
    fuzz::Require(file.has_value(), "a written block came from a readable file");
    static const auto decoded = std::make_unique<core::BlockBuffer>();
    const uint32_t end = core::DecompressBlock(romData, entry.offset & 0xFFFFFF, *decoded);
    fuzz::Require(end != core::kBadBlockHeader && end <= entry.end, "a written block lies inside its room");
    const size_t length = core::DecompressedLength(*decoded);
    fuzz::Require(length + 1 >= file->size() && length <= file->size() + 1, "a written block keeps its file's length");
    const size_t common = std::min(length, file->size()) & ~size_t{1};
    fuzz::Require(std::equal(file->begin(), file->begin() + common, decoded->begin()),
                  "a written block decodes back to its file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    comp::UtilityState& utility = state();
    static const std::vector<uint8_t> pristine(utility.rom.data().begin(), utility.rom.data().end());

    std::istringstream all(std::string(fuzz::AsText({data, size})));
    std::string line;
    bool written = false;
    for (int n = 0; n < kMaxLines && std::getline(all, line); ++n) {
        const std::optional<comp::ListingEntry> entry =
            comp::IsEntryLine(line) ? comp::ParseEntryLine(line) : std::nullopt;
        if (entry) checkReadsBack(*entry);

        // Until a block was written the ROM must stay as it began; after that every line is
        // compared with the ROM before it.
        static std::vector<uint8_t> before(kRomSize);
        if (written) fuzz::CopyBytes(utility.rom.data(), before);
        std::optional<comp::EntryStatus> status;
        std::istringstream one(line);
        (void)comp::RecompressListing(utility, one, [&](const comp::LineResult& result) {
            if (result.entry) status = result.entry->status;
        });
        const auto romData = std::as_const(utility.rom).data();
        if (status != comp::EntryStatus::Written) {
            fuzz::Require(fuzz::SameBytes(romData, written ? before : pristine),
                          "a failed entry leaves the ROM bytes unchanged");
            continue;
        }
        written = true;
        checkWrittenBlock(romData, *entry);
    }
    if (written) fuzz::CopyBytes(pristine, utility.rom.data());
    return 0;
}
