// The kana text of the Kana Text window and the kana dump: lines cut where the window wraps,
// the dump file's bytes and the Current Kana Dump window's text, and the command's dialogs.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "dialogs/scripted_dialogs.h"
#include "editor/logic/kana_dump_command.h"
#include "editor/logic/kana_text.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/script_test_support.h"
#include "support/temp_folder.h"

namespace corv::editor {
namespace {

// A window that fits `width` characters per line, full-width ones counting twice, and breaks
// anywhere: enough to see where the dump cuts.
KanaLineWrap ColumnsWrap(size_t width) {
    return [width](const std::vector<std::string>& characters) {
        std::vector<size_t> counts{0};
        size_t used = 0;
        for (const std::string& character : characters) {
            const size_t columns = character.size() > 1 ? 2 : 1;  // UTF-8 of a kana is 3 bytes
            if (used + columns > width && counts.back() > 0) {
                counts.push_back(0);
                used = 0;
            }
            ++counts.back();
            used += columns;
        }
        return counts;
    };
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(KanaText, ShiftJisCharactersKeepPairsTogether) {
    EXPECT_EQ(ShiftJisCharacters("a\x82\xA0" "b\xB1\x82"),
              (std::vector<std::string>{"a", "\x82\xA0", "b", "\xB1", "\x82"}));
    // A lead byte followed by something that is no trail byte stands alone.
    EXPECT_EQ(ShiftJisCharacters("\x82\x0D\x0A"), (std::vector<std::string>{"\x82", "\x0D", "\x0A"}));
    EXPECT_TRUE(ShiftJisCharacters("").empty());
}

TEST(KanaText, LinesSplitAtLineBreaksAndWhereTheWindowWraps) {
    const std::string text = "abcdefg\r\n\x82\xA0\x82\xA2\x82\xA4\r\n\r\nhi\r\n";
    EXPECT_EQ(KanaWindowLines(text, {}), (std::vector<std::string>{"abcdefg", "\x82\xA0\x82\xA2\x82\xA4", "", "hi"}));
    EXPECT_EQ(KanaWindowLines(text, ColumnsWrap(3)),
              (std::vector<std::string>{"abc", "def", "g", "\x82\xA0", "\x82\xA2", "\x82\xA4", "", "hi"}));
    EXPECT_TRUE(KanaWindowLines("", ColumnsWrap(3)).empty());

    // Whatever the measurer answers, every byte lands in one line, in order.
    const KanaLineWrap odd = [](const std::vector<std::string>&) { return std::vector<size_t>{0, 2, 99}; };
    EXPECT_EQ(KanaWindowLines("abcde", odd), (std::vector<std::string>{"ab", "cde"}));
    const KanaLineWrap shortAnswer = [](const std::vector<std::string>&) { return std::vector<size_t>{1}; };
    EXPECT_EQ(KanaWindowLines("abc", shortAnswer), (std::vector<std::string>{"a", "bc"}));
}

class KanaDumpCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        setEntry(0x4100, "abcdefgh");
        setEntry(0x4200, "\x82\xA0\x82\xA2");
        // String 1 is no text record; string 2 is only the end mark; string 3 ends with a break.
        block = script::test::TextBlock({{2, {0x0041, 0xFD00, 0x0042, 0xFFFF}},
                                         {1, {0x0041, 0xFFFF}},
                                         {2, {0xFFFF}},
                                         {2, {0x0042, 0xFD00, 0xFFFF}}});
        block.resize(0x10000);
        source.romLoaded = true;
        source.startDirectory = folder.path();
        source.block = block;
        source.stringCount = 4;
        source.maps = maps.get();
    }
    void setEntry(uint16_t key, const std::string& text) {
        maps->wordEntry(key).text = text;
        maps->wordEntry(key).length = static_cast<uint16_t>(text.size());
    }

    std::unique_ptr<script::CodeMaps> maps = std::make_unique<script::CodeMaps>();
    std::vector<uint8_t> block;
    KanaDumpSource source;
    testing::TempFolder folder{"kana-dump"};
    dialogs::ScriptedDialogs dialogs;
};

TEST_F(KanaDumpCommandTest, FileTextWrapsKanaLinesAndMatchesTheUnwrappedDumpOtherwise) {
    EXPECT_EQ(KanaDumpFileText(KanaDumpEntries(source, {})), script::KanaDump(block, 4, false, *maps));
    EXPECT_EQ(KanaDumpFileText(KanaDumpEntries(source, ColumnsWrap(6))),
              ".STRING 0\nabcdef\ngh\n\x82\xA0\x82\xA2\n.ENDS\n\n"
              ".STRING 1\nNON-TEXT DATA\n.ENDS\n\n"
              ".STRING 2\n.ENDS\n\n"
              ".STRING 3\n\x82\xA0\x82\xA2\n.ENDS\n\n");
    source.inserted = true;
    EXPECT_EQ(KanaDumpFileText(KanaDumpEntries(source, ColumnsWrap(6))),
              ".STRING 0\nBlock is in english already.\n.ENDS\n\n"
              ".STRING 1\nNON-TEXT DATA\n.ENDS\n\n"
              ".STRING 2\nBlock is in english already.\n.ENDS\n\n"
              ".STRING 3\nBlock is in english already.\n.ENDS\n\n");
}

TEST_F(KanaDumpCommandTest, ViewTextIsFilledItemByItem) {
    source.stringCount = 3;
    EXPECT_EQ(KanaDumpViewText(KanaDumpEntries(source, ColumnsWrap(6))),
              ".STRING 0\r\n\r\n\r\nabcdef\r\ngh\r\n\x82\xA0\x82\xA2\r\n.ENDS\r\n\r\n\r\n\r\n"
              ".STRING 1\r\nNON-TEXT DATA\r\n.ENDS\r\n\r\n\r\n"
              ".STRING 2\r\n\r\n\r\n.ENDS\r\n\r\n\r\n\r\n");
    source.inserted = true;
    source.stringCount = 1;
    EXPECT_EQ(KanaDumpViewText(KanaDumpEntries(source, {})),
              ".STRING 0\r\nBlock is in english already.\r\n.ENDS\r\n\r\n\r\n");
    source.stringCount = 0;
    EXPECT_EQ(KanaDumpViewText(KanaDumpEntries(source, {})), "");
}

TEST_F(KanaDumpCommandTest, DumpWritesTheBytesWithCrLfAndSaysSo) {
    const auto path = folder.path() / "kana.txt";
    dialogs.replySaveFile(path);
    EXPECT_EQ(DumpKanaToFile(dialogs, source, ColumnsWrap(6)), KanaDumpOutcome::Written);
    ASSERT_EQ(dialogs.calls().size(), 2u);
    const dialogs::FileRequest& request = dialogs.calls()[0].request;
    EXPECT_EQ(request.title, "Dump Working RAM to file...");
    EXPECT_EQ(request.directory, folder.path());
    EXPECT_EQ(request.fileName, "");
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"Text Data dumped to the file!"});
    EXPECT_EQ(ReadBytes(path),
              ".STRING 0\r\nabcdef\r\ngh\r\n\x82\xA0\x82\xA2\r\n.ENDS\r\n\r\n"
              ".STRING 1\r\nNON-TEXT DATA\r\n.ENDS\r\n\r\n"
              ".STRING 2\r\n.ENDS\r\n\r\n"
              ".STRING 3\r\n\x82\xA0\x82\xA2\r\n.ENDS\r\n\r\n");
    EXPECT_TRUE(dialogs.unexpected().empty());
}

TEST_F(KanaDumpCommandTest, NoRomCancelAndUnwritableFileWriteNothing) {
    source.romLoaded = false;
    EXPECT_EQ(DumpKanaToFile(dialogs, source, {}), KanaDumpOutcome::NoRom);
    EXPECT_TRUE(dialogs.calls().empty());

    source.romLoaded = true;
    dialogs.replySaveFile(std::nullopt);
    EXPECT_EQ(DumpKanaToFile(dialogs, source, {}), KanaDumpOutcome::Cancelled);
    EXPECT_TRUE(dialogs.messages().empty());

    // A folder that does not exist: the error message, no success message, nothing created.
    dialogs.clearRecord();
    const auto missing = folder.path() / "missing" / "kana.txt";
    dialogs.replySaveFile(missing);
    EXPECT_EQ(DumpKanaToFile(dialogs, source, {}), KanaDumpOutcome::NotWritten);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{"Error: Could not open file for saving...\n" + missing.string() +
                                                           ": cannot create a temporary file beside it: No such file "
                                                           "or directory"});
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));

    // A folder chosen as the file: refused, and the folder stays.
    dialogs.clearRecord();
    std::filesystem::create_directory(folder.path() / "taken");
    std::ofstream(folder.path() / "taken" / "keep.txt") << "keep";
    dialogs.replySaveFile(folder.path() / "taken");
    EXPECT_EQ(DumpKanaToFile(dialogs, source, {}), KanaDumpOutcome::NotWritten);
    EXPECT_EQ(ReadBytes(folder.path() / "taken" / "keep.txt"), "keep");
    EXPECT_TRUE(dialogs.unexpected().empty());
}

}  // namespace
}  // namespace corv::editor
