// The editor's wrap edits: one stretch that turns the script into the wrapped one, only the
// caret's entry for Wrap String, and the caret kept in its word.

#include <gtest/gtest.h>

#include "check/script_wrap.h"
#include "editor/logic/entry_wrap.h"

namespace corv::editor {
namespace {

check::BoxMetrics FixedBox(int characters) {
    check::BoxMetrics box;
    box.width = 8 * characters;
    return box;
}

std::string Applied(std::string text, const WrapEdit& edit) { return text.replace(edit.start, edit.length, edit.replacement); }

const std::string kScript = ".STRING 0\nOne two three\n.ENDS\n\n.STRING 1\nfour five six\n.ENDS\n";

TEST(EntryWrap, WrapStringTakesOnlyTheEntryTheCaretIsIn) {
    check::BoxWrapper wrapper(FixedBox(9), {});
    const size_t inSecond = kScript.find("five");
    const auto edit = WrapEntryEdit(kScript, inSecond, inSecond, wrapper);
    ASSERT_TRUE(edit);
    EXPECT_EQ(Applied(kScript, *edit), ".STRING 0\nOne two three\n.ENDS\n\n.STRING 1\nfour five\nsix\n.ENDS\n");
    EXPECT_EQ(edit->length, 1u);  // the space before "six"
    // On the opening or the closing line the caret is in the entry too; between entries it is not.
    EXPECT_TRUE(WrapEntryEdit(kScript, kScript.find(".STRING 1"), 0, wrapper));
    EXPECT_TRUE(WrapEntryEdit(kScript, kScript.rfind(".ENDS") + 2, 0, wrapper));
    EXPECT_FALSE(WrapEntryEdit(kScript, kScript.find("\n\n") + 1, 0, wrapper));
    EXPECT_FALSE(WrapEntryEdit(".STRING 0\nOne two three\n", 12, 12, wrapper));  // not closed
}

TEST(EntryWrap, WrapBlockGivesTheScriptWrapAsOneStretch) {
    check::BoxWrapper wrapper(FixedBox(9), {});
    const auto edit = WrapBlockEdit(kScript, 0, wrapper);
    ASSERT_TRUE(edit);
    EXPECT_EQ(Applied(kScript, *edit), check::WrapScript(kScript, wrapper).text);
    EXPECT_EQ(edit->start, kScript.find(" three"));
    EXPECT_FALSE(WrapBlockEdit(Applied(kScript, *edit), 0, wrapper));
}

TEST(EntryWrap, TheCaretStaysInItsWord) {
    check::BoxWrapper wrapper(FixedBox(9), {});
    const std::string script = ".STRING 0\nOne two three four\n.ENDS\n";
    // In "three", after "th"; at the end of the text; before the entry.
    const size_t inWord = script.find("three") + 2;
    const auto edit = WrapEntryEdit(script, inWord, inWord, wrapper);
    ASSERT_TRUE(edit);
    const std::string after = Applied(script, *edit);
    ASSERT_EQ(after, ".STRING 0\nOne two\nthree\nfour\n.ENDS\n");
    EXPECT_EQ(after.substr(edit->caret, 3), "ree");
    const size_t atEnd = script.find("four") + 4;
    EXPECT_EQ(after.substr(WrapEntryEdit(script, atEnd, atEnd, wrapper)->caret, 6), "\n.ENDS");
    EXPECT_EQ(WrapBlockEdit(script, 3, wrapper)->caret, 3u);
}

}  // namespace
}  // namespace corv::editor
