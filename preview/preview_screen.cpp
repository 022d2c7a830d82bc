#include "preview/preview_screen.h"

#include <algorithm>

namespace corv::preview {

TextLayer::TextLayer(unsigned rowLength)
    : pixels_(size_t{kLayerRows} * kLayerStride, 0),
      rowWritten_(kLayerRows, 0),
      rowLength_(std::min(rowLength, kLayerStride)) {}

void TextLayer::setScrollOffset(int offset) {
    const int clamped = std::clamp(offset, 0, static_cast<int>(kMaxScrollOffset));
    scrollOffset_ = static_cast<unsigned>(clamped) / kScrollStep * kScrollStep;
}

bool TextLayer::scrollLines(int lines) {
    const unsigned before = scrollOffset_;
    setScrollOffset(static_cast<int>(scrollOffset_) + lines * static_cast<int>(kScrollStep));
    return scrollOffset_ != before;
}

void TextLayer::clear() {
    for (unsigned y = 0; y < kLayerRows; ++y) {
        if (rowWritten_[y] != 0) {
            const auto start = pixels_.begin() + static_cast<std::ptrdiff_t>(size_t{y} * kLayerStride);
            std::fill(start, start + kLayerStride, Pixel{0});
            rowWritten_[y] = 0;
        }
    }
}

Pixel TextLayer::pixel(unsigned x, unsigned y) const {
    if (x >= kLayerStride) {
        return 0;
    }
    return pixels_[size_t{y % kLayerRows} * kLayerStride + x];
}

void TextLayer::setPixel(unsigned x, unsigned y, Pixel value) {
    if (x < kLayerStride) {
        const unsigned row = y % kLayerRows;
        pixels_[size_t{row} * kLayerStride + x] = value;
        rowWritten_[row] = 1;
    }
}

std::span<const Pixel> TextLayer::row(unsigned y) const {
    return std::span(pixels_).subspan(size_t{y % kLayerRows} * kLayerStride, kLayerStride);
}

void FrameMap::clear() {
    tiles.fill(0);
    rows = 0;
    columns = 0;
}

PreviewScreen::PreviewScreen(unsigned width, unsigned height)
    : width_(std::max(width, kMinScreenWidth)),
      height_(std::max(height, kMinScreenHeight)),
      bitmap_(size_t{width_} * height_, 0),
      frame_(size_t{width_} * height_, 0),
      frameRowWritten_(height_, 0) {}

std::span<Pixel> PreviewScreen::bitmapRow(unsigned y) {
    return std::span(bitmap_).subspan(size_t{y} * width_, width_);
}

std::span<const Pixel> PreviewScreen::bitmapRow(unsigned y) const {
    return std::span(bitmap_).subspan(size_t{y} * width_, width_);
}

std::span<Pixel> PreviewScreen::frameRow(unsigned y) {
    frameRowWritten_[y] = 1;
    return std::span(frame_).subspan(size_t{y} * width_, width_);
}

std::span<const Pixel> PreviewScreen::frameRow(unsigned y) const {
    return std::span(frame_).subspan(size_t{y} * width_, width_);
}

void PreviewScreen::clearFrameLayer() {
    for (unsigned y = 0; y < height_; ++y) {
        if (frameRowWritten_[y] != 0) {
            std::fill_n(frame_.begin() + static_cast<std::ptrdiff_t>(size_t{y} * width_), width_, Pixel{0});
            frameRowWritten_[y] = 0;
        }
    }
}

}  // namespace corv::preview
