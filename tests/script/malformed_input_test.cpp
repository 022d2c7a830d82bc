// Random and broken inputs for every parser and decoder: each must give a well-formed result
// and, under the sanitizers, never read or write outside its buffers.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "script/block_data_file.h"
#include "script/preview_encoder.h"
#include "script/string_decoder.h"
#include "script/table_file.h"

namespace corv::script {
namespace {

class Random {
public:
    explicit Random(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    uint32_t below(uint32_t n) { return next() % n; }

    // Text built from pieces the parsers look for, random bytes and line ends.
    std::string text(size_t pieces) {
        static constexpr const char* kPieces[] = {
            ".BLOCK ", ".TABLE\n", ".ENDTABLE\n", ".COLORTABLE\n", ".ENDCOLOR\n", ".NULL ", ".NULL16 ", ".NULL=",
            ".FORMAT ", ".VWF ", ".textbox .color.red", "=", "$", "\\x", "'", "0x", "-", "FFFF", "12", "\r\n",
            "\n", " ", "[", "]", "[$", "[PAUSE$", "[KEY]", ".ENDS", "\xFF\xFF", "\x82\xA0"};
        std::string out;
        for (size_t i = 0; i < pieces; ++i) {
            if (below(4) == 0) {
                out.push_back(static_cast<char>(below(256)));
            } else {
                out += kPieces[below(std::size(kPieces))];
            }
        }
        return out;
    }

private:
    uint32_t state_;
};

void ExpectEndsWithEnd(const std::vector<PreviewStep>& steps, size_t maxGlyphs) {
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back().kind, StepKind::End);
    size_t glyphs = 0;
    for (const auto& step : steps) {
        glyphs += step.kind == StepKind::Glyph;
        if (step.kind == StepKind::Label) {
            ASSERT_GE(step.label.size(), 2u);
            EXPECT_EQ(step.label.substr(step.label.size() - 2), "\xFF\xFF");
        }
    }
    EXPECT_LE(glyphs, maxGlyphs);
}

TEST(MalformedInput, DataFilesAndTableFiles) {
    Random random(7);
    auto maps = std::make_unique<CodeMaps>();
    for (int round = 0; round < 300; ++round) {
        const std::string text = random.text(200);
        const BlockDataLoad load = ParseBlockDataFile(text, *maps);
        // Whatever address a broken line reads as, its list line names it in upper-case hex.
        for (const auto& block : load.blocks) {
            std::ostringstream line;
            line << "Block " << std::uppercase << std::hex << block.address;
            EXPECT_EQ(block.listLine, line.str());
        }
        TableFile table;
        table.parse(text);
        for (const auto* slots : {&table.singleCharacters(), &table.multiCharacters(), &table.dictionary()}) {
            for (const auto& slot : *slots) {
                if (slot) {
                    EXPECT_LE(slot->size(), 254u);
                }
            }
        }
    }
    for (const CodeEntry& entry : maps->wordMap()) EXPECT_LE(entry.length, 255);
}

TEST(MalformedInput, GameStringsAndByteStreams) {
    Random random(11);
    auto maps = std::make_unique<CodeMaps>();
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> bytes(random.below(64));
        for (auto& b : bytes) b = static_cast<uint8_t>(random.below(4) == 0 ? 0xF0 + random.below(16) : random.below(256));
        ExpectEndsWithEnd(DecodeGameStringForPreview(bytes, round % 2 == 0), bytes.size() / 2);
        ExpectEndsWithEnd(DecodeByteStreamForPreview(bytes, round % 2 == 1), bytes.size());
        const std::string text = DecodeGameStringToText(bytes, *maps);
        // Every word gives at most one fallback or code text; none of them is longer than 22.
        EXPECT_LE(text.size(), bytes.size() / 2 * 22);
    }
}

TEST(MalformedInput, PreviewLines) {
    Random random(13);
    std::vector<uint8_t> buffer(kPreviewBufferSize);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> lines(1 + random.below(6));
        for (auto& line : lines) line = random.text(random.below(120));
        const size_t length = EncodePreview(lines, buffer, CharacterMap{});
        ASSERT_GE(length, 2u);
        ASSERT_LT(length, 0x10000u);
        EXPECT_EQ(buffer[length - 2], 0xFF);
        EXPECT_EQ(buffer[length - 1], 0xFF);
        EXPECT_EQ(buffer[length], 0x00);
    }
}

}  // namespace
}  // namespace corv::script
