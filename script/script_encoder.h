#pragma once
// The script text encoder: one entry of a block's script file turned into the bytes that the
// translated game's text engine reads.
//
//   plain character   its own 8-bit code (the table file's two-digit entries are not used)
//   01 nn             dictionary word in slot nn (written by the dictionary step as "[$01nn]")
//   F0-FD             keywords, matched ignoring case: [KEY] F0, [PAUSE F1, [SFX] F3, [PLAYER] F4,
//                     [MEM_NUM] F5, [MEM_TEXT] F6, [FADEIN] F7, [FADEOUT] F8, [YES-NO] F9,
//                     [TEXTBOX] FB, [CLRWIN] FC, [NEWLINE] FD
//   "[$" hh hh "]"    raw bytes; the characters of "$_-(){}<>" may stand between the pairs
//   FD                between two lines of the string
//   FF                end of the string, always the last byte

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/dictionary_step.h"
#include "script/script_text.h"
#include "script/table_file.h"

namespace corv::script {

inline constexpr size_t kPreviewByteBufferSize = 0x20000;  // 128 KiB
inline constexpr uint8_t kLineBreakByte = 0xFD;
inline constexpr uint8_t kStringEndByte = 0xFF;

struct ScriptKeyword {
    std::string_view text;  // upper case; "[PAUSE" has no closing bracket (its parameter follows)
    uint8_t code;
};

// The keyword that starts at `position` of `line` (letter case ignored), or nullptr.
[[nodiscard]] const ScriptKeyword* KeywordAt(std::string_view line, size_t position);
// The keyword that writes `code` (F0-FD except F2 and FA), or nullptr.
[[nodiscard]] const ScriptKeyword* KeywordFor(uint8_t code);

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

// Encodes the lines (already through the dictionary step) into `output`, appending.
// `stringNumber` only appears in the unclosed-escape log line. Lines of any length are encoded
// in full. Returns the number of bytes the string needs; when that exceeds output.size(), only
// output.size() bytes were written.
size_t EncodeLines(std::span<const std::string> lines, int stringNumber, std::span<uint8_t> output, LogSink* log);

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

// Looks up the entry of string `stringNumber` in `script` (moving its caret like the script
// search), runs the dictionary step and encodes the lines into `output` from its first byte.
// Unclosed escapes are reported to `log` (may be null); the string is still produced.
[[nodiscard]] EncodeResult EncodeScriptString(int stringNumber, ScriptText& script, const TableFile& table,
                                              std::span<uint8_t> output, LogSink* log);

}  // namespace corv::script
