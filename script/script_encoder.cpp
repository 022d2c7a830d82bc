#include "script/script_encoder.h"

#include <algorithm>
#include <array>
#include <optional>

#include "script/script_file.h"

namespace corv::script {
namespace {

// Tried in this order; none is the beginning of another, so at most one matches.
constexpr std::array<ScriptKeyword, 12> kKeywords = {{
    {"[KEY]", 0xF0},
    {"[PAUSE", 0xF1},
    {"[SFX]", 0xF3},
    {"[PLAYER]", 0xF4},
    {"[MEM_NUM]", 0xF5},
    {"[MEM_TEXT]", 0xF6},
    {"[FADEIN]", 0xF7},
    {"[FADEOUT]", 0xF8},
    {"[YES-NO]", 0xF9},
    {"[TEXTBOX]", 0xFB},
    {"[CLRWIN]", 0xFC},
    {"[NEWLINE]", 0xFD},
}};

constexpr std::string_view kEscapeSkipCharacters = "$_-(){}<>";

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool matchesIgnoringCase(std::string_view text, size_t position, std::string_view keyword) {
    if (text.size() - position < keyword.size()) return false;
    for (size_t i = 0; i < keyword.size(); ++i) {
        if (upper(text[position + i]) != keyword[i]) return false;
    }
    return true;
}

std::optional<unsigned> hexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// One pair of an escape: at most two characters, leading blanks skipped, reading stops at the
// first character that is no hexadecimal digit; no digit at all reads as 0. The pair may take
// the closing bracket as its second character, which is how "[$1]" runs on past its bracket.
uint8_t readHexPair(std::string_view pair) {
    size_t i = 0;
    while (i < pair.size() && isBlank(pair[i])) ++i;
    unsigned value = 0;
    for (; i < pair.size(); ++i) {
        const auto digit = hexDigit(pair[i]);
        if (!digit) break;
        value = value * 16 + *digit;
    }
    return static_cast<uint8_t>(value & 0xFF);
}

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

void encodeLine(std::string line, int stringNumber, ByteWriter& out, LogSink* log) {
    size_t p = 0;
    while (p < line.size()) {
        if (const ScriptKeyword* keyword = KeywordAt(line, p)) {
            out.put(keyword->code);
            p += keyword->text.size();
            // A parameter follows as "$hh]": turning the keyword's last character into "["
            // lets the escape rule read it ("[PAUSE$1E]" and "[KEY]$05]" both work).
            if (p < line.size() && line[p] == '$') {
                --p;
                line[p] = '[';
            }
            continue;
        }

        if (line[p] == '[' && p + 1 < line.size() && line[p + 1] == '$') {
            p += 2;
            while (p < line.size() && line[p] != ']') {
                if (kEscapeSkipCharacters.find(line[p]) != std::string_view::npos) {
                    ++p;
                    continue;
                }
                out.put(readHexPair(std::string_view(line).substr(p, 2)));
                p += 2;
            }
            if (p >= line.size()) {
                reportUnclosedEscape(log, line, stringNumber);
                return;
            }
            ++p;  // the closing "]"
            continue;
        }

        out.put(static_cast<uint8_t>(line[p]));
        ++p;
    }
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

std::string joinLines(std::span<const std::string> lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

}  // namespace

const ScriptKeyword* KeywordAt(std::string_view line, size_t position) {
    // Every keyword opens with a bracket, and most characters of a line are none.
    static_assert(std::ranges::all_of(kKeywords, [](const ScriptKeyword& k) { return k.text.starts_with('['); }));
    if (position >= line.size() || line[position] != '[') return nullptr;
    for (const ScriptKeyword& keyword : kKeywords) {
        if (matchesIgnoringCase(line, position, keyword.text)) return &keyword;
    }
    return nullptr;
}

const ScriptKeyword* KeywordFor(uint8_t code) {
    for (const ScriptKeyword& keyword : kKeywords) {
        if (keyword.code == code) return &keyword;
    }
    return nullptr;
}

std::optional<std::vector<std::string>> ApplyDictionaryToLines(std::span<const std::string> lines,
                                                              const TableFile& table) {
    if (lines.empty()) return std::vector<std::string>{};
    const std::optional<std::string> text = ApplyDictionary(joinLines(lines), table);
    if (!text) return std::nullopt;
    return splitLines(*text);
}

size_t EncodeLines(std::span<const std::string> lines, int stringNumber, std::span<uint8_t> output, LogSink* log) {
    ByteWriter out(output);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out.put(kLineBreakByte);
        encodeLine(lines[i], stringNumber, out, log);
    }
    out.put(kStringEndByte);
    return out.count();
}

EncodeResult EncodeScriptString(int stringNumber, ScriptText& script, const TableFile& table,
                                std::span<uint8_t> output, LogSink* log) {
    const std::optional<std::vector<std::string>> entry = LookupEntry(script, stringNumber);
    if (!entry) return {EncodeStatus::EntryMissing, 0};

    const std::optional<std::vector<std::string>> lines = ApplyDictionaryToLines(*entry, table);
    if (!lines) return {EncodeStatus::TooLong, 0};

    const size_t length = EncodeLines(*lines, stringNumber, output, log);
    if (length > output.size() || length > 0xFFFF) return {EncodeStatus::TooLong, 0};
    return {EncodeStatus::Encoded, static_cast<uint16_t>(length)};
}

}  // namespace corv::script
