// ROM opening: the copier-header rule, the title check and the font block, over the demo ROM
// with the input's edits.
//
// Input: a flag byte (bit 0: a 512-byte copier header in front; bit 1: the file is cut to the
// 24-bit length that follows), then edits of the ROM data: 24-bit offset, length byte, bytes.

#include <algorithm>
#include <memory>

#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "fuzz/fuzz_support.h"
#include "preview/string_preview.h"

using namespace corv;

namespace {

// The title and the font block lie in the first 512 KiB; the rest of the demo adds nothing.
constexpr size_t kRomPart = 0x80000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const uint8_t flags = input.u8();
    const bool headered = (flags & 1) != 0;
    const size_t cut = (flags & 2) != 0 ? input.u24() : kRomPart;

    const auto& demoRom = fuzz::Demo().rom;
    std::vector<uint8_t> file(headered ? core::kCopierHeaderSize : 0, 0);
    file.insert(file.end(), demoRom.begin(), demoRom.begin() + kRomPart);
    const size_t dataStart = file.size() - kRomPart;
    while (!input.empty()) {
        const uint32_t offset = input.u24() % kRomPart;
        const auto bytes = input.take(input.u8());
        std::copy_n(bytes.begin(), std::min(bytes.size(), size_t{kRomPart - offset}), file.begin() + dataStart + offset);
    }
    file.resize(std::min(file.size(), cut));
    const std::vector<uint8_t> original = file;

    const core::RomImage rom(file, "fuzz.smc");
    fuzz::Require(rom.headerSize() == core::CopierHeaderSize(original.size()), "header size follows bit 9 of the length");
    fuzz::Require(rom.dataSize() == original.size() - rom.headerSize(), "data view is the file after the header");
    fuzz::Require(fuzz::SameBytes(rom.fileBytes(), original), "the image holds the file as read");

    const auto romData = rom.data();
    const bool titled = romData.size() >= core::kTitleOffset + core::kGameTitle.size() &&
                        std::equal(core::kGameTitle.begin(), core::kGameTitle.end(), romData.begin() + core::kTitleOffset);
    fuzz::Require(core::HasGameTitle(romData) == titled, "title check reads CORVANE at 0xFFC0 of the data");
    if (!titled) return 0;

    // The font is the block at 0x060000, decompressed to its w0 bytes; nothing when its header fails.
    const std::vector<uint8_t> font = preview::LoadGameFont(romData);
    auto buffer = std::make_unique<core::BlockBuffer>();
    const uint32_t end = core::DecompressBlock(romData, 0x060000, *buffer);
    if (end == core::kBadBlockHeader) {
        fuzz::Require(font.empty(), "a font block with a bad header gives no font");
        return 0;
    }
    fuzz::Require(end <= romData.size(), "the font block ends inside the ROM");
    fuzz::Require(font.size() == core::DecompressedLength(*buffer), "the font is w0 bytes long");
    fuzz::Require(fuzz::SameBytes(font, std::span(buffer->data(), font.size())), "the font is the decompressed block");
    return 0;
}
