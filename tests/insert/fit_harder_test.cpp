// The insertion's choice of compressor on the demo's largest block translated into English-like
// text: a few hundred bytes over its room with the standard compressor, inside it with the
// maximising one. "Fit Harder When Over" tries the maximiser only then, and logs which one wrote.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "insert/insert_test_support.h"
#include "script/block_data_file.h"
#include "insert/insertion.h"
#include "script/kana_dump.h"
#include "script/text_block.h"
#include "tools/demo/demo_game.h"
#include "tools/demo/demo_translation.h"

namespace corv::insert {
using namespace corv::script;
namespace {

using testing_support::LoadedTable;
using testing_support::RecordingProgress;

struct Inserted {
    InsertionResult result;
    std::vector<std::string> log;
    std::vector<uint8_t> rom;
    std::vector<uint8_t> layout;  // the laid-out block the buffer holds afterwards
};

class FitHarder : public ::testing::Test {
protected:
    static void SetUpTestSuite() { game_ = new demo::DemoGame(demo::BuildDemoGame()); }
    static void TearDownTestSuite() {
        delete game_;
        game_ = nullptr;
    }

    // Inserts the script into text block n of a fresh copy of the demo ROM.
    static Inserted insert(size_t n, const std::string& script, InsertionCompressor compressor) {
        const demo::DemoBlock& demoBlock = game_->blocks[size_t(game_->textBlocks[n])];
        core::RomImage rom(game_->rom, "fit_harder.smc");
        auto buffer = std::make_unique<core::BlockBuffer>();
        uint32_t end = core::DecompressBlock(rom.data(), demoBlock.address, *buffer);
        InsertionBlock block;
        block.index = uint32_t(n);
        block.blockAddress = demoBlock.address;
        block.stringCount = uint16_t(demoBlock.records.size());
        block.length = core::DecompressedLength(*buffer);
        block.compressor = compressor;
        MemoryScriptText text(script);
        const TableFile table = LoadedTable(game_->tableFile, "fit_harder.tbl");
        std::vector<uint8_t> preview(kPreviewByteBufferSize);
        RecordingProgress progress;
        Inserted inserted;
        inserted.result = InsertScript(rom, *buffer, block, end, text, table, preview, progress);
        inserted.log = progress.log;
        inserted.rom.assign(rom.data().begin(), rom.data().end());
        inserted.layout.assign(buffer->begin(), buffer->begin() + inserted.result.newLength);
        return inserted;
    }
    static std::string kanaDump(size_t n) {
        auto maps = std::make_unique<CodeMaps>();
        (void)ParseBlockDataFile(game_->blockDataFile, *maps);
        const demo::DemoBlock& block = game_->blocks[size_t(game_->textBlocks[n])];
        std::vector<uint8_t> bytes(block.data);
        bytes.resize(core::kBlockHalfSize);
        return KanaDump(bytes, unsigned(block.records.size()), false, *maps);
    }
    static size_t largestBlock() {
        size_t largest = 0;
        for (size_t n = 0; n < game_->textBlocks.size(); ++n) {
            if (game_->blocks[size_t(game_->textBlocks[n])].data.size() >
                game_->blocks[size_t(game_->textBlocks[largest])].data.size()) {
                largest = n;
            }
        }
        return largest;
    }
    static bool logHas(const Inserted& inserted, const std::string& line) {
        return std::find(inserted.log.begin(), inserted.log.end(), line) != inserted.log.end();
    }

    static demo::DemoGame* game_;
};
demo::DemoGame* FitHarder::game_ = nullptr;

TEST_F(FitHarder, TranslatedLargestBlockIsOverWithTheStandardCompressorAndFitsWhenOver) {
    const size_t n = largestBlock();
    const std::string english = demo::TranslateDemoScript(kanaDump(n), demo::kEnglishLettersPerKana, 7);

    const Inserted standard = insert(n, english, InsertionCompressor::Standard);
    ASSERT_EQ(standard.result.outcome, InsertionOutcome::DoesNotFit);
    const uint32_t over = standard.result.excessBytes;
    EXPECT_GT(over, 0u);
    EXPECT_EQ(standard.rom, game_->rom);
    EXPECT_TRUE(std::none_of(standard.log.begin(), standard.log.end(),
                             [](const std::string& line) { return line.find("Fit Harder") != std::string::npos; }));

    const Inserted harder = insert(n, english, InsertionCompressor::MaximisingWhenOver);
    ASSERT_EQ(harder.result.outcome, InsertionOutcome::Inserted);
    EXPECT_TRUE(logHas(harder, "; Fit Harder When Over: " + std::to_string(over) +
                                   " byte(s) over with the standard compressor; the maximising compressor wrote the "
                                   "block."));
    // Written, it decodes to the layout that did not fit before.
    EXPECT_EQ(harder.layout, standard.layout);
    auto decoded = std::make_unique<core::BlockBuffer>();
    const uint32_t address = game_->blocks[size_t(game_->textBlocks[n])].address;
    ASSERT_NE(core::DecompressBlock(harder.rom, address, *decoded), core::kBadBlockHeader);
    EXPECT_TRUE(std::equal(harder.layout.begin(), harder.layout.end(), decoded->begin()));

    // Always maximising writes the same stream here: the standard one was over.
    const Inserted always = insert(n, english, InsertionCompressor::Maximising);
    ASSERT_EQ(always.result.outcome, InsertionOutcome::Inserted);
    EXPECT_EQ(always.rom, harder.rom);
    EXPECT_TRUE(logHas(always, "; Compressed with the maximising compressor (--maximise)."));
}

TEST_F(FitHarder, ABlockThatFitsIsWrittenByTheStandardCompressorByteForByte) {
    const std::string kana = kanaDump(1);
    const Inserted standard = insert(1, kana, InsertionCompressor::Standard);
    const Inserted whenOver = insert(1, kana, InsertionCompressor::MaximisingWhenOver);
    ASSERT_EQ(standard.result.outcome, InsertionOutcome::Inserted);
    ASSERT_EQ(whenOver.result.outcome, InsertionOutcome::Inserted);
    EXPECT_EQ(whenOver.rom, standard.rom);
    EXPECT_TRUE(logHas(whenOver, "; Fit Harder When Over: the standard compressor wrote the block."));
    EXPECT_EQ(whenOver.log.size(), standard.log.size() + 1);
}

TEST_F(FitHarder, StillOverReportsWhatTheMaximiserLeavesOver) {
    const size_t n = largestBlock();
    const std::string english = demo::TranslateDemoScript(kanaDump(n), 3.0, 7);
    const Inserted standard = insert(n, english, InsertionCompressor::Standard);
    const Inserted harder = insert(n, english, InsertionCompressor::MaximisingWhenOver);
    ASSERT_EQ(standard.result.outcome, InsertionOutcome::DoesNotFit);
    ASSERT_EQ(harder.result.outcome, InsertionOutcome::DoesNotFit);
    EXPECT_LT(harder.result.excessBytes, standard.result.excessBytes);
    EXPECT_TRUE(logHas(harder, "; Error: \".BLOCK D46D00\" did not compress successfully! [ " +
                                   std::to_string(harder.result.excessBytes) + " BYTE(S) OVER ]"));
    EXPECT_TRUE(logHas(harder, "; Fit Harder When Over: " + std::to_string(standard.result.excessBytes) +
                                   " byte(s) over with the standard compressor, still over with the maximising one."));
    EXPECT_EQ(harder.rom, game_->rom);
}

}  // namespace
}  // namespace corv::insert
