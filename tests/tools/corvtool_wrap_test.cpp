// corvtool wrap against the real program: a block of long paragraphs wrapped until the checks
// find no line too wide and no row past its page, a second wrap that changes nothing, the
// script form with --reflow, import-po --wrap, and refusals that leave every file as it was.

#include <gtest/gtest.h>

#include <sstream>

#include "tools/corvtool_fixture.h"

namespace corv::testing {
namespace {

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// The script text with every entry that holds text replaced by one paragraph of `words` words.
std::string withLongParagraphs(const std::string& script, size_t words) {
    static const char* const kWords[] = {"The", "dragon", "sleeps", "in", "the", "old", "tower,", "and", "you",
                                         "must", "wake", "[Player]", "before", "the", "king", "returns."};
    std::istringstream in(script);
    std::string text;
    std::string line;
    bool inEntry = false;
    bool replaced = false;
    size_t next = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with(".STRING")) {
            inEntry = true;
            replaced = false;
        }
        if (line.starts_with(".ENDS")) inEntry = false;
        const bool textLine = inEntry && !line.starts_with(".STRING") && line != "NON-TEXT DATA";
        if (!textLine) {
            text += line + "\n";
        } else if (!replaced) {
            for (size_t k = 0; k < words; ++k) text += std::string(k ? " " : "") + kWords[next++ % std::size(kWords)];
            text += "[Key]\n";
            replaced = true;
        }
    }
    return text;
}

class CorvtoolWrap : public CorvtoolTest {
protected:
    void SetUp() override {
        CorvtoolTest::SetUp();
        project_ = dir_ / "demo";
        const ToolRun made = corvtool("make-demo " + q(project_) + " --blocks 7");
        ASSERT_EQ(made.exitCode, 0) << made.err;
        script_ = project_ / "Dumps" / "00D40000.txt";
    }
    ToolRun check() const {
        return corvtool("check " + q(project_ / "corvane.smc") + " " + q(project_ / "corvane.txt") + " " +
                        q(project_ / "corvane.tbl") + " D40000 " + q(script_));
    }
    fs::path project_;
    fs::path script_;
};

TEST_F(CorvtoolWrap, LongParagraphsWrapUntilTheChecksFindNoLineTooWideAndWrapToThemselves) {
    const std::string paragraphs = withLongParagraphs(readText(script_), 60);
    std::ofstream(script_, std::ios::binary) << paragraphs;
    const ToolRun before = check();
    ASSERT_TRUE(contains(before.out, "wider than the box")) << before.out;

    const ToolRun wrapped = corvtool("wrap " + q(project_) + " --block D40000");
    ASSERT_EQ(wrapped.exitCode, 0) << wrapped.err;
    EXPECT_TRUE(contains(wrapped.out, "00D40000.txt: ")) << wrapped.out;
    EXPECT_TRUE(contains(wrapped.out, " in 1 script file(s)")) << wrapped.out;
    EXPECT_FALSE(contains(wrapped.out, " 0 entries changed in")) << wrapped.out;

    const ToolRun after = check();
    EXPECT_FALSE(contains(after.out, "wider than the box")) << after.out;
    EXPECT_FALSE(contains(after.out, "but the box shows")) << after.out;
    EXPECT_TRUE(contains(readText(script_), "[Key][ClrWin]\r\n"));  // 60 words need more than one page

    const auto identity = fileIdentity(script_);
    const ToolRun again = corvtool("wrap " + q(project_) + " --block D40000");
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, "0 entries changed in 0 script file(s)\n");
    EXPECT_EQ(fileIdentity(script_), identity);  // not even rewritten
}

TEST_F(CorvtoolWrap, TheScriptFormKeepsBreaksByHandUnlessReflowed) {
    const fs::path script = dir_ / "00D40000.txt";
    std::ofstream(script, std::ios::binary) << ".STRING 0\r\nOne\r\ntwo\r\n.ENDS\r\n";
    const std::string rom = q(project_ / "corvane.smc") + " " + q(project_ / "corvane.txt") + " D40000 " + q(script);
    const ToolRun kept = corvtool("wrap " + rom);
    ASSERT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_EQ(kept.out, script.string() + ": 0 entries changed\n");
    EXPECT_EQ(readText(script), ".STRING 0\r\nOne\r\ntwo\r\n.ENDS\r\n");
    const ToolRun reflowed = corvtool("wrap " + rom + " --reflow");
    ASSERT_EQ(reflowed.exitCode, 0) << reflowed.err;
    EXPECT_EQ(reflowed.out, script.string() + ": 1 entries changed\n");
    EXPECT_EQ(readText(script), ".STRING 0\r\nOne two\r\n.ENDS\r\n");
}

TEST_F(CorvtoolWrap, TheProjectsPageBreakEndsFullPages) {
    std::ofstream(project_ / "corvane-project.toml", std::ios::app) << "\n[wrap]\npage_break = '[KEY]'\n";
    const std::string paragraphs = withLongParagraphs(readText(script_), 60);
    std::ofstream(script_, std::ios::binary) << paragraphs;
    ASSERT_EQ(corvtool("wrap " + q(project_)).exitCode, 0);
    const std::string text = readText(script_);
    EXPECT_TRUE(contains(text, "[KEY]\r\n"));
    EXPECT_FALSE(contains(text, "[Key][ClrWin]"));
}

TEST_F(CorvtoolWrap, ImportPoWrapsWhatItImportsOnlyWhenAsked) {
    const fs::path po = dir_ / "d40000.po";
    const std::string paragraph = "The dragon sleeps in the old tower, and you must wake it before the king returns.";
    std::ofstream(po, std::ios::binary) << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                        << "msgctxt \"BLOCK D40000 STRING 0\"\nmsgid \"x\"\nmsgstr \"" << paragraph << "\"\n";
    ASSERT_EQ(corvtool("import-po " + q(project_) + " " + q(po)).exitCode, 0);
    EXPECT_TRUE(contains(readText(script_), ".STRING 0\r\n" + paragraph + "\r\n.ENDS"));
    std::ofstream(script_, std::ios::binary) << ".STRING 0\r\n.ENDS\r\n";
    const ToolRun wrapped = corvtool("import-po " + q(project_) + " " + q(po) + " --wrap");
    ASSERT_EQ(wrapped.exitCode, 0) << wrapped.err;
    // Several lines, which joined again with spaces give the translation's words.
    const std::string text = readText(script_);
    const size_t start = text.find(".STRING 0\r\n") + 11;
    std::string lines = text.substr(start, text.find("\r\n.ENDS", start) - start);
    EXPECT_TRUE(contains(lines, "\r\n")) << text;
    for (size_t at; (at = lines.find("\r\n")) != std::string::npos;) lines.replace(at, 2, " ");
    EXPECT_EQ(lines, paragraph);
    const ToolRun check = this->check();
    EXPECT_FALSE(contains(check.out, "wider than the box")) << check.out;
}

TEST_F(CorvtoolWrap, RefusalsChangeNoFile) {
    const std::string paragraphs = withLongParagraphs(readText(script_), 60);
    std::ofstream(script_, std::ios::binary) << paragraphs;
    const fs::path other = project_ / "Dumps" / "00D01000.txt";
    const std::string otherText = readText(other);
    // The script of another block, named for the wrong address.
    const ToolRun wrongBlock = corvtool("wrap " + q(project_ / "corvane.smc") + " " + q(project_ / "corvane.txt") +
                                        " D40000 " + q(other));
    EXPECT_EQ(wrongBlock.exitCode, 2);
    EXPECT_EQ(readText(other), otherText);
    EXPECT_EQ(corvtool("wrap " + q(project_) + " --block 123456").exitCode, 2);
    EXPECT_EQ(corvtool("wrap " + q(project_) + " --force").exitCode, 3);
    EXPECT_EQ(corvtool("wrap a b c").exitCode, 3);
    EXPECT_EQ(corvtool("wrap " + q(project_) + " --wide").exitCode, 3);
    std::ofstream(project_ / "corvane-project.toml", std::ios::app) << "\n[wrap]\npage_break = 'next page'\n";
    const ToolRun badKey = corvtool("wrap " + q(project_));
    EXPECT_EQ(badKey.exitCode, 2);
    EXPECT_TRUE(contains(badKey.err, "wrap.page_break")) << badKey.err;
    EXPECT_EQ(readText(script_), paragraphs);
}

}  // namespace
}  // namespace corv::testing
