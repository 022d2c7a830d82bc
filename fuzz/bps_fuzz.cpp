// BPS patches: the reader never reads outside the patch or the source, nothing it refuses
// yields bytes, what it applies has the size and checksum the patch names, the header-proof
// application agrees with the plain one on the bytes it applies to, and the creator's patch of
// the fuzzed edit gives the edit back.
//
// Input: a flag byte, then the patch. The flags make the fuzzer's patches reach past the
// checksums: bit 0 the ROM file has a copier header; bit 1 the patch's own CRC-32 is set right;
// bit 2 its source CRC-32 (and size) is set to the ROM's data (bit 3: to the whole file); bit 4
// its target CRC-32 is set to what its actions make of that source, and its own CRC-32 then too.

#include <algorithm>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "patches/bps_create.h"
#include "patches/bps_file.h"
#include "patches/bps_format.h"
#include "patches/bps_patch.h"
#include "patches/crc32.h"

using namespace corv;

namespace {

void putLe32(std::vector<uint8_t>& patch, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) patch[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void setOwnCrc(std::vector<uint8_t>& patch) {
    putLe32(patch, patch.size() - 4, patches::Crc32(std::span<const uint8_t>(patch).first(patch.size() - 4)));
}

// Rewrites the source size, keeping the rest of the header, and the footer's source checksum.
void aimAt(std::vector<uint8_t>& patch, std::span<const uint8_t> source) {
    corv::core::ByteCursor cursor(patch, patches::kBpsMagic.size());
    if (!patches::ReadBpsNumber(cursor) || cursor.position() > patch.size() - patches::kBpsFooterSize) return;
    std::vector<uint8_t> aimed(patch.begin(), patch.begin() + patches::kBpsMagic.size());
    patches::PutBpsNumber(aimed, source.size());
    aimed.insert(aimed.end(), patch.begin() + static_cast<ptrdiff_t>(cursor.position()), patch.end());
    putLe32(aimed, aimed.size() - 12, patches::Crc32(source));
    patch = std::move(aimed);
}

// The creator on an edit of the source made from the input: its bytes put in at a place the
// input names, replacing as many as half of them.
void checkCreator(std::span<const uint8_t> source, std::span<const uint8_t> input) {
    const size_t at = input.empty() ? 0 : (size_t{input[0]} * 64) % source.size();
    std::vector<uint8_t> target(source.begin(), source.begin() + static_cast<ptrdiff_t>(at));
    target.insert(target.end(), input.begin(), input.end());
    const size_t resume = std::min(source.size(), at + input.size() / 2);
    target.insert(target.end(), source.begin() + static_cast<ptrdiff_t>(resume), source.end());
    const patches::BpsCreation created = patches::CreateCheckedBpsPatch(source, target);
    fuzz::Require(created.status == patches::BpsCreateStatus::Created, "every edit gets a patch that gives it back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const uint8_t flags = input.u8();
    std::vector<uint8_t> patch(input.rest().begin(), input.rest().end());

    const std::span<const uint8_t> romData = fuzz::BpsSourceData();
    std::vector<uint8_t> file((flags & 1) ? 512 : 0, 0);
    file.insert(file.end(), romData.begin(), romData.end());
    const uint32_t headerSize = (flags & 1) ? 512 : 0;
    const std::span<const uint8_t> aimedSource = (flags & 8) ? std::span<const uint8_t>(file) : romData;

    if (patch.size() >= patches::kBpsMagic.size() + 3 + patches::kBpsFooterSize &&
        std::equal(patches::kBpsMagic.begin(), patches::kBpsMagic.end(), patch.begin())) {
        if (flags & 4) aimAt(patch, aimedSource);
        if (flags & 16) {
            setOwnCrc(patch);
            const patches::BpsRead read = patches::ReadBpsPatch(patch);
            std::vector<uint8_t> made;
            if (read.status == patches::BpsStatus::Applied &&
                patches::RunBpsActions(patch, read.header, aimedSource, made) == patches::BpsStatus::Applied) {
                putLe32(patch, patch.size() - 8, patches::Crc32(made));
            }
        }
        if (flags & (2 | 16)) setOwnCrc(patch);
    }

    const patches::BpsApplication plain = patches::ApplyBpsPatch(aimedSource, patch);
    if (plain.status == patches::BpsStatus::Applied) {
        fuzz::Require(plain.target.size() == plain.header.targetSize, "the result has the size the patch names");
        fuzz::Require(patches::Crc32(plain.target) == plain.header.targetCrc,
                      "the result has the checksum the patch names");
    } else {
        fuzz::Require(plain.target.empty(), "a refused patch yields no bytes");
    }

    const patches::BpsFileApplication onFile = patches::ApplyBpsToFile(file, headerSize, patch);
    if (onFile.status != patches::BpsStatus::Applied) {
        fuzz::Require(onFile.image.empty(), "a refused patch leaves no image");
    } else if (onFile.madeFor == patches::BpsMadeFor::ThisFile) {
        const patches::BpsApplication whole = patches::ApplyBpsPatch(file, patch);
        fuzz::Require(whole.status == patches::BpsStatus::Applied && whole.target == onFile.image,
                      "made for the file: the plain application's result");
    } else if (onFile.madeFor == patches::BpsMadeFor::RomWithoutHeader) {
        const patches::BpsApplication toData = patches::ApplyBpsPatch(romData, patch);
        fuzz::Require(headerSize == 512 && toData.status == patches::BpsStatus::Applied &&
                          std::equal(file.begin(), file.begin() + 512, onFile.image.begin()) &&
                          std::equal(toData.target.begin(), toData.target.end(), onFile.image.begin() + 512,
                                     onFile.image.end()),
                      "made for the data: the header kept before the plain application's result");
    } else {
        fuzz::Require(headerSize == 0 && onFile.image.size() + 512 == onFile.header.targetSize,
                      "made for a headered ROM: the result without the header");
    }
    if (plain.status == patches::BpsStatus::Applied && aimedSource.data() == romData.data() && headerSize == 512) {
        fuzz::Require(onFile.status == patches::BpsStatus::Applied,
                      "a patch for the data applies to the headered file");
    }

    // Its first 4 KiB are enough for the creator to find runs, copies and changes in.
    checkCreator(romData.first(0x1000), std::span<const uint8_t>(patch).first(std::min<size_t>(patch.size(), 2048)));
    return 0;
}
