#include "script/script_encoder.h"

#include <algorithm>
#include <array>
#include <optional>

#include "script/script_file.h"
#include "script/script_line_reader.h"
#include "script/text_lines.h"

namespace corv::script {
namespace {

// Appends to the caller's buffer; bytes beyond its end are counted but not stored.
class ByteWriter {
public:
    explicit ByteWriter(std::span<uint8_t> output) : output_(output) {}
    void put(uint8_t byte) {
        if (count_ < output_.size()) output_[count_] = byte;
        ++count_;
    }
    [[nodiscard]] size_t count() const { return count_; }

private:
    std::span<uint8_t> output_;
    size_t count_ = 0;
};

void reportUnclosedEscape(LogSink* log, const std::string& line, int stringNumber) {
    if (log == nullptr) return;
    std::string item = "Error: HEX-data read with no terminating ']' character.\n";
    item += "Text: \"" + line + "\", String Index: " + std::to_string(stringNumber);
    log->addLogLine(item);
}

// The line as the log shows it: an escape opened by a "$" after a keyword has its "[" written
// over the keyword's last character.
std::string shownLine(std::string_view line, std::span<const size_t> keywordEscapes) {
    std::string shown(line);
    for (const size_t at : keywordEscapes) shown[at] = '[';
    return shown;
}

void encodeLine(std::string_view line, int stringNumber, ByteWriter& out, LogSink* log, const CharacterMap& characters) {
    ScriptLineReader reader(line, kScriptEncoderRules);
    ScriptToken token;
    std::vector<size_t> keywordEscapes;
    while (reader.next(token)) {
        switch (token.kind) {
        case ScriptTokenKind::Keyword: out.put(token.code->kind); break;
        case ScriptTokenKind::Escape:
            if (token.onKeyword) keywordEscapes.push_back(token.start);
            ForEachEscapeByte(line, token, PairBlanks::Skipped, [&out](uint8_t byte) { out.put(byte); });
            if (!token.closed) reportUnclosedEscape(log, shownLine(line, keywordEscapes), stringNumber);
            break;
        case ScriptTokenKind::Text:
        case ScriptTokenKind::BracketWord:
            for (size_t i = token.start; i < token.end(); ++i) out.put(characters.byteOf(line[i]));
            break;
        }
    }
}



}  // namespace

std::optional<std::vector<std::string>> ApplyDictionaryToLines(std::span<const std::string> lines,
                                                              const TableFile& table) {
    if (lines.empty()) return std::vector<std::string>{};
    const std::optional<std::string> text = ApplyDictionary(JoinLines(lines), table);
    if (!text) return std::nullopt;
    return SplitLines(*text);
}

size_t EncodeLines(std::span<const std::string> lines, int stringNumber, std::span<uint8_t> output, LogSink* log,
                   const CharacterMap& characters) {
    ByteWriter out(output);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out.put(kLineBreakByte);
        encodeLine(lines[i], stringNumber, out, log, characters);
    }
    out.put(kStringEndByte);
    return out.count();
}

EncodeResult EncodeScriptString(int stringNumber, ScriptText& script, const TableFile& table,
                                std::span<uint8_t> output, LogSink* log) {
    const std::optional<std::vector<std::string>> entry = LookupEntry(script, stringNumber);
    if (!entry) return {EncodeStatus::EntryMissing, 0};
    return EncodeEntryLines(*entry, stringNumber, table, output, log);
}

EncodeResult EncodeEntryLines(std::span<const std::string> entry, int stringNumber, const TableFile& table,
                              std::span<uint8_t> output, LogSink* log) {
    const std::optional<std::vector<std::string>> lines = ApplyDictionaryToLines(entry, table);
    if (!lines) return {EncodeStatus::TooLong, 0};

    const size_t length = EncodeLines(*lines, stringNumber, output, log, table.characterMap());
    if (length > output.size() || length > 0xFFFF) return {EncodeStatus::TooLong, 0};
    return {EncodeStatus::Encoded, static_cast<uint16_t>(length)};
}

}  // namespace corv::script
