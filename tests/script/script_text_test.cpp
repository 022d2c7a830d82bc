#include <gtest/gtest.h>

#include <random>
#include <string>

#include "script/script_text.h"

namespace corv::script {
namespace {

// Every line and every position's line as a text set whole gives them.
void ExpectSameLines(const MemoryScriptText& replaced, const std::string& text, const std::string& what) {
    const MemoryScriptText whole(text);
    ASSERT_EQ(replaced.text(), text) << what;
    ASSERT_EQ(replaced.lineCount(), whole.lineCount()) << what;
    for (int line = 0; line < whole.lineCount(); ++line) ASSERT_EQ(replaced.line(line), whole.line(line)) << what;
    for (size_t at = 0; at <= text.size(); ++at) {
        ASSERT_EQ(replaced.lineOfPosition(at), whole.lineOfPosition(at)) << what << ", position " << at;
    }
}

TEST(MemoryScriptText, ReplacingAStretchGivesTheLinesOfTheWholeTextSetAnew) {
    MemoryScriptText script(".STRING 0\nab\n.ENDS\n");
    script.replace(10, 0, "x");  // a key inside a line
    ExpectSameLines(script, ".STRING 0\nxab\n.ENDS\n", "typed");
    script.replace(12, 1, "\n\n");  // a line end typed over a character
    ExpectSameLines(script, ".STRING 0\nxa\n\n\n.ENDS\n", "line ends typed");
    script.replace(9, 5, "");  // lines joined
    ExpectSameLines(script, ".STRING 0\n.ENDS\n", "lines joined");
    script.replace(0, 0, "\n");
    ExpectSameLines(script, "\n.STRING 0\n.ENDS\n", "a line before all");
    script.replace(script.text().size(), 0, "end");
    ExpectSameLines(script, "\n.STRING 0\n.ENDS\nend", "after the last line end");
    script.replace(0, 100, "");  // past the end: up to the end
    ExpectSameLines(script, "", "everything");

    // Edits of every kind where they fall, against the same text set whole.
    std::mt19937 random(7);
    std::string text = "a\nbc\n\nd\n";
    script.setText(text);
    const std::string pieces[] = {"", "x", "\n", "y\n", "\nz\n", "\n\n"};
    for (int n = 0; n < 300; ++n) {
        const size_t start = random() % (text.size() + 1);
        const size_t length = random() % 4;
        const std::string& inserted = pieces[random() % std::size(pieces)];
        text.replace(start, std::min(length, text.size() - start), inserted);
        script.replace(start, length, inserted);
        ExpectSameLines(script, text, "edit " + std::to_string(n));
    }
}

}  // namespace
}  // namespace corv::script
