#include <gtest/gtest.h>

#include "script/preview_encoder.h"

namespace corv::script {
namespace {

using Bytes = std::vector<uint8_t>;

// The stream written for the text lines of one entry (an opening line is put in front), and a
// check that the 0 byte follows it.
Bytes Encode(std::vector<std::string> lines) {
    lines.insert(lines.begin(), ".STRING 0");
    std::vector<uint8_t> buffer(kPreviewBufferSize, 0xAA);
    const size_t length = EncodePreview(lines, buffer, CharacterMap{});
    EXPECT_EQ(buffer.at(length), 0x00);
    return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
}

TEST(PreviewEncoder, CodesAndPlainCharacters) {
    EXPECT_EQ(Encode({"Hi[key]!"}), (Bytes{0x48, 0x69, 0x00, 0xF0, 0x21, 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[Pause$0A]"}), (Bytes{0x0A, 0xF1, 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[PAUSE]"}), (Bytes{'[', 'P', 'A', 'U', 'S', 'E', ']', 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[CLRWIN][KEY]"}), (Bytes{0x00, 0xFC, 0x00, 0xF0, 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[$12_34]"}), (Bytes{0x12, 0x34, 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[player][Mem_Num][MEM_TEXT][fadein][FADEOUT][SFX][TEXTBOX][NEWLINE]"}),
              (Bytes{0, 0xF4, 0, 0xF5, 0, 0xF6, 0, 0xF7, 0, 0xF8, 0, 0xF3, 0, 0xFB, 0, 0xFD, 0xFF, 0xFF}));
}

TEST(PreviewEncoder, LinesAreJoinedByLineBreaksAndEndAtTheClosingLine) {
    EXPECT_EQ(Encode({"ab", "c", ".ENDS"}), (Bytes{'a', 'b', 0x00, 0xFD, 'c', 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"a", ".endsx", "b"}), (Bytes{'a', 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"", "", ".ENDS"}), (Bytes{0x00, 0xFD, 0xFF, 0xFF}));
    // The first line is always text, even when it closes the entry.
    EXPECT_EQ(Encode({".ENDS"}), (Bytes{'.', 'E', 'N', 'D', 'S', 0xFF, 0xFF}));
    EXPECT_EQ(Encode({}), (Bytes{0xFF, 0xFF}));
}

TEST(PreviewEncoder, BracketsThatStartNoCode) {
    // A parameter on a code that takes none, a pause without its bracket in place, no name.
    EXPECT_EQ(Encode({"[KEY]$1]"}), (Bytes{'[', 'K', 'E', 'Y', ']', '$', '1', ']', 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[PAUSE$0A"}), (Bytes{'[', 'P', 'A', 'U', 'S', 'E', '$', '0', 'A', 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[pause$5]]"}), (Bytes{0x05, 0xF1, 0xFF, 0xFF}));  // digits stop at the bracket
    EXPECT_EQ(Encode({"[x]"}), (Bytes{'[', 'x', ']', 0xFF, 0xFF}));
}

TEST(PreviewEncoder, RawBytes) {
    EXPECT_EQ(Encode({"[$(1A){2b}<3C>-$]z"}), (Bytes{0x1A, 0x2B, 0x3C, 'z', 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[$1"}), (Bytes{0x01, 0xFF, 0xFF}));  // the line ends the raw bytes
    EXPECT_EQ(Encode({"[$"}), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[$G1]"}), (Bytes{0x00, 0xFF, 0xFF}));  // no digit reads as 0
}

TEST(PreviewEncoder, CodesInRawBytesAreStoredAsTheStreamStoresCodes) {
    // The game reads a code's kind first; the stream keeps the parameter first.
    EXPECT_EQ(Encode({".[$FA00]"}), (Bytes{'.', 0x00, 0xFA, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[$F10A]"}), (Bytes{0x0A, 0xF1, 0xFF, 0xFF}));
    // The choice's four parameter bytes and a dictionary word's slot are no codes.
    EXPECT_EQ(Encode({"[YES-NO][$F0F1F2F3]"}), (Bytes{0x00, 0xF9, 0xF0, 0xF1, 0xF2, 0xF3, 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"[$01FC]"}), (Bytes{0x01, 0xFC, 0xFF, 0xFF}));
    EXPECT_EQ(Encode({"a[$FF]b"}), (Bytes{'a', 0xFF, 0xFF, 'b', 0xFF, 0xFF}));  // the string ends at FF
}

TEST(PreviewEncoder, LongLinesUseTheFirst255Characters) {
    const Bytes bytes = Encode({std::string(300, 'a')});
    ASSERT_EQ(bytes.size(), 257u);
    EXPECT_EQ(bytes[254], 'a');
    EXPECT_EQ(bytes[255], 0xFF);
}

TEST(PreviewEncoder, AnOverlongEntryIsCutBefore64KiBInsteadOfWrapping) {
    const Bytes bytes = Encode(std::vector<std::string>(400, std::string(255, 'b')));
    ASSERT_LE(bytes.size(), 0xFFFFu);
    EXPECT_GT(bytes.size(), 0xFF00u);
    EXPECT_EQ(bytes[0], 'b');
    EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
    EXPECT_EQ(bytes[bytes.size() - 1], 0xFF);
    // Codes are never cut in half: every 00 before the end is followed by its kind.
    for (size_t i = 0; i + 2 < bytes.size(); ++i) {
        if (bytes[i] == 0x00) {
            EXPECT_EQ(bytes[i + 1], 0xFD) << i;
        }
    }
}

TEST(PreviewEncoder, SmallBuffersStayInBounds) {
    const std::vector<std::string> lines = {".STRING 0", "abcdef"};
    std::vector<uint8_t> three(3, 0xAA);
    EXPECT_EQ(EncodePreview(lines, three, CharacterMap{}), 2u);
    EXPECT_EQ(three, (std::vector<uint8_t>{0xFF, 0xFF, 0x00}));
    std::vector<uint8_t> two(2, 0xAA);
    EXPECT_EQ(EncodePreview(lines, two, CharacterMap{}), 0u);
    EXPECT_EQ(two, (std::vector<uint8_t>{0xAA, 0xAA}));
}

}  // namespace
}  // namespace corv::script
