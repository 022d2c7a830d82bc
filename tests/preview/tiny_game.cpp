#include "preview/tiny_game.h"

#include <algorithm>

#include "core/byte_order.h"
#include "preview/glyph.h"

namespace corv::preview::testing {
namespace {

// Font tiles: 0 blank, 1 plane 1 full, 2 plane 1 column 0, 3 plane 0 full.
std::vector<uint8_t> MakeFont() {
    std::vector<uint8_t> font(4 * kFontTileBytes, 0);
    for (unsigned r = 0; r < 8; ++r) {
        font[1 * kFontTileBytes + 2 * r + 1] = 0xFF;
        font[2 * kFontTileBytes + 2 * r + 1] = 0x80;
        font[3 * kFontTileBytes + 2 * r] = 0xFF;
    }
    return font;
}

}  // namespace

TinyGame::TinyGame() : rom(0x10000, 0), font(MakeFont()), block(0x10000, 0), preview(0x20000, 0) {
    const uint16_t tiles[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {100, 1}};
    for (uint16_t code = 0; code < 5; ++code) {
        core::writeLe16(rom, kCharacterTileTable + 4u * code, tiles[code][0]);
        core::writeLe16(rom, kCharacterTileTable + 4u * code + 2, tiles[code][1]);
    }
    // No inserted mark: the last byte must differ from block index 0.
    std::fill(rom.end() - 16, rom.end(), uint8_t{0xFF});
    core::writeLe16(block, 0, 0xFFFF);
    setPreviewText("");
}

unsigned TinyGame::addString(const std::vector<uint16_t>& words) {
    const unsigned index = records_++;
    const size_t record = 64u * index;
    core::writeLe16(block, record, 0);
    core::writeLe16(block, record + 2, 2);
    core::writeLe16(block, record + 14, static_cast<uint16_t>(nextText_));
    core::writeLe16(block, record + 64, 0xFFFF);
    for (uint16_t word : words) {
        core::writeLe16(block, nextText_, word);
        nextText_ += 2;
    }
    core::writeLe16(block, nextText_, kEnd);
    nextText_ += 2;
    return index;
}

unsigned TinyGame::addNonTextRecord() {
    const unsigned index = records_++;
    const size_t record = 64u * index;
    core::writeLe16(block, record, 0);
    core::writeLe16(block, record + 2, 7);
    core::writeLe16(block, record + 14, 0x0400);
    core::writeLe16(block, record + 64, 0xFFFF);
    return index;
}

void TinyGame::setPreviewText(const std::string& bytes) {
    std::fill(preview.begin(), preview.end(), uint8_t{0});
    std::copy(bytes.begin(), bytes.end(), preview.begin());
    preview[bytes.size()] = 0xFF;
    preview[bytes.size() + 1] = 0xFF;
}

void TinyGame::markInserted() { rom.back() = 0; }

PreviewSources TinyGame::sources(unsigned stringIndex) const {
    PreviewSources s;
    s.romData = rom;
    s.gameFont = font;
    s.romText = script::ResolveString(block, stringIndex, script::BlockIsInserted(rom, 0));
    s.previewBytes = preview;
    return s;
}

script::FormatSettings StandardFormat() {
    script::FormatSettings format;
    format.boxWidthCount = 38;
    format.bytes = {16, 8, 1, 8, 0, 1, 2, 3};
    format.boxWidth = 304;
    return format;
}

}  // namespace corv::preview::testing
