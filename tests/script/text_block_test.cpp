#include <gtest/gtest.h>

#include "core/address.h"
#include "script/text_block.h"
#include "script/script_test_support.h"

namespace corv::script {
namespace {

TEST(TextBlock, RecordCountStopsAtTheTerminatorOrTheEndOfTheView) {
    std::vector<uint8_t> block(0x10000, 0);
    EXPECT_FALSE(CountStringRecords(block).has_value());
    block[1023 * 64] = 0xFF;
    block[1023 * 64 + 1] = 0xFF;
    EXPECT_EQ(CountStringRecords(block), 1023u);
    // A short view without terminator is not read past its end.
    EXPECT_FALSE(CountStringRecords(std::span<const uint8_t>(block).first(100)).has_value());
}

class TextBlockLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        rom = test::TitledRom();
        const auto text = test::TextBlock({{2, {0x0041, 0xFFFF}}, {2, {0x0042, 0xFFFF}}});
        test::PutLiteralBlock(rom, 0x10000, text);
        const std::vector<uint8_t> noTerminator(128, 0x11);
        test::PutLiteralBlock(rom, 0x20000, noTerminator);
        rom[0x30000] = 1;          // a header whose four words do not add up to 0
        rom[rom.size() - 1] = 0xEE;  // block 0 carries no inserted mark
        blocks = {{0xC10000, "Block C10000"}, {0xC20000, "Block C20000"}, {0xC30000, "Block C30000"}};
    }
    std::vector<uint8_t> rom;
    std::vector<BlockEntry> blocks;
};

TEST_F(TextBlockLoadTest, AListedTextBlockOpensUnderTheDataFilesSpellingOfItsAddress) {
    const TextBlockLoad load = LoadTextBlock(rom, blocks, 0x010000);  // another bank of C10000
    ASSERT_EQ(load.problem, TextBlockProblem::None);
    ASSERT_TRUE(load.block.has_value());
    EXPECT_EQ(load.block->info.index, 0u);
    EXPECT_EQ(load.block->info.blockAddress, 0xC10000u);
    EXPECT_EQ(load.block->info.stringCount, 2u);
    EXPECT_TRUE(load.block->listed);
    EXPECT_FALSE(load.block->inserted);
    EXPECT_GT(load.block->end, 0x10000u);
    EXPECT_EQ(load.block->bytes().size(), core::kBlockHalfSize);
}

TEST_F(TextBlockLoadTest, TheDataFilesEndOfRoomHoldsWhenTheDataEndEarlier) {
    const uint32_t dataEnd = LoadTextBlock(rom, blocks, 0xC10000).block->end;
    EXPECT_FALSE(LoadTextBlock(rom, blocks, 0xC10000).block->endGiven);
    blocks[0].endOfRoom = dataEnd + 500;
    const TextBlockLoad wider = LoadTextBlock(rom, blocks, 0xC10000);
    EXPECT_EQ(wider.block->end, dataEnd + 500);
    EXPECT_TRUE(wider.block->endGiven);
    // An end before the data's own end does not cut the block's room.
    blocks[0].endOfRoom = dataEnd - 4;
    EXPECT_EQ(LoadTextBlock(rom, blocks, 0xC10000).block->end, dataEnd);
}

TEST_F(TextBlockLoadTest, EachProblemIsNamed) {
    EXPECT_EQ(LoadTextBlock(rom, blocks, 0xC50000).problem, TextBlockProblem::NotListed);
    EXPECT_EQ(LoadTextBlock(rom, blocks, 0xC20000).problem, TextBlockProblem::NoRecordEnd);
    EXPECT_EQ(LoadTextBlock(rom, blocks, 0xC30000).problem, TextBlockProblem::BadHeader);
    blocks.push_back({0xFF0000, "Block FF0000"});
    EXPECT_EQ(LoadTextBlock(rom, blocks, 0xFF0000).problem, TextBlockProblem::OutsideRom);
    for (const uint32_t address : {0xC50000u, 0xC20000u, 0xC30000u, 0xFF0000u}) {
        EXPECT_FALSE(LoadTextBlock(rom, blocks, address).block.has_value()) << std::hex << address;
    }
}

TEST_F(TextBlockLoadTest, AnUnlistedBlockOpensOnlyWhenTheListingIsOptional) {
    blocks.erase(blocks.begin());
    EXPECT_EQ(LoadTextBlock(rom, blocks, 0xC10000).problem, TextBlockProblem::NotListed);
    const TextBlockLoad load = LoadTextBlock(rom, blocks, 0xC10000, BlockListing::Optional);
    ASSERT_TRUE(load.block.has_value());
    EXPECT_FALSE(load.block->listed);
    EXPECT_FALSE(load.block->inserted);
    EXPECT_EQ(load.block->info.stringCount, 2u);
}

}  // namespace
}  // namespace corv::script
