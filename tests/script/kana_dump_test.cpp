#include <gtest/gtest.h>

#include <memory>

#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/script_test_support.h"

namespace corv::script {
namespace {

class KanaDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        maps->wordEntry(0x4100).text = "ka";
        maps->wordEntry(0x4100).length = 2;
        maps->wordEntry(0x4200).text = "\x82\xA0";
        maps->wordEntry(0x4200).length = 2;
    }
    std::unique_ptr<CodeMaps> maps = std::make_unique<CodeMaps>();
};

TEST_F(KanaDumpTest, EntriesInOrderEachFollowedByOneEmptyLine) {
    // String 1 is not a text record; string 2 is only the end mark; string 3 ends with a line
    // break and string 4 with a window clear, which give no empty line before the closing line.
    const auto block = test::TextBlock({{2, {0x0041, 0xFD00, 0x0042, 0x0077, 0xFFFF}},
                                        {1, {0x0041, 0xFFFF}},
                                        {2, {0xFFFF}},
                                        {2, {0x0042, 0xFD00, 0xFFFF}},
                                        {2, {0xF400, 0xFC00, 0xFFFF}}});
    EXPECT_EQ(KanaDump(block, 5, false, *maps),
              ".STRING 0\nka\n\x82\xA0[$0077]\n.ENDS\n\n"
              ".STRING 1\nNON-TEXT DATA\n.ENDS\n\n"
              ".STRING 2\n.ENDS\n\n"
              ".STRING 3\n\x82\xA0\n.ENDS\n\n"
              ".STRING 4\n[Player][ClrWin]\n.ENDS\n\n");
    // Only the strings the list holds are dumped.
    EXPECT_EQ(KanaDump(block, 1, false, *maps), ".STRING 0\nka\n\x82\xA0[$0077]\n.ENDS\n\n");
    EXPECT_EQ(KanaDump(block, 0, false, *maps), "");
}

TEST_F(KanaDumpTest, InsertedBlockDumpsNoKana) {
    const auto block = test::TextBlock({{2, {0x0041, 0xFFFF}}, {7, {0xFFFF}}, {2, {0xFFFF}}});
    EXPECT_EQ(KanaDump(block, 3, true, *maps),
              ".STRING 0\nBlock is in english already.\n.ENDS\n\n"
              ".STRING 1\nNON-TEXT DATA\n.ENDS\n\n"
              ".STRING 2\nBlock is in english already.\n.ENDS\n\n");
}

}  // namespace
}  // namespace corv::script
