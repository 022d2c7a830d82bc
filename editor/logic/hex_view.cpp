#include "editor/logic/hex_view.h"

#include <cstdio>

namespace corv::editor {

namespace {

constexpr uint8_t kEndByte = 0xFF;
constexpr uint16_t kFirstNonCharacter = 0x1000;
constexpr uint16_t kBlankCharacter = 0x20;

}  // namespace

void HexView::load(std::span<const uint8_t> source, bool byteMode, uint16_t textPointer) {
    copy_.fill(0);
    length_ = 0;
    scroll_ = 0;
    textPointer_ = textPointer;

    const auto at = [&](size_t i) -> int { return i < source.size() ? source[i] : -1; };
    // The copy stops before any 0xFF: the end mark FF FF is taken along, but a lone 0xFF (the low
    // byte of a word such as 0x01FF) is not.
    while (length_ < kHexCopySize && at(length_) >= 0 && at(length_) != kEndByte) {
        copy_[length_] = source[length_];
        ++length_;
        if (at(length_) == kEndByte && at(length_ + 1) == kEndByte) {
            // Only when both bytes fit: the copy never grows past its 4,096 bytes.
            if (length_ + 2 <= kHexCopySize) {
                copy_[length_] = kEndByte;
                copy_[length_ + 1] = kEndByte;
                length_ += 2;
            }
            break;
        }
    }
    if (length_ == 0 && at(0) == kEndByte && at(1) == kEndByte) {
        copy_[0] = kEndByte;
        copy_[1] = kEndByte;
        length_ = 2;
    }

    byteMode_ = byteMode;
    const int columns = byteMode ? 16 : 8;
    if (columns != columns_) {
        selectedColumn_ = 0;
        selectedRow_ = 0;
    }
    columns_ = columns;
}

void HexView::loadString(const script::ResolvedString& resolved) {
    if (resolved.messageFlag()) {
        const std::string stream = script::MessageStream(resolved.message());
        load({reinterpret_cast<const uint8_t*>(stream.data()), stream.size()}, true, resolved.textPointer);
    } else {
        load(resolved.string, false, resolved.textPointer);
    }
}

void HexView::setClientHeight(int clientHeight) { rows_ = clientHeight > 0 ? clientHeight / kHexLineHeight : 0; }

uint16_t HexView::wordAt(size_t offset) const {
    return static_cast<uint16_t>(byteAt(offset) | (byteAt(offset + 1) << 8));
}

size_t HexView::selectedOffset(int bytesPerColumn) const {
    const int offset = scroll_ + kHexBytesPerRow * selectedRow_ + bytesPerColumn * selectedColumn_;
    return offset > 0 ? static_cast<size_t>(offset) : 0;
}

HexCell HexView::cell(int row, int column) const {
    HexCell cell;
    char text[8];
    const size_t rowStart = static_cast<size_t>(scroll_ + kHexBytesPerRow * row);
    if (byteMode_) {
        std::snprintf(text, sizeof text, "%02X", byteAt(rowStart + static_cast<size_t>(column)));
    } else {
        std::snprintf(text, sizeof text, "%04X", wordAt(rowStart + 2 * static_cast<size_t>(column)));
    }
    cell.text = text;
    if (row == selectedRow_ && column == selectedColumn_) {
        cell.textColour = kHexSelectedText;
        cell.background = kHexSelectedBackground;
    } else {
        cell.textColour = column % 2 == 0 ? kHexEvenColumnText : kHexOddColumnText;
        cell.background = kHexBackground;
    }
    return cell;
}

HexGlyphChoice HexView::glyph(bool displayTranslated) const {
    if (!displayTranslated && !byteMode_) {
        const uint16_t word = wordAt(selectedOffset(2));
        return {true, word >= kFirstNonCharacter ? kBlankCharacter : word};
    }
    // The byte at the selected column counted in bytes, in byte mode and word mode alike.
    return {false, byteAt(selectedOffset(1))};
}

std::string HexView::caption() const {
    const uint32_t base = kWorkRamBank | textPointer_;
    // The column counts half a row here: a selection at or past the copy's last byte shows that
    // byte's address instead of the cell's.
    const long position = scroll_ + 8L * selectedRow_ + selectedColumn_;
    const long last = static_cast<long>(length_) - 1;
    uint32_t address = 0;
    if (position < last) {
        address = base + static_cast<uint32_t>(selectedOffset(2));
    } else {
        // An empty copy has no last byte: its first address stands for it.
        address = base + static_cast<uint32_t>(last > 0 ? last : 0);
    }
    char text[32];
    std::snprintf(text, sizeof text, "Hex Data - $%08X", address);
    return text;
}

void HexView::up() {
    if (selectedRow_ > 0) {
        --selectedRow_;
    } else if (scroll_ != 0) {
        scroll_ -= kHexBytesPerRow;
    }
}

void HexView::down() {
    if (selectedRow_ < rows_ - 1) {
        ++selectedRow_;
    } else if (selectedRow_ == rows_ - 1 &&
               scroll_ + kHexBytesPerRow + columns_ < static_cast<int>(kHexCopySize)) {
        // The top row stays inside the copy: the last scroll is 4,080 in word mode, 4,064 in byte mode.
        scroll_ += kHexBytesPerRow;
    }
}

void HexView::press(HexKey key) {
    if (columns_ == 0) return;  // nothing loaded yet
    switch (key) {
        case HexKey::Left:
            if (selectedColumn_ > 0) {
                --selectedColumn_;
            } else {
                selectedColumn_ = columns_ - 1;
                up();
            }
            break;
        case HexKey::Right:
            if (selectedColumn_ < columns_ - 1) {
                ++selectedColumn_;
            } else {
                selectedColumn_ = 0;
                down();
            }
            break;
        case HexKey::Up:
            up();
            break;
        case HexKey::Down:
            down();
            break;
    }
}

HexGlyphBitmap HexGlyphPicture(const preview::GlyphCell& cell) {
    const auto& palette = preview::Palette();
    HexGlyphBitmap picture{};
    for (unsigned row = 0; row < preview::kGlyphRows; ++row) {
        for (unsigned column = 0; column < 8; ++column) {
            const bool set = (cell.rows[row] & (0x80u >> column)) != 0;
            picture[row * 8 + column] = palette[set ? preview::kTextIndex : preview::kBackgroundIndex];
        }
    }
    return picture;
}

}  // namespace corv::editor
