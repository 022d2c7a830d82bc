// Golden pictures: chosen demo strings must draw exactly the pixels whose hashes are checked in.
// After an intended change of the drawing, rewrite the golden files (see golden/README.md)
// and look at the new pictures before committing them.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "preview/golden_cases.h"

namespace corv::preview::golden {
namespace {

std::map<std::string, std::string> ReadHashFile() {
    std::map<std::string, std::string> hashes;
    std::ifstream file(std::string(CORV_PREVIEW_GOLDEN_DIR) + "/" + kHashFileName);
    std::string name;
    std::string hash;
    while (file >> name >> hash) {
        hashes[name] = hash;
    }
    return hashes;
}

std::string HexHash(uint64_t hash) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

const std::vector<GoldenPicture>& Pictures() {
    static const std::vector<GoldenPicture> pictures = RenderGoldenCases();
    return pictures;
}

TEST(PreviewGolden, EveryCaseDrawsItsCheckedInPicture) {
    const auto expected = ReadHashFile();
    ASSERT_FALSE(expected.empty()) << "no golden hashes found in " << CORV_PREVIEW_GOLDEN_DIR;
    for (const GoldenPicture& picture : Pictures()) {
        const auto found = expected.find(picture.name);
        ASSERT_NE(found, expected.end()) << picture.name << " has no golden hash";
        EXPECT_EQ(HexHash(PictureHash(picture.screen)), found->second) << picture.name;
    }
    EXPECT_EQ(expected.size(), Pictures().size()) << "the hash file names cases that no longer exist";
}

TEST(PreviewGolden, CasesDifferFromEachOther) {
    // Each case was chosen to show something the others do not; equal pictures mean an option
    // had no effect.
    std::map<uint64_t, std::string> seen;
    for (const GoldenPicture& picture : Pictures()) {
        const auto [it, inserted] = seen.emplace(PictureHash(picture.screen), picture.name);
        EXPECT_TRUE(inserted) << picture.name << " draws the same as " << it->second;
    }
}

TEST(PreviewGolden, HashSeesTheFirstAndLastPixelAndTheSize) {
    PreviewScreen screen;
    const uint64_t blank = PictureHash(screen);
    screen.bitmapRow(0)[0] = 0x0001;
    const uint64_t first = PictureHash(screen);
    screen.bitmapRow(0)[0] = 0;
    screen.bitmapRow(screen.height() - 1)[screen.width() - 1] = 0x0100;
    const uint64_t last = PictureHash(screen);
    EXPECT_NE(first, blank);
    EXPECT_NE(last, blank);
    EXPECT_NE(first, last);
    EXPECT_NE(PictureHash(PreviewScreen(321, 256)), blank);
}

}  // namespace
}  // namespace corv::preview::golden
