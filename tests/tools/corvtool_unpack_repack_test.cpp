// corvtool unpack and repack: the same lines as the window, the exit codes, and when the ROM
// file is replaced.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "comp/listing_recompress.h"
#include "comp/comp_test_files.h"
#include "core/block_decoder.h"
#include "tools/corvtool/commands.h"
#include "tools/demo/demo_game.h"

namespace corv::comp {
namespace {

using testing::readFile;
using testing::TempFolder;

struct CommandRun {
    int code = -1;
    std::string out;
    std::string err;
};

// One corvtool command line, run in this process.
CommandRun run(std::string_view command, std::vector<std::string> args) {
    args.insert(args.begin(), std::string(command));
    std::ostringstream out;
    std::ostringstream err;
    CommandRun result;
    result.code = tool::RunCorvtool(args, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

class CorvtoolCompTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        ASSERT_TRUE(demo::WriteDemoFiles(game, folder.path()));
        rom = (folder.path() / demo::kRomFileName).string();
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    demo::DemoGame game = demo::BuildDemoGame();
    TempFolder folder;
    std::filesystem::path previous;
    std::string rom;
};

TEST_F(CorvtoolCompTest, UnpackPrintsTheListLinesAndWritesIntoTheCurrentFolder) {
    const CommandRun result = run("unpack", {rom, "data"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out,
              "Sucessfully decompressed \"corv_000.dat\"\n"
              "Sucessfully decompressed \"corv_001.dat\"\n"
              "Sucessfully decompressed \"corv_003.dat\"\n");
    const auto lines = testing::readLines(folder.path() / "000C0200" / "compfile.txt");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2].rfind(".INVALID_DATA ", 0), 0u);
    EXPECT_EQ(lines[0].rfind(".COMP " + (folder.path() / "000C0200" / "corv_000.dat").string() + "  ", 0), 0u);
}

TEST_F(CorvtoolCompTest, UnpackRefusesBadArguments) {
    EXPECT_EQ(run("unpack", {rom, "sound"}).code, tool::kExitUsage);
    EXPECT_EQ(run("unpack", {rom, "Graphics"}).code, tool::kExitOk);  // any letter case
    EXPECT_EQ(run("unpack", {rom}).code, tool::kExitUsage);
    const CommandRun missing = run("unpack", {(folder.path() / "none.smc").string(), "text"});
    EXPECT_EQ(missing.code, tool::kExitBadInput);
    EXPECT_NE(missing.err.find("Error: Could not open ROM file."), std::string::npos) << missing.err;
}

TEST_F(CorvtoolCompTest, RepackSavesWhenEveryEntryFitsAndExitsZero) {
    ASSERT_EQ(run("unpack", {rom, "text"}).code, 0);
    const CommandRun result = run("repack", {rom, (folder.path() / "00100200" / "compfile.txt").string()});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("Success: Data was recompressed completely! [ corv_000.dat ] \n"), std::string::npos);
    EXPECT_NE(result.out.find("\"corvane.smc\" has been saved!\n"), std::string::npos) << result.out;
    // The game's own streams use the dictionary; the recompressed ones do not, so the file changed.
    EXPECT_NE(readFile(rom), game.rom);
}

TEST_F(CorvtoolCompTest, UnpackThenRepackLeavesEveryBlockDecodingToItsOldData) {
    // The text area holds a block of about 64 KiB, whose last group once wrapped the decoder's
    // output onto the block's start.
    ASSERT_EQ(run("unpack", {rom, "text"}).code, 0);
    const auto listing = folder.path() / "00100200" / "compfile.txt";
    ASSERT_EQ(run("repack", {rom, listing.string()}).code, 0);

    const std::vector<uint8_t> repacked = readFile(rom);
    auto buffer = std::make_unique<core::BlockBuffer>();
    size_t largest = 0;
    for (const std::string& line : testing::readLines(listing)) {
        if (!isEntryLine(line)) continue;
        const auto entry = parseEntryLine(line);
        ASSERT_TRUE(entry) << line;
        const std::vector<uint8_t> old = readFile(entry->path);
        largest = std::max(largest, old.size());
        ASSERT_NE(core::DecompressBlock(repacked, entry->offset, *buffer), core::kBadBlockHeader) << line;
        ASSERT_EQ(core::DecompressedLength(*buffer), old.size()) << line;
        EXPECT_TRUE(std::equal(old.begin(), old.end(), buffer->begin())) << line;
    }
    EXPECT_GT(largest, 65400u);
}

TEST_F(CorvtoolCompTest, RepackWithNothingFittingLeavesTheFileAndExitsOne) {
    ASSERT_EQ(run("unpack", {rom, "graphics"}).code, 0);
    const CommandRun result = run("repack", {rom, (folder.path() / "00030200" / "compfile.txt").string()});
    EXPECT_EQ(result.code, 1);
    // The failures go to standard error, and nothing claims success.
    EXPECT_NE(result.err.find("Error: Data size too large to recompress. [ corv_000.dat ] [ "), std::string::npos)
        << result.err;
    EXPECT_EQ(result.out.find("has been saved"), std::string::npos);
    EXPECT_EQ(result.out.find("Success"), std::string::npos) << result.out;
    EXPECT_EQ(readFile(rom), game.rom);

    const CommandRun noListing = run("repack", {rom, (folder.path() / "none.txt").string()});
    EXPECT_EQ(noListing.code, tool::kExitBadInput);
    EXPECT_NE(noListing.err.find("Error: Could not open TEXT SOURCE file."), std::string::npos);
}

TEST_F(CorvtoolCompTest, UnpackOfATablePastTheEndOfAShortRomExitsTwoWithoutAListing) {
    const auto shortRom = folder.path() / "short.smc";
    testing::writeFile(shortRom, testing::TestRom(0x100000).data);  // the text table starts at its end
    const CommandRun result = run("unpack", {shortRom.string(), "text"});
    EXPECT_EQ(result.code, tool::kExitBadInput);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("short.smc"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Error: The table of this area lies past the end of the ROM."), std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "00100200"));
}

TEST_F(CorvtoolCompTest, RepackRefusesAFifoListingAtOnce) {
    const auto fifo = folder.path() / "compfile.txt";
    ASSERT_TRUE(testing::makeFifo(fifo));
    CommandRun result;
    EXPECT_TRUE(testing::finishesWithoutAWriter(fifo, [&] { result = run("repack", {rom, fifo.string()}); }));
    EXPECT_EQ(result.code, tool::kExitBadInput);
    EXPECT_NE(result.err.find("Error: Could not open TEXT SOURCE file."), std::string::npos) << result.err;
    EXPECT_EQ(readFile(rom), game.rom);
}

TEST_F(CorvtoolCompTest, RepackLeavesAReadOnlyRomAsItWasAndExitsTwo) {
    ASSERT_EQ(run("unpack", {rom, "text"}).code, 0);
    const testing::ModeForScope readOnly(rom, testing::kReadOnly);
    const CommandRun result = run("repack", {rom, (folder.path() / "00100200" / "compfile.txt").string()});
    EXPECT_EQ(result.code, tool::kExitBadInput);
    EXPECT_NE(result.err.find("Error: Could not open ROM file."), std::string::npos) << result.err;
    EXPECT_EQ(result.out.find("has been saved"), std::string::npos);
    EXPECT_EQ(readFile(rom), game.rom);
}

TEST_F(CorvtoolCompTest, RepackWithAMissingOrOversizedBlockFileSavesNothing) {
    ASSERT_EQ(run("unpack", {rom, "text"}).code, 0);
    const auto area = folder.path() / "00100200";
    const std::string listing = (area / "compfile.txt").string();
    // Every other block file would fit: the ROM would change if any of them were saved.
    std::filesystem::remove(area / "corv_000.dat");
    testing::writeFile(area / "corv_001.dat", std::vector<uint8_t>(core::kMaxBlockFileSize + 1, 0x41));

    const CommandRun both = run("repack", {rom, listing});
    EXPECT_EQ(both.code, tool::kExitBadInput);
    EXPECT_NE(both.err.find("Fatal Error: Could not open \"corv_000.dat\"."), std::string::npos) << both.err;
    EXPECT_NE(both.err.find("Error: Block file is too big to recompress. [ corv_001.dat ]"), std::string::npos)
        << both.err;
    EXPECT_NE(both.err.find("nothing saved, the file was left as it was"), std::string::npos) << both.err;
    EXPECT_TRUE(both.out.empty()) << both.out;
    EXPECT_EQ(readFile(rom), game.rom);

    // The oversized file alone: exit 1, and still nothing saved.
    ASSERT_EQ(run("unpack", {rom, "text"}).code, 0);
    testing::writeFile(area / "corv_001.dat", std::vector<uint8_t>(core::kMaxBlockFileSize + 1, 0x41));
    const CommandRun tooBig = run("repack", {rom, listing});
    EXPECT_EQ(tooBig.code, tool::kExitDoesNotFit);
    EXPECT_TRUE(tooBig.out.empty()) << tooBig.out;
    EXPECT_EQ(readFile(rom), game.rom);
}

}  // namespace
}  // namespace corv::comp
