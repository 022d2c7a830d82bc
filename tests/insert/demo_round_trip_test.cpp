// End to end on the demo ROM: every text block's kana dump is inserted as its script, and the
// block chosen again must hold exactly the encoded strings, the untouched non-text data and the
// same sharing of texts, with everything else in the ROM left as it was.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "core/byte_order.h"
#include "core/rom_image.h"
#include "insert/insert_test_support.h"
#include "script/block_data_file.h"
#include "insert/insertion.h"
#include "script/kana_dump.h"
#include "script/string_decoder.h"
#include "script/text_block.h"
#include "tools/demo/demo_game.h"

namespace corv::script {
namespace {

using testing_support::LoadedTable;
using testing_support::RecordingProgress;

struct RecordView {
    uint16_t type = 0;
    uint16_t pointer = 0;
};

std::vector<RecordView> recordsOf(std::span<const uint8_t> block, unsigned count) {
    std::vector<RecordView> records;
    for (unsigned k = 0; k < count; ++k) {
        records.push_back({core::readLe16(block, 64 * k + 2), core::readLe16(block, 64 * k + 14)});
    }
    return records;
}

// The bytes the encoder must produce for a kana text without brackets and dictionary words.
std::vector<uint8_t> plainEncoding(const std::vector<std::string>& lines) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) bytes.push_back(0xFD);
        bytes.insert(bytes.end(), lines[i].begin(), lines[i].end());
    }
    bytes.push_back(0xFF);
    return bytes;
}

bool holdsDictionaryWord(const std::string& text, const TableFile& table) {
    for (unsigned slot = 0; slot < 256; ++slot) {
        const auto& word = table.dictionaryWord(slot);
        if (word && !word->empty() && text.find(*word) != std::string::npos) return true;
    }
    return false;
}

class DemoRoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() { game_ = new demo::DemoGame(demo::BuildDemoGame()); }
    static void TearDownTestSuite() {
        delete game_;
        game_ = nullptr;
    }
    static demo::DemoGame* game_;
};
demo::DemoGame* DemoRoundTrip::game_ = nullptr;

TEST_F(DemoRoundTrip, EveryTextBlockSurvivesInsertingItsKanaDump) {
    const demo::DemoGame& game = *game_;
    auto maps = std::make_unique<CodeMaps>();
    const BlockDataLoad load = ParseBlockDataFile(game.blockDataFile, *maps);
    ASSERT_EQ(load.blocks.size(), game.textBlocks.size());
    const TableFile table = LoadedTable(game.tableFile, "demo_round_trip.tbl");
    ASSERT_FALSE(game.textBlocks.empty());

    size_t independentlyChecked = 0;
    size_t sharedPairs = 0;
    size_t nonTextRecords = 0;
    for (size_t n = 0; n < game.textBlocks.size(); ++n) {
        const demo::DemoBlock& demoBlock = game.blocks[size_t(game.textBlocks[n])];
        SCOPED_TRACE("block " + std::to_string(n) + " at " + std::to_string(demoBlock.address));
        ASSERT_EQ(load.blocks[n].address, demoBlock.address);

        core::RomImage rom(game.rom, "demo_round_trip.smc");
        auto buffer = std::make_unique<core::BlockBuffer>();
        const uint32_t end = core::DecompressBlock(rom.data(), demoBlock.address, *buffer);
        ASSERT_EQ(end, demoBlock.end);
        const uint16_t length = core::DecompressedLength(*buffer);
        const std::span<const uint8_t> oldBlock = buffer->lower();
        const auto count = CountStringRecords(oldBlock);
        ASSERT_TRUE(count.has_value());
        ASSERT_EQ(*count, demoBlock.records.size());
        const std::vector<uint8_t> before(oldBlock.begin(), oldBlock.begin() + length);
        const std::vector<RecordView> oldRecords = recordsOf(before, *count);

        MemoryScriptText script(KanaDump(oldBlock, *count, false, *maps));

        // What the encoder makes of each text record's entry.
        std::vector<std::vector<uint8_t>> expected(*count);
        std::vector<uint8_t> scratch(kPreviewByteBufferSize);
        for (unsigned k = 0; k < *count; ++k) {
            if (oldRecords[k].type != 2) continue;
            const EncodeResult encoded = EncodeScriptString(int(k), script, table, scratch, nullptr);
            ASSERT_EQ(encoded.status, EncodeStatus::Encoded) << "string " << k;
            expected[k].assign(scratch.begin(), scratch.begin() + encoded.length);
            const std::string& kana = demoBlock.records[k].text;
            if (kana.find('[') == std::string::npos && !holdsDictionaryWord(kana, table)) {
                ASSERT_EQ(expected[k], plainEncoding(KanaTextLines(kana))) << "string " << k;
                ++independentlyChecked;
            }
        }

        insert::InsertionBlock block;
        block.index = uint32_t(n);
        block.blockAddress = demoBlock.address;
        block.stringCount = uint16_t(*count);
        block.length = length;
        uint32_t endOfRoom = end;
        std::vector<uint8_t> preview(kPreviewByteBufferSize);
        RecordingProgress progress;
        const insert::InsertionResult result = insert::InsertScript(rom, *buffer, block, endOfRoom, script, table, preview, progress);
        ASSERT_EQ(result.outcome, insert::InsertionOutcome::Inserted) << ::testing::PrintToString(progress.log);
        EXPECT_TRUE(rom.modified());
        EXPECT_TRUE(BlockIsInserted(rom.data(), uint32_t(n)));

        // Choose the block again.
        auto again = std::make_unique<core::BlockBuffer>();
        ASSERT_NE(core::DecompressBlock(rom.data(), demoBlock.address, *again), core::kBadBlockHeader);
        const std::span<const uint8_t> newBlock = again->lower();
        ASSERT_EQ(CountStringRecords(newBlock), count);
        // An odd layout length is evened by the compressor through the byte after the data.
        ASSERT_EQ(core::DecompressedLength(*again),
                  core::EvenBlockLength(std::span<const uint8_t>(*buffer), result.newLength));
        const std::vector<RecordView> newRecords = recordsOf(newBlock, *count);
        for (unsigned k = 0; k < *count; ++k) {
            // Records keep every byte but their text pointer.
            for (unsigned b = 0; b < 64; ++b) {
                if (b == 14 || b == 15) continue;
                ASSERT_EQ(newBlock[64 * k + b], before[64 * k + b]) << "record " << k << " byte " << b;
            }
            const size_t at = newRecords[k].pointer;
            if (oldRecords[k].type == 2) {
                ASSERT_LE(at + expected[k].size(), result.newLength);
                EXPECT_TRUE(std::equal(expected[k].begin(), expected[k].end(), newBlock.begin() + long(at)))
                    << "string " << k;
            } else {
                const std::vector<uint8_t>& data = demoBlock.records[k].data;
                ASSERT_FALSE(data.empty());
                EXPECT_TRUE(std::equal(data.begin(), data.end(), newBlock.begin() + long(at))) << "record " << k;
                ++nonTextRecords;
            }
            for (unsigned j = 0; j < k; ++j) {
                const bool sharedBefore = oldRecords[j].pointer == oldRecords[k].pointer;
                EXPECT_EQ(newRecords[j].pointer == newRecords[k].pointer, sharedBefore) << j << " and " << k;
                if (sharedBefore) ++sharedPairs;
            }
        }
        // The bytes in front of string 0's text are those of the old block.
        EXPECT_TRUE(std::equal(before.begin() + 64 * long(*count), before.begin() + oldRecords[0].pointer,
                               newBlock.begin() + 64 * long(*count)));

        // Outside the block's room only the inserted mark changed; every other block is intact.
        const uint32_t start = demoBlock.romOffset;
        const size_t mark = rom.dataSize() - 1 - n;
        for (size_t i = 0; i < rom.dataSize(); ++i) {
            if ((i >= start && i < end) || i == mark) continue;
            ASSERT_EQ(rom.data()[i], game.rom[i]) << "ROM offset " << i;
        }
        for (const demo::DemoBlock& other : game.blocks) {
            if (other.romOffset == demoBlock.romOffset || other.end <= other.romOffset) continue;
            EXPECT_TRUE(std::equal(game.rom.begin() + other.romOffset, game.rom.begin() + other.end,
                                   rom.data().begin() + other.romOffset));
        }
    }
    // The demo must exercise the independent checks, the non-text records and shared texts.
    EXPECT_GT(independentlyChecked, 0u);
    EXPECT_GT(nonTextRecords, 0u);
    EXPECT_GT(sharedPairs, 0u);
}

}  // namespace
}  // namespace corv::script
