#pragma once
// The preview's 256-colour palette: the standard VGA power-on palette converted to the 5-6-5
// pixels of the preview screen.

#include <array>
#include <cstdint>

namespace corv::preview {

using Pixel = uint16_t;  // 5-6-5: red in bits 15-11, green in bits 10-5, blue in bits 4-0

// Palette entries the text box preview draws with.
inline constexpr uint8_t kBackgroundIndex = 0;  // text layer background; transparent on overlay
inline constexpr uint8_t kPlayerIndex = 12;     // the "[Player]" label
inline constexpr uint8_t kLabelIndex = 14;      // every other code label
inline constexpr uint8_t kTextIndex = 15;       // characters and messages
inline constexpr uint8_t kShadowIndex = 17;     // the one-pixel glyph shadow

// A 6-bit VGA DAC triple as a 5-6-5 pixel: red and blue lose their lowest bit.
[[nodiscard]] constexpr Pixel VgaToPixel(uint8_t red6, uint8_t green6, uint8_t blue6) {
    return static_cast<Pixel>(((red6 / 2) << 11) | (green6 << 5) | (blue6 / 2));
}

// All 256 entries: 16 EGA colours, 16 greys, 216 hues (9 rings of 24), 8 black.
[[nodiscard]] const std::array<Pixel, 256>& Palette();

}  // namespace corv::preview
