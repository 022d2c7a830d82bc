// The script model against the demo game: its block data file, table file and text blocks,
// whose builder records what every string must decode to.

#include <gtest/gtest.h>

#include <memory>

#include "core/block_decoder.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/string_decoder.h"
#include "script/text_block.h"
#include "script/table_file.h"
#include "script/script_test_support.h"
#include "tools/demo/demo_game.h"

namespace corv::script {
namespace {

class DemoGameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        game = new demo::DemoGame(demo::BuildDemoGame());
        maps = new CodeMaps();
        load = new BlockDataLoad(ParseBlockDataFile(game->blockDataFile, *maps));
    }
    static void TearDownTestSuite() {
        delete load;
        delete maps;
        delete game;
    }

    // The decompressed block at `address` (lower half of a fresh block buffer).
    static std::vector<uint8_t> Decompressed(uint32_t address) {
        auto buffer = std::make_unique<core::BlockBuffer>();
        EXPECT_NE(core::DecompressBlock(game->rom, address, *buffer), core::kBadBlockHeader);
        return {buffer->begin(), buffer->begin() + core::kBlockHalfSize};
    }

    static const demo::DemoBlock& TextBlock(size_t n) {
        return game->blocks.at(static_cast<size_t>(game->textBlocks.at(n)));
    }

    // Calls `check(block, k, record, resolved)` for every text record of every demo text block.
    template <typename Check>
    static void ForEachTextString(Check check) {
        for (size_t n = 0; n < game->textBlocks.size(); ++n) {
            const demo::DemoBlock& block = TextBlock(n);
            const auto bytes = Decompressed(block.address);
            for (size_t k = 0; k < block.records.size(); ++k) {
                const demo::DemoRecord& record = block.records[k];
                if (record.type != 2) continue;
                check(block, k, record, ResolveString(bytes, static_cast<unsigned>(k), false));
            }
        }
    }

    static inline demo::DemoGame* game = nullptr;
    static inline CodeMaps* maps = nullptr;
    static inline BlockDataLoad* load = nullptr;
};

TEST_F(DemoGameTest, DataFileListsTheTextBlocksAndSetsUpThePreview) {
    ASSERT_EQ(load->blocks.size(), game->textBlocks.size());
    for (size_t n = 0; n < load->blocks.size(); ++n) EXPECT_EQ(load->blocks[n].address, TextBlock(n).address) << n;
    EXPECT_TRUE(load->formatRead);
    EXPECT_EQ(load->format.boxWidth, 304);
    DataFileSettings states;
    ApplySettings(states, load->operations);
    EXPECT_TRUE(states.variableWidth);
    EXPECT_FALSE(states.hideCodes);
    EXPECT_TRUE(states.kanaTextShown);
    // Every character the builder gave a text decodes through the 16-bit map by stream order.
    for (const auto& [code, sjis] : game->characters) {
        const CodeEntry& entry = maps->wordEntry(static_cast<uint16_t>(((code & 0xFF) << 8) | (code >> 8)));
        EXPECT_EQ(entry.text, sjis) << std::hex << code;
        EXPECT_EQ(entry.length, sjis.size()) << std::hex << code;
    }
}

TEST_F(DemoGameTest, EveryBlockListsTheStringsTheBuilderPutIn) {
    for (size_t n = 0; n < game->textBlocks.size(); ++n) {
        const demo::DemoBlock& block = TextBlock(n);
        const auto bytes = Decompressed(block.address);
        ASSERT_EQ(CountStringRecords(bytes), block.records.size()) << block.name;
        for (size_t k = 0; k < block.records.size(); ++k) {
            const demo::DemoRecord& record = block.records[k];
            EXPECT_EQ(IsTextRecord(bytes, static_cast<unsigned>(k)), record.type == 2) << block.name << ' ' << k;
            const ResolvedString resolved = ResolveString(bytes, static_cast<unsigned>(k), false);
            if (record.type == 2) {
                EXPECT_EQ(resolved.textPointer, record.textPointer) << block.name << ' ' << k;
            } else {
                EXPECT_EQ(resolved.message(), "NON-TEXT DATA");
            }
        }
    }
}

TEST_F(DemoGameTest, EveryStringDecodesToTheIntendedText) {
    size_t strings = 0;
    ForEachTextString([&](const demo::DemoBlock& block, size_t k, const demo::DemoRecord& record,
                          const ResolvedString& resolved) {
        ASSERT_EQ(resolved.kind, ResolvedKind::GameString);
        EXPECT_EQ(DecodeGameStringToText(resolved.string, *maps), record.text) << block.name << ' ' << k;
        ++strings;
    });
    EXPECT_GT(strings, 100u);
}

// What the preview must make of a string's words, counted from the words themselves.
struct ExpectedSteps {
    std::vector<uint16_t> glyphs;
    size_t labels = 0, playerLabels = 0, lineBreaks = 0;
};

ExpectedSteps Expect(const std::vector<uint16_t>& words, bool hideCodes) {
    ExpectedSteps e;
    size_t clearWindows = 0;
    for (size_t i = 0; i < words.size() && words[i] != 0xFFFF; ++i) {
        const unsigned kind = words[i] >> 8;
        if (kind < 0xF0 || kind > 0xFD) {
            e.glyphs.push_back(words[i]);
            continue;
        }
        if (kind == 0xF9) i += 2;
        if (kind == 0xFD) {
            ++e.lineBreaks;
        } else if (kind == 0xF4) {
            ++e.playerLabels;
        } else if (kind == 0xFC && hideCodes) {
            e.lineBreaks += clearWindows++ > 0 ? 1 : 0;
        } else if (!hideCodes) {
            ++e.labels;
        }
    }
    return e;
}

TEST_F(DemoGameTest, PreviewStepsWithCodesShownAndHidden) {
    size_t clearWindowStrings = 0;
    ForEachTextString([&](const demo::DemoBlock& block, size_t k, const demo::DemoRecord& record,
                          const ResolvedString& resolved) {
        for (bool hide : {false, true}) {
            const ExpectedSteps expected = Expect(record.words, hide);
            const auto steps = DecodeGameStringForPreview(resolved.string, hide);
            ExpectedSteps got;
            for (const PreviewStep& step : steps) {
                if (step.kind == StepKind::Glyph) got.glyphs.push_back(step.code);
                if (step.kind == StepKind::Label) ++(step.playerColour ? got.playerLabels : got.labels);
                if (step.kind == StepKind::LineBreak) ++got.lineBreaks;
            }
            const auto where = block.name + " string " + std::to_string(k) + (hide ? " hidden" : " shown");
            EXPECT_EQ(got.glyphs, expected.glyphs) << where;
            EXPECT_EQ(got.labels, expected.labels) << where;
            EXPECT_EQ(got.playerLabels, expected.playerLabels) << where;
            EXPECT_EQ(got.lineBreaks, expected.lineBreaks) << where;
            ASSERT_FALSE(steps.empty());
            EXPECT_EQ(steps.back().kind, StepKind::End);
        }
        size_t fc = 0;
        for (uint16_t w : record.words) fc += (w >> 8) == 0xFC && w != 0xFFFF;
        clearWindowStrings += fc >= 2;
    });
    EXPECT_GT(clearWindowStrings, 0u);  // the case of two FC codes is covered
}

TEST_F(DemoGameTest, KanaDumpOfABlockAndOfAnInsertedBlock) {
    const demo::DemoBlock& block = TextBlock(0);
    const auto bytes = Decompressed(block.address);
    std::string expected;
    std::string inserted;
    for (size_t k = 0; k < block.records.size(); ++k) {
        const demo::DemoRecord& record = block.records[k];
        expected += ".STRING " + std::to_string(k) + "\n";
        inserted += ".STRING " + std::to_string(k) + "\n";
        if (record.type == 2) {
            std::string text = record.text;
            // Lines end with CR LF in the decoded text; the dump writes each followed by a line feed.
            for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
            if (!text.empty() && text.back() != '\n') text += '\n';
            expected += text;
            inserted += "Block is in english already.\n";
        } else {
            expected += "NON-TEXT DATA\n";
            inserted += "NON-TEXT DATA\n";
        }
        expected += ".ENDS\n\n";
        inserted += ".ENDS\n\n";
    }
    const auto count = static_cast<unsigned>(block.records.size());
    EXPECT_EQ(KanaDump(bytes, count, false, *maps), expected);
    EXPECT_EQ(KanaDump(bytes, count, true, *maps), inserted);

    // The demo marks no block; marking block 0 is seen by the check.
    std::vector<uint8_t> rom = game->rom;
    EXPECT_FALSE(BlockIsInserted(rom, 0));
    rom.back() = 0;
    EXPECT_TRUE(BlockIsInserted(rom, 0));
}

TEST_F(DemoGameTest, TableFileDictionary) {
    TableFile table;
    table.parse(game->tableFile);
    for (unsigned slot = 0; slot < 256; ++slot) {
        const auto word = game->dictionaryWords.find(static_cast<uint8_t>(slot));
        if (word == game->dictionaryWords.end()) {
            EXPECT_FALSE(table.dictionaryWord(slot).has_value()) << slot;
        } else {
            EXPECT_EQ(table.dictionaryWord(slot), word->second) << slot;
        }
    }
    EXPECT_FALSE(game->dictionaryWords.empty());
}

}  // namespace
}  // namespace corv::script
