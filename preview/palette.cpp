#include "preview/palette.h"

namespace corv::preview {
namespace {

struct Rgb6 {
    uint8_t r, g, b;
};

// The five DAC levels of one ring of hues: level 0 is the weakest component, 4 the strongest.
using RingLevels = std::array<uint8_t, 5>;

// Rings in palette order: bright, medium and dark intensity, each at high, medium and low
// saturation.
constexpr std::array<RingLevels, 9> kRings = {{
    {0x00, 0x10, 0x1F, 0x2F, 0x3F},
    {0x1F, 0x27, 0x2F, 0x37, 0x3F},
    {0x2D, 0x31, 0x36, 0x3A, 0x3F},
    {0x00, 0x07, 0x0E, 0x15, 0x1C},
    {0x0E, 0x11, 0x15, 0x18, 0x1C},
    {0x14, 0x16, 0x18, 0x1A, 0x1C},
    {0x00, 0x04, 0x08, 0x0C, 0x10},
    {0x08, 0x0A, 0x0C, 0x0E, 0x10},
    {0x0B, 0x0C, 0x0D, 0x0F, 0x10},
}};

// Each ring walks blue -> magenta -> red -> yellow -> green -> cyan -> back towards blue in
// 24 steps; a hue is three level numbers (red, green, blue) into the ring's levels.
constexpr std::array<std::array<uint8_t, 3>, 24> kHueSteps = {{
    {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
    {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
}};

constexpr std::array<uint8_t, 16> kGreys = {0x00, 0x05, 0x08, 0x0B, 0x0E, 0x11, 0x14, 0x18,
                                            0x1C, 0x20, 0x24, 0x28, 0x2D, 0x32, 0x38, 0x3F};

constexpr Rgb6 EgaColour(unsigned index) {
    // Bits 0-2 pick blue, green, red at two thirds; bit 3 adds one third to all three. Brown
    // (entry 6) is the exception: its green is one third, not two.
    const uint8_t bright = (index & 8) ? 0x15 : 0;
    Rgb6 c{static_cast<uint8_t>(((index & 4) ? 0x2A : 0) + bright),
           static_cast<uint8_t>(((index & 2) ? 0x2A : 0) + bright),
           static_cast<uint8_t>(((index & 1) ? 0x2A : 0) + bright)};
    if (index == 6) {
        c.g = 0x15;
    }
    return c;
}

constexpr std::array<Pixel, 256> BuildPalette() {
    std::array<Pixel, 256> palette{};
    for (unsigned i = 0; i < 16; ++i) {
        const Rgb6 c = EgaColour(i);
        palette[i] = VgaToPixel(c.r, c.g, c.b);
    }
    for (unsigned i = 0; i < 16; ++i) {
        palette[16 + i] = VgaToPixel(kGreys[i], kGreys[i], kGreys[i]);
    }
    for (unsigned ring = 0; ring < kRings.size(); ++ring) {
        for (unsigned step = 0; step < kHueSteps.size(); ++step) {
            const auto& levels = kRings[ring];
            const auto& hue = kHueSteps[step];
            palette[32 + 24 * ring + step] = VgaToPixel(levels[hue[0]], levels[hue[1]], levels[hue[2]]);
        }
    }
    // Entries 248-255 stay black.
    return palette;
}

constexpr std::array<Pixel, 256> kPalette = BuildPalette();

}  // namespace

const std::array<Pixel, 256>& Palette() { return kPalette; }

}  // namespace corv::preview
