#include "script/code_table.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/ascii.h"
#include "script/text_lines.h"

namespace corv::script {

namespace {

// Makes `text` "[$%02X]" of the code, written by hand into the string's own buffer: a range
// line makes up to 65,536 of these.
void setGeneratedText(std::string& text, uint32_t code) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    char made[12] = {'[', '$'};
    size_t length = 2;
    int shift = 28;
    while (shift > 4 && (code >> shift) == 0) shift -= 4;
    for (; shift >= 0; shift -= 4) made[length++] = kDigits[(code >> shift) & 0xF];
    made[length++] = ']';
    text.assign(made, length);
}

// A "code=value" line read as a hexadecimal code and one further word, the first equals sign
// counting as a space. Which map the code belongs to depends on where that sign stood.
struct CodeLine {
    bool wordMap = false;
    uint32_t code = 0;
    std::string_view word;  // empty when the line has none
};

std::optional<CodeLine> readCodeLine(std::string_view line, std::string& buffer) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    buffer.assign(line);
    buffer[equals] = ' ';
    const auto scanned = ScanHexNumber(buffer);
    if (!scanned) return std::nullopt;
    CodeLine result;
    result.wordMap = equals > 2;
    const int64_t limit = result.wordMap ? 0xFFFF : 0xFF;
    if (scanned->value < 0 || scanned->value > limit) return std::nullopt;
    result.code = static_cast<uint32_t>(scanned->value);
    const auto words = SplitWords(std::string_view(buffer).substr(scanned->consumed));
    if (!words.empty()) result.word = words[0];
    return result;
}

CodeEntry& entryOf(CodeMaps& maps, bool wordMap, uint32_t code) {
    return wordMap ? maps.wordEntry(static_cast<uint16_t>(code)) : maps.byteEntry(static_cast<uint8_t>(code));
}

void applyRange(std::string_view line, CodeMaps& maps, bool wordMap) {
    const auto words = SplitWords(line);
    if (words.size() < 4) return;
    int64_t first = ParseDataNumber(words[1]);
    int64_t last = ParseDataNumber(words[3]);
    if (first > last) std::swap(first, last);
    const int64_t limit = wordMap ? 0xFFFF : 0xFF;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, limit);
    for (int64_t code = first; code <= last; ++code) {
        CodeEntry& entry = entryOf(maps, wordMap, static_cast<uint32_t>(code));
        // The range replaces the whole entry: a length left from an earlier entry would make the
        // decoder show the range's text as if it were the entry's.
        setGeneratedText(entry.text, static_cast<uint32_t>(code));
        entry.generated = true;
        entry.length = 0;
    }
}

}  // namespace

int64_t ParseDataNumber(std::string_view word) {
    auto hexAfter = [word](size_t prefix) -> int64_t {
        const auto scanned = ScanHexNumber(word.substr(prefix));
        return scanned ? scanned->value : 0;
    };
    if (word.empty()) return 0;
    if (word[0] == '$') return hexAfter(1);
    if (word.size() >= 2 && (word[0] == '0' || word[0] == '\\') && (word[1] == 'x' || word[1] == 'X')) {
        return hexAfter(2);
    }
    if (word[0] == 'x' || word[0] == 'X') return hexAfter(1);
    if (word[0] == '\'') return word.size() >= 2 ? static_cast<int64_t>(static_cast<signed char>(word[1])) : 0;
    const auto scanned = ScanDecimalNumber(word);
    return scanned ? scanned->value : 0;
}

std::string RebuildEscapedText(std::string_view word) {
    std::string bytes;
    size_t i = 0;
    while (i < word.size()) {
        if (word[i] == '\\' && i + 3 < word.size() && word[i + 1] == 'x' && core::HexDigitValue(word[i + 2]) >= 0 &&
            core::HexDigitValue(word[i + 3]) >= 0) {
            bytes.push_back(static_cast<char>(core::HexDigitValue(word[i + 2]) * 16 + core::HexDigitValue(word[i + 3])));
            i += 5;  // the escape and the character after it
        } else {
            bytes.push_back(word[i]);
            ++i;
        }
    }
    return bytes;
}

void ApplyCodeTableLine(std::string_view line, CodeMaps& maps) {
    if (StartsWithIgnoringCase(line, ".NULL16")) return applyRange(line, maps, true);
    if (StartsWithIgnoringCase(line, ".NULL ")) return applyRange(line, maps, false);

    std::string buffer;
    const auto codeLine = readCodeLine(line, buffer);
    if (!codeLine) return;
    CodeEntry& entry = entryOf(maps, codeLine->wordMap, codeLine->code);
    if (codeLine->word.empty()) {
        setGeneratedText(entry.text, codeLine->code);
        entry.generated = true;
        entry.length = 0;
        return;
    }
    // A set generated flag stays: an explicit entry does not clear what a range line made.
    if (codeLine->word.find("\\x") != std::string_view::npos) {
        entry.text = RebuildEscapedText(codeLine->word);
    } else {
        entry.text = std::string(codeLine->word);
    }
    entry.length = static_cast<uint16_t>(entry.text.size());
}

void ApplyColourLine(std::string_view line, CodeMaps& maps) {
    const bool byteNull = StartsWithIgnoringCase(line, ".NULL=");
    const bool wordNull = StartsWithIgnoringCase(line, ".NULL16");
    if (byteNull || wordNull) {
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) return;
        std::string buffer(line);
        buffer[equals] = ' ';
        const auto words = SplitWords(buffer);
        if (words.size() < 2) return;
        const auto colour = static_cast<uint8_t>(ParseDataNumber(words[1]));
        for (CodeEntry& entry : wordNull ? maps.wordMap() : maps.byteMap()) {
            if (entry.generated) entry.colour = colour;
        }
        return;
    }
    std::string buffer;
    const auto codeLine = readCodeLine(line, buffer);
    if (!codeLine || codeLine->word.empty()) return;
    entryOf(maps, codeLine->wordMap, codeLine->code).colour = static_cast<uint8_t>(ParseDataNumber(codeLine->word));
}

}  // namespace corv::script
