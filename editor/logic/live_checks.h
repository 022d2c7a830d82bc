#pragma once
// The translation checks of the current block while the translator types: the block fit (bytes
// needed after recompression, room, left or over) and every text string's findings and state,
// kept up to date from the script text after each change. Only the entries a change touches are
// checked again; a change to an entry's opening or closing line, or one that writes such a line,
// checks the whole block again. The checks work on their own copy of the text, so the editor's
// caret never moves.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/block_fit.h"
#include "check/entry_structure.h"
#include "check/box_lines.h"
#include "check/string_check.h"
#include "core/block_format.h"
#include "insert/insertion.h"
#include "script/script_text.h"
#include "script/table_file.h"
#include "script/text_block.h"

namespace corv::editor {

enum class StringState {
    Untranslated,  // no entry, or an entry without text
    Translated,    // text and no findings
    Warning,       // text with warnings only
    Error,         // at least one error
};

struct LiveString {
    unsigned number = 0;  // the record number (List Data's line)
    StringState state = StringState::Untranslated;
    size_t encodedLength = 0;  // bytes of the string's own encoding (the placeholder's when missing)
    // Its findings as corvtool check gives them: those of its entry, then those it shares with
    // other strings or the block (a text an earlier string keeps, a stray keyword line after it).
    std::vector<check::Finding> findings;
    std::vector<check::Finding> entryFindings;  // those of its entry alone
    // The entry's lines in the script: its opening line and its last line (the closing line, or
    // the text's last line when it has none). -1 without an entry.
    int openingLine = -1;
    int lastLine = -1;
    bool closed = false;
    bool hasText = false;  // the entry holds a line that is not blank
};

// A finding that is a problem to fix: any but the warnings of a string not translated yet that
// say it is still to do (an empty translation, the game's codes not kept yet).
[[nodiscard]] bool IsProblem(const LiveString& string, const check::Finding& finding);
[[nodiscard]] bool HasProblems(const LiveString& string);

// The line of each string's entry opening, as the entry search finds it (-1: none), for strings
// 0 to count - 1, in one pass over the text.
[[nodiscard]] std::vector<int> EntryOpeningLines(std::string_view text, unsigned count);

// What the insertion would start from for the current block.
struct LiveBlock {
    std::span<const uint8_t> romData;   // borrowed: must outlive the checks; reopen after it changes
    const core::BlockBuffer* buffer = nullptr;  // the decompressed block (copied)
    script::TextBlockInfo info;
    uint32_t endOfRoom = 0;   // the block end table entry (0: searched for as the insertion does)
    bool inserted = false;    // the block carries its inserted mark
    // Inserted, and no end of room is known from before an insertion (no .ENDBLOCK, and the block
    // was not seen uninserted since the data file was read): the room may once have been larger.
    bool roomFromLastInsertion = false;
};

// A string whose encoding grew since the last insertion or save.
struct Growth {
    unsigned number = 0;
    int64_t bytes = 0;
};

class LiveChecks {
public:
    LiveChecks();
    ~LiveChecks();
    LiveChecks(const LiveChecks&) = delete;
    LiveChecks& operator=(const LiveChecks&) = delete;

    // Checks the whole block against `text`. `table` is nullptr before a table file is
    // loaded: dictionary words are then not counted. The current figures become the baseline of
    // growth (see markBaseline).
    void open(const LiveBlock& block, std::string_view text, const script::TableFile* table,
              const check::BoxMetrics& box, insert::InsertionCompressor compressor);
    // No block chosen: nothing to show.
    void close();
    [[nodiscard]] bool isOpen() const { return fit_ != nullptr; }

    // The script text after a change: checks again what the change touched and the block fit.
    // False when the text is the one already checked.
    bool update(std::string_view text);
    // Fit Harder When Over switched: the figures follow the insertion's compressor choice.
    void setCompressor(insert::InsertionCompressor compressor);

    // The script text the figures belong to.
    [[nodiscard]] const std::string& text() const { return text_; }
    [[nodiscard]] uint32_t blockAddress() const { return block_.blockAddress; }
    [[nodiscard]] bool tableLoaded() const { return tableLoaded_; }
    [[nodiscard]] bool roomFromLastInsertion() const { return roomFromLastInsertion_; }
    [[nodiscard]] const check::BoxMetrics& box() const { return box_; }
    // The table's character map the figures are counted with (the identity without a table).
    [[nodiscard]] const script::CharacterMap& characters() const { return table_.characterMap(); }
    [[nodiscard]] const check::FitFigures& fit() const { return figures_; }
    // The text records, in record order.
    [[nodiscard]] const std::vector<LiveString>& strings() const { return strings_; }
    // The text record `number`; nullptr for records without text and numbers past the block.
    [[nodiscard]] const LiveString* string(unsigned number) const;
    // The text lines of string `number`'s entry (without its opening and closing line).
    [[nodiscard]] std::vector<std::string> entryLines(unsigned number) const;
    // Text records whose entry holds text.
    [[nodiscard]] size_t translatedCount() const;

    // The insertion or a save took the script as it is: growth counts from here.
    void markBaseline();
    // Up to `count` strings whose encoding grew most since the baseline, the largest first.
    [[nodiscard]] std::vector<Growth> grownMost(size_t count) const;

    // The strings whose state or findings the last open or update changed, in record order: what
    // a view of them has to show anew.
    [[nodiscard]] const std::vector<unsigned>& changedStrings() const { return changed_; }

    // How often the whole block and single entries were checked (for tests and benchmarks).
    [[nodiscard]] size_t fullChecks() const { return fullChecks_; }
    [[nodiscard]] size_t entryChecks() const { return entryChecks_; }
    // How often the whole script was read again for lines outside every entry.
    [[nodiscard]] size_t strayScans() const { return strayScans_; }

private:
    void checkAll();
    void checkString(LiveString& string);
    // Gathers the string's findings (its entry's and the block's) and its state.
    void gatherFindings(LiveString& string) const;
    // The stray keyword lines after a change that touched lines first to oldLast (0-based) of the
    // old text and first to newLast of the new one; true when they changed.
    bool updateStrayLines(int firstLine, int oldLastLine, int newLastLine);
    // An entry's lines: its opening line, its last line (the closing line, or the script's last
    // line when it has none), whether it is closed.
    struct EntrySpan {
        int openingLine = -1;
        int lastLine = -1;
        bool closed = false;
    };
    [[nodiscard]] EntrySpan spanOfEntry(int opening) const;
    void findEntry(LiveString& string, int opening);
    [[nodiscard]] bool touchesStructure(int firstLine, int oldLastLine, int newLastLine) const;
    // Whether script line `line` (0-based) lies between a closed entry's opening and closing lines.
    [[nodiscard]] bool insideEntry(int line) const;
    void computeFigures();

    std::vector<uint8_t> blockBytes_;  // the lower half of the block, for the game strings
    script::TextBlockInfo block_;
    bool inserted_ = false;
    bool roomFromLastInsertion_ = false;
    std::unique_ptr<check::BlockFit> fit_;
    script::TableFile table_;
    bool tableLoaded_ = false;
    check::BoxMetrics box_;
    insert::InsertionCompressor compressor_ = insert::InsertionCompressor::Standard;
    script::MemoryScriptText script_;
    std::string text_;
    check::FitFigures figures_;
    std::vector<LiveString> strings_;
    std::vector<int> stringSlot_;  // record number -> position in strings_, -1 for no text
    std::vector<unsigned> textRecords_;  // the record numbers of strings_, in order
    std::vector<std::optional<unsigned>> sharers_;  // record number -> the earlier string keeping its text
    std::vector<std::vector<unsigned>> sharedBy_;   // record number -> the later strings sharing its text
    std::vector<check::StrayLine> stray_;
    // The entries of records without text, which have no LiveString: typing in one stays inside
    // an entry, so it cannot make a line stray.
    std::vector<EntrySpan> otherEntries_;
    std::vector<size_t> baseline_;  // encoded lengths at the last insertion or save, by slot
    std::vector<unsigned> changed_;
    size_t fullChecks_ = 0;
    size_t entryChecks_ = 0;
    size_t strayScans_ = 0;
};

}  // namespace corv::editor
