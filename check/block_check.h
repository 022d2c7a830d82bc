#pragma once
// The translation checks of one block: the block fit and the checks of every text string.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "check/block_fit.h"
#include "check/box_lines.h"
#include "check/string_check.h"
#include "script/text_block.h"
#include "script/script_text.h"
#include "script/table_file.h"

namespace corv::check {

struct StringReport {
    unsigned number = 0;
    size_t encodedLength = 0;   // bytes of the string's own encoding (the placeholder's when missing)
    std::vector<Finding> findings;
    bool translated = false;    // the entry exists and holds more than blanks and empty lines
};

struct BlockReport {
    FitFigures fit;
    // The fit with the maximising compressor, worked out only when the block is over or tight
    // (see OverOrTight): what --maximise would leave.
    std::optional<FitFigures> maximised;
    bool inserted = false;             // the ROM holds an inserted translation of the block
    // Inserted, and the data file gives no .ENDBLOCK: the room ends where the last insertion's
    // data end, and the original room may have been larger.
    bool roomFromLastInsertion = false;
    std::vector<StringReport> strings;  // text records only, in record order
    [[nodiscard]] size_t count(Severity severity) const;
    [[nodiscard]] size_t translatedCount() const;
};

// A block over its room, or left with less than a sixteenth of what it needs (about what the
// maximising compressor saves on text): worth showing what that compressor would leave.
[[nodiscard]] bool OverOrTight(uint64_t needed, int64_t room);

// What the check of text record `n` starts from: the game string at its text pointer in
// `blockBytes`, or for an inserted block the ROM's bytes there. `encoded` must outlive the source.
[[nodiscard]] StringSource SourceOfString(std::span<const uint8_t> blockBytes, bool inserted, unsigned n,
                                          const EncodedEntry& encoded);

// Checks `block` against `script`. For an inserted block the game's own strings are no longer in
// the ROM: the checks that compare with them are left out, and every string is compared with the
// ROM's bytes instead.
// `untranslated` says what the insertion will make of untranslated entries: the fit measures that.
[[nodiscard]] BlockReport CheckBlock(std::span<const uint8_t> romData, const script::TextBlock& block, script::ScriptText& script,
                                     const script::TableFile& table, const BoxMetrics& box,
                                     insert::UntranslatedEntries untranslated = insert::UntranslatedEntries::AsWritten);

// The script entries that the block's text records hold in the translated game's format, in the
// kana dump's layout (".STRING n", the lines, ".ENDS" and an empty line; '\n' line ends).
[[nodiscard]] std::string ReadBackScript(const script::TextBlock& block, const script::TableFile& table);

}  // namespace corv::check
