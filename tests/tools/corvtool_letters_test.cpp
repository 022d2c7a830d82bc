// Letters the game does not have yet, through the real corvtool: a table whose lines 7B=ñ,
// 7C=ü, 7D=ó and 7E=ß give the letters bytes of the game; insert writes those bytes, readback
// gives the letters back, a table line that cannot work stops the command, and a table without
// such lines inserts exactly the bytes it always did.

#include <gtest/gtest.h>

#include "tests/tools/corvtool_fixture.h"

namespace corv::testing {
namespace {

constexpr char kLetterLines[] = "7B=\xF1\n7C=\xFC\n7D=\xF3\n7E=\xDF\n";
const std::string kSpanish = "\xBF" "D\xF3nde est\xE1 el ni\xF1o? \xDC" "ber alles.";

class CorvtoolLetters : public CorvtoolTest {
protected:
    void SetUp() override {
        CorvtoolTest::SetUp();
        makeDemo();
        block_ = &game_->blocks[static_cast<size_t>(game_->textBlocks[0])];
        const std::string table = readText(dir_ / kTableFileName);
        std::ofstream(dir_ / "letters.tbl", std::ios::binary) << table << kLetterLines;
    }
    // insert into the demo ROM with `table`; the script holds `text` as string 0.
    ToolRun insert(const std::string& table, const std::string& text) const {
        const fs::path script = dir_ / "script.txt";
        writeEntriesFor(*block_, script);
        EXPECT_TRUE(replaceInFile(script, ".STRING 0\n.ENDS\n", ".STRING 0\n" + text + "\n.ENDS\n"));
        return corvtool("insert " + files(table) + " " + hex(block_->address) + " " + q(script));
    }
    std::string files(const std::string& table) const {
        return q(dir_ / kRomFileName) + " " + q(dir_ / kBlockDataFileName) + " " + q(dir_ / table);
    }
    std::vector<uint8_t> insertedBlock() const {
        const ToolRun run = corvtool("decompress " + q(dir_ / kRomFileName) + " " + hex(block_->address) + " " +
                                     q(dir_ / "block.bin"));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return readBytes(dir_ / "block.bin");
    }

    const DemoBlock* block_ = nullptr;
};

bool Holds(const std::vector<uint8_t>& data, const std::vector<uint8_t>& bytes) {
    return std::search(data.begin(), data.end(), bytes.begin(), bytes.end()) != data.end();
}

TEST_F(CorvtoolLetters, InsertWritesTheMappedBytesAndReadbackGivesTheLettersBack) {
    const ToolRun run = insert("letters.tbl", kSpanish);
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
    const std::vector<uint8_t> expected = {0xBF, 'D', 0x7D, 'n', 'd', 'e', ' ', 'e', 's', 't', 0xE1, ' ', 'e', 'l', ' ',
                                           'n', 'i', 0x7B, 'o', '?', ' ', 0xDC, 'b', 'e', 'r', ' ', 'a', 'l', 'l', 'e',
                                           's', '.', 0xFF};
    EXPECT_TRUE(Holds(insertedBlock(), expected));

    const ToolRun back = corvtool("readback " + files("letters.tbl") + " " + hex(block_->address));
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(back.out.rfind(".STRING 0\n" + kSpanish + "\n.ENDS\n", 0), 0u) << back.out.substr(0, 80);
    // Read with the demo's own table the bytes are what the game has there: "{" for ñ.
    const ToolRun plain = corvtool("readback " + files(kTableFileName) + " " + hex(block_->address));
    EXPECT_EQ(plain.out.rfind(".STRING 0\n\xBF" "D}nde est\xE1 el ni{o?", 0), 0u) << plain.out.substr(0, 80);
}

TEST_F(CorvtoolLetters, WithoutTheLinesTheLettersAreRefusedAndNothingIsWritten) {
    const auto before = readBytes(dir_ / kRomFileName);
    const ToolRun run = insert(kTableFileName, kSpanish);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE((run.err + run.out).find("\"\xC3\xB3\" is byte F3"), std::string::npos) << run.err << run.out;
    EXPECT_EQ(readBytes(dir_ / kRomFileName), before);
}

TEST_F(CorvtoolLetters, ATableLineThatCannotWorkStopsEveryCommandThatReadsTheTable) {
    std::ofstream(dir_ / "bad.tbl", std::ios::binary) << "7B=\xF1\nFC=\xFC\n";
    const auto before = readBytes(dir_ / kRomFileName);
    const ToolRun run = insert("bad.tbl", "ni\xF1o");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("line 2 (FC=\xC3\xBC): byte FC is a control code in the game"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(dir_ / kRomFileName), before);
    const ToolRun check = corvtool("check " + files("bad.tbl") + " " + hex(block_->address) + " " + q(dir_ / "script.txt"));
    EXPECT_EQ(check.exitCode, 2) << check.err;
    const ToolRun dictionary = corvtool("dictionary " + q(dir_ / kRomFileName) + " " + q(dir_ / "bad.tbl"));
    EXPECT_EQ(dictionary.exitCode, 2) << dictionary.err;
    EXPECT_EQ(readBytes(dir_ / kRomFileName), before);
}

TEST_F(CorvtoolLetters, TextWithoutTheLettersInsertsTheSameBytesWithEitherTable) {
    const std::string text = "Hello there, [PLAYER]![KEY]{x}|~";
    ASSERT_EQ(insert(kTableFileName, text).exitCode, 0);
    const auto demoTable = readBytes(dir_ / kRomFileName);
    EXPECT_NE(demoTable, game_->rom);
    writeBytes(dir_ / kRomFileName, game_->rom);
    const ToolRun run = insert("letters.tbl", text);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readBytes(dir_ / kRomFileName), demoTable);
    // "{", "|" and "~" stand on the bytes the letters were given: the check warns about them.
    const ToolRun check = corvtool("check " + files("letters.tbl") + " " + hex(block_->address) + " " + q(dir_ / "script.txt"));
    EXPECT_NE(check.out.find("\"{\" is written as its own byte 7B, which the table file gives to \"\xC3\xB1\""),
              std::string::npos) << check.out;
}

TEST_F(CorvtoolLetters, SubstitutionsFileWritesTheScriptDifferentlyForCheckAndInsertOnly) {
    // « and » (AB, BB) stand in a Latin-1 script; the pairs write them as << and >>.
    std::ofstream(dir_ / "subs.toml", std::ios::binary) << "\"\xC2\xAB\" = \"<<\"\n\"\xC2\xBB\" = \">>\"\n";
    const std::string text = "\xAB" "Hola\xBB";
    ASSERT_EQ(insert(kTableFileName, text).exitCode, 0);
    const auto asIs = readBytes(dir_ / kRomFileName);
    writeBytes(dir_ / kRomFileName, game_->rom);
    const auto scriptBefore = readBytes(dir_ / "script.txt");
    const ToolRun run = corvtool("insert " + files(kTableFileName) + " " + hex(block_->address) + " " +
                                 q(dir_ / "script.txt") + " --substitutions " + q(dir_ / "subs.toml"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(readBytes(dir_ / kRomFileName), asIs);
    EXPECT_TRUE(Holds(insertedBlock(), {'<', '<', 'H', 'o', 'l', 'a', '>', '>', 0xFF}));
    EXPECT_EQ(readBytes(dir_ / "script.txt"), scriptBefore);  // the script file stays as it is

    // check reads the same file; a pair that cannot be one stops it, naming its line and key.
    const std::string check = "check " + files(kTableFileName) + " " + hex(block_->address) + " " + q(dir_ / "script.txt");
    EXPECT_EQ(corvtool(check + " --substitutions " + q(dir_ / "subs.toml")).exitCode, 0);
    std::ofstream(dir_ / "bad.toml", std::ios::binary) << "\"x\" = \"y\"\n";
    const ToolRun bad = corvtool(check + " --substitutions " + q(dir_ / "bad.toml"));
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find(":1: key '\"x\"'"), std::string::npos) << bad.err;
    EXPECT_EQ(corvtool(check + " --substitutions").exitCode, 3);
}

}  // namespace
}  // namespace corv::testing
