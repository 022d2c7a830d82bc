#pragma once
// The preview screen as a PNG file: 8-bit RGB, each 5-6-5 pixel widened by repeating its top
// bits (as image viewers and Qt do), each pixel drawn as a `scale` x `scale` square. Written with
// zlib alone, so that the command line links no GUI library.

#include <cstdint>
#include <vector>

#include "preview/preview_screen.h"

namespace corv::tool {

// The 24-bit colour of a 5-6-5 pixel: 0xRRGGBB.
[[nodiscard]] constexpr uint32_t Rgb888(preview::Pixel pixel) {
    const uint32_t r = (pixel >> 11) & 0x1F;
    const uint32_t g = (pixel >> 5) & 0x3F;
    const uint32_t b = pixel & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// The whole PNG file; empty if zlib fails.
[[nodiscard]] std::vector<uint8_t> EncodePng(const preview::PreviewScreen& screen, unsigned scale);

}  // namespace corv::tool
