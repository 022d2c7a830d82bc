// The demo's data files read back through the script model: the block data file lists the
// text blocks, and every string decodes through its code table to the text the builder meant.

#include <gtest/gtest.h>

#include <memory>

#include "script/block_data_file.h"
#include "script/string_decoder.h"
#include "tools/demo/demo_charset.h"
#include "tools/demo/demo_game.h"

namespace {

using namespace corv::demo;

TEST(DemoDecoding, BlockDataFileParsesToTheTextBlocks) {
    const DemoGame game = BuildDemoGame();
    auto maps = std::make_unique<corv::script::CodeMaps>();
    const auto load = corv::script::ParseBlockDataFile(game.blockDataFile, *maps);
    ASSERT_EQ(load.blocks.size(), game.textBlocks.size());
    for (size_t i = 0; i < load.blocks.size(); ++i) {
        EXPECT_EQ(load.blocks[i].address, game.blocks[static_cast<size_t>(game.textBlocks[i])].address);
    }
    EXPECT_TRUE(load.formatRead);
    EXPECT_EQ(load.format.glyphHeight(), 16);
    EXPECT_EQ(load.format.glyphWidth(), 8);
    // Escaped entries: the separator after each escape is not part of the text.
    EXPECT_EQ(maps->wordEntry(0x6700).text.substr(0, maps->wordEntry(0x6700).length), "\x81\x42");
    EXPECT_EQ(maps->wordEntry(0x6900).text.substr(0, maps->wordEntry(0x6900).length), "\xA7");
    // A range line makes generated entries that give the decoder no text.
    EXPECT_TRUE(maps->wordEntry(0x7000).generated);
    EXPECT_EQ(maps->wordEntry(0x7000).length, 0);
}

TEST(DemoDecoding, EveryStringDecodesToItsIntendedText) {
    const DemoGame game = BuildDemoGame();
    auto maps = std::make_unique<corv::script::CodeMaps>();
    (void)corv::script::ParseBlockDataFile(game.blockDataFile, *maps);
    size_t strings = 0;
    for (int index : game.textBlocks) {
        const DemoBlock& block = game.blocks[static_cast<size_t>(index)];
        for (size_t k = 0; k < block.records.size(); ++k) {
            const DemoRecord& record = block.records[k];
            if (record.type != 2) continue;
            const auto string = std::span(block.data).subspan(record.textPointer);
            ASSERT_EQ(corv::script::DecodeGameStringToText(string, *maps), record.text) << block.name << " string " << k;
            ++strings;
        }
    }
    EXPECT_GT(strings, 600u);
}

}  // namespace
