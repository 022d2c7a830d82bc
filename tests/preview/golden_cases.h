#pragma once
// The golden pictures: chosen strings of the demo game drawn as the main window shows them,
// each under a set of display options. Shared by the golden test and by the program that
// rewrites the golden files.

#include <cstdint>
#include <string>
#include <vector>

#include "preview/preview_screen.h"

namespace corv::preview::golden {

struct GoldenPicture {
    std::string name;
    PreviewScreen screen;
};

// Every case, drawn (the demo game is built once per call).
[[nodiscard]] std::vector<GoldenPicture> RenderGoldenCases();

// FNV-1a, 64 bits, over the width and height (4 bytes each, little-endian) and then every pixel
// (2 bytes, little-endian), row by row.
[[nodiscard]] uint64_t PictureHash(const PreviewScreen& screen);

// The file the hashes are kept in: one "name hash" line per case, hash in 16 hexadecimal digits.
inline constexpr char kHashFileName[] = "hashes.txt";

}  // namespace corv::preview::golden
