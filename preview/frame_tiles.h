#pragma once
// The nine 8x8 tiles that the text box frames are built from.

#include <array>
#include <cstdint>

#include "preview/palette.h"

namespace corv::preview {

inline constexpr Pixel kFrameBlack = 0x0000;
inline constexpr Pixel kFrameGrey = 0x8430;
inline constexpr Pixel kFrameLightGrey = 0xE73C;
// Interior key colour: every pixel of this value is replaced by the box colour after the frame
// is laid out.
inline constexpr Pixel kInteriorKey = 0x2114;

enum FrameTileId : uint8_t {
    kTileInterior = 0,
    kTileTopLeft = 1,
    kTileTop = 2,
    kTileTopRight = 3,
    kTileLeft = 4,
    kTileRight = 5,
    kTileBottomLeft = 6,
    kTileBottom = 7,
    kTileBottomRight = 8,
};
inline constexpr unsigned kFrameTileCount = 9;
inline constexpr unsigned kTileSize = 8;

using FrameTile = std::array<Pixel, kTileSize * kTileSize>;  // row after row

[[nodiscard]] const std::array<FrameTile, kFrameTileCount>& FrameTiles();

}  // namespace corv::preview
