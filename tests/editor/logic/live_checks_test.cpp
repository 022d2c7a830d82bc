// The live checks on the demo game: the room panel against `corvtool check` on the same script
// (a block that fits, one that does not, without a table), the checks after single edits
// against a full check of the same text, the string states, the texts and the navigation.

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "check/block_check.h"
#include "check/block_findings.h"
#include "check/check_demo_support.h"
#include "check/finding_text.h"
#include "core/rom_image.h"
#include "editor/logic/box_overflow.h"
#include "editor/logic/live_checks.h"
#include "editor/logic/live_texts.h"
#include "editor/logic/work_navigation.h"
#include "script/script_file.h"
#include "support/temp_folder.h"
#include "tools/corvtool/commands.h"

namespace corv::editor {
namespace {

using check::testing_support::ChangeLines;
using check::testing_support::Demo;

// The demo ROM with its largest text block open, as the editor's block choice leaves it.
class LiveChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto& demo = Demo();
        size_t largest = 0;
        uint16_t most = 0;
        for (size_t n = 0; n < demo.load.blocks.size(); ++n) {
            const auto loaded = script::LoadTextBlock(rom_.data(), demo.load.blocks, demo.load.blocks[n].address);
            if (loaded.block && loaded.block->info.stringCount > most) {
                largest = n;
                most = loaded.block->info.stringCount;
            }
        }
        blockIndex_ = largest;
        block_.emplace(demo.block(rom_.data(), largest));
        dump_ = demo.kanaDump(*block_);
    }

    [[nodiscard]] LiveBlock liveBlock() const {
        return {rom_.data(), block_->buffer.get(), block_->info, block_->end, block_->inserted};
    }
    void open(LiveChecks& checks, const std::string& text, bool withTable = true) const {
        checks.open(liveBlock(), text, withTable ? &Demo().table : nullptr, {}, insert::InsertionCompressor::Standard);
    }

    // The summary line of `corvtool check` for `text` and the table text `table`.
    [[nodiscard]] std::string corvtoolSummary(const std::string& text, const std::string& table) const {
        const corv::testing::TempFolder folder;
        EXPECT_TRUE(demo::WriteDemoFiles(Demo().game, folder.path()));
        const auto tablePath = folder.path() / "live.tbl";
        std::ofstream(tablePath, std::ios::binary) << table;
        const auto scriptPath = folder.path() / "live.txt";
        EXPECT_TRUE(script::SaveScriptFile(scriptPath, text));
        std::ostringstream out;
        std::ostringstream err;
        char address[16];
        std::snprintf(address, sizeof address, "%X", unsigned(block_->info.blockAddress));
        (void)tool::RunCorvtool({"check", (folder.path() / demo::kRomFileName).string(),
                                 (folder.path() / demo::kBlockDataFileName).string(), tablePath.string(), address,
                                 scriptPath.string()},
                                out, err);
        const std::string report = out.str();
        const size_t last = report.rfind("BLOCK ");
        return last == std::string::npos ? err.str() : report.substr(last);
    }

    // "BLOCK X: needs N bytes, room M bytes, K bytes left" told as the room panel tells it.
    [[nodiscard]] static std::string panelFromSummary(const std::string& summary) {
        unsigned address = 0;
        long long needed = 0;
        long long room = 0;
        long long amount = 0;
        char word[8] = {};
        if (std::sscanf(summary.c_str(), "BLOCK %X: needs %lld bytes, room %lld bytes, %lld bytes %7s", &address, &needed,
                        &room, &amount, word) != 5) {
            return "unreadable: " + summary;
        }
        char name[16];
        std::snprintf(name, sizeof name, "%06X: ", address);
        if (std::string(word) == "over") return name + GroupedNumber(amount) + " bytes over";
        return name + GroupedNumber(needed) + " of " + GroupedNumber(room) + " bytes, " + GroupedNumber(amount) + " left";
    }

    [[nodiscard]] std::string tableText() const { return Demo().game.tableFile; }

    // Each string's findings, state and entry lines, and the figures, compared with a full check.
    void expectEqualsFullCheck(const LiveChecks& live, const std::string& text) const {
        LiveChecks full;
        open(full, text);
        ASSERT_EQ(live.fit().outcome, full.fit().outcome);
        EXPECT_EQ(live.fit().needed, full.fit().needed);
        EXPECT_EQ(live.fit().room, full.fit().room);
        ASSERT_EQ(live.strings().size(), full.strings().size());
        for (size_t k = 0; k < full.strings().size(); ++k) {
            const LiveString& a = live.strings()[k];
            const LiveString& b = full.strings()[k];
            SCOPED_TRACE("string " + std::to_string(b.number));
            EXPECT_EQ(a.state, b.state);
            EXPECT_EQ(a.encodedLength, b.encodedLength);
            EXPECT_EQ(a.openingLine, b.openingLine);
            EXPECT_EQ(a.lastLine, b.lastLine);
            EXPECT_EQ(a.closed, b.closed);
            ASSERT_EQ(a.findings.size(), b.findings.size());
            for (size_t f = 0; f < a.findings.size(); ++f) {
                EXPECT_EQ(a.findings[f].kind, b.findings[f].kind);
                EXPECT_EQ(a.findings[f].line, b.findings[f].line);
                EXPECT_EQ(a.findings[f].amount, b.findings[f].amount) << "kind " << int(a.findings[f].kind);
            }
        }
    }

    // Every string's findings as the block check (corvtool check's) gives them for `text`.
    void expectEqualsBlockCheck(const LiveChecks& live, const std::string& text) const {
        script::MemoryScriptText script(text);
        const check::BlockReport report = check::CheckBlock(rom_.data(), *block_, script, Demo().table, {});
        ASSERT_EQ(live.strings().size(), report.strings.size());
        for (size_t k = 0; k < report.strings.size(); ++k) {
            const std::vector<check::Finding>& a = live.strings()[k].findings;
            const std::vector<check::Finding>& b = report.strings[k].findings;
            SCOPED_TRACE("string " + std::to_string(report.strings[k].number));
            ASSERT_EQ(a.size(), b.size());
            for (size_t f = 0; f < a.size(); ++f) {
                EXPECT_EQ(check::FindingMessage(a[f], {}), check::FindingMessage(b[f], {}));
                EXPECT_EQ(a[f].kind, b[f].kind);
            }
        }
    }

    // The first string whose text an earlier one keeps, and that earlier one.
    [[nodiscard]] std::pair<unsigned, unsigned> sharedPair() const {
        LiveChecks probe;
        open(probe, dump_);
        std::vector<check::EncodedEntry> entries(block_->info.stringCount);
        for (const LiveString& string : probe.strings()) entries[string.number].text = true;
        const auto sharers = check::EarliestSharers(block_->bytes(), entries);
        for (unsigned n = 0; n < sharers.size(); ++n) {
            if (sharers[n]) return {n, *sharers[n]};
        }
        return {0, 0};
    }

    core::RomImage rom_{Demo().game.rom, "live.smc"};
    size_t blockIndex_ = 0;
    std::optional<script::TextBlock> block_;
    std::string dump_;
};

TEST_F(LiveChecksTest, RoomPanelEqualsCorvtoolCheckWhenTheBlockFitsAndWhenItIsOver) {
    LiveChecks checks;
    open(checks, dump_);
    ASSERT_TRUE(checks.fit().fits());
    EXPECT_EQ(RoomPanelText(checks), panelFromSummary(corvtoolSummary(dump_, tableText())));
    EXPECT_NE(RoomPanelText(checks).find(" left"), std::string::npos);

    std::mt19937 random(18);
    const std::string over = ChangeLines(dump_, [&](const std::string& line, size_t) {
        std::string letters;
        for (int i = 0; i < 12; ++i) letters += char('a' + random() % 26);
        return line + letters;
    });
    ASSERT_TRUE(checks.update(over));
    ASSERT_EQ(checks.fit().outcome, insert::InsertionOutcome::DoesNotFit);
    EXPECT_EQ(RoomPanelText(checks), panelFromSummary(corvtoolSummary(over, tableText())));
    EXPECT_NE(RoomPanelText(checks).find(" bytes over"), std::string::npos);

    // Undo: back to the text that fits, with the same figures as before.
    ASSERT_TRUE(checks.update(dump_));
    EXPECT_EQ(RoomPanelText(checks), panelFromSummary(corvtoolSummary(dump_, tableText())));
}

TEST_F(LiveChecksTest, WithoutATableTheFiguresAreThoseOfAnEmptyTableAndThePanelSaysSo) {
    LiveChecks checks;
    open(checks, dump_, false);
    EXPECT_FALSE(checks.tableLoaded());
    EXPECT_EQ(RoomPanelText(checks),
              panelFromSummary(corvtoolSummary(dump_, "")) + "; no table: dictionary words not counted");
}

TEST_F(LiveChecksTest, TypingChecksOnlyTheTouchedEntryAndAgreesWithAFullCheck) {
    LiveChecks checks;
    open(checks, dump_);
    const size_t full = checks.fullChecks();
    std::string text = dump_;
    const std::string opening = script::EntrySearchText(7) + "\n";
    const size_t at = text.find(opening) + opening.size();
    for (const char* typed : {"H", "Hi", "Hi!", "Hi! [", "Hi! [$", "Hi! [$2"}) {
        std::string edited = text;
        edited.insert(at, typed);
        ASSERT_TRUE(checks.update(edited));
        expectEqualsFullCheck(checks, edited);
    }
    EXPECT_EQ(checks.fullChecks(), full);
    EXPECT_GE(checks.entryChecks(), 6u);
    // Text typed inside an entry can make no line stray: the script is not read again for them.
    EXPECT_EQ(checks.strayScans(), 0u);
    std::string same = text;
    same.insert(at, "Hi! [$2");
    EXPECT_FALSE(checks.update(same));  // the text already checked

    // So does text typed into the entry of a record without text, which the checks hold no
    // string for; lines added there keep the entries after it in their place.
    unsigned other = 0;
    while (checks.string(other) != nullptr) ++other;
    ASSERT_LT(other, unsigned(block_->info.stringCount));
    const std::string otherOpening = script::EntrySearchText(int(other)) + "\n";
    ASSERT_NE(text.find(otherOpening), std::string::npos);
    const size_t otherAt = text.find(otherOpening) + otherOpening.size();
    ASSERT_TRUE(checks.update(text));
    const size_t fullBefore = checks.fullChecks();
    std::string running = text;
    for (const char* typed : {"x", "\ny", "\n"}) {
        running.insert(otherAt, typed);
        ASSERT_TRUE(checks.update(running));
        expectEqualsFullCheck(checks, running);
        running.insert(running.find(opening) + opening.size(), "H");
        ASSERT_TRUE(checks.update(running));
        expectEqualsFullCheck(checks, running);
    }
    EXPECT_EQ(checks.fullChecks(), fullBefore);
    EXPECT_EQ(checks.strayScans(), 0u);

    // A key that changes the figures only leaves the findings, and so every view of them, alone;
    // one that changes a finding names its string.
    open(checks, dump_);
    EXPECT_EQ(checks.changedStrings().size(), checks.strings().size());
    std::string typed = dump_;
    typed.insert(at, "a");
    ASSERT_TRUE(checks.update(typed));
    EXPECT_TRUE(checks.changedStrings().empty());
    typed.insert(at, "[$");
    ASSERT_TRUE(checks.update(typed));
    EXPECT_EQ(checks.changedStrings(), std::vector<unsigned>{7});
}

TEST_F(LiveChecksTest, RandomEditsIncludingLineBreaksAndEntryLinesAgreeWithAFullCheck) {
    LiveChecks checks;
    open(checks, dump_);
    std::mt19937 random(1818);
    std::string text = dump_;
    const std::vector<std::string> pieces = {"a",   "\n",  "[NEWLINE]", "  ",         ".ENDS",
                                             ".STRING 3", "[$F", "xyz\n\n",   "\nstray\n", "// note\n"};
    for (int step = 0; step < 40; ++step) {
        const size_t at = random() % (text.size() + 1);
        std::string op;
        if (random() % 3 == 0 && at < text.size()) {
            const size_t n = 1 + random() % 6;
            op = "erase " + std::to_string(n) + " [" + text.substr(at, n) + "]";
            text.erase(at, n);
        } else {
            const std::string& piece = pieces[random() % pieces.size()];
            op = "insert [" + piece + "]";
            text.insert(at, piece);
        }
        SCOPED_TRACE("step " + std::to_string(step) + ": " + op + " at " + std::to_string(at));
        ASSERT_TRUE(checks.update(text));
        expectEqualsFullCheck(checks, text);
    }
    EXPECT_GT(checks.entryChecks(), 0u);
}

TEST_F(LiveChecksTest, SharedTextsAndStrayKeywordLinesFollowTypingAsTheBlockCheckGivesThem) {
    const auto [later, first] = sharedPair();
    ASSERT_NE(later, first) << "the demo's largest block has strings sharing a text";
    LiveChecks checks;
    open(checks, dump_);
    expectEqualsBlockCheck(checks, dump_);
    const size_t full = checks.fullChecks();

    // The later string translated differently: a warning on it, from a check of its entry alone.
    std::string text = dump_;
    const auto entryStart = [&](unsigned n) {
        const std::string opening = script::EntrySearchText(int(n)) + "\n";
        return text.find(opening) + opening.size();
    };
    text.insert(entryStart(later), "Other ");
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    const auto hasKind = [&](unsigned n, check::FindingKind kind) {
        const auto& findings = checks.string(n)->findings;
        return std::any_of(findings.begin(), findings.end(), [&](const check::Finding& f) { return f.kind == kind; });
    };
    const auto changed = [&](unsigned n) {
        return std::find(checks.changedStrings().begin(), checks.changedStrings().end(), n) != checks.changedStrings().end();
    };
    EXPECT_TRUE(hasKind(later, check::FindingKind::SharedTextDiffers));
    EXPECT_TRUE(changed(later));
    // The earlier string typed the same way: both agree again, and the later one is told so.
    text.insert(entryStart(first), "Other ");
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    EXPECT_FALSE(hasKind(later, check::FindingKind::SharedTextDiffers));
    EXPECT_TRUE(changed(later));  // told through the earlier string's entry

    // A mistyped closing line typed key by key on an empty line between two entries.
    const unsigned owner = checks.strings()[3].number;
    const size_t gap = text.find(".ENDS\n", entryStart(owner)) + 6;
    ASSERT_EQ(text[gap], '\n');
    for (const char* typed : {"X", "XE", "XEN", "XEND", "XENDS"}) {
        std::string edited = text;
        edited.insert(gap, typed);
        SCOPED_TRACE(typed);
        ASSERT_TRUE(checks.update(edited));
        expectEqualsBlockCheck(checks, edited);
    }
    text.insert(gap, "XENDS");
    EXPECT_TRUE(hasKind(owner, check::FindingKind::StrayKeywordLine));
    // Lines added and removed above it move the script line the finding names.
    const size_t top = entryStart(checks.strings()[0].number);
    text.insert(top, "one\ntwo\n");
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    text.erase(top, 4);
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    // Typed away again.
    text.erase(text.find("XENDS"), 5);
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    EXPECT_FALSE(hasKind(owner, check::FindingKind::StrayKeywordLine));
    EXPECT_EQ(checks.fullChecks(), full);  // none of it needed the whole block checked again
}

TEST_F(LiveChecksTest, TextTypedBetweenEntriesAndAnEntryPastTheBlockAreErrorsAsTheBlockCheckGivesThem) {
    LiveChecks checks;
    open(checks, dump_);
    const unsigned owner = checks.strings()[2].number;
    std::string text = dump_;
    const size_t gap = text.find(".ENDS\n", text.find(script::EntrySearchText(int(owner)) + "\n")) + 6;
    const auto kinds = [&](unsigned n, check::FindingKind kind) {
        const auto& findings = checks.string(n)->findings;
        return std::count_if(findings.begin(), findings.end(), [&](const check::Finding& f) { return f.kind == kind; });
    };
    for (const char* typed : {"L", "Lo", "Los", "Lost", "Lost line"}) {
        std::string edited = text;
        edited.insert(gap, typed);
        SCOPED_TRACE(typed);
        ASSERT_TRUE(checks.update(edited));
        expectEqualsBlockCheck(checks, edited);
        EXPECT_EQ(kinds(owner, check::FindingKind::TextOutsideEntry), 1);
    }
    text.insert(gap, "Lost line");
    text += script::EntrySearchText(int(block_->info.stringCount)) + "\nToo far\n.ENDS\n";
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    const unsigned last = checks.strings().back().number;
    EXPECT_EQ(kinds(last, check::FindingKind::EntryPastBlock), 1);
    text.erase(text.find("Lost line"), 9);
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    EXPECT_EQ(kinds(owner, check::FindingKind::TextOutsideEntry), 0);
}

TEST_F(LiveChecksTest, ProblemsListStrayLinesOfUntranslatedStringsButNotTheirWorkToDo) {
    std::string text = script::ScriptSkeleton(block_->info.stringCount);
    LiveChecks checks;
    open(checks, text);
    EXPECT_TRUE(ProblemRows(checks).empty());  // an empty translation and game codes not kept yet
    const unsigned owner = checks.strings()[1].number;
    const std::string opening = script::EntrySearchText(int(owner)) + "\n";
    text.insert(text.find(".ENDS\n", text.find(opening)) + 6, ".STRNG 4\n");
    ASSERT_TRUE(checks.update(text));
    EXPECT_EQ(checks.string(owner)->state, StringState::Untranslated);
    const std::vector<ProblemRow> rows = ProblemRows(checks);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].string, owner);
    EXPECT_EQ(rows[0].severity, check::Severity::Warning);
    EXPECT_EQ(rows[0].message.rfind("script line ", 0), 0u);
    EXPECT_NE(rows[0].message.find("\".STRNG 4\" stands outside every entry"), std::string::npos);
    EXPECT_EQ(NextProblem(checks, -1), owner);
}

TEST_F(LiveChecksTest, ARoomTakenFromTheLastInsertionIsNotedOnThePanelAndInProblems) {
    LiveChecks checks;
    open(checks, dump_);
    EXPECT_EQ(RoomPanelNote(checks), "");
    EXPECT_EQ(RoomPanelText(checks).find("last insertion"), std::string::npos);

    LiveBlock block = liveBlock();
    block.inserted = true;
    block.roomFromLastInsertion = true;
    checks.open(block, dump_, &Demo().table, {}, insert::InsertionCompressor::Standard);
    const std::string note = "room taken from the last insertion: " + GroupedNumber(checks.fit().room) +
                             " bytes; the original room may be larger \u2014 give the block's .ENDBLOCK, or build from "
                             "the original ROM";
    EXPECT_EQ(RoomPanelNote(checks), note);
    const std::string panel = RoomPanelText(checks);
    EXPECT_TRUE(panel.ends_with(" left; room taken from the last insertion")) << panel;
    const std::vector<ProblemRow> rows = ProblemRows(checks);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].string, std::nullopt);
    EXPECT_EQ(rows[0].severity, check::Severity::Warning);
    EXPECT_EQ(rows[0].message, note);
    // corvtool says the same after the block's name.
    EXPECT_EQ(check::RoomFromLastInsertionText(checks.fit().room), note);
}

TEST_F(LiveChecksTest, StatesOfUntranslatedTranslatedOverwideAndUnclosedEntries) {
    // The skeleton: nothing translated yet.
    LiveChecks checks;
    open(checks, script::ScriptSkeleton(block_->info.stringCount));
    ASSERT_GE(checks.strings().size(), 4u);
    const unsigned a = checks.strings()[0].number;
    const unsigned b = checks.strings()[1].number;
    const unsigned c = checks.strings().back().number;
    EXPECT_EQ(checks.translatedCount(), 0u);
    EXPECT_EQ(checks.string(a)->state, StringState::Untranslated);
    EXPECT_TRUE(ProblemRows(checks).empty());
    EXPECT_EQ(ProgressText(checks), "0 of " + std::to_string(checks.strings().size()) + " strings translated");

    std::string text = script::ScriptSkeleton(block_->info.stringCount);
    // The body takes the place of the first of the entry's two empty lines: the entry ends with
    // its text, not with an empty line (a line break at the string's end).
    const auto fill = [&](unsigned n, const std::string& body) {
        const std::string opening = script::EntrySearchText(int(n)) + "\n";
        text.replace(text.find(opening) + opening.size(), 1, body);
    };
    fill(a, "Hello.");
    fill(b, std::string(60, 'W'));
    const unsigned d = checks.strings()[3].number;
    fill(d, "1\n2\n3\n4\n5\n6\n7\n8[KEY]\n9\n");
    ASSERT_TRUE(checks.update(text));
    EXPECT_EQ(checks.string(a)->state, StringState::Translated);
    EXPECT_EQ(StringTooltip(*checks.string(a), checks.box()), "translated");
    EXPECT_EQ(checks.string(b)->state, StringState::Warning);
    const BoxOverflow overflow = OverflowOf(*checks.string(b));
    ASSERT_EQ(overflow.wide.size(), 1u);
    EXPECT_EQ(overflow.wide[0].line, 1);
    EXPECT_GT(overflow.wide[0].pixelsOver, 0);
    EXPECT_EQ(StringTooltip(*checks.string(b), checks.box()),
              "warning: line 1: " + std::to_string(overflow.wide[0].pixelsOver) +
                  " pixel(s) wider than the box (216 pixels); wraps into 3 lines");
    EXPECT_EQ(ProgressText(checks), "3 of " + std::to_string(checks.strings().size()) + " strings translated");
    // 60 glyphs of 8 pixels wrap twice in a box 216 pixels wide: three rows marked wide.
    const std::vector<MarkedRow> wideRows = MarkedRows(checks.entryLines(b), *checks.string(b), checks.box(), checks.characters());
    ASSERT_EQ(wideRows.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(wideRows[size_t(k)].row, k);
        EXPECT_TRUE(wideRows[size_t(k)].wide);
        EXPECT_FALSE(wideRows[size_t(k)].clipped);
    }
    EXPECT_TRUE(MarkedRows(checks.entryLines(a), *checks.string(a), checks.box(), checks.characters()).empty());

    // Eight lines before the key wait: the box shows six, rows 6 and 7 are marked clipped.
    std::vector<int> clippedRows;
    for (const MarkedRow& row : MarkedRows(checks.entryLines(d), *checks.string(d), checks.box(), checks.characters())) {
        if (row.clipped) clippedRows.push_back(row.row);
    }
    EXPECT_EQ(clippedRows, (std::vector<int>{6, 7}));

    // The last entry without its closing line runs to the end of the script: an error.
    fill(c, "Bye.");
    const std::string opening = script::EntrySearchText(int(c)) + "\n";
    const size_t closing = text.find(".ENDS", text.find(opening));
    text.replace(closing, 5, ".END");
    ASSERT_TRUE(checks.update(text));
    EXPECT_EQ(checks.string(c)->state, StringState::Error);
    EXPECT_FALSE(checks.string(c)->closed);
    const std::vector<ProblemRow> rows = ProblemRows(checks);
    ASSERT_FALSE(rows.empty());
    for (size_t k = 1; k < rows.size(); ++k) EXPECT_LE(rows[k - 1].string, rows[k].string);
    const auto unclosed = std::find_if(rows.begin(), rows.end(), [&](const ProblemRow& row) { return row.string == c; });
    ASSERT_NE(unclosed, rows.end());
    EXPECT_EQ(unclosed->severity, check::Severity::Error);
    EXPECT_EQ(unclosed->message,
              "the entry has no closing line \".ENDS\"; every line up to the end of the script is encoded into this "
              "string");
    EXPECT_EQ(StateText(StringState::Untranslated), "not translated yet");
}

TEST_F(LiveChecksTest, NavigationGoesRoundTheBlockAndGoToStringTakesRecordNumbers) {
    LiveChecks checks;
    std::string text = script::ScriptSkeleton(block_->info.stringCount);
    const auto& strings = [&]() -> const std::vector<LiveString>& { return checks.strings(); };
    open(checks, text);
    const unsigned first = strings().front().number;
    const unsigned second = strings()[1].number;
    const unsigned last = strings().back().number;
    EXPECT_EQ(NextUntranslated(checks, int(first)), second);
    EXPECT_EQ(NextUntranslated(checks, int(last)), first);  // past the end: from the start again
    EXPECT_EQ(PreviousUntranslated(checks, int(first)), last);
    EXPECT_EQ(PreviousUntranslated(checks, int(second)), first);
    EXPECT_EQ(NextProblem(checks, int(first)), std::nullopt);

    // Only the first string left to translate; the last has an unclosed escape.
    for (const LiveString& string : strings()) {
        const std::string opening = script::EntrySearchText(int(string.number)) + "\n";
        if (string.number != first) text.insert(text.find(opening) + opening.size(), string.number == last ? "[$F" : "ok");
    }
    ASSERT_TRUE(checks.update(text));
    EXPECT_EQ(NextUntranslated(checks, int(last)), first);
    EXPECT_EQ(NextUntranslated(checks, int(first)), first);  // round the block back to itself
    // Filled strings may have warnings (the game's codes not kept): the next problem is the first
    // string with one, and the unclosed escape of the last string is found from the one before.
    const auto next = NextProblem(checks, int(first));
    ASSERT_TRUE(next.has_value());
    EXPECT_NE(checks.string(*next)->state, StringState::Translated);
    for (const LiveString& string : strings()) {
        if (string.number > first && string.number < *next) {
            EXPECT_FALSE(HasProblems(string));
        }
    }
    EXPECT_EQ(NextProblem(checks, int(strings()[strings().size() - 2].number)), last);
    EXPECT_EQ(checks.string(last)->state, StringState::Error);

    EXPECT_EQ(ParseStringNumber(" 12 ", 150), 12u);
    EXPECT_EQ(ParseStringNumber("149", 150), 149u);
    EXPECT_EQ(ParseStringNumber("150", 150), std::nullopt);
    EXPECT_EQ(ParseStringNumber("-1", 150), std::nullopt);
    EXPECT_EQ(ParseStringNumber("1x", 150), std::nullopt);
    EXPECT_EQ(ParseStringNumber("", 150), std::nullopt);
}

TEST_F(LiveChecksTest, InsertionRoomLineNamesTheStringsThatGrewMostWhenOver) {
    LiveChecks checks;
    open(checks, dump_);
    const check::FitFigures& fit = checks.fit();
    EXPECT_EQ(InsertionRoomLine(checks), "; Room: " + GroupedNumber(int64_t(fit.needed)) + " of " +
                                             GroupedNumber(fit.room) + " bytes used, " + GroupedNumber(fit.left()) +
                                             " left.");
    // Every line grows a little, two strings a lot, the second one more.
    std::mt19937 random(6);
    const auto letters = [&](size_t count) {
        std::string noise;
        for (size_t i = 0; i < count; ++i) noise += char('a' + random() % 26);
        return noise;
    };
    std::string text = ChangeLines(dump_, [&](const std::string& line, size_t) { return line + letters(12); });
    const unsigned a = checks.strings()[2].number;
    const unsigned b = checks.strings()[5].number;
    for (const auto& [n, lines] : {std::pair{a, 60}, std::pair{b, 90}}) {
        const std::string opening = script::EntrySearchText(int(n)) + "\n";
        std::string noise;
        for (int i = 0; i < lines; ++i) noise += letters(20) + "\n";
        text.insert(text.find(opening) + opening.size(), noise);
    }
    ASSERT_TRUE(checks.update(text));
    ASSERT_EQ(checks.fit().outcome, insert::InsertionOutcome::DoesNotFit);
    const std::vector<Growth> grown = checks.grownMost(3);
    ASSERT_EQ(grown.size(), 3u);
    EXPECT_EQ(grown[0].number, b);
    EXPECT_EQ(grown[1].number, a);
    const std::string line = InsertionRoomLine(checks);
    EXPECT_EQ(line.rfind("; Room: ", 0), 0u);
    EXPECT_NE(line.find(GroupedNumber(-checks.fit().left()) + " bytes over; grew most since the last insertion or "
                                                             "save: String# " +
                        std::to_string(b) + " (+"),
              std::string::npos);
    // After a save the growth counts from the saved text.
    checks.markBaseline();
    EXPECT_TRUE(checks.grownMost(3).empty());
}

TEST(LiveChecksEntries, OpeningLinesAreWhereTheEntrySearchFindsThem) {
    const std::string text =
        "// .STRING #\n.string 12 (comment)\n.STRING 0\nx .STRING 05\n.STRING 3\n.STRING 1\n.STRING 10\n"
        ".STRING 2\n.STRING 7.STRING 8\n.STRING  4\n.STRING 400\n";
    const std::vector<int> lines = EntryOpeningLines(text, 15);
    script::MemoryScriptText script(text);
    for (unsigned n = 0; n < 15; ++n) {
        const auto found = script::FindInScript(script, script::EntrySearchText(int(n)), true);
        EXPECT_EQ(lines[n], found.value_or(-1)) << n;
    }
    EXPECT_EQ(lines[1], 1);   // inside ".string 12"
    EXPECT_EQ(lines[5], -1);  // ".STRING 05" is not ".STRING 5"
    EXPECT_EQ(lines[8], 8);
}

TEST_F(LiveChecksTest, AKeywordLinePastedIntoAnEntryIsAnErrorAndTakingItAwayClearsIt) {
    LiveChecks checks;
    open(checks, dump_);
    // Two text strings of the block, the second one later in it.
    std::vector<unsigned> texts;
    for (unsigned n = 0; n < 40 && texts.size() < 2; ++n) {
        if (checks.string(n) != nullptr && n > 0) texts.push_back(n);
    }
    ASSERT_EQ(texts.size(), 2u);
    const auto hasKind = [&](unsigned n, check::FindingKind kind) {
        const auto& findings = checks.string(n)->findings;
        return std::any_of(findings.begin(), findings.end(), [&](const check::Finding& f) { return f.kind == kind; });
    };
    const auto entryStart = [&](const std::string& text, unsigned n) {
        const std::string opening = script::EntrySearchText(int(n)) + "\n";
        return text.find(opening) + opening.size();
    };

    // A translation holding ".ENDS" and ".STRING n" pasted into the first entry: a second entry of n.
    std::string text = dump_;
    text.insert(entryStart(text, texts[0]), "Hi\n.ENDS\n\n" + script::EntrySearchText(int(texts[1])) + "\nInjected\n");
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    EXPECT_TRUE(hasKind(texts[1], check::FindingKind::DuplicateEntry));
    EXPECT_EQ(checks.string(texts[1])->state, StringState::Error);

    // An ".ENDS" alone closes the entry early, leaving its old closing line a second one; the
    // error goes with that second line (which closes no entry, so its removal is easily missed).
    text = dump_;
    const size_t at = entryStart(text, texts[0]);
    text.insert(at, "Hi\n.ENDS\n");
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    EXPECT_TRUE(hasKind(texts[0], check::FindingKind::StrayClosingLine));
    text.erase(text.find("\n.ENDS\n", at + 9) + 1, 6);
    ASSERT_TRUE(checks.update(text));
    expectEqualsBlockCheck(checks, text);
    EXPECT_FALSE(hasKind(texts[0], check::FindingKind::StrayClosingLine));
}

TEST(LiveTexts, GroupedNumbers) {
    EXPECT_EQ(GroupedNumber(0), "0");
    EXPECT_EQ(GroupedNumber(982), "982");
    EXPECT_EQ(GroupedNumber(3151), "3,151");
    EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
    EXPECT_EQ(GroupedNumber(-19912), "-19,912");
}

TEST(LiveTexts, NothingToShowWithoutABlock) {
    LiveChecks checks;
    EXPECT_FALSE(checks.isOpen());
    EXPECT_EQ(RoomPanelText(checks), "");
    EXPECT_EQ(ProgressText(checks), "");
    EXPECT_FALSE(checks.update("anything"));
    EXPECT_EQ(NextUntranslated(checks, 0), std::nullopt);
}

}  // namespace
}  // namespace corv::editor
