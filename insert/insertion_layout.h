#pragma once
// The steps of an insertion that do not touch the ROM: the data of every record (encoded text,
// placeholder or carried bytes), the sharing of texts, the check of the new layout and the
// layout itself. The insertion runs them with its progress in between; the block fit of the
// translation checks runs the same steps in memory, so both always agree byte for byte.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "script/script_encoder.h"
#include "script/script_text.h"
#include "script/table_file.h"

namespace corv::insert {

// Without a recorded end of room, the ROM data is scanned from the last record's old text
// pointer up to the first 0xFF byte; std::nullopt when the data ends first.
[[nodiscard]] std::optional<uint32_t> SearchEndOfRoom(std::span<const uint8_t> romData, std::span<const uint8_t> block,
                                                      uint32_t lastRecord);

// One record of the block being laid out again.
struct LayoutEntry {
    uint32_t oldOffset = 0;                // the record's text pointer in the old block
    uint32_t record = 0;                   // the record's number
    std::vector<uint8_t> data;             // what the new block holds for it (empty once shared)
    std::optional<size_t> sharedWith;      // the earlier entry whose data this record now shares
    bool holdsText = false;                // its script entry is a translation (EncodeTextEntry)
    uint32_t newOffset = 0;                // set by LayOutEntries
};

enum class EntryDataStatus {
    Ready,
    Placeholder,   // the text record's entry is missing: its placeholder stands in its place
    StandIn,       // the entry is untranslated: the play-test stand-in holds the original's codes
    PointerError,  // a record without text has no data (or it runs past the block)
    TextTooLong,   // the encoded text does not fit the encoder's output
};

// The data of text record `entry.record` (entry number `entryNumber`): its script entry encoded
// through `scratch`, or the missing-entry placeholder. Unclosed escapes are reported to `log`.
// With the old block in `standInsFrom`, an untranslated entry gets the stand-in of the record's
// original string (stand_in.h); empty, every entry is encoded as written.
[[nodiscard]] EntryDataStatus EncodeTextEntry(LayoutEntry& entry, size_t entryNumber, script::ScriptText& script,
                                              const script::TableFile& table, std::span<uint8_t> scratch, script::LogSink* log,
                                              std::span<const uint8_t> standInsFrom = {});

// The data of a record without text: the old block's bytes from its text pointer up to the next
// record's, or up to the block's length `blockLength` for the last record (`last`).
[[nodiscard]] EntryDataStatus CarryRecordData(LayoutEntry& entry, std::span<const uint8_t> block, bool last,
                                              uint32_t blockLength);

// Entry `j` shares the data of the first earlier, unshared entry with the same old offset, if any.
void ShareOldText(std::span<LayoutEntry> entries, size_t j);

// Why the new layout cannot be written (the reason as the log states it), or nothing when it
// fits the block: string 0's text must lie behind the records and the block within 65,534 bytes.
[[nodiscard]] std::optional<std::string> LayoutProblem(std::span<const LayoutEntry> entries, uint16_t stringCount);

// Lays entry `j` out at `write` (shared entries take the offset of the entry they share) and
// rewrites its record's text pointer in `block`. Returns the write position after it.
uint32_t LayOutEntry(std::span<LayoutEntry> entries, size_t j, uint32_t write, std::span<uint8_t> block);

// The whole layout from string 0's old text on; returns the new block length.
uint32_t LayOutEntries(std::span<LayoutEntry> entries, std::span<uint8_t> block);

// The reason a layout is refused when the text of `record` cannot be encoded into a block.
[[nodiscard]] std::string TextTooLongReason(uint32_t record);

// The placeholder stored for a text record whose entry is missing ("Error String: %3d", no end byte).
[[nodiscard]] std::string MissingEntryPlaceholder(int stringNumber);

}  // namespace corv::insert
