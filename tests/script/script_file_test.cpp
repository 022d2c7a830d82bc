#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "script/script_file.h"
#include "script/script_text.h"
#include "script/script_test_support.h"

namespace corv::script {
namespace {

std::string ReadRaw(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ScriptFile, PathNamesTheBlockAddressInEightHexDigits) {
    EXPECT_EQ(ScriptPathFor("/dumps", 0xD01000), std::filesystem::path("/dumps") / "00D01000.txt");
    EXPECT_EQ(ScriptPathFor("d", 0xABC).filename(), "00000ABC.txt");
}

TEST(ScriptFile, SkeletonText) {
    EXPECT_EQ(ScriptSkeleton(0), "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n");
    EXPECT_EQ(ScriptSkeleton(3),
              "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n"
              ".STRING 0\n\n\n.ENDS\n\n\n\n"
              ".STRING 1\n\n\n.ENDS\n\n\n\n"
              ".STRING 2\n\n\n.ENDS\n\n\n\n");
    EXPECT_EQ(EntrySearchText(17), ".STRING 17");
}

TEST(ScriptFile, ClosingLineIsTrimmedAndCaseSensitive) {
    EXPECT_TRUE(IsEntryClosingLine(".ENDS"));
    EXPECT_TRUE(IsEntryClosingLine("  .ENDS \t"));
    EXPECT_TRUE(IsEntryClosingLine(".ENDS\r"));
    EXPECT_TRUE(IsEntryClosingLine("\x01.ENDS\x7F"));
    EXPECT_FALSE(IsEntryClosingLine(".ends"));
    EXPECT_FALSE(IsEntryClosingLine(".ENDS x"));
    EXPECT_FALSE(IsEntryClosingLine(".ENDSX"));
    EXPECT_FALSE(IsEntryClosingLine(""));
}

TEST(ScriptFile, AnEntryOfBlanksOnlyHoldsNoTextAndAKeywordDoes) {
    EXPECT_FALSE(EntryHoldsText(std::vector<std::string>{}));
    EXPECT_FALSE(EntryHoldsText(std::vector<std::string>{"", ""}));
    EXPECT_FALSE(EntryHoldsText(std::vector<std::string>{" \t", "\r"}));
    EXPECT_TRUE(EntryHoldsText(std::vector<std::string>{"", "[NEWLINE]"}));
    EXPECT_TRUE(EntryHoldsText(std::vector<std::string>{".", ""}));
    EXPECT_TRUE(EntryHoldsText(std::vector<std::string>{"\v"}));
}

TEST(ScriptFile, OnlyTheExactNumberAfterBlanksOpensAnEntry) {
    EXPECT_TRUE(OpensEntry(".STRING 1", 1));
    EXPECT_TRUE(OpensEntry(" \t.string 1 // note", 1));
    EXPECT_FALSE(OpensEntry(".STRING 10", 1));
    EXPECT_FALSE(OpensEntry("// .STRING 1", 1));
    EXPECT_FALSE(OpensEntry("\r.STRING 1", 1));
    EXPECT_TRUE(HoldsOpeningKeyword("// .sTrInG 1"));
    EXPECT_FALSE(HoldsOpeningKeyword(".STRIN G"));
}

TEST(ScriptFile, SkeletonEntryIsTwoEmptyLines) {
    MemoryScriptText script(ScriptSkeleton(3));
    const auto entry = LookupEntry(script, 2);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(*entry, (std::vector<std::string>{"", ""}));
    EXPECT_FALSE(LookupEntry(script, 3).has_value());
}

TEST(ScriptFile, LookupTakesLinesUnchangedUpToTheClosingLine) {
    MemoryScriptText script(".string 0\n  Hello  \n.ends\n.ENDS x\n\n   .ENDS  \nafter\n");
    const auto entry = LookupEntry(script, 0);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(*entry, (std::vector<std::string>{"  Hello  ", ".ends", ".ENDS x", ""}));
}

TEST(ScriptFile, EntryWithoutClosingLineRunsToTheEnd) {
    MemoryScriptText withLineEnd(".STRING 0\na\nb\n");
    EXPECT_EQ(*LookupEntry(withLineEnd, 0), (std::vector<std::string>{"a", "b"}));
    MemoryScriptText withEmptyLast(".STRING 0\na\n\n");
    EXPECT_EQ(*LookupEntry(withEmptyLast, 0), (std::vector<std::string>{"a", ""}));
    MemoryScriptText withoutLineEnd(".STRING 0\na\nb");
    EXPECT_EQ(*LookupEntry(withoutLineEnd, 0), (std::vector<std::string>{"a", "b"}));
    MemoryScriptText openingOnly(".STRING 0");
    EXPECT_EQ(*LookupEntry(openingOnly, 0), std::vector<std::string>{});
}

TEST(ScriptFile, StringOneIsNotStringTenWhileEntriesAscend) {
    std::string text = "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n";
    for (int k = 0; k <= 12; ++k) text += ".STRING " + std::to_string(k) + "\ntext " + std::to_string(k) + "\n.ENDS\n\n";
    MemoryScriptText ascending(text);
    EXPECT_EQ(*LookupEntry(ascending, 1), std::vector<std::string>{"text 1"});
    EXPECT_EQ(*LookupEntry(ascending, 10), std::vector<std::string>{"text 10"});
    // Moved ahead, the entry of string 10 is found for string 1: the search is a prefix match.
    MemoryScriptText moved(".STRING 10\nten\n.ENDS\n.STRING 1\none\n.ENDS\n");
    EXPECT_EQ(*LookupEntry(moved, 1), std::vector<std::string>{"ten"});
}

TEST(FindInScript, StartsAfterASelectionAndLeavesAnEmptySelection) {
    MemoryScriptText script("abc .string 1\nx\n.STRING 1\n");
    script.select(0, 5);  // "abc ." : the first match lies inside the selection's end
    auto line = FindInScript(script, ".STRING 1", true);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, 2);
    EXPECT_EQ(script.selectionStart(), 16u);
    EXPECT_EQ(script.selectionLength(), 0u);
    // With the selection empty, the search starts at the beginning again.
    line = FindInScript(script, ".STRING 1", true);
    EXPECT_EQ(*line, 0);
    EXPECT_EQ(FindInScript(script, ".STRING 1", true), 0);

    script.select(2, 3);
    EXPECT_FALSE(FindInScript(script, "missing", true).has_value());
    EXPECT_EQ(script.selectionStart(), 2u);  // caret and selection stay
    EXPECT_EQ(script.selectionLength(), 3u);
}

TEST(FindInScript, FindsAMatchThatEndsTheTextButNoneCutShortByIt) {
    MemoryScriptText whole("x.\n.string 12");
    EXPECT_EQ(FindInScript(whole, ".STRING 12", true), 1);
    EXPECT_EQ(whole.selectionStart(), 3u);
    MemoryScriptText cut("x.\n.string 1");
    EXPECT_EQ(FindInScript(cut, ".STRING 12", true), std::nullopt);
}

TEST(FindInScript, ScrollsTheMatchLineToTheTopUnlessQuiet) {
    std::string text;
    for (int k = 0; k < 50; ++k) text += "line " + std::to_string(k) + "\n";
    MemoryScriptText script(text);
    EXPECT_EQ(FindInScript(script, "LINE 30", true), 30);
    EXPECT_EQ(script.firstVisibleLine(), 0);
    script.scrollLines(5);
    EXPECT_EQ(FindInScript(script, "line 30", false), 30);
    EXPECT_EQ(script.firstVisibleLine(), 30);
}

TEST(MemoryScriptText, LinesAndPositions) {
    MemoryScriptText script("ab\n\ncd");
    EXPECT_EQ(script.lineCount(), 3);
    EXPECT_EQ(script.line(0), "ab");
    EXPECT_EQ(script.line(1), "");
    EXPECT_EQ(script.line(2), "cd");
    EXPECT_EQ(script.line(3), "");
    EXPECT_EQ(script.line(-1), "");
    EXPECT_EQ(script.lineOfPosition(0), 0);
    EXPECT_EQ(script.lineOfPosition(2), 0);
    EXPECT_EQ(script.lineOfPosition(3), 1);
    EXPECT_EQ(script.lineOfPosition(4), 2);
    EXPECT_EQ(script.lineOfPosition(100), 2);
    script.select(5, 100);
    EXPECT_EQ(script.selectionLength(), 1u);
    script.setCaret(100);
    EXPECT_EQ(script.selectionStart(), 6u);
}

TEST(ScriptFile, SavedWithCrLfLoadedWithLfBytesUnchanged) {
    const test::TempFolder scratch;
    const auto& dir = scratch.path();
    const std::string text = "// \x82\xA0\xFF\n.STRING 0\nline\r\n\n";
    ASSERT_TRUE(SaveScriptFile(dir / "a.txt", text));
    EXPECT_EQ(ReadRaw(dir / "a.txt"), "// \x82\xA0\xFF\r\n.STRING 0\r\nline\r\r\n\r\n");
    const auto loaded = LoadScriptFile(dir / "a.txt");
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, text);

    std::ofstream(dir / "lf.txt", std::ios::binary) << ".STRING 0\nabc\n.ENDS\n";
    EXPECT_EQ(LoadScriptFile(dir / "lf.txt"), ".STRING 0\nabc\n.ENDS\n");
    EXPECT_FALSE(LoadScriptFile(dir / "missing.txt").has_value());
    EXPECT_FALSE(SaveScriptFile(dir / "no" / "such" / "folder.txt", text));
}

}  // namespace
}  // namespace corv::script
