// corvtool as a program: make-demo, decompress and compress are run as the real binary, on the
// demo game's files, and judged against the builder's description of what it put in.

#include "tools/corvtool_fixture.h"

#include <algorithm>

namespace {

using namespace corv::testing;
using namespace corv::demo;
namespace fs = std::filesystem;

TEST_F(CorvtoolTest, MakeDemoWritesTheFourFiles) {
    makeDemo();
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);
    const auto headered = readBytes(dir_ / kHeaderedRomFileName);
    ASSERT_EQ(headered.size(), kRomSize + 512);
    EXPECT_TRUE(std::equal(game_->rom.begin(), game_->rom.end(), headered.begin() + 512));
    EXPECT_EQ(readText(dir_ / kBlockDataFileName), game_->blockDataFile);
    EXPECT_EQ(readText(dir_ / kTableFileName), game_->tableFile);
}

TEST_F(CorvtoolTest, DecompressGivesEveryBlockFromBothRomFiles) {
    makeDemo();
    int blocks = 0;
    for (const char* romName : {kRomFileName, kHeaderedRomFileName}) {
        for (const DemoBlock& block : game_->blocks) {
            if (block.kind == BlockKind::BadCheck) continue;
            const fs::path out = dir_ / ("block_" + block.name + ".bin");
            const ToolRun run = corvtool("decompress " + q(dir_ / romName) + " " + hex(block.address) + " " + q(out));
            ASSERT_EQ(run.exitCode, 0) << romName << " " << block.name << ": " << run.err;
            char expected[32];
            std::snprintf(expected, sizeof expected, "%08X %zu\n", block.end, block.data.size());
            EXPECT_EQ(run.out, expected) << romName << " " << block.name;
            EXPECT_EQ(readBytes(out), block.data) << romName << " " << block.name;
            ++blocks;
        }
    }
    EXPECT_EQ(blocks, 2 * (static_cast<int>(game_->blocks.size()) - 1));
}

TEST_F(CorvtoolTest, DecompressAcceptsEveryAddressSpelling) {
    makeDemo();
    const DemoBlock& font = game_->font();
    for (const char* address : {"060000", "0x060000", "$C60000", "460000"}) {
        const ToolRun run = corvtool("decompress " + q(dir_ / kRomFileName) + " '" + address + "' " + q(dir_ / "font.bin"));
        ASSERT_EQ(run.exitCode, 0) << address << ": " << run.err;
        EXPECT_EQ(readBytes(dir_ / "font.bin"), font.data) << address;
    }
}

TEST_F(CorvtoolTest, DecompressRefusesTheBadCheckBlock) {
    makeDemo();
    const DemoBlock& bad = blockNamed("bad-check");
    const ToolRun run = corvtool("decompress " + q(dir_ / kRomFileName) + " " + hex(bad.address) + " " + q(dir_ / "bad.bin"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("fails its check"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir_ / "bad.bin"));
}

TEST_F(CorvtoolTest, EveryCommandRefusesAnotherGame) {
    std::vector<uint8_t> other = game_->rom;
    other[0xFFC0] = 'c';  // "cORVANE"
    writeBytes(dir_ / "other.smc", other);
    const ToolRun decompress = corvtool("decompress " + q(dir_ / "other.smc") + " 060000 " + q(dir_ / "x.bin"));
    EXPECT_EQ(decompress.exitCode, 2);
    EXPECT_NE(decompress.err.find("not the CORVANE ROM"), std::string::npos) << decompress.err;
    writeBytes(dir_ / "in.bin", {1, 2, 3, 4});
    const ToolRun compress = corvtool("compress " + q(dir_ / "other.smc") + " 060000 070000 " + q(dir_ / "in.bin"));
    EXPECT_EQ(compress.exitCode, 2);
    EXPECT_NE(compress.err.find("not the CORVANE ROM"), std::string::npos) << compress.err;
    EXPECT_EQ(readBytes(dir_ / "other.smc"), other);
    // One line, on the error stream.
    EXPECT_EQ(std::count(compress.err.begin(), compress.err.end(), '\n'), 1);
}

TEST_F(CorvtoolTest, BadArgumentsExitThreeWithOneLine) {
    makeDemo();
    const std::string rom = q(dir_ / kRomFileName);
    for (const std::string& arguments : std::vector<std::string>{
             "decompress", "decompress " + rom + " 06000G " + q(dir_ / "x.bin"), "decompress " + rom + " 1000000 x",
          "compress " + rom + " 060000 " + q(dir_ / "x.bin"), "compress " + rom + " zz 070000 " + q(dir_ / "x.bin"),
          "make-demo", "no-such-command"}) {
        const ToolRun run = corvtool(arguments);
        EXPECT_EQ(run.exitCode, 3) << arguments;
        EXPECT_FALSE(run.err.empty()) << arguments;
    }
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);
}

TEST_F(CorvtoolTest, CompressPutsATextBlockBackIntoItsRoom) {
    makeDemo();
    const DemoBlock& block = game_->blocks[static_cast<size_t>(game_->textBlocks[1])];
    writeBytes(dir_ / "corv_001.dat", block.data);
    for (const char* romName : {kRomFileName, kHeaderedRomFileName}) {
        const fs::path rom = dir_ / romName;
        const ToolRun run = corvtool("compress " + q(rom) + " " + hex(block.address) + " " + hex(block.end) + " " +
                                 q(dir_ / "corv_001.dat"));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "Success: Data was recompressed completely! [ corv_001.dat ] \n");
        // The file now holds the production compressor's stream, which differs from the game's,
        // and still gives the data.
        const auto after = readBytes(rom);
        const size_t header = rom.filename() == kHeaderedRomFileName ? 512 : 0;
        ASSERT_EQ(after.size(), kRomSize + header);
        EXPECT_FALSE(std::equal(game_->rom.begin(), game_->rom.end(), after.begin() + static_cast<long>(header)));
        const ToolRun back = corvtool("decompress " + q(rom) + " " + hex(block.address) + " " + q(dir_ / "back.bin"));
        ASSERT_EQ(back.exitCode, 0) << back.err;
        EXPECT_EQ(readBytes(dir_ / "back.bin"), block.data);
    }
    // The headered file kept its header and its size.
    const auto headered = readBytes(dir_ / kHeaderedRomFileName);
    ASSERT_EQ(headered.size(), kRomSize + 512);
    EXPECT_TRUE(std::all_of(headered.begin(), headered.begin() + 512, [](uint8_t b) { return b == 0; }));
}

TEST_F(CorvtoolTest, CompressThroughASymbolicLinkWritesTheLinkedRomAndKeepsTheLink) {
    makeDemo();
    const DemoBlock& block = game_->blocks[static_cast<size_t>(game_->textBlocks[1])];
    writeBytes(dir_ / "corv_001.dat", block.data);
    fs::create_symlink(kRomFileName, dir_ / "link.smc");
    const ToolRun run = corvtool("compress " + q(dir_ / "link.smc") + " " + hex(block.address) + " " +
                                 hex(block.end) + " " + q(dir_ / "corv_001.dat"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.smc"));
    EXPECT_NE(readBytes(dir_ / kRomFileName), game_->rom);
}

TEST_F(CorvtoolTest, CompressReportsTheExcessAndLeavesTheRomAlone) {
    makeDemo();
    const DemoBlock& block = blockNamed("monsters");
    writeBytes(dir_ / "corv_000.dat", block.data);
    // The room is cut to end right at the stream start, so every byte of the stream is excess.
    const uint32_t streamStart = block.romOffset + 8 + 2 * static_cast<uint32_t>(block.dictionary.size());
    std::vector<uint8_t> source(0x10002, 0);
    std::copy(block.data.begin(), block.data.end(), source.begin());
    corv::core::SourceWords words(source, static_cast<uint32_t>(block.data.size() / 2));
    auto finder = corv::core::MakeIndexedMatchFinder(words);
    const size_t streamBytes = corv::core::EncodeBlockStream(words, *finder).bytes.size();

    const auto before = fileIdentity(dir_ / kRomFileName);
    const ToolRun run = corvtool("compress " + q(dir_ / kRomFileName) + " " + hex(block.address) + " " +
                             hex(streamStart) + " " + q(dir_ / "corv_000.dat"));
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(fileIdentity(dir_ / kRomFileName), before);
    EXPECT_EQ(run.out, "Error: Data size too large to recompress. [ corv_000.dat ] [ " + std::to_string(streamBytes) +
                           " BYTES over ]\n");
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);
}

TEST_F(CorvtoolTest, CompressOneByteOverAndExactFit) {
    makeDemo();
    const DemoBlock& block = game_->blocks[static_cast<size_t>(game_->textBlocks[2])];
    writeBytes(dir_ / "corv_004.dat", block.data);
    std::vector<uint8_t> source(0x10002, 0);
    std::copy(block.data.begin(), block.data.end(), source.begin());
    corv::core::SourceWords words(source, static_cast<uint32_t>(block.data.size() / 2));
    auto finder = corv::core::MakeIndexedMatchFinder(words);
    const uint32_t exactEnd = block.romOffset + 8 + 2 * static_cast<uint32_t>(block.dictionary.size()) +
                              static_cast<uint32_t>(corv::core::EncodeBlockStream(words, *finder).bytes.size());
    const std::string prefix = "compress " + q(dir_ / kRomFileName) + " " + hex(block.address) + " ";
    const ToolRun over = corvtool(prefix + hex(exactEnd - 1) + " " + q(dir_ / "corv_004.dat"));
    EXPECT_EQ(over.exitCode, 1);
    EXPECT_EQ(over.out, "Error: Data size too large to recompress. [ corv_004.dat ] [ 1 BYTES over ]\n");
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);
    const ToolRun exact = corvtool(prefix + hex(exactEnd) + " " + q(dir_ / "corv_004.dat"));
    EXPECT_EQ(exact.exitCode, 0) << exact.err;
}

TEST_F(CorvtoolTest, CompressRefusesAnInvalidBlockAndLeavesTheRomAlone) {
    makeDemo();
    const DemoBlock& bad = blockNamed("bad-check");
    writeBytes(dir_ / "corv_002.dat", bad.data);
    const auto before = fileIdentity(dir_ / kRomFileName);
    const ToolRun run = corvtool("compress " + q(dir_ / kRomFileName) + " " + hex(bad.address) + " 0D0000 " +
                             q(dir_ / "corv_002.dat"));
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_EQ(fileIdentity(dir_ / kRomFileName), before);
    EXPECT_EQ(run.out, "Error: Invalid data block. [ corv_002.dat ] \n");
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);
}

TEST_F(CorvtoolTest, CompressRefusesFilesItCannotUse) {
    makeDemo();
    const DemoBlock& block = game_->blocks[static_cast<size_t>(game_->textBlocks[1])];
    const std::string prefix = "compress " + q(dir_ / kRomFileName) + " " + hex(block.address) + " " + hex(block.end) + " ";
    const auto before = fileIdentity(dir_ / kRomFileName);
    // One byte more than a block can hold.
    writeBytes(dir_ / "huge.dat", std::vector<uint8_t>(65535, 0x11));
    const ToolRun huge = corvtool(prefix + q(dir_ / "huge.dat"));
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_TRUE(huge.out.empty());
    EXPECT_FALSE(huge.err.empty());
    // A file that is not there.
    const ToolRun missing = corvtool(prefix + q(dir_ / "missing.dat"));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_FALSE(missing.err.empty());
    // A ROM that is not there.
    writeBytes(dir_ / "small.dat", {1, 0, 2, 0});
    const ToolRun noRom = corvtool("compress " + q(dir_ / "none.smc") + " 060000 070000 " + q(dir_ / "small.dat"));
    EXPECT_EQ(noRom.exitCode, 2);
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);
    EXPECT_EQ(fileIdentity(dir_ / kRomFileName), before);
    // The largest file a block can hold is taken (a run of one word, so it fits this room).
    writeBytes(dir_ / "largest.dat", std::vector<uint8_t>(65534, 0x11));
    const ToolRun largest = corvtool(prefix + q(dir_ / "largest.dat"));
    EXPECT_EQ(largest.exitCode, 0) << largest.out << largest.err;
}

}  // namespace
