// The scripted dialogs that the window tests answer with: replies in order, every call recorded,
// and calls that the script did not expect reported rather than answered.

#include <gtest/gtest.h>

#include "dialogs/scripted_dialogs.h"

namespace corv::dialogs {
namespace {

TEST(ScriptedDialogs, RepliesInOrderAndRecordsEveryCall) {
    ScriptedDialogs dialogs;
    dialogs.replyOpenFile(std::filesystem::path("/x/rom.smc"));
    dialogs.replyYesNo(true);
    dialogs.replySaveFile(std::nullopt);

    EXPECT_EQ(dialogs.openFile({"Open", "/start", "", "Snes file | *.smc"}), std::filesystem::path("/x/rom.smc"));
    dialogs.message("first");
    EXPECT_TRUE(dialogs.askYesNo("Caption", "Sure?"));
    EXPECT_EQ(dialogs.saveFile({"Save", "/start", "", ""}), std::nullopt);
    dialogs.message("second");

    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{"first", "second"}));
    ASSERT_EQ(dialogs.calls().size(), 5u);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(dialogs.calls()[0].request.filter, "Snes file | *.smc");
    EXPECT_EQ(dialogs.calls()[0].request.directory, std::filesystem::path("/start"));
    EXPECT_EQ(dialogs.calls()[2].caption, "Caption");
    EXPECT_TRUE(dialogs.unexpected().empty());
    EXPECT_EQ(dialogs.pendingReplies(), 0u);
}

TEST(ScriptedDialogs, UnscriptedOrMismatchedCallsCancelAndAreReported) {
    ScriptedDialogs dialogs;
    EXPECT_EQ(dialogs.openFile({"", "/", "", "All Files | *.*"}), std::nullopt);
    dialogs.replyYesNo(true);
    EXPECT_EQ(dialogs.openFile({"", "/", "", ""}), std::nullopt);  // the next reply is a question
    EXPECT_EQ(dialogs.unexpected().size(), 2u);
    EXPECT_EQ(dialogs.pendingReplies(), 1u);
    EXPECT_TRUE(dialogs.askYesNo("c", "t"));
    EXPECT_FALSE(dialogs.askYesNo("c", "t"));  // nothing scripted: No
    EXPECT_EQ(dialogs.unexpected().size(), 3u);
    dialogs.clearRecord();
    EXPECT_TRUE(dialogs.calls().empty());
    EXPECT_TRUE(dialogs.unexpected().empty());
}

TEST(ScriptedDialogs, TextQuestionsTakeTheirRepliesAndCancelWithout) {
    ScriptedDialogs dialogs;
    dialogs.replyText(std::string("12"));
    dialogs.replyText(std::nullopt);
    EXPECT_EQ(dialogs.askText("Go to String", "String number:"), std::optional<std::string>("12"));
    EXPECT_EQ(dialogs.askText("Go to String", "String number:"), std::nullopt);
    EXPECT_EQ(dialogs.askText("Go to String", "String number:"), std::nullopt);  // unscripted
    ASSERT_EQ(dialogs.calls().size(), 3u);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::Text);
    EXPECT_EQ(dialogs.calls()[0].caption, "Go to String");
    EXPECT_EQ(dialogs.calls()[0].text, "String number:");
    EXPECT_EQ(dialogs.unexpected().size(), 1u);
}

}  // namespace
}  // namespace corv::dialogs
