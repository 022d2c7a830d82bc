// corvtool's --maximise: compress, insert and repack write with the maximising compressor where
// asked, and only there; check and room show what it would leave for a block over or tight.

#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "core/optimal_encoder.h"
#include "tools/corvtool_fixture.h"
#include "script/block_data_file.h"
#include "insert/insertion.h"
#include "script/kana_dump.h"
#include "script/script_encoder.h"
#include "script/script_text.h"
#include "script/table_file.h"
#include "tools/demo/demo_translation.h"

namespace corv::testing {
namespace {

class CorvtoolMaximise : public CorvtoolTest {
protected:
    // The largest text block, D46D00, translated into English-like text: a few hundred bytes over
    // its room with the standard compressor.
    const DemoBlock& largestTextBlock() const {
        const DemoBlock* largest = nullptr;
        for (const int index : game_->textBlocks) {
            const DemoBlock& block = game_->blocks[size_t(index)];
            if (!largest || block.data.size() > largest->data.size()) largest = &block;
        }
        return *largest;
    }
    static std::string kanaDump(const DemoBlock& block) {
        auto maps = std::make_unique<script::CodeMaps>();
        (void)script::ParseBlockDataFile(game_->blockDataFile, *maps);
        std::vector<uint8_t> bytes(block.data);
        bytes.resize(0x10000);
        return script::KanaDump(bytes, unsigned(block.records.size()), false, *maps);
    }
    fs::path writeTranslation(const DemoBlock& block) const {
        const fs::path path = dir_ / "english.txt";
        std::ofstream(path, std::ios::binary) << TranslateDemoScript(kanaDump(block), kEnglishLettersPerKana, 7);
        return path;
    }
    // The block as the default insertion lays it out, in a copy of the ROM where its room reaches
    // to the end.
    std::vector<uint8_t> laidOutWithRoomToSpare(const DemoBlock& block, const fs::path& scriptPath) const {
        core::RomImage rom(game_->rom, dir_ / "copy.smc");
        auto buffer = std::make_unique<core::BlockBuffer>();
        EXPECT_NE(core::DecompressBlock(rom.data(), block.address, *buffer), core::kBadBlockHeader);
        insert::InsertionBlock info;
        info.blockAddress = block.address;
        info.stringCount = static_cast<uint16_t>(block.records.size());
        info.length = static_cast<uint32_t>(block.data.size());
        uint32_t endOfRoom = static_cast<uint32_t>(rom.dataSize());
        script::TableFile table;
        EXPECT_EQ(table.load(dir_ / kTableFileName), script::TableLoadResult::Loaded);
        script::MemoryScriptText text(readText(scriptPath));
        std::vector<uint8_t> preview(script::kPreviewByteBufferSize);
        insert::RecordedProgress progress;
        const auto result = insert::InsertScript(rom, *buffer, info, endOfRoom, text, table, preview, progress);
        EXPECT_EQ(result.outcome, insert::InsertionOutcome::Inserted);
        auto again = std::make_unique<core::BlockBuffer>();
        EXPECT_NE(core::DecompressBlock(rom.data(), block.address, *again), core::kBadBlockHeader);
        return {again->begin(), again->begin() + core::DecompressedLength(*again)};
    }
    std::string files() const {
        return q(dir_ / kRomFileName) + " " + q(dir_ / kBlockDataFileName) + " " + q(dir_ / kTableFileName);
    }

    // Stream sizes of the block's data from both compressors.
    static std::pair<size_t, size_t> streamSizes(const DemoBlock& block) {
        std::vector<uint8_t> source(0x10002, 0);
        std::copy(block.data.begin(), block.data.end(), source.begin());
        const core::SourceWords words(source, static_cast<uint32_t>(block.data.size() / 2));
        auto finder = core::MakeIndexedMatchFinder(words);
        return {core::EncodeBlockStream(words, *finder).bytes.size(), core::EncodeMaximisedStream(words).bytes.size()};
    }
};

TEST_F(CorvtoolMaximise, CompressFitsARoomTheStandardStreamIsOver) {
    makeDemo();
    const DemoBlock& block = game_->blocks[static_cast<size_t>(game_->textBlocks[2])];
    writeBytes(dir_ / "corv_004.dat", block.data);
    const auto [standard, maximised] = streamSizes(block);
    ASSERT_LT(maximised, standard);
    const uint32_t end = block.romOffset + 8 + 2 * static_cast<uint32_t>(block.dictionary.size()) +
                         static_cast<uint32_t>(maximised);
    const std::string command = "compress " + q(dir_ / kRomFileName) + " " + hex(block.address) + " " + hex(end) +
                                " " + q(dir_ / "corv_004.dat");

    const ToolRun over = corvtool(command);
    EXPECT_EQ(over.exitCode, 1);
    EXPECT_EQ(over.out, "Error: Data size too large to recompress. [ corv_004.dat ] [ " +
                            std::to_string(standard - maximised) + " BYTES over ]\n");
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);

    const ToolRun fits = corvtool(command + " --maximise");
    ASSERT_EQ(fits.exitCode, 0) << fits.err;
    EXPECT_EQ(fits.out, "Success: Data was recompressed completely! [ corv_004.dat ] \n");
    ASSERT_EQ(corvtool("decompress " + q(dir_ / kRomFileName) + " " + hex(block.address) + " " + q(dir_ / "back.bin"))
                  .exitCode,
              0);
    EXPECT_EQ(readBytes(dir_ / "back.bin"), block.data);

    EXPECT_EQ(corvtool(command + " --maximize").exitCode, 3);
}

TEST_F(CorvtoolMaximise, AProjectBuildSaysABlockOverFitsWithMaximiseAndHowMuchItWouldLeave) {
    makeDemo();
    const DemoBlock& block = largestTextBlock();
    const fs::path script = writeTranslation(block);
    const ToolRun check = corvtool("check " + files() + " " + hex(block.address) + " " + q(script));
    std::smatch figures;
    ASSERT_TRUE(std::regex_search(check.out, figures, std::regex(": with --maximise needs (\\d+) bytes, (\\d+) bytes left\n")))
        << check.out.substr(check.out.size() > 400 ? check.out.size() - 400 : 0);

    const fs::path dir = dir_ / "proj";
    ASSERT_EQ(corvtool("init-project " + q(dir) + " --rom " + q(dir_ / kRomFileName) + " --data-file " +
                       q(dir_ / kBlockDataFileName) + " --table " + q(dir_ / kTableFileName))
                  .exitCode,
              0);
    char name[16];
    std::snprintf(name, sizeof name, "%08X.txt", unsigned(block.address));
    fs::copy_file(script, dir / "Dumps" / name, fs::copy_options::overwrite_existing);
    const ToolRun over = corvtool("build " + q(dir));
    EXPECT_EQ(over.exitCode, 1) << over.out << over.err;
    EXPECT_NE(over.out.find("bytes over; fits with --maximise (" + figures[2].str() + " bytes left)\n"),
              std::string::npos)
        << over.out;
    const ToolRun fits = corvtool("build " + q(dir) + " --maximise");
    EXPECT_EQ(fits.exitCode, 0) << fits.out << fits.err;
    EXPECT_EQ(fits.out.find("fits with --maximise"), std::string::npos);
}

TEST_F(CorvtoolMaximise, TranslatedLargestBlockFitsOnlyWithMaximiseAndReadsBack) {
    makeDemo();
    const DemoBlock& block = largestTextBlock();
    const fs::path script = writeTranslation(block);
    const std::string address = hex(block.address);

    const ToolRun check = corvtool("check " + files() + " " + address + " " + q(script));
    EXPECT_EQ(check.exitCode, 1);
    std::smatch figures;
    ASSERT_TRUE(std::regex_search(check.out, figures,
                                  std::regex(": with --maximise needs (\\d+) bytes, (\\d+) bytes left\nBLOCK [0-9A-F]+: "
                                             "needs (\\d+) bytes, room (\\d+) bytes, (\\d+) bytes over\n$")))
        << check.out.substr(check.out.size() > 400 ? check.out.size() - 400 : 0);
    const long maximisedNeeded = std::stol(figures[1]);
    const long maximisedLeft = std::stol(figures[2]);
    const long room = std::stol(figures[4]);
    EXPECT_EQ(room - maximisedNeeded, maximisedLeft);
    EXPECT_LT(maximisedNeeded, std::stol(figures[3]));

    const auto before = fileIdentity(dir_ / kRomFileName);
    const ToolRun refused = corvtool("insert " + files() + " " + address + " " + q(script));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("[ " + figures[5].str() + " BYTE(S) OVER ]"), std::string::npos) << refused.out;
    EXPECT_EQ(refused.out.find("maximising"), std::string::npos);
    EXPECT_EQ(fileIdentity(dir_ / kRomFileName), before);

    const ToolRun inserted = corvtool("insert " + files() + " " + address + " " + q(script) + " --maximise");
    ASSERT_EQ(inserted.exitCode, 0) << inserted.out << inserted.err;
    EXPECT_NE(inserted.out.find("compressed successfully!"), std::string::npos);
    EXPECT_NE(inserted.out.find("; Compressed with the maximising compressor (--maximise).\n"), std::string::npos);

    // The block decompresses to what a default insertion lays out when given the room it needs.
    ASSERT_EQ(corvtool("decompress " + q(dir_ / kRomFileName) + " " + address + " " + q(dir_ / "back.bin")).exitCode, 0);
    EXPECT_EQ(readBytes(dir_ / "back.bin"), laidOutWithRoomToSpare(block, script));
    const ToolRun json = corvtool("check --json " + files() + " " + address + " " + q(script));
    EXPECT_NE(json.out.find("\"maximisedNeeded\": " + std::to_string(maximisedNeeded)), std::string::npos)
        << json.out.substr(0, 300);

    // A block with room to spare shows no maximised figures.
    const DemoBlock& roomy = game_->blocks[static_cast<size_t>(game_->textBlocks[0])];
    std::ofstream(dir_ / "kana.txt", std::ios::binary) << kanaDump(roomy);
    const ToolRun spare = corvtool("check --json " + files() + " " + hex(roomy.address) + " " + q(dir_ / "kana.txt"));
    EXPECT_NE(spare.out.find("\"outcome\": \"fits\""), std::string::npos) << spare.out.substr(0, 300);
    EXPECT_EQ(spare.out.find("maximised"), std::string::npos);
}

TEST_F(CorvtoolMaximise, RepackWithMaximiseWritesABlockTheListingsRoomOnlyFitsThatWay) {
    makeDemo();
    const DemoBlock& block = game_->blocks[static_cast<size_t>(game_->textBlocks[2])];
    writeBytes(dir_ / "block.dat", block.data);
    const auto [standard, maximised] = streamSizes(block);
    const uint32_t end = block.romOffset + 8 + 2 * static_cast<uint32_t>(block.dictionary.size()) +
                         static_cast<uint32_t>(maximised);
    std::ofstream(dir_ / "compfile.txt") << ".COMP " << (dir_ / "block.dat").string() << " " << hex(block.romOffset)
                                         << " " << hex(end) << "\n";

    const ToolRun over = corvtool("repack " + q(dir_ / kRomFileName) + " " + q(dir_ / "compfile.txt"));
    EXPECT_EQ(over.exitCode, 1);
    // A repack that fails saves nothing and names the failed lines on standard error.
    EXPECT_NE(over.err.find("[ " + std::to_string(standard - maximised) + " BYTES over ]"), std::string::npos)
        << over.err;
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);

    const ToolRun fits = corvtool("repack " + q(dir_ / kRomFileName) + " " + q(dir_ / "compfile.txt") + " --maximise");
    ASSERT_EQ(fits.exitCode, 0) << fits.out << fits.err;
    ASSERT_EQ(corvtool("decompress " + q(dir_ / kRomFileName) + " " + hex(block.address) + " " + q(dir_ / "back.bin"))
                  .exitCode,
              0);
    EXPECT_EQ(readBytes(dir_ / "back.bin"), block.data);
    EXPECT_EQ(corvtool("repack " + q(dir_ / kRomFileName) + " " + q(dir_ / "compfile.txt") + " --fast").exitCode, 3);
}

TEST_F(CorvtoolMaximise, RoomShowsTheMaximisedFigureOnlyForBlocksOverOrTight) {
    makeDemo();
    // Compressed again, the block's stream ends its room: no headroom at all.
    const DemoBlock& tight = game_->blocks[static_cast<size_t>(game_->textBlocks[2])];
    writeBytes(dir_ / "tight.dat", tight.data);
    ASSERT_EQ(corvtool("compress " + q(dir_ / kRomFileName) + " " + hex(tight.address) + " " + hex(tight.end) + " " +
                       q(dir_ / "tight.dat"))
                  .exitCode,
              0);
    const ToolRun run = corvtool("room " + q(dir_ / kRomFileName) + " " + q(dir_ / kBlockDataFileName));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("block     room    length  compressed  headroom  maximised  headroom  round trip\n", 0), 0u);
    // Rows: address, room, length, compressed, headroom, then the maximised pair or two dashes.
    const std::regex row("\n([0-9A-F]+) +(\\d+) +\\d+ +(\\d+) +(-?\\d+) +(-|\\d+) +(-|-?\\d+) +ok(?=\n)");
    int rows = 0;
    bool tightShown = false;
    for (auto it = std::sregex_iterator(run.out.begin(), run.out.end(), row); it != std::sregex_iterator(); ++it) {
        const auto& m = *it;
        const long room = std::stol(m[2]);
        const long needed = std::stol(m[3]);
        const bool overOrTight = (room - needed) * 16 < needed;
        if (std::stoul(m[1].str(), nullptr, 16) == tight.address) tightShown = overOrTight;
        EXPECT_EQ(m[5].str() != "-", overOrTight) << m[0];
        if (overOrTight) {
            EXPECT_LE(std::stol(m[5]), needed) << m[0];
            EXPECT_EQ(std::stol(m[6]), room - std::stol(m[5])) << m[0];
        }
        ++rows;
    }
    EXPECT_GE(rows, 7);
    EXPECT_TRUE(tightShown) << run.out;
}

}  // namespace
}  // namespace corv::testing
