// The preview command's PNG files against Qt's own PNG writer, which the command used before:
// the same pixels at every scale, so the pictures a translator compares stay the same.

#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "tools/corvtool/png_file.h"

namespace corv::tool {
namespace {

preview::PreviewScreen RandomScreen(uint32_t seed) {
    preview::PreviewScreen screen;
    std::mt19937 random(seed);
    for (unsigned y = 0; y < screen.height(); ++y) {
        for (preview::Pixel& pixel : screen.bitmapRow(y)) pixel = static_cast<preview::Pixel>(random());
    }
    return screen;
}

QImage QtPicture(const preview::PreviewScreen& screen, unsigned scale) {
    const QImage image(reinterpret_cast<const uchar*>(screen.bits()), static_cast<int>(screen.width()),
                       static_cast<int>(screen.height()), static_cast<qsizetype>(screen.pitch() * sizeof(preview::Pixel)),
                       QImage::Format_RGB16);
    const int width = image.width() * static_cast<int>(scale);
    const int height = image.height() * static_cast<int>(scale);
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation).convertToFormat(QImage::Format_RGB32);
}

TEST(PngFile, SamePixelsAsQtAtEveryScale) {
    const preview::PreviewScreen screen = RandomScreen(17);
    for (const unsigned scale : {1u, 2u, 3u}) {
        const std::vector<uint8_t> png = EncodePng(screen, scale);
        ASSERT_FALSE(png.empty());
        QImage decoded;
        ASSERT_TRUE(decoded.loadFromData(png.data(), static_cast<int>(png.size()), "PNG")) << scale;
        const QImage expected = QtPicture(screen, scale);
        ASSERT_EQ(decoded.size(), expected.size()) << scale;
        decoded = decoded.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                ASSERT_EQ(decoded.pixel(x, y), expected.pixel(x, y)) << "scale " << scale << " at " << x << ',' << y;
            }
        }
    }
}

TEST(PngFile, ColourWideningRepeatsTheTopBits) {
    EXPECT_EQ(Rgb888(0xFFFF), 0xFFFFFFu);
    EXPECT_EQ(Rgb888(0x0000), 0x000000u);
    EXPECT_EQ(Rgb888(0xF800), 0xFF0000u);
    EXPECT_EQ(Rgb888(0x07E0), 0x00FF00u);
    EXPECT_EQ(Rgb888(0x001F), 0x0000FFu);
    EXPECT_EQ(Rgb888(0x8410), 0x848284u);  // 10000 100000 10000
}

}  // namespace
}  // namespace corv::tool
