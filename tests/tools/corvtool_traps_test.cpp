// The translator's mistakes that corvtool catches, run as the real program on the demo game:
// letters the game reads as codes, an entry that runs on into the next, room lost after an
// insertion, a patch made for the other copier header, a script of another block, and the
// count of strings translated. Every refusal leaves the ROM's bytes as they were.

#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "tools/corvtool_fixture.h"

namespace corv::testing {
namespace {

class CorvtoolTraps : public CorvtoolTest {
protected:
    void SetUp() override {
        CorvtoolTest::SetUp();
        makeDemo();
        rom_ = dir_ / kRomFileName;
        files_ = q(rom_) + " " + q(dir_ / kBlockDataFileName) + " " + q(dir_ / kTableFileName);
    }

    // A script for D40000 with "Hi n" in every entry; `change` may rewrite it.
    fs::path script(const std::string& name, const std::function<std::string(std::string)>& change = {}) const {
        std::string text;
        for (int n = 0; n < 150; ++n) text += ".STRING " + std::to_string(n) + "\nHi " + std::to_string(n) + "\n.ENDS\n\n";
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << (change ? change(text) : text);
        return path;
    }
    ToolRun check(const fs::path& script, const std::string& options = {}, const std::string& data = {}) const {
        return corvtool("check " + q(rom_) + " " + (data.empty() ? q(dir_ / kBlockDataFileName) : data) + " " +
                        q(dir_ / kTableFileName) + " D40000 " + q(script) + options);
    }
    ToolRun insert(const fs::path& script, const std::string& options = {}, const std::string& address = "D40000") const {
        return corvtool("insert " + files_ + " " + address + " " + q(script) + options);
    }

    fs::path rom_;
    std::string files_;
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST_F(CorvtoolTraps, LatinLettersThatAreCodesAreErrorsAndInsertRefusesThemUnlessForced) {
    const fs::path latin = script("latin.txt", [](std::string text) {
        return replaced(text, "\nHi 0\n", "\nGr\xFC\xA4" "e \xF6l ma\xF1" "ana \xFF\n");
    });
    const ToolRun checked = check(latin);
    EXPECT_EQ(checked.exitCode, 2);
    for (const char* words : {"STRING 0: error: line 1: \"\xC3\xBC\" is byte FC, which the game reads as [CLRWIN]",
                              "\"\xC3\xB6\" is byte F6, which the game reads as [MEM_TEXT]",
                              "\"\xC3\xB1\" is byte F1, which the game reads as [PAUSE$..]",
                              "\"\xC3\xBF\" is byte FF, which ends the string: the rest of the entry is lost",
                              "warning: line 1: no glyph in the translation font for $A4\n"}) {
        EXPECT_NE(checked.out.find(words), std::string::npos) << words << "\n" << checked.out;
    }

    const std::vector<uint8_t> before = readBytes(rom_);
    const ToolRun refused = insert(latin);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("STRING 0: error: line 1: \"\xC3\xBC\" is byte FC"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("4 error(s) in the script; nothing was inserted (--force inserts it anyway)"),
              std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty());
    EXPECT_EQ(readBytes(rom_), before);

    EXPECT_EQ(insert(latin, " --force").exitCode, 0);
    EXPECT_NE(readBytes(rom_), before);
}

TEST_F(CorvtoolTraps, AnEntryRunningIntoTheNextIsAnErrorForCheckAndInsert) {
    const std::vector<uint8_t> before = readBytes(rom_);
    for (const auto& [name, closing] : {std::pair{"xends.txt", "XENDS\n"}, std::pair{"deleted.txt", ""}}) {
        const fs::path broken = script(name, [&](std::string text) {
            return replaced(text, ".STRING 6\nHi 6\n.ENDS\n", std::string(".STRING 6\nHi 6\n") + closing);
        });
        const ToolRun checked = check(broken);
        EXPECT_EQ(checked.exitCode, 2) << name;
        EXPECT_NE(checked.out.find("STRING 6: error:"), std::string::npos) << checked.out;
        EXPECT_NE(checked.out.find("string 6 runs on into string 7"), std::string::npos) << checked.out;
        EXPECT_EQ(insert(broken).exitCode, 2) << name;
        EXPECT_EQ(readBytes(rom_), before);
    }
    // The last entry without its closing line: check called it an error, and now insert refuses.
    const fs::path open = script("open.txt", [](std::string text) { return replaced(text, "Hi 149\n.ENDS\n", "Hi 149\n"); });
    EXPECT_EQ(check(open).exitCode, 2);
    EXPECT_EQ(insert(open).exitCode, 2);
    EXPECT_EQ(readBytes(rom_), before);
    EXPECT_EQ(insert(script("good.txt")).exitCode, 0);
}

// The room column of `room` for one block.
long roomOf(const std::string& out, const std::string& block) {
    std::smatch match;
    const std::regex line(block + " +([0-9]+) ");
    return std::regex_search(out, match, line) ? std::stol(match[1]) : -1;
}

TEST_F(CorvtoolTraps, EndBlockLinesKeepTheRoomAfterAnInsertionAndTheirAbsenceIsNamed) {
    const long original = roomOf(corvtool("room " + q(rom_) + " " + q(dir_ / kBlockDataFileName)).out, "D40000");
    ASSERT_EQ(original, 23063);
    const ToolRun endBlocks = corvtool("room " + q(rom_) + " " + q(dir_ / kBlockDataFileName) + " --endblocks");
    ASSERT_EQ(endBlocks.exitCode, 0) << endBlocks.err;
    EXPECT_NE(endBlocks.out.find(".BLOCK D40000\n.ENDBLOCK $145A17\n"), std::string::npos) << endBlocks.out;

    // The data file with the .ENDBLOCK lines in place of its .BLOCK lines.
    std::string data = readText(dir_ / kBlockDataFileName);
    const size_t first = data.find(".BLOCK");
    const size_t last = data.find('\n', data.rfind(".BLOCK"));
    data.replace(first, (last == std::string::npos ? data.size() : last + 1) - first, endBlocks.out);
    const fs::path withEnds = dir_ / "with_ends.txt";
    std::ofstream(withEnds, std::ios::binary) << data;

    const fs::path good = script("good.txt");
    ASSERT_EQ(insert(good).exitCode, 0);
    // Without .ENDBLOCK the room is what the insertion left, and every command says so.
    const ToolRun shrunk = check(good);
    EXPECT_NE(shrunk.out.find("BLOCK D40000: room taken from the last insertion: 3,173 bytes; the original room may "
                              "be larger"), std::string::npos) << shrunk.out;
    EXPECT_NE(corvtool("room " + q(rom_) + " " + q(dir_ / kBlockDataFileName)).out.find("room taken from the last insertion"),
              std::string::npos);
    EXPECT_NE(insert(good).err.find("warning: BLOCK D40000: room taken from the last insertion"), std::string::npos);

    // With them the room stays, again and again, and nothing is said.
    EXPECT_EQ(corvtool("insert " + q(rom_) + " " + q(withEnds) + " " + q(dir_ / kTableFileName) + " D40000 " + q(good)).exitCode, 0);
    const ToolRun kept = check(good, "", q(withEnds));
    EXPECT_NE(kept.out.find("room 23063 bytes"), std::string::npos) << kept.out;
    EXPECT_EQ(kept.out.find("room taken from the last insertion"), std::string::npos);
    EXPECT_EQ(roomOf(corvtool("room " + q(rom_) + " " + q(withEnds)).out, "D40000"), 23063);
}

TEST_F(CorvtoolTraps, APatchMadeForTheOtherCopierHeaderIsRefused) {
    const fs::path translated = dir_ / "translated.smc";
    fs::copy_file(rom_, translated);
    ASSERT_EQ(corvtool("insert " + q(translated) + " " + q(dir_ / kBlockDataFileName) + " " + q(dir_ / kTableFileName) +
                       " D40000 " + q(script("good.txt"))).exitCode, 0);
    const ToolRun made = corvtool("make-ips " + q(rom_) + " " + q(translated) + " " + q(dir_ / "t.ips"));
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_TRUE(made.err.empty()) << made.err;

    const fs::path headered = dir_ / kHeaderedRomFileName;
    const std::vector<uint8_t> before = readBytes(headered);
    const ToolRun refused = corvtool("patch " + q(headered) + " " + q(dir_ / "t.ips") + " --data-file " + q(dir_ / kBlockDataFileName));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("breaks block D40000: its header no longer passes its check. The patch was probably made "
                               "for a ROM without a 512-byte copier header"), std::string::npos) << refused.err;
    EXPECT_EQ(readBytes(headered), before);

    // On the ROM it was made for it applies.
    const ToolRun applied = corvtool("patch " + q(rom_) + " " + q(dir_ / "t.ips") + " --data-file " + q(dir_ / kBlockDataFileName));
    EXPECT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_EQ(readBytes(rom_), readBytes(translated));

    const ToolRun mixed = corvtool("make-ips " + q(rom_) + " " + q(headered) + " " + q(dir_ / "m.ips"));
    EXPECT_NE(mixed.err.find("has a 512-byte copier header and"), std::string::npos) << mixed.err;
}

TEST_F(CorvtoolTraps, AScriptNamedAfterAnotherBlockIsRefusedUnlessForced) {
    const fs::path other = script("00D40000.txt");
    const std::vector<uint8_t> before = readBytes(rom_);
    const ToolRun refused = insert(other, "", "D01000");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("this is the script file of block D40000, not of block D01000"), std::string::npos)
        << refused.err;
    EXPECT_EQ(readBytes(rom_), before);
    EXPECT_EQ(corvtool("check " + files_ + " D01000 " + q(other)).exitCode, 2);
    // Forced past the name, its entries for strings D01000 does not have are still errors.
    const ToolRun forced = corvtool("check " + files_ + " D01000 " + q(other) + " --force");
    EXPECT_EQ(forced.exitCode, 2);
    EXPECT_EQ(forced.err.find("this is the script file of block D40000"), std::string::npos) << forced.err;
    EXPECT_NE(forced.out.find("\".STRING 48\" opens an entry the block has no string for: it has 48 string(s), 0 to 47"),
              std::string::npos)
        << forced.out;
    // Its own block takes it.
    EXPECT_EQ(insert(other).exitCode, 0);
}

TEST_F(CorvtoolTraps, TextBetweenEntriesIsAnErrorNamingItsLineAndInsertRefusesIt) {
    const fs::path between = script("between.txt", [](std::string text) {
        return replaced(text, "\nHi 2\n.ENDS\n\n", "\nHi 2\n.ENDS\nThis line belongs to no string\n\n");
    });
    const ToolRun checked = check(between);
    EXPECT_EQ(checked.exitCode, 2) << checked.out;
    EXPECT_NE(checked.out.find("STRING 2: error: script line 12: \"This line belongs to no string\" stands outside every "
                               "entry"),
              std::string::npos)
        << checked.out;
    const std::vector<uint8_t> before = readBytes(rom_);
    EXPECT_EQ(insert(between).exitCode, 2);
    EXPECT_EQ(readBytes(rom_), before);
    // Comment lines and blank lines stay free to use there.
    const ToolRun comment = check(script("comment.txt", [](std::string text) {
        return replaced(text, "\nHi 2\n.ENDS\n\n", "\nHi 2\n.ENDS\n  // a note\n \t\n");
    }));
    EXPECT_EQ(comment.exitCode, 0) << comment.out;
}

TEST_F(CorvtoolTraps, EntriesForStringsTheBlockLacksAreErrorsUnderANeutralNameToo) {
    // The 150 entries written for D40000 against the 48 strings of D01000.
    const fs::path neutral = script("neutral.txt");
    const ToolRun checked = corvtool("check " + files_ + " D01000 " + q(neutral));
    EXPECT_EQ(checked.exitCode, 2);
    EXPECT_NE(checked.out.find("script line 193: \".STRING 48\" opens an entry the block has no string for: it has 48 "
                               "string(s), 0 to 47"),
              std::string::npos)
        << checked.out;
    EXPECT_NE(checked.out.find("\".STRING 149\" opens an entry"), std::string::npos);
    const std::vector<uint8_t> before = readBytes(rom_);
    const ToolRun refused = insert(neutral, "", "D01000");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("102 error(s) in the script; nothing was inserted"), std::string::npos) << refused.err;
    EXPECT_EQ(readBytes(rom_), before);
}

TEST_F(CorvtoolTraps, CodeNamesCopiedFromTheDumpAreTheirCodesInAnyCase) {
    const fs::path copied = script("copied.txt", [](std::string text) {
        return replaced(text, "\nHi 0\n", "\n[FixTextBox]Hi[clrwin]0[Key]\n");
    });
    const ToolRun checked = check(copied);
    EXPECT_EQ(checked.out.find("is no keyword"), std::string::npos) << checked.out;
    ASSERT_EQ(insert(copied, " --force").exitCode, 0);
    const ToolRun back = corvtool("readback " + files_ + " D40000");
    EXPECT_NE(back.out.find(".STRING 0\n[TEXTBOX]Hi[CLRWIN]0[KEY]\n"), std::string::npos) << back.out;
}

TEST_F(CorvtoolTraps, SharedTextsTranslatedDifferentlyAndAnEmptyLastLineAreNamed) {
    // Strings 11 and 12 of D40000 point at one text.
    const ToolRun differs = check(script("differs.txt", [](std::string text) {
        return replaced(text, ".STRING 5\nHi 5\n", ".STRING 5\nHi 5\n\n");
    }));
    EXPECT_EQ(differs.exitCode, 0) << differs.out;
    EXPECT_NE(differs.out.find("STRING 12: warning: string 12 shares its text with string 11 in the game: the insertion "
                               "keeps string 11's entry, this one is not used"), std::string::npos) << differs.out;
    EXPECT_NE(differs.out.find("STRING 5: warning: line 2: the entry ends with an empty line: the string gets a line "
                               "break at its end"), std::string::npos) << differs.out;
    const ToolRun same = check(script("same.txt", [](std::string text) { return replaced(text, "\nHi 12\n", "\nHi 11\n"); }));
    EXPECT_EQ(same.out.find("STRING 12: warning: string 12 shares"), std::string::npos) << same.out;
    EXPECT_EQ(same.out.find("line break at its end"), std::string::npos);
}

TEST_F(CorvtoolTraps, CheckCountsTheStringsTranslatedAndListsEmptyOnesOnRequest) {
    // Entries 0 to 8 left as the skeleton has them (string 9 is no text record).
    const fs::path partial = script("partial.txt", [](std::string text) {
        for (int n = 0; n < 9; ++n) text = replaced(text, "\nHi " + std::to_string(n) + "\n", "\n\n\n");
        return text;
    });
    const ToolRun quiet = check(partial);
    EXPECT_EQ(quiet.exitCode, 0) << quiet.out;
    EXPECT_EQ(quiet.out.find("translation is empty"), std::string::npos);
    EXPECT_NE(quiet.out.find("\n127 of 136 strings translated\n"), std::string::npos) << quiet.out;
    EXPECT_NE(check(partial, " --verbose").out.find("STRING 0: warning: the translation is empty"), std::string::npos);
    const ToolRun listed = check(partial, " --untranslated");
    EXPECT_NE(listed.out.find("not translated yet: 0 1 2 3 4 5 6 7 8\n"), std::string::npos) << listed.out;
    const ToolRun json = check(partial, " --json");
    EXPECT_NE(json.out.find("\"kind\": \"empty-translation\""), std::string::npos);
    EXPECT_NE(json.out.find("\"translated\": 127"), std::string::npos);
}

}  // namespace
}  // namespace corv::testing
