#pragma once
// The script text encoder: one entry of a block's script file turned into the bytes that the
// translated game's text engine reads.
//
//   plain character   its byte in the table file's character map (character_map.h): its own
//                     8-bit code unless a single-character line gives it another
//   01 nn             dictionary word in slot nn (written by the dictionary step as "[$01nn]")
//   F0-FD             the keywords of the control-code table (control_codes.h), matched
//                     ignoring case; a "$" after a keyword starts its parameter as an escape
//   "[$" hh hh "]"    raw bytes; the characters of "$_-(){}<>" may stand between the pairs
//   FD                between two lines of the string
//   FF                end of the string, always the last byte

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/character_map.h"
#include "script/control_codes.h"
#include "script/dictionary_step.h"
#include "script/script_text.h"
#include "script/table_file.h"

namespace corv::script {

inline constexpr size_t kPreviewByteBufferSize = 0x20000;  // 128 KiB
inline constexpr uint8_t kLineBreakByte = kCodeNewLine;  // between two lines of the string
inline constexpr uint8_t kStringEndByte = 0xFF;
// A dictionary word: this byte, then the word's slot number.
inline constexpr uint8_t kDictionaryReferenceByte = 0x01;

// Receives the log lines of the encoder and the insertion (the insertion progress window's
// list in the editor).
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void addLogLine(const std::string& line) = 0;
};

// The dictionary step over an entry's lines (joined, replaced, split again), as the encoder runs
// it: the lines that EncodeLines then encodes. No lines give no lines; std::nullopt when the
// replacements feed each other past any string the block can hold (the string is too long).
[[nodiscard]] std::optional<std::vector<std::string>> ApplyDictionaryToLines(std::span<const std::string> lines,
                                                                            const TableFile& table);

// Encodes the lines (already through the dictionary step) into `output`, appending; plain
// characters are written through `characters`.
// `stringNumber` only appears in the unclosed-escape log line. Lines of any length are encoded
// in full. Returns the number of bytes the string needs; when that exceeds output.size(), only
// output.size() bytes were written.
size_t EncodeLines(std::span<const std::string> lines, int stringNumber, std::span<uint8_t> output, LogSink* log,
                   const CharacterMap& characters);

enum class EncodeStatus {
    Encoded,
    EntryMissing,  // no ".STRING n" entry in the script text
    TooLong,       // the string needs more than 65535 bytes or more than the output holds, or its
                   // dictionary step grew the text past kDictionaryGrowthLimit
};

struct EncodeResult {
    EncodeStatus status = EncodeStatus::EntryMissing;
    uint16_t length = 0;  // bytes written, the final 0xFF included (Encoded only)
};

// Runs the dictionary step over an entry's lines and encodes them into `output` from its first
// byte, as EncodeScriptString does once it has found the entry.
[[nodiscard]] EncodeResult EncodeEntryLines(std::span<const std::string> entry, int stringNumber, const TableFile& table,
                                            std::span<uint8_t> output, LogSink* log);

// Looks up the entry of string `stringNumber` in `script` (moving its caret like the script
// search), runs the dictionary step and encodes the lines into `output` from its first byte.
// Unclosed escapes are reported to `log` (may be null); the string is still produced.
[[nodiscard]] EncodeResult EncodeScriptString(int stringNumber, ScriptText& script, const TableFile& table,
                                              std::span<uint8_t> output, LogSink* log);

}  // namespace corv::script
