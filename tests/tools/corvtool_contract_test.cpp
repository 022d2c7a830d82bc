// One contract for every corvtool command: exit 0 done, 1 does not fit, 2 the input is wrong,
// 3 usage; messages name the file; insert refuses a script that lacks entries; and the program
// that every command but preview runs in does not load the GUI libraries.

#include "tools/corvtool_fixture.h"

#include <algorithm>
#include <string_view>

#include "script/script_file.h"

namespace {

using namespace corv::testing;
using namespace corv::demo;
namespace fs = std::filesystem;

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

class CorvtoolContractTest : public CorvtoolTest {
protected:
    void SetUp() override {
        CorvtoolTest::SetUp();
        makeDemo();
        rom_ = q(dir_ / kRomFileName);
        dataFile_ = q(dir_ / kBlockDataFileName);
        table_ = q(dir_ / kTableFileName);
    }

    const DemoBlock& textBlock(size_t n) const { return game_->blocks[static_cast<size_t>(game_->textBlocks[n])]; }

    // A script file with an (empty) entry for each of the block's strings, minus `skipped`.
    fs::path scriptFor(const DemoBlock& block, std::vector<unsigned> skipped = {}) const {
        const fs::path path = dir_ / "script.txt";
        writeEntriesFor(block, path, skipped);
        return path;
    }

    std::string insert(const std::string& address, const fs::path& script) const {
        return "insert " + rom_ + " " + dataFile_ + " " + table_ + " " + address + " " + q(script);
    }

    std::string rom_;
    std::string dataFile_;
    std::string table_;
};

TEST_F(CorvtoolContractTest, WrongInputExitsTwoAndNamesTheFile) {
    const DemoBlock& bad = blockNamed("bad-check");
    const DemoBlock& text = textBlock(0);
    const std::string missing = q(dir_ / "missing.smc");
    struct Case {
        std::string arguments;
        std::string_view message;
    };
    for (const Case& c : std::vector<Case>{
             {"decompress " + rom_ + " FF0000 " + q(dir_ / "x.bin"), "lies past the end of the ROM"},
             {"decompress " + rom_ + " " + hex(bad.address) + " " + q(dir_ / "x.bin"), "fails its check"},
             {"kana " + missing + " " + dataFile_ + " " + hex(text.address), "missing.smc: cannot read"},
             {"kana " + rom_ + " " + dataFile_ + " " + hex(bad.address), "fails its check"},
             {"compress " + rom_ + " " + hex(text.address) + " " + hex(text.romOffset) + " " + table_, "LIMIT"},
             {"compress " + rom_ + " " + hex(text.address) + " 200001 " + table_, "LIMIT"},
             {"preview " + rom_ + " " + dataFile_ + " " + hex(text.address) + " 999 " + q(dir_ / "x.png"),
              "there is no string 999"},
             {"preview " + rom_ + " " + dataFile_ + " " + hex(bad.address) + " 0 " + q(dir_ / "x.png"),
              "fails its check"},
             {"patch " + rom_ + " " + q(dir_ / "none.ips"), "none.ips"},
             {"repack " + rom_ + " " + q(dir_ / "none.txt"), "none.txt"},
         }) {
        const ToolRun run = corvtool(c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.arguments << '\n' << run.err;
        EXPECT_TRUE(contains(run.err, c.message)) << c.arguments << '\n' << run.err;
    }
    EXPECT_EQ(readBytes(dir_ / kRomFileName), game_->rom);
    EXPECT_FALSE(fs::exists(dir_ / "x.bin"));
    EXPECT_FALSE(fs::exists(dir_ / "x.png"));
}

TEST_F(CorvtoolContractTest, HelpListsTheExitCodesAndUsageErrorsExitThree) {
    const ToolRun help = corvtool("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (std::string_view line : {"0  done", "1  the work does not fit", "2  something is wrong with the input",
                                  "3  wrong arguments or options", "insert ROM DATAFILE TABLE ADDRESS SCRIPT"}) {
        EXPECT_TRUE(contains(help.out, line)) << line;
    }
    EXPECT_EQ(corvtool("insert " + rom_ + " --fast").exitCode, 3);
    EXPECT_EQ(corvtool("unpack " + rom_ + " sound").exitCode, 3);
}

TEST_F(CorvtoolContractTest, InsertRefusesAScriptWithoutEveryEntryAndLeavesTheRom) {
    const DemoBlock& block = textBlock(1);
    const auto before = fileIdentity(dir_ / kRomFileName);
    writeBytes(dir_ / "empty.txt", {});
    const ToolRun empty = corvtool(insert(hex(block.address), dir_ / "empty.txt"));
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_TRUE(empty.out.empty()) << empty.out;  // no success lines
    EXPECT_TRUE(contains(empty.err, "empty.txt: no entry for the text string(s) 0 1")) << empty.err;

    // The last text string: the lookup finds ".STRING 1" inside ".STRING 12", so a later one.
    unsigned last = 0;
    for (unsigned k = 0; k < block.records.size(); ++k) {
        if (block.records[k].type == 2 && !block.records[k].sharesPointer) last = k;
    }
    const ToolRun gap = corvtool(insert(hex(block.address), scriptFor(block, {last})));
    EXPECT_EQ(gap.exitCode, 2);
    EXPECT_TRUE(contains(gap.err, "string(s) " + std::to_string(last) + ";")) << gap.err;
    EXPECT_EQ(fileIdentity(dir_ / kRomFileName), before);

    const ToolRun allowed = corvtool(insert(hex(block.address), scriptFor(block, {last})) + " --allow-missing");
    EXPECT_EQ(allowed.exitCode, 0) << allowed.err;
    EXPECT_TRUE(contains(allowed.out, "compressed successfully")) << allowed.out;
}

TEST_F(CorvtoolContractTest, InsertFindsTheBlockByRomOffsetInAnyBank) {
    const DemoBlock& block = textBlock(1);
    const uint32_t otherBank = block.address ^ 0xC00000;  // D40000 and 100000 name the same block
    const ToolRun run = corvtool(insert(hex(otherBank), scriptFor(block)));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "\".BLOCK " + hex(block.address) + "\" compressed successfully")) << run.out;
    // Inserted as block 1 of the list: its mark is the byte 1 at the end of the ROM.
    const auto after = readBytes(dir_ / kRomFileName);
    EXPECT_EQ(after[after.size() - 2], 1);
}

TEST_F(CorvtoolContractTest, TheProgramLinksNoGuiLibraryAndDrawsPreviewsItself) {
    const auto linksQt = [](const fs::path& program) {
        const std::string bytes = readText(program);
        return contains(bytes, "libQt6");
    };
    const fs::path corvtoolPath = CORVTOOL_PATH;
    EXPECT_FALSE(linksQt(corvtoolPath));
    EXPECT_FALSE(fs::exists(corvtoolPath.parent_path() / "corvtool-preview"));
    const DemoBlock& text = textBlock(0);
    const ToolRun run = corvtool("preview " + rom_ + " " + dataFile_ + " " + hex(text.address) + " 0 " +
                                 q(dir_ / "s.png"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readText(dir_ / "s.png").substr(1, 3), "PNG");
}

}  // namespace
