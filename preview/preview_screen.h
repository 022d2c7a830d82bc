#pragma once
// The picture the main window paints: a 5-6-5 screen bitmap, the frame layer the two boxes are
// laid out in, the two text layers the strings are drawn into, and the frame map.
//
// The bitmap is a plain pixel buffer (width, height, pitch); whoever shows it wraps it (the
// editor as a 16-bit RGB image stretched onto its paint box).

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "preview/palette.h"

namespace corv::preview {

inline constexpr unsigned kMinScreenWidth = 320;
inline constexpr unsigned kMinScreenHeight = 256;

inline constexpr unsigned kLayerRows = 768;
inline constexpr unsigned kLayerStride = 304;  // pixels stored per layer row, for both layers
inline constexpr unsigned kKanaRowLength = 304;
inline constexpr unsigned kAsciiRowLength = 232;
inline constexpr unsigned kScrollStep = 16;
inline constexpr unsigned kMaxScrollOffset = 672;  // the last 96-row window starts here

// One text layer: 768 rows that text is drawn into and a 96-row window of which is shown.
// Writes outside the stored 304 columns are dropped; rows wrap past 767 to 0. The layer notes
// which rows were written since it was last cleared, so that clearing, done by every pass,
// costs only the rows that the last string used.
class TextLayer {
public:
    explicit TextLayer(unsigned rowLength);

    [[nodiscard]] unsigned rowLength() const { return rowLength_; }
    // The first layer row shown: a multiple of 16 from 0 to 672.
    [[nodiscard]] unsigned scrollOffset() const { return scrollOffset_; }
    // Takes `offset` rounded down to a multiple of 16 and kept within 0..672.
    void setScrollOffset(int offset);
    // Moves by `lines` lines of 16 rows, stopping at either end; false when it did not move.
    bool scrollLines(int lines);

    void clear();
    [[nodiscard]] Pixel pixel(unsigned x, unsigned y) const;
    void setPixel(unsigned x, unsigned y, Pixel value);
    [[nodiscard]] std::span<const Pixel> row(unsigned y) const;
    // Row y (wrapped) for writing, all 304 stored pixels; marks it written.
    [[nodiscard]] std::span<Pixel> rowForWriting(unsigned y) {
        const unsigned row = y % kLayerRows;
        rowWritten_[row] = 1;
        return std::span(pixels_).subspan(size_t{row} * kLayerStride, kLayerStride);
    }
    // False when row y (wrapped) holds only 0 since the last clear.
    [[nodiscard]] bool rowWritten(unsigned y) const { return rowWritten_[y % kLayerRows] != 0; }

private:
    std::vector<Pixel> pixels_;
    std::vector<uint8_t> rowWritten_;
    unsigned rowLength_;
    unsigned scrollOffset_ = 0;
};

// Tile ids of the boxes' frames, 128 x 128 cells of which `rows` x `columns` are in use.
struct FrameMap {
    static constexpr unsigned kSize = 128;
    std::array<uint8_t, kSize * kSize> tiles{};
    unsigned rows = 0;
    unsigned columns = 0;

    void clear();
    [[nodiscard]] uint8_t& at(unsigned row, unsigned column) { return tiles[row * kSize + column]; }
    [[nodiscard]] uint8_t at(unsigned row, unsigned column) const { return tiles[row * kSize + column]; }
};

class PreviewScreen {
public:
    // Sizes below 320 x 256 are raised to it: the two boxes need that much room.
    explicit PreviewScreen(unsigned width = kMinScreenWidth, unsigned height = kMinScreenHeight);

    [[nodiscard]] unsigned width() const { return width_; }
    [[nodiscard]] unsigned height() const { return height_; }
    // Pixels from one bitmap row to the next (equal to the width); bytes per line is twice this.
    [[nodiscard]] unsigned pitch() const { return width_; }
    [[nodiscard]] const Pixel* bits() const { return bitmap_.data(); }
    [[nodiscard]] std::span<const Pixel> bitmap() const { return bitmap_; }
    [[nodiscard]] std::span<Pixel> bitmapRow(unsigned y);
    [[nodiscard]] std::span<const Pixel> bitmapRow(unsigned y) const;

    // Rows of the frame layer; taking a row for writing marks it for the next clear.
    [[nodiscard]] std::span<Pixel> frameRow(unsigned y);
    [[nodiscard]] std::span<const Pixel> frameRow(unsigned y) const;
    // Sets the whole frame layer to 0 (only rows written since the last clear can differ).
    void clearFrameLayer();

    [[nodiscard]] TextLayer& kanaLayer() { return kana_; }
    [[nodiscard]] const TextLayer& kanaLayer() const { return kana_; }
    [[nodiscard]] TextLayer& asciiLayer() { return ascii_; }
    [[nodiscard]] const TextLayer& asciiLayer() const { return ascii_; }

    [[nodiscard]] FrameMap& frameMap() { return frameMap_; }
    [[nodiscard]] const FrameMap& frameMap() const { return frameMap_; }

private:
    unsigned width_;
    unsigned height_;
    std::vector<Pixel> bitmap_;
    std::vector<Pixel> frame_;
    std::vector<uint8_t> frameRowWritten_;
    TextLayer kana_{kKanaRowLength};
    TextLayer ascii_{kAsciiRowLength};
    FrameMap frameMap_;
};

}  // namespace corv::preview
