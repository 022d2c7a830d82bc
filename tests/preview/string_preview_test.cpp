// The pieces corvtool and the golden pictures share: the game font read from the ROM and the
// translated stream taken from a string's script entry.

#include <gtest/gtest.h>

#include "preview/string_preview.h"
#include "script/script_text.h"
#include "tools/demo/demo_game.h"

namespace corv::preview {
namespace {

TEST(PreviewStringPreview, LoadsTheGameFontBlockFromTheRom) {
    const demo::DemoGame game = demo::BuildDemoGame();
    EXPECT_EQ(LoadGameFont(game.rom), game.font().data);
    // A ROM without a valid block at 0x060000 has no font.
    std::vector<uint8_t> broken = game.rom;
    broken[0x060000 + 6] ^= 0x01;  // the check word
    EXPECT_TRUE(LoadGameFont(broken).empty());
    EXPECT_TRUE(LoadGameFont(std::vector<uint8_t>(0x100, 0)).empty());
}

TEST(PreviewStringPreview, EncodesTheEntryOfTheChosenString) {
    script::MemoryScriptText script(".STRING 1\nHi[KEY]!\nOk\n.ENDS\n\n.STRING 10\nTen\n.ENDS\n");
    const auto one = EncodeEntryPreview(script, 1, script::CharacterMap{});
    ASSERT_TRUE(one.has_value());
    const std::vector<uint8_t> expected = {'H', 'i', 0x00, 0xF0, '!', 0x00, 0xFD, 'O', 'k', 0xFF, 0xFF, 0x00};
    EXPECT_EQ(*one, expected);
    const auto ten = EncodeEntryPreview(script, 10, script::CharacterMap{});
    ASSERT_TRUE(ten.has_value());
    EXPECT_EQ((*ten)[0], 'T');
    EXPECT_FALSE(EncodeEntryPreview(script, 2, script::CharacterMap{}).has_value());
}

}  // namespace
}  // namespace corv::preview
