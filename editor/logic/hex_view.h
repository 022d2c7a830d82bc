#pragma once
// What the Hex Data window shows of the string on the preview: a copy of its bytes as a grid of
// hexadecimal cells (16-bit words for a game string, single bytes for a message), one selected
// cell moved with the arrow keys, the glyph that cell stands for and the caption with the cell's
// game memory address. No drawing here: the window paints what this class decides.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "preview/glyph.h"
#include "preview/palette.h"
#include "script/string_decoder.h"

namespace corv::editor {

inline constexpr size_t kHexCopySize = 4096;
inline constexpr int kHexBytesPerRow = 16;
inline constexpr int kHexFontHeight = 13;                  // the grid font's pixel height
inline constexpr int kHexLineHeight = kHexFontHeight + 2;  // one grid row
inline constexpr uint32_t kWorkRamBank = 0x7E0000;         // where the game copies a block to

// Cell colours as 0xRRGGBB.
inline constexpr uint32_t kHexSelectedText = 0xFF0000;
inline constexpr uint32_t kHexSelectedBackground = 0xFFFFFF;
inline constexpr uint32_t kHexEvenColumnText = 0x008080;
inline constexpr uint32_t kHexOddColumnText = 0xFFFFFF;
inline constexpr uint32_t kHexBackground = 0x000000;

enum class HexKey { Left, Right, Up, Down };

struct HexCell {
    std::string text;  // "%04X" (word mode) or "%02X" (byte mode)
    uint32_t textColour = kHexOddColumnText;
    uint32_t background = kHexBackground;
};

// The glyph behind the selected cell: a game font character (16-bit code) or a translation
// font character (8-bit code).
struct HexGlyphChoice {
    bool gameFont = false;
    uint16_t code = 0;
    friend bool operator==(const HexGlyphChoice&, const HexGlyphChoice&) = default;
};

// The magnified glyph before it is stretched: 8 x 16 pixels, row by row.
using HexGlyphBitmap = std::array<preview::Pixel, 8 * preview::kGlyphRows>;

class HexView {
public:
    // Takes the string to show. `source` is the game string from its first byte on (the rest of
    // the block may follow) or a message's 8-bit stream; `byteMode` is the message flag. The copy
    // takes bytes up to the first 0xFF, and the end mark FF FF with them when the string ends
    // there; at most 4,096 bytes. `textPointer` is the string's offset in its block, for the
    // caption. The selection stays unless the mode changes; the scroll returns to the top.
    void load(std::span<const uint8_t> source, bool byteMode, uint16_t textPointer);
    // The same for a resolved string: a message (any kind but a game string) as its 8-bit
    // stream in byte mode, a game string as its words.
    void loadString(const script::ResolvedString& resolved);

    // What loading the string shown again does: the scroll returns to the top.
    void scrollToTop() { scroll_ = 0; }

    // Rows that fit in a client area `clientHeight` pixels high.
    void setClientHeight(int clientHeight);

    // Moves the selection; at the row ends it wraps to the row before or after, and past the
    // first or last visible row it scrolls by one row of 16 bytes while that stays inside the copy.
    void press(HexKey key);

    [[nodiscard]] bool loaded() const { return columns_ != 0; }
    [[nodiscard]] bool byteMode() const { return byteMode_; }
    [[nodiscard]] int columns() const { return columns_; }
    [[nodiscard]] int rows() const { return rows_; }
    [[nodiscard]] int selectedColumn() const { return selectedColumn_; }
    [[nodiscard]] int selectedRow() const { return selectedRow_; }
    [[nodiscard]] int scroll() const { return scroll_; }
    [[nodiscard]] size_t length() const { return length_; }
    [[nodiscard]] std::span<const uint8_t> copy() const { return copy_; }

    // Visible cell (row relative to the top visible row). Rows past the copy show zeros.
    [[nodiscard]] HexCell cell(int row, int column) const;

    // With the translated preview shown (`displayTranslated`) or in byte mode the selected byte
    // is a translation font code; otherwise the selected word is a game character, 0x20 (a
    // blank) standing in for words of 0x1000 and above, which are no characters.
    [[nodiscard]] HexGlyphChoice glyph(bool displayTranslated) const;

    // "Hex Data - $" and the game memory address of the selected cell in eight hexadecimal
    // digits; a selection past the copy shows the address of its last byte.
    [[nodiscard]] std::string caption() const;

private:
    [[nodiscard]] uint8_t byteAt(size_t offset) const { return offset < copy_.size() ? copy_[offset] : 0; }
    [[nodiscard]] uint16_t wordAt(size_t offset) const;
    [[nodiscard]] size_t selectedOffset(int bytesPerColumn) const;
    void up();
    void down();

    std::array<uint8_t, kHexCopySize> copy_{};
    size_t length_ = 0;
    bool byteMode_ = false;
    int columns_ = 0;
    int rows_ = 0;
    int selectedColumn_ = 0;
    int selectedRow_ = 0;
    int scroll_ = 0;
    uint16_t textPointer_ = 0;
};

// The glyph picture: palette entry 15 for a set pixel, entry 0 for a clear one.
[[nodiscard]] HexGlyphBitmap HexGlyphPicture(const preview::GlyphCell& cell);

}  // namespace corv::editor
