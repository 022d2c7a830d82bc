#include "preview/preview_screen.h"

#include <algorithm>

namespace corv::preview {

TextLayer::TextLayer(unsigned rowLength)
    : pixels_(size_t{kLayerRows} * kLayerStride, 0), rowLength_(std::min(rowLength, kLayerStride)) {}

void TextLayer::setScrollOffset(int offset) {
    const int clamped = std::clamp(offset, 0, static_cast<int>(kMaxScrollOffset));
    scrollOffset_ = static_cast<unsigned>(clamped) / kScrollStep * kScrollStep;
}

bool TextLayer::scrollLines(int lines) {
    const unsigned before = scrollOffset_;
    setScrollOffset(static_cast<int>(scrollOffset_) + lines * static_cast<int>(kScrollStep));
    return scrollOffset_ != before;
}

void TextLayer::clear() { std::fill(pixels_.begin(), pixels_.end(), Pixel{0}); }

Pixel TextLayer::pixel(unsigned x, unsigned y) const {
    if (x >= kLayerStride) {
        return 0;
    }
    return pixels_[size_t{y % kLayerRows} * kLayerStride + x];
}

void TextLayer::setPixel(unsigned x, unsigned y, Pixel value) {
    if (x < kLayerStride) {
        pixels_[size_t{y % kLayerRows} * kLayerStride + x] = value;
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
      frame_(size_t{width_} * height_, 0) {}

std::span<Pixel> PreviewScreen::bitmapRow(unsigned y) {
    return std::span(bitmap_).subspan(size_t{y} * width_, width_);
}

std::span<const Pixel> PreviewScreen::bitmapRow(unsigned y) const {
    return std::span(bitmap_).subspan(size_t{y} * width_, width_);
}

std::span<Pixel> PreviewScreen::frameRow(unsigned y) { return std::span(frame_).subspan(size_t{y} * width_, width_); }

std::span<const Pixel> PreviewScreen::frameRow(unsigned y) const {
    return std::span(frame_).subspan(size_t{y} * width_, width_);
}

void PreviewScreen::clearFrameLayer() { std::fill(frame_.begin(), frame_.end(), Pixel{0}); }

}  // namespace corv::preview
