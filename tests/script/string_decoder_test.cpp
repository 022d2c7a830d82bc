#include <gtest/gtest.h>

#include <memory>

#include "script/block_data_file.h"
#include "script/string_decoder.h"
#include "script/script_test_support.h"

namespace corv::script {
namespace {

using test::Bytes;

std::vector<uint8_t> Words(std::initializer_list<uint16_t> words) {
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) {
        bytes.push_back(static_cast<uint8_t>(w));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    return bytes;
}

class StringDecoderTest : public ::testing::Test {
protected:
    std::string text(std::span<const uint8_t> bytes) { return DecodeGameStringToText(bytes, *maps); }
    std::unique_ptr<CodeMaps> maps = std::make_unique<CodeMaps>();
};

std::vector<StepKind> Kinds(const std::vector<PreviewStep>& steps) {
    std::vector<StepKind> kinds;
    for (const auto& step : steps) kinds.push_back(step.kind);
    return kinds;
}

TEST_F(StringDecoderTest, RangeOverAnEntryDecodesAsARangeCode) {
    (void)ParseBlockDataFile(".TABLE\n7F00=A\n7F01=B\n.NULL16 $7F00 to $7F00\n.ENDTABLE\n", *maps, {});
    const std::vector<uint8_t> string = {0x7F, 0x00, 0x7F, 0x01, 0xFF, 0xFF};
    EXPECT_EQ(text(string), "[$007F]B");
}

TEST_F(StringDecoderTest, ControlCodesDecodeToTheirTextForms) {
    const std::vector<uint8_t> pauses = {0x00, 0xF1, 0x05, 0xF1, 0xFF, 0xFF};
    EXPECT_EQ(text(pauses), "[Pause$00][Pause$05]");
    const std::vector<uint8_t> yesNo = {0x00, 0xF9, 0x34, 0x12, 0x78, 0x56, 0xFF, 0xFF};
    EXPECT_EQ(text(yesNo), "[Yes-No][$1234][$5678]");
    const auto all = Words({0xF000, 0xF205, 0xF300, 0xF400, 0xF500, 0xF600, 0xF700, 0xF800, 0xFA07, 0xFB00,
                            0xFC00, 0xFD00, 0xFFFF});
    EXPECT_EQ(text(all),
              "[Key][$F200][SFX][Player][MEM_Num][MEM_Text][FadeIn][FadeOut][$FA00][FixTextBox][ClrWin]\r\n\r\n");
}

TEST_F(StringDecoderTest, CharactersLookUpTheWordMapByStreamOrder) {
    maps->wordEntry(0x12FE) = {1, 15, false, "x"};
    maps->wordEntry(0x0180) = {2, 15, false, "\x82\xA0"};
    // 0xFE12 is a character (stream bytes 12 FE, key 0x12FE); 0x8001 looks up key 0x0180.
    EXPECT_EQ(text(Words({0xFE12, 0x8001, 0x0123, 0xFFFF})), "x\x82\xA0[$0123]");
}

TEST_F(StringDecoderTest, RangeOnlyEntriesAndZeroBytesInTexts) {
    (void)ParseBlockDataFile(".TABLE\n.NULL16 $2301 - $2301\n.ENDTABLE\n", *maps);
    EXPECT_EQ(maps->wordEntry(0x2301).text, "[$2301]");
    const std::vector<uint8_t> bytes = {0x23, 0x01, 0xFF, 0xFF};
    EXPECT_EQ(text(bytes), "[$0123]");  // length 0: the fallback, not the generated text
    maps->wordEntry(0x4100) = {3, 15, false, std::string("a\0b", 3)};
    const std::vector<uint8_t> zero = {0x41, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(text(zero), "a");
}

TEST_F(StringDecoderTest, ReadingStopsAtTheEndOfTheView) {
    EXPECT_EQ(text(Words({})), "");
    EXPECT_EQ(text(Words({0xFFFF, 0x0041})), "");
    const std::vector<uint8_t> odd = {0x01, 0x00, 0x05};
    EXPECT_EQ(text(odd), "[$0001]");
    const std::vector<uint8_t> cutYesNo = {0x00, 0xF9, 0x34, 0x12, 0x78};
    EXPECT_EQ(text(cutYesNo), "");
    const auto steps = DecodeGameStringForPreview(cutYesNo, false);
    EXPECT_EQ(Kinds(steps), std::vector<StepKind>{StepKind::End});
}

TEST_F(StringDecoderTest, EmptyStringGivesOnlyTheEndStep) {
    const auto steps = DecodeGameStringForPreview(Words({0xFFFF}), false);
    EXPECT_EQ(Kinds(steps), std::vector<StepKind>{StepKind::End});
}

TEST_F(StringDecoderTest, ClearWindowCodesShownAndHidden) {
    const auto bytes = Words({0x0041, 0xFC00, 0x0042, 0xFC00, 0x0043, 0xFFFF});
    const auto shown = DecodeGameStringForPreview(bytes, false);
    ASSERT_EQ(Kinds(shown), (std::vector<StepKind>{StepKind::Glyph, StepKind::Label, StepKind::Glyph, StepKind::Label,
                                                   StepKind::Glyph, StepKind::End}));
    EXPECT_EQ(shown[1].label, std::string("[ClrWin]\x01\xFD\xFF\xFF"));
    EXPECT_FALSE(shown[1].playerColour);
    EXPECT_EQ(shown[2].code, 0x0042);

    const auto hidden = DecodeGameStringForPreview(bytes, true);
    EXPECT_EQ(Kinds(hidden), (std::vector<StepKind>{StepKind::Glyph, StepKind::Glyph, StepKind::LineBreak,
                                                    StepKind::Glyph, StepKind::End}));
}

TEST_F(StringDecoderTest, PlayerLabelIsAlwaysShownOtherLabelsOnlyWithCodesShown) {
    const auto bytes = Words({0xF400, 0xF000, 0xF1AB, 0xF900, 0x1234, 0x5678, 0xFD00, 0xFE12, 0xFFFF});
    const auto shown = DecodeGameStringForPreview(bytes, false);
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].label, std::string("[Player]\xFF\xFF"));
    EXPECT_TRUE(shown[0].playerColour);
    EXPECT_EQ(shown[1].label, std::string("[Key]\xFF\xFF"));
    EXPECT_EQ(shown[2].label, std::string("[Pause$AB]\xFF\xFF"));
    EXPECT_EQ(shown[3].label, std::string("[Yes-No][$1234][$5678]\xFF\xFF"));
    EXPECT_EQ(shown[4].kind, StepKind::LineBreak);
    EXPECT_EQ(shown[5].kind, StepKind::Glyph);
    EXPECT_EQ(shown[5].code, 0xFE12);

    const auto hidden = DecodeGameStringForPreview(bytes, true);
    EXPECT_EQ(Kinds(hidden),
              (std::vector<StepKind>{StepKind::Label, StepKind::LineBreak, StepKind::Glyph, StepKind::End}));
    EXPECT_TRUE(hidden[0].playerColour);
}

TEST_F(StringDecoderTest, ByteStreamReadsOneByteCharactersAndTwoByteCodes) {
    const std::string stream = std::string("Hi") + '\0' + "\xFD" + "!" + "\x05\xF1" + "\xFF\xFF" + "ignored";
    const auto steps = DecodeByteStreamForPreview(Bytes(stream), false);
    ASSERT_EQ(Kinds(steps), (std::vector<StepKind>{StepKind::Glyph, StepKind::Glyph, StepKind::LineBreak,
                                                   StepKind::Glyph, StepKind::Label, StepKind::End}));
    EXPECT_EQ(steps[0].code, 'H');
    EXPECT_EQ(steps[3].code, '!');
    EXPECT_EQ(steps[4].label, std::string("[Pause$05]\xFF\xFF"));

    // A character directly followed by a byte F0 to FD is read with it as a code.
    const auto joined = DecodeByteStreamForPreview(Bytes("A\xF0\xFF\xFF"), false);
    ASSERT_EQ(joined.size(), 2u);
    EXPECT_EQ(joined[0].label, std::string("[Key]\xFF\xFF"));

    // A stream without end mark ends with the view, its lone last byte included.
    EXPECT_EQ(Kinds(DecodeByteStreamForPreview(Bytes("AB"), false)),
              (std::vector<StepKind>{StepKind::Glyph, StepKind::Glyph, StepKind::End}));
    // The FC label's own stream decodes to the label text and a line break.
    const auto label = DecodeByteStreamForPreview(Bytes("[ClrWin]\x01\xFD\xFF\xFF"), false);
    EXPECT_EQ(label.size(), 10u);
    EXPECT_EQ(label[8].kind, StepKind::LineBreak);
}

TEST_F(StringDecoderTest, MessagesAreEightBitStreams) {
    EXPECT_EQ(MessageStream(kNonTextMessage), std::string("NON-TEXT DATA\xFF\xFF"));
    const auto steps = DecodeByteStreamForPreview(Bytes(MessageStream(kHackedTextMessage)), false);
    EXPECT_EQ(steps.size(), std::string_view(kHackedTextMessage).size() + 1);
}

TEST(ResolveString, RecordTypesInsertedMarkAndBounds) {
    const auto block = test::TextBlock({{2, {0x0041, 0xFFFF}}, {1, {0x1234}}, {2, {0xFFFF}}});
    const auto text = ResolveString(block, 0, false);
    EXPECT_EQ(text.kind, ResolvedKind::GameString);
    EXPECT_FALSE(text.messageFlag());
    EXPECT_EQ(text.textPointer, 4 * 64);
    EXPECT_EQ(text.string.size(), block.size() - 4 * 64);
    EXPECT_EQ(text.string[0], 0x41);

    const auto nonText = ResolveString(block, 1, false);
    EXPECT_EQ(nonText.kind, ResolvedKind::NonText);
    EXPECT_TRUE(nonText.messageFlag());
    EXPECT_EQ(nonText.message(), "NON-TEXT DATA");
    EXPECT_EQ(ResolveString(block, 1, true).kind, ResolvedKind::NonText);

    const auto hacked = ResolveString(block, 2, true);
    EXPECT_EQ(hacked.kind, ResolvedKind::HackedText);
    EXPECT_EQ(hacked.message(), "ERROR: CAN'T READ HACKED TEXT YET!!!");

    EXPECT_EQ(ResolveString(block, 1000, false).kind, ResolvedKind::NonText);
    EXPECT_FALSE(IsTextRecord(block, 1000));

    // A pointer past the end of the view gives an empty string, not a read outside it.
    std::vector<uint8_t> shortBlock(64, 0);
    shortBlock[2] = 2;
    shortBlock[14] = 0xFF;
    shortBlock[15] = 0x7F;
    EXPECT_TRUE(ResolveString(shortBlock, 0, false).string.empty());
}

TEST(BlockIsInserted, MarkByteAtTheEndOfTheRomData) {
    std::vector<uint8_t> rom(1000, 0xFF);
    rom[999 - 3] = 3;
    EXPECT_TRUE(BlockIsInserted(rom, 3));
    EXPECT_FALSE(BlockIsInserted(rom, 4));
    rom[999 - 0] = 0;
    EXPECT_TRUE(BlockIsInserted(rom, 0));
    // Only one byte is stored: block 259 is never marked, even with 259 & 0xFF = 3 at its place.
    rom[999 - 259] = 3;
    EXPECT_FALSE(BlockIsInserted(rom, 259));
    EXPECT_FALSE(BlockIsInserted(std::span<const uint8_t>(rom).first(2), 5));
    // The insertion writes the mark where the check reads it.
    EXPECT_EQ(InsertedMarkOffset(1000, 3), std::optional<size_t>(996));
    EXPECT_EQ(InsertedMarkOffset(1000, 999), std::optional<size_t>(0));
    EXPECT_EQ(InsertedMarkOffset(1000, 1000), std::nullopt);
}

}  // namespace
}  // namespace corv::script
