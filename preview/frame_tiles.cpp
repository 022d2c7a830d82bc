#include "preview/frame_tiles.h"

#include <string_view>

namespace corv::preview {
namespace {

// K black, G grey, L light grey, I interior (box colour). One string per tile row, tiles in id
// order: interior, the three top pieces, left and right edges, the three bottom pieces.
constexpr std::array<std::array<std::string_view, kTileSize>, kFrameTileCount> kTileArt = {{
    {"IIIIIIII", "IIIIIIII", "IIIIIIII", "IIIIIIII", "IIIIIIII", "IIIIIIII", "IIIIIIII", "IIIIIIII"},
    {"KGGGGGGG", "GGLLLLLL", "GLLGGGGG", "GLGGKKKK", "GLGKIIII", "GLGKIIII", "GLGKIIII", "GLGKIIII"},
    {"GGGGGGGG", "LLLLLLLL", "GGGGGGGG", "KKKKKKKK", "IIIIIIII", "IIIIIIII", "IIIIIIII", "IIIIIIII"},
    {"GGGGGGKK", "LLLLLGGK", "GGGGLLGK", "KKKGGLGK", "IIIIGLGK", "IIIIGLGK", "IIIIGLGK", "IIIIGLGK"},
    {"GLGKIIII", "GLGKIIII", "GLGKIIII", "GLGKIIII", "GLGKIIII", "GLGKIIII", "GLGKIIII", "GLGKIIII"},
    {"IIIIGLGK", "IIIIGLGK", "IIIIGLGK", "IIIIGLGK", "IIIIGLGK", "IIIIGLGK", "IIIIGLGK", "IIIIGLGK"},
    {"GLGKIIII", "GLGKIIII", "GLGKIIII", "GLGGKIII", "GLLGGGGG", "GGLLLLLL", "KGGGGGGG", "KKKKKKKK"},
    {"IIIIIIII", "IIIIIIII", "IIIIIIII", "IIIIIIII", "GGGGGGGG", "LLLLLLLL", "GGGGGGGG", "KKKKKKKK"},
    {"IIIIGLGK", "IIIIGLGK", "IIIIGLGK", "IIIGGLGK", "GGGGLLGK", "LLLLLGGK", "GGGGGGKK", "KKKKKKKK"},
}};

constexpr Pixel ArtPixel(char c) {
    switch (c) {
    case 'K': return kFrameBlack;
    case 'G': return kFrameGrey;
    case 'L': return kFrameLightGrey;
    case 'I': return kInteriorKey;
    default: throw "frame tile art holds an unknown colour letter";  // stops constant evaluation
    }
}

constexpr std::array<FrameTile, kFrameTileCount> BuildTiles() {
    std::array<FrameTile, kFrameTileCount> tiles{};
    for (unsigned t = 0; t < kFrameTileCount; ++t) {
        for (unsigned r = 0; r < kTileSize; ++r) {
            if (kTileArt[t][r].size() != kTileSize) {
                throw "frame tile row is not 8 pixels wide";
            }
            for (unsigned c = 0; c < kTileSize; ++c) {
                tiles[t][r * kTileSize + c] = ArtPixel(kTileArt[t][r][c]);
            }
        }
    }
    return tiles;
}

constexpr std::array<FrameTile, kFrameTileCount> kTiles = BuildTiles();

}  // namespace

const std::array<FrameTile, kFrameTileCount>& FrameTiles() { return kTiles; }

}  // namespace corv::preview
