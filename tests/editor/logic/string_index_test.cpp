#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "editor/logic/string_index.h"
#include "script/block_data_file.h"
#include "script/script_file.h"
#include "script/script_test_support.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {
namespace {
using namespace corv::script;

constexpr uint32_t kTextBlockAddress = 0xC10000;  // ROM offset 0x010000
constexpr uint32_t kEmptyBlockAddress = 0xC20000;
constexpr uint32_t kBadBlockAddress = 0xC30000;
constexpr uint32_t kNoTerminatorAddress = 0xC40000;

class RecordingHandler final : public UnsavedScriptHandler {
public:
    void unsavedScript(const std::filesystem::path& currentPath) override { asked.push_back(currentPath); }
    std::vector<std::filesystem::path> asked;
};

std::string ReadRaw(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StringIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto rom = test::TitledRom();
        test::PutLiteralBlock(rom, 0x010000,
                              test::TextBlock({{2, {0x0041, 0xFFFF}}, {1, {0x1234}}, {2, {0x0042, 0xFFFF}}}));
        const std::vector<uint8_t> empty = {0xFF, 0xFF, 0x00, 0x00};
        test::PutLiteralBlock(rom, 0x020000, empty);
        test::PutLiteralBlock(rom, 0x030000, empty);
        rom[0x030006] ^= 1;  // the check word no longer matches
        test::PutLiteralBlock(rom, 0x040000, std::vector<uint8_t>(0x10000 - 2, 0x11));
        image = core::RomImage(std::move(rom), "test.smc");
        dumps = scratch.path();
        index.setBlocks(std::vector<BlockEntry>{{kTextBlockAddress, "Block C10000"},
                                                {kEmptyBlockAddress, "Block C20000"},
                                                {kBadBlockAddress, "Block C30000"},
                                                {kNoTerminatorAddress, "Block C40000"}});
    }

    core::RomImage image;
    test::TempFolder scratch;
    std::filesystem::path dumps;
    StringIndex index;
    MemoryScriptText script;
    RecordingHandler handler;
};

TEST_F(StringIndexTest, ChoosingABlockListsItsStringsAndWritesTheSkeleton) {
    const auto choice = index.chooseBlock(image, 0, dumps, script, handler);
    ASSERT_TRUE(choice.has_value());
    EXPECT_TRUE(choice->terminatorFound);
    EXPECT_EQ(choice->script, ScriptLoad::Skeleton);
    // 266 bytes of block: 133 literal words in 17 groups of a control word and 16 operand bytes.
    EXPECT_EQ(choice->end, 0x010000u + 8 + 17 * 18);
    EXPECT_EQ(index.blockEnd(0), choice->end);
    EXPECT_EQ(index.stringCount(), 3);
    EXPECT_EQ(index.stringLines(), (std::vector<std::string>{"String# 0    ", "String# 1    ", "String# 2    "}));
    EXPECT_EQ(index.stringPointer(0), 4u * 64);
    EXPECT_EQ(index.stringPointer(2), 4u * 64 + 4 + 2);
    EXPECT_EQ(index.decompressedLength(), 4u * 64 + 4 + 2 + 4);
    EXPECT_EQ(index.scriptPath(), dumps / "00C10000.txt");
    EXPECT_EQ(ReadRaw(dumps / "00C10000.txt"),
              "// Do not erase these: \r\n// .STRING #\r\n// .ENDS\r\n\r\n\r\n"
              ".STRING 0\r\n\r\n\r\n.ENDS\r\n\r\n\r\n\r\n"
              ".STRING 1\r\n\r\n\r\n.ENDS\r\n\r\n\r\n\r\n"
              ".STRING 2\r\n\r\n\r\n.ENDS\r\n\r\n\r\n\r\n");
    EXPECT_EQ(script.text(), ScriptSkeleton(3));
    EXPECT_FALSE(script.modified());
    EXPECT_TRUE(handler.asked.empty());
}

TEST_F(StringIndexTest, ABlockChosenAgainAfterShorterDataKeepsItsRoom) {
    const uint32_t firstEnd = index.chooseBlock(image, 0, dumps, script, handler)->end;
    // The block written again with less data, as an insertion of a shorter script leaves it.
    std::vector<uint8_t> rom(image.fileBytes().begin(), image.fileBytes().end());
    test::PutLiteralBlock(rom, 0x010000, test::TextBlock({{2, {0x0041, 0xFFFF}}}));
    image = core::RomImage(std::move(rom), "test.smc");
    const auto again = index.chooseBlock(image, 0, dumps, script, handler);
    EXPECT_EQ(again->end, firstEnd);
    EXPECT_EQ(index.blockEnd(0), firstEnd);

    // A ROM opened afterwards may be another file: its blocks are measured afresh.
    index.forgetMeasuredRooms();
    EXPECT_LT(index.chooseBlock(image, 0, dumps, script, handler)->end, firstEnd);

    // A new block list starts from the data file's end of room, or from the data.
    std::vector<BlockEntry> blocks{{kTextBlockAddress, "Block C10000"}};
    index.setBlocks(blocks);
    EXPECT_LT(index.chooseBlock(image, 0, dumps, script, handler)->end, firstEnd);
    blocks[0].endOfRoom = firstEnd + 100;
    index.setBlocks(blocks);
    EXPECT_EQ(index.chooseBlock(image, 0, dumps, script, handler)->end, firstEnd + 100);
}

TEST_F(StringIndexTest, ChoosingAStringFindsItsEntryAndEncodesThePreview) {
    ASSERT_TRUE(index.chooseBlock(image, 0, dumps, script, handler));
    script.setText(".STRING 0\nHi[KEY]\nthere\n.ENDS\n.STRING 2\nsecond\n .ENDS \n");
    const auto choice = index.chooseString(2, script, script::CharacterMap{});
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->matchLine, 4);
    EXPECT_EQ(choice->caret, script.text().find(".STRING 2"));
    EXPECT_EQ(script.selectionStart(), 0u);  // the search only reads the script
    EXPECT_EQ(index.matchLine(), 4);
    EXPECT_EQ(choice->kanaCaption, "Kana Text: String #2");
    EXPECT_EQ(choice->offsetStatus, "Offset: 7E008E | PTR: 0106 -> 7E0106");
    const std::vector<uint8_t> expected = {'s', 'e', 'c', 'o', 'n', 'd', 0x00, 0xFD, ' ', '.', 'E', 'N', 'D', 'S', ' ', 0xFF, 0xFF, 0x00};
    // " .ENDS " closes the copy but, not starting with ".ENDS", is previewed as a line.
    ASSERT_EQ(choice->previewLength, expected.size() - 1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), index.previewBytes().begin()));

    const auto first = index.chooseString(0, script, script::CharacterMap{});
    EXPECT_EQ(first->previewLength, 13u);
    EXPECT_EQ(index.previewBytes()[2], 0x00);
    EXPECT_EQ(index.previewBytes()[3], 0xF0);

    // A record without text keeps the pointer of the last text record in the status text.
    const auto nonText = index.chooseString(1, script, script::CharacterMap{});
    EXPECT_FALSE(nonText->matchLine.has_value());
    EXPECT_EQ(index.matchLine(), -1);
    EXPECT_EQ(nonText->offsetStatus, "Offset: 7E004E | PTR: 0100 -> 7E0100");
    EXPECT_FALSE(index.chooseString(3, script, script::CharacterMap{}).has_value());
}

TEST_F(StringIndexTest, UnsavedChangesAreOfferedForSavingBeforeTheScriptIsReloaded) {
    ASSERT_TRUE(index.chooseBlock(image, 0, dumps, script, handler));
    script.setText("edited");
    script.setModified(true);
    // The handler answers No: the file is read again and the edits are gone.
    const auto again = index.chooseBlock(image, 0, dumps, script, handler);
    ASSERT_EQ(handler.asked.size(), 1u);
    EXPECT_EQ(handler.asked[0], dumps / "00C10000.txt");
    EXPECT_EQ(again->script, ScriptLoad::Existing);
    EXPECT_EQ(script.text(), ScriptSkeleton(3));
    EXPECT_FALSE(script.modified());
    // Unmodified: no question.
    (void)index.chooseBlock(image, 1, dumps, script, handler);
    EXPECT_EQ(handler.asked.size(), 1u);
    // Moving to another block asks about the script of the block being left.
    script.setModified(true);
    (void)index.chooseBlock(image, 0, dumps, script, handler);
    ASSERT_EQ(handler.asked.size(), 2u);
    EXPECT_EQ(handler.asked[1], dumps / "00C20000.txt");
}

TEST_F(StringIndexTest, NoQuestionWhenTheCurrentScriptHasNoFile) {
    // Changes typed before any block was chosen, or whose file has gone, have no file to save to.
    script.setText("typed");
    script.setModified(true);
    (void)index.chooseBlock(image, 0, dumps, script, handler);
    EXPECT_TRUE(handler.asked.empty());
    std::filesystem::remove(dumps / "00C10000.txt");
    script.setModified(true);
    (void)index.chooseBlock(image, 1, dumps, script, handler);
    EXPECT_TRUE(handler.asked.empty());
}

TEST_F(StringIndexTest, AnExistingScriptFileIsLoadedNotOverwritten) {
    ASSERT_TRUE(SaveScriptFile(dumps / "00C10000.txt", ".STRING 0\nmine\n.ENDS\n"));
    const auto choice = index.chooseBlock(image, 0, dumps, script, handler);
    EXPECT_EQ(choice->script, ScriptLoad::Existing);
    EXPECT_EQ(script.text(), ".STRING 0\nmine\n.ENDS\n");
}

TEST_F(StringIndexTest, BlockWithoutStringsHeaderFailureAndMissingTerminator) {
    const auto empty = index.chooseBlock(image, 1, dumps, script, handler);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->terminatorFound);
    EXPECT_EQ(index.stringCount(), 0);
    EXPECT_TRUE(index.stringLines().empty());
    EXPECT_EQ(script.text(), "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n");
    EXPECT_EQ(ItemsHint(index.stringLines().size()), "0 item(s)");
    EXPECT_FALSE(index.chooseString(0, script, script::CharacterMap{}).has_value());

    const auto bad = index.chooseBlock(image, 2, dumps, script, handler);
    EXPECT_EQ(bad->end, 0xFFFFFFFFu);
    EXPECT_EQ(index.blockEnd(2), 0xFFFFFFFFu);
    EXPECT_FALSE(bad->terminatorFound);
    EXPECT_EQ(index.stringCount(), 0);
    EXPECT_EQ(index.decompressedLength(), 0u);

    const auto full = index.chooseBlock(image, 3, dumps, script, handler);
    EXPECT_FALSE(full->terminatorFound);
    EXPECT_EQ(index.stringCount(), 0);
}

TEST_F(StringIndexTest, NothingHappensWithoutARomOrOutsideTheList) {
    core::RomImage none;
    EXPECT_FALSE(index.chooseBlock(none, 0, dumps, script, handler).has_value());
    EXPECT_FALSE(index.chooseBlock(image, 4, dumps, script, handler).has_value());
    EXPECT_FALSE(index.hasBlock());
    EXPECT_FALSE(index.chooseString(0, script, script::CharacterMap{}).has_value());
    EXPECT_TRUE(std::filesystem::is_empty(dumps));
}

TEST_F(StringIndexTest, ScriptThatCannotBeCreatedLeavesTheTextAlone) {
    script.setText("kept");
    const auto choice = index.chooseBlock(image, 0, dumps / "missing", script, handler);
    EXPECT_EQ(choice->script, ScriptLoad::CannotCreate);
    EXPECT_EQ(script.text(), "kept");
}

TEST(StringIndexTexts, ListLinesAndStatus) {
    EXPECT_EQ(StringListLine(7), "String# 7    ");
    EXPECT_EQ(StringListLine(123456), "String# 123456");
    EXPECT_EQ(OffsetStatusText(2, 0x0A40), "Offset: 7E008E | PTR: 0A40 -> 7E0A40");
    EXPECT_EQ(LineStatusText(32, 15), "Line {Kana, Ascii}: 2, 0");
    EXPECT_EQ(ItemsHint(12), "12 item(s)");
}

TEST(StringIndexDemo, ChoosingEveryBlockOfTheDemoGame) {
    const demo::DemoGame game = demo::BuildDemoGame();
    CodeMaps maps;
    const BlockDataLoad load = ParseBlockDataFile(game.blockDataFile, maps);
    const core::RomImage image(game.rom, "corvane.smc");
    const test::TempFolder scratch;
    const auto& dumps = scratch.path();
    StringIndex index;
    index.setBlocks(load.blocks);
    MemoryScriptText script;
    struct NoQuestion final : UnsavedScriptHandler {
        void unsavedScript(const std::filesystem::path&) override { ADD_FAILURE() << "no unsaved script expected"; }
    } handler;
    for (size_t n = 0; n < load.blocks.size(); ++n) {
        const demo::DemoBlock& block = game.blocks.at(static_cast<size_t>(game.textBlocks.at(n)));
        const auto choice = index.chooseBlock(image, n, dumps, script, handler);
        ASSERT_TRUE(choice.has_value());
        EXPECT_EQ(choice->end, block.end) << block.name;
        EXPECT_EQ(index.decompressedLength(), block.data.size());
        ASSERT_EQ(index.stringCount(), block.records.size());
        for (unsigned k = 0; k < index.stringCount(); ++k) {
            EXPECT_EQ(index.stringPointer(k), block.records[k].textPointer);
        }
        // The last string's skeleton entry previews as one line break between two empty lines.
        const auto last = index.chooseString(index.stringCount() - 1u, script, script::CharacterMap{});
        ASSERT_TRUE(last && last->matchLine);
        EXPECT_EQ(last->previewLength, 4u);
    }
}

}  // namespace
}  // namespace corv::editor
