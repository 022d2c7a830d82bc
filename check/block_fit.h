#pragma once
// The block fit: what inserting a script would do to a block, computed in memory with the
// insertion's own steps (encoding, placeholders, shared texts, layout, compression), without
// touching the ROM. After a change to one entry only that entry is encoded again.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/block_encoder.h"
#include "core/block_format.h"
#include "insert/insertion.h"
#include "insert/insertion_layout.h"
#include "script/script_text.h"
#include "script/table_file.h"

namespace corv::check {

struct FitFigures {
    // What the insertion would end with: Inserted when the block fits its room.
    insert::InsertionOutcome outcome = insert::InsertionOutcome::NoStrings;
    uint32_t layoutLength = 0;  // the laid-out block (before the compressor evens it)
    uint64_t needed = 0;        // compressed bytes from the block's header on
    int64_t room = 0;           // bytes from the block's header to the end of its room
    std::string problem;        // LayoutTooLarge: the reason the insertion gives
    // Negative: the bytes over, which the insertion reports up to 65,535.
    [[nodiscard]] int64_t left() const { return room - int64_t(needed); }
    [[nodiscard]] bool fits() const { return outcome == insert::InsertionOutcome::Inserted; }
};

// One text record's own encoding (also when the record shares another record's text).
struct EncodedEntry {
    bool text = false;                 // a text record
    bool missing = false;              // no entry: the placeholder stands in its place
    bool standIn = false;              // untranslated: the play-test stand-in is in its place
    bool holdsText = false;            // its entry is a translation (script::EntryHoldsText)
    std::vector<uint8_t> bytes;        // the encoding, or the placeholder
    std::vector<std::string> log;      // the encoder's log lines (unclosed escapes)
};

class BlockFit {
public:
    // `romData` is borrowed and must outlive the fit; `buffer` is copied as the insertion would
    // find it (the decompressed block in its lower half). `endOfRoom` is the block end table
    // entry; when 0 it is searched for as the insertion does.
    // `untranslated` says what untranslated entries become, as the insertion is told.
    BlockFit(std::span<const uint8_t> romData, const core::BlockBuffer& buffer, const script::TextBlockInfo& block,
             uint32_t endOfRoom, insert::UntranslatedEntries untranslated = insert::UntranslatedEntries::AsWritten);
    ~BlockFit();
    BlockFit(const BlockFit&) = delete;
    BlockFit& operator=(const BlockFit&) = delete;

    // Encodes every record from `script` (records without text carry their data).
    void encodeAll(script::ScriptText& script, const script::TableFile& table);
    // Encodes the entry of string `stringNumber` again; the others keep their bytes.
    void updateEntry(unsigned stringNumber, script::ScriptText& script, const script::TableFile& table);

    // Lays the block out and compresses it in memory with `compressor`.
    [[nodiscard]] FitFigures figures(core::Compressor compressor = core::Compressor::Standard);

    [[nodiscard]] const std::vector<EncodedEntry>& entries() const { return encoded_; }
    // The laid-out records as the insertion would place them (valid after figures()).
    [[nodiscard]] const std::vector<insert::LayoutEntry>& layout() const { return layout_; }
    // How many text entries were encoded since construction.
    [[nodiscard]] size_t encodings() const { return encodings_; }

private:
    void encodeText(size_t j, script::ScriptText& script, const script::TableFile& table);

    std::span<const uint8_t> romData_;
    std::unique_ptr<core::BlockBuffer> base_;
    std::unique_ptr<core::BlockBuffer> work_;
    script::TextBlockInfo block_;
    uint32_t endOfRoom_ = 0;
    insert::UntranslatedEntries untranslated_ = insert::UntranslatedEntries::AsWritten;
    std::vector<insert::LayoutEntry> layout_;
    std::vector<EncodedEntry> encoded_;
    std::vector<uint8_t> scratch_;
    insert::InsertionOutcome blockProblem_ = insert::InsertionOutcome::Inserted;  // a refusal before any entry
    std::vector<insert::EntryDataStatus> status_;                          // per entry, in entry order
    size_t encodings_ = 0;
};

}  // namespace corv::check
