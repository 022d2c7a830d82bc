// The converted VGA palette, the frame tiles and the box colours.

#include <gtest/gtest.h>

#include <algorithm>

#include "preview/frame_tiles.h"
#include "preview/palette.h"
#include "preview/text_box_renderer.h"

namespace corv::preview {
namespace {

using script::TextBoxColour;
using script::TextBoxStyle;

TEST(PreviewPalette, EntriesThePreviewDrawsWith) {
    const auto& p = Palette();
    EXPECT_EQ(p[0], 0x0000);
    EXPECT_EQ(p[12], 0xFAAA);
    EXPECT_EQ(p[14], 0xFFEA);
    EXPECT_EQ(p[15], 0xFFFF);
    EXPECT_EQ(p[17], 0x10A2);
}

TEST(PreviewPalette, FollowsTheVgaLayout) {
    const auto& p = Palette();
    EXPECT_EQ(p[1], VgaToPixel(0, 0, 0x2A));     // dark blue
    EXPECT_EQ(p[6], VgaToPixel(0x2A, 0x15, 0));  // brown, not dark yellow
    EXPECT_EQ(p[7], VgaToPixel(0x2A, 0x2A, 0x2A));
    EXPECT_EQ(p[8], VgaToPixel(0x15, 0x15, 0x15));
    EXPECT_EQ(p[16], 0x0000);
    EXPECT_EQ(p[31], 0xFFFF);  // the grey ramp ends in white
    EXPECT_EQ(p[32], 0x001F);  // first hue ring: pure blue
    EXPECT_EQ(p[40], 0xF800);  // pure red
    EXPECT_EQ(p[48], 0x07E0);  // pure green
    EXPECT_EQ(p[36], 0xF81F);  // magenta
    EXPECT_EQ(p[33], VgaToPixel(0x10, 0, 0x3F));
    EXPECT_EQ(p[104], VgaToPixel(0, 0, 0x1C));  // fourth ring starts darker
    EXPECT_EQ(p[247], VgaToPixel(0x0B, 0x0C, 0x10));  // last hue of the last ring
    for (unsigned i = 248; i < 256; ++i) {
        EXPECT_EQ(p[i], 0x0000) << i;
    }
    // Greys are strictly rising.
    for (unsigned i = 17; i < 32; ++i) {
        EXPECT_GT(p[i], p[i - 1]) << i;
    }
}

TEST(PreviewFrameTiles, MatchTheTableRowByRow) {
    const auto& tiles = FrameTiles();
    const auto row = [&](unsigned tile, unsigned r) {
        std::string text;
        for (unsigned c = 0; c < 8; ++c) {
            switch (tiles[tile][r * 8 + c]) {
            case kFrameBlack: text += 'K'; break;
            case kFrameGrey: text += 'G'; break;
            case kFrameLightGrey: text += 'L'; break;
            case kInteriorKey: text += 'I'; break;
            default: text += '?'; break;
            }
        }
        return text;
    };
    EXPECT_EQ(row(0, 4), "IIIIIIII");
    EXPECT_EQ(row(1, 0), "KGGGGGGG");
    EXPECT_EQ(row(1, 3), "GLGGKKKK");
    EXPECT_EQ(row(2, 1), "LLLLLLLL");
    EXPECT_EQ(row(3, 0), "GGGGGGKK");
    EXPECT_EQ(row(3, 2), "GGGGLLGK");
    EXPECT_EQ(row(4, 7), "GLGKIIII");
    EXPECT_EQ(row(5, 0), "IIIIGLGK");
    EXPECT_EQ(row(6, 3), "GLGGKIII");
    EXPECT_EQ(row(6, 6), "KGGGGGGG");
    EXPECT_EQ(row(7, 3), "IIIIIIII");
    EXPECT_EQ(row(7, 5), "LLLLLLLL");
    EXPECT_EQ(row(8, 3), "IIIGGLGK");
    EXPECT_EQ(row(8, 7), "KKKKKKKK");
    // The mirrored corners agree with each other.
    for (unsigned r = 0; r < 8; ++r) {
        std::string left = row(1, r);
        std::string right = row(3, r);
        std::reverse(right.begin(), right.end());
        EXPECT_EQ(left.substr(0, 3), right.substr(1, 3)) << r;
    }
}

TEST(PreviewBoxColour, GradientDropsOneStepEveryThreeRows) {
    PreviewOptions menus;
    menus.colour = TextBoxColour::Blue;
    menus.style = TextBoxStyle::Gradient;
    EXPECT_EQ(kGradientRowsPerStep, 3u);
    EXPECT_EQ(BoxColour(menus, 0), 31);
    EXPECT_EQ(BoxColour(menus, 2), 31);
    EXPECT_EQ(BoxColour(menus, 3), 30);
    EXPECT_EQ(BoxColour(menus, 5), 30);
    EXPECT_EQ(BoxColour(menus, 90), 1);
    EXPECT_EQ(BoxColour(menus, 92), 1);
    EXPECT_EQ(BoxColour(menus, 93), 0);
    EXPECT_EQ(BoxColour(menus, 111), 0);
    menus.colour = TextBoxColour::Red;
    EXPECT_EQ(BoxColour(menus, 3), 30 << 11);
    menus.colour = TextBoxColour::Green;
    EXPECT_EQ(BoxColour(menus, 6), 29 << 5);
}

TEST(PreviewBoxColour, SolidIsFullIntensityOfTheChosenColour) {
    PreviewOptions menus;
    menus.style = TextBoxStyle::Solid;
    menus.colour = TextBoxColour::Blue;
    EXPECT_EQ(BoxColour(menus, 100), 0x001F);
    menus.colour = TextBoxColour::Green;
    EXPECT_EQ(BoxColour(menus, 0), 0x03E0);
    menus.colour = TextBoxColour::Red;
    EXPECT_EQ(BoxColour(menus, 50), 0xF800);
}

}  // namespace
}  // namespace corv::preview
