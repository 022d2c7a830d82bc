#pragma once
// Inserting a block's script into the ROM: every text record is encoded from the script text,
// the data of other records is kept, the block's data is laid out again behind its string
// records (records that shared a text share the new one), and the block is compressed into its
// old room in the ROM. The ROM is written only when the whole block fits.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/block_encoder.h"
#include "core/block_format.h"
#include "core/rom_image.h"
#include "insert/insertion_layout.h"
#include "script/script_encoder.h"
#include "script/script_text.h"
#include "script/table_file.h"
#include "script/text_block.h"

namespace corv::insert {

// The rule line before and after the insertion's outcome, which ends its log.
inline constexpr char kInsertionLogRule[] = ";#####################################################;";

// Where the insertion reports its progress: the editor's progress window, or a recorder in
// tools and tests. Log lines arrive through LogSink::addLogLine.
class InsertionProgress : public script::LogSink {
public:
    // Clear the log and show the window; called once at the start.
    virtual void start() = 0;
    virtual void setCaption(std::string_view caption) = 0;
    virtual void setGaugeRange(int minimum, int maximum) = 0;
    virtual void setGaugePosition(int position) = 0;
    // Lets pending window messages through so the progress repaints; called after every step.
    virtual void processPendingMessages() = 0;
};

// Which compressor writes the block: the standard one (the default); the maximising one
// (corvtool insert --maximise); or the maximising one only when the standard one's block is over
// its room (the editor's "Fit Harder When Over"). The two last add a log line saying which wrote it.
enum class InsertionCompressor : uint8_t { Standard, Maximising, MaximisingWhenOver };

// Keeps the log lines and has no window: for corvtool, which prints them once the outcome is
// known, and for anything else that inserts without showing progress.
class RecordedProgress final : public InsertionProgress {
public:
    void addLogLine(const std::string& line) override { lines.push_back(line); }
    void start() override { lines.clear(); }
    void setCaption(std::string_view) override {}
    void setGaugeRange(int, int) override {}
    void setGaugePosition(int) override {}
    void processPendingMessages() override {}

    std::vector<std::string> lines;
};

// What an untranslated entry (one of blanks only) becomes: what it says, as the editor's and
// corvtool's single-block insertion write it; or, in a project's play-test build, the stand-in
// that keeps the original string's codes (stand_in.h).
enum class UntranslatedEntries : uint8_t { AsWritten, StandIn };

// A text block as the insertion takes it: where it stands, which compressor writes it and what
// its untranslated entries become.
struct InsertionBlock : script::TextBlockInfo {
    InsertionBlock() = default;
    // Implicit: a block opened by the loader is inserted with the standard compressor.
    InsertionBlock(const script::TextBlockInfo& info, InsertionCompressor how = InsertionCompressor::Standard,
                   UntranslatedEntries entries = UntranslatedEntries::AsWritten)
        : script::TextBlockInfo(info), compressor(how), untranslated(entries) {}
    InsertionCompressor compressor = InsertionCompressor::Standard;
    UntranslatedEntries untranslated = UntranslatedEntries::AsWritten;
};

enum class InsertionOutcome {
    Inserted,           // written into the ROM; modified flag and inserted mark set
    NoRom,              // nothing loaded: nothing done
    NoTable,            // no table file name recorded
    NoStrings,          // the block has no string records: nothing to lay out
    EndOfTextNotFound,  // the end of the block's room could not be determined
    PointerError,       // a non-text record has no data (its length is below 1)
    LayoutTooLarge,     // the new block would not fit the 64 KiB buffer / 16-bit text pointers
    DoesNotFit,         // compressed, the block passes the end of its room
    BadOldHeader,       // the block's header in the ROM fails its check
    NoReadBack,         // compressed, the block would not decode back to its data: nothing written
};

struct InsertionResult {
    InsertionOutcome outcome = InsertionOutcome::NoRom;
    uint32_t excessBytes = 0;         // DoesNotFit: bytes over the room (the last compressor's)
    uint32_t newLength = 0;           // the laid-out block length (once laid out)
    std::vector<int> missingEntries;  // text strings without a script entry (given placeholders)
    std::vector<int> standIns;        // untranslated text strings given their stand-in (StandIn only)
    std::optional<std::string> message;  // text for a message box, when the outcome calls for one
};

// Runs the insertion of the current block.
//
// Reads and writes:
//   rom        the block's room (written only on Inserted), the inserted mark byte at
//              data size - 1 - block.index (low 8 bits of the index) and the modified flag
//   buffer     the lower half holds the decompressed block with its string records; from the
//              layout on (outcomes Inserted, DoesNotFit, BadOldHeader) it holds the new layout
//              and the records the new text pointers
//   endOfRoom  the block end table entry: ROM offset after the old compressed data. When it is
//              0 (not determined) it is searched for and, when found, stored here.
//   script     the caret moves as entries are looked up; the text is not changed
//   preview    the encoder's output buffer (128 KiB); overwritten
//   progress   captions, gauge and log lines
// Nothing else is touched: the caller keeps and puts back its own block and string state.
[[nodiscard]] InsertionResult InsertScript(core::RomImage& rom, core::BlockBuffer& buffer,
                                           const InsertionBlock& block, uint32_t& endOfRoom,
                                           script::ScriptText& script, const script::TableFile& table,
                                           std::span<uint8_t> preview, InsertionProgress& progress);

}  // namespace corv::insert
