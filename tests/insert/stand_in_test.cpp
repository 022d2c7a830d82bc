// The play-test stand-in of an untranslated string: the original's codes with their parameters in
// the translated game's format, a marker for each run of text, and which entries count as
// untranslated.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "insert/stand_in.h"

namespace corv::insert {
namespace {

std::vector<uint8_t> gameString(std::initializer_list<uint16_t> words) {
    std::vector<uint8_t> bytes;
    for (const uint16_t word : words) {
        bytes.push_back(static_cast<uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<uint8_t>(word >> 8));
    }
    return bytes;
}

TEST(StandIn, KeepsEveryCodeInOrderWithItsParametersAndMarksEachRunOfText) {
    // Fade in, two characters, a pause of 5, a line break, the yes/no choice with its two words,
    // F2, one character, a key wait and the end.
    const auto string = gameString({0xF700, 0x0081, 0x0082, 0xF105, 0xFD00, 0xF900, 0x1234, 0x5678, 0xF200, 0x0083,
                                    0xF000, 0xFFFF});
    const std::vector<uint8_t> expected = {0xF7, '#', '7', 0xF1, 0x05, 0xFD, 0xF9, 0x34, 0x12, 0x78,
                                           0x56, 0xF2, '#', '7', 0xF0, 0xFF};
    EXPECT_EQ(StandInBytes(string, 7), expected);
}

TEST(StandIn, StopsAtTheEndMarkAndAtTheEndOfTheView) {
    EXPECT_EQ(StandInBytes(gameString({0xFFFF, 0xF700}), 3), std::vector<uint8_t>{0xFF});
    EXPECT_EQ(StandInBytes(gameString({0x0041, 0xF800}), 12), (std::vector<uint8_t>{'#', '1', '2', 0xF8, 0xFF}));
    // The yes/no choice cut short by the view is no code the game could read: the string ends.
    EXPECT_EQ(StandInBytes(gameString({0xF800, 0xF900, 0x1234}), 0), (std::vector<uint8_t>{0xF8, 0xFF}));
}

}  // namespace
}  // namespace corv::insert
