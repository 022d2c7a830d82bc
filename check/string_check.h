#pragma once
// The checks of one string's translation: what would go wrong in the game or in the insertion
// when the script entry is inserted as it stands. Results are values; the texts that describe
// them are chosen where they are shown.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "check/block_fit.h"
#include "check/box_lines.h"
#include "script/script_text.h"
#include "script/table_file.h"

namespace corv::check {

enum class Severity { Error, Warning };

enum class FindingKind {
    EntryMissing,        // no ".STRING n" entry: the insertion stores its placeholder
    WrongEntry,          // the search for ".STRING n" lands on another line (".STRING 10" for 1)
    EntryNotClosed,      // no ".ENDS": the lines up to the end of the script are encoded
    UnclosedEscape,      // "[$" without "]" on a line; the rest of the line is lost
    EmptyTranslation,    // the game string has text, the translation has none
    UnknownBracketWord,  // "[...]" that is no keyword: stored as plain characters
    MissingGlyph,        // characters of a line that the translation font has no glyph for
    SwappedEscape,       // raw bytes that are a game word of the string in the wrong byte order
    DroppedCode,         // a control code of the game string that the translation lacks
    AddedCode,           // a control code the game string does not have
    LineTooWide,         // a line drawn wider than the box
    LineBeyondBox,       // a line the box cannot show before the next window clear or key wait
    RomDiffers,          // an inserted block: the ROM's bytes differ from the script's encoding
    CodeCharacter,       // a character the game reads as a code (F0-FE), the end (FF) or a dictionary word (01)
    EntryRunsOn,         // a ".STRING" line inside the entry: its ".ENDS" is missing or mistyped
    StrayKeywordLine,    // a line outside the entries that looks like a mistyped keyword line
    TrailingLineBreak,   // the entry ends with an empty line: the string gets a line break at its end
    SharedTextDiffers,   // the string shares its text with an earlier one whose entry differs
    EntryTooLong,        // the entry holds more text than any block can (`amount` bytes): not checked further
    CodeWithoutParameters,  // a code (`code`, written as `subject`) whose `amount` parameter bytes are no escapes after it
    EscapedEndMark,      // an escape (`subject`) writes FF where the game reads the end mark
    DuplicateEntry,      // a second ".STRING n" line (script line `amount`): only the first entry is inserted
    StrayClosingLine,    // a second ".ENDS" after the entry's own (script line `amount`): the lines between belong to no string
    SharedByte,          // a character (`subject`) written as its own byte (`code`), which a table line gives to the letter `amount`
    TextOutsideEntry,    // a line of text outside every entry (script line `amount`, the text `subject`): dropped
    EntryPastBlock,      // an entry (script line `amount`, opening line `subject`) for string `count` or
                         // later, which the block of `count` strings does not have
};

[[nodiscard]] Severity SeverityOf(FindingKind kind);

struct Finding {
    FindingKind kind = FindingKind::EntryMissing;
    unsigned string = 0;
    int line = 0;           // line of the entry, 1 for the first text line; 0: the whole entry
    int amount = 0;         // LineTooWide: pixels over; LineBeyondBox: the row; codes: how many
    uint8_t code = 0;       // DroppedCode, AddedCode: the code kind (F0-FD); CodeCharacter, SharedByte: the byte;
                            // MissingGlyph: 1 when the line's bytes from 0x80 up form UTF-8
    std::string subject;    // the bracket word, the escape, the opening line found, the characters
                            // without glyph (each once, in byte order)
    unsigned count = 0;     // EntryPastBlock: the block's number of strings
    int wrappedRows = 0;    // LineTooWide: the rows the line wraps into at spaces (check/box_wrap.h)
    int wrappedOver = 0;    // LineTooWide: rows those would run past the page (0 when they fit)
};

// What a string's check starts from.
struct StringSource {
    unsigned number = 0;
    const EncodedEntry* encoded = nullptr;          // from the block fit
    std::span<const uint8_t> gameString;            // the untranslated words; empty when unknown
    std::optional<std::span<const uint8_t>> romBytes;  // an inserted block: the ROM's bytes at the record
};

// The checks of one text record's entry in `script` (the caret moves like the editor's search).
[[nodiscard]] std::vector<Finding> CheckString(const StringSource& source, script::ScriptText& script, const script::TableFile& table,
                                               const BoxMetrics& box);

// The control code kinds a translation must keep as often as the game string has them: player
// name, number, memory text, yes/no choice, sound, fades, and the codes of unknown use (F2, FA,
// the box code FB). Line breaks, window clears, key waits and pauses may move freely.
[[nodiscard]] bool CodeMustBeKept(uint8_t kind);

}  // namespace corv::check
