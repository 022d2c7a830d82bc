#include "script/preview_encoder.h"

#include <algorithm>
#include <string_view>

#include "script/text_lines.h"

namespace corv::script {

namespace {

struct PreviewCode {
    std::string_view name;  // compared ignoring case over its full length
    uint8_t code;
    uint8_t inlineParameter;
};

// Table order is the order of comparison. "[PAUSE" alone lacks its bracket: "$hh]" completes it.
constexpr PreviewCode kPreviewCodes[] = {
    {"[KEY]", 0xF0, 0},      {"[PAUSE", 0xF1, 1},     {"[SFX]", 0xF3, 0},     {"[PLAYER]", 0xF4, 0},
    {"[MEM_NUM]", 0xF5, 0},  {"[MEM_TEXT]", 0xF6, 0}, {"[FADEIN]", 0xF7, 0},  {"[FADEOUT]", 0xF8, 0},
    {"[YES-NO]", 0xF9, 2},   {"[TEXTBOX]", 0xFB, 0},  {"[CLRWIN]", 0xFC, 0},  {"[NEWLINE]", 0xFD, 0},
};

constexpr std::string_view kRawSkipCharacters = "$_-(){}<>";

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Up to two characters read as hexadecimal, stopping at the first non-digit; none gives 0.
uint8_t twoHexDigits(std::string_view text) {
    int value = 0;
    for (size_t i = 0; i < std::min<size_t>(2, text.size()) && hexDigit(text[i]) >= 0; ++i) {
        value = value * 16 + hexDigit(text[i]);
    }
    return static_cast<uint8_t>(value);
}

class PreviewWriter {
public:
    explicit PreviewWriter(std::span<uint8_t> buffer)
        : buffer_(buffer), limit_(std::min<size_t>(buffer.size(), 0x10000) - 3) {}

    // False once the stream is full; later bytes are dropped.
    bool put(uint8_t byte) {
        if (position_ >= limit_) {
            full_ = true;
            return false;
        }
        buffer_[position_++] = byte;
        return true;
    }
    // Both bytes or neither: a code is never cut in half.
    bool put(uint8_t first, uint8_t second) {
        if (position_ + 2 > limit_) {
            full_ = true;
            return false;
        }
        return put(first) && put(second);
    }
    [[nodiscard]] bool full() const { return full_; }
    size_t finish() {
        buffer_[position_++] = 0xFF;
        buffer_[position_++] = 0xFF;
        buffer_[position_] = 0x00;
        return position_;
    }

private:
    std::span<uint8_t> buffer_;
    size_t limit_;  // room is kept for FF FF and the 0 byte
    size_t position_ = 0;
    bool full_ = false;
};

// One "[" that names a code. Returns the characters consumed, 0 when the "[" starts no code.
size_t encodeCode(std::string_view rest, PreviewWriter& out) {
    for (const PreviewCode& entry : kPreviewCodes) {
        if (!StartsWithIgnoringCase(rest, entry.name)) continue;
        const size_t after = entry.name.size();
        if (after < rest.size() && rest[after] == '$') {
            // "[PAUSE$hh]": the bracket must stand three places after the "$".
            if (entry.inlineParameter != 1 || after + 3 >= rest.size() || rest[after + 3] != ']') return 0;
            out.put(twoHexDigits(rest.substr(after + 1, 2)), entry.code);
            return after + 4;
        }
        if (entry.name.back() != ']') return 0;
        out.put(0x00, entry.code);
        return after;
    }
    return 0;
}

// "[$" followed by pairs of hex digits up to "]", with separators skipped.
size_t encodeRawBytes(std::string_view rest, PreviewWriter& out) {
    size_t i = 2;
    while (i < rest.size() && rest[i] != ']') {
        if (kRawSkipCharacters.find(rest[i]) != std::string_view::npos) {
            ++i;
            continue;
        }
        out.put(twoHexDigits(rest.substr(i, 2)));
        i += 2;
    }
    return std::min(i + 1, rest.size());
}

void encodeLine(std::string_view line, PreviewWriter& out) {
    line = line.substr(0, std::min(line.size(), kPreviewLineLength));
    size_t i = 0;
    while (i < line.size() && !out.full()) {
        const std::string_view rest = line.substr(i);
        if (rest[0] == '[') {
            if (const size_t used = encodeCode(rest, out)) {
                i += used;
                continue;
            }
            if (rest.size() > 1 && rest[1] == '$') {
                i += encodeRawBytes(rest, out);
                continue;
            }
        }
        out.put(static_cast<uint8_t>(rest[0]));
        ++i;
    }
}

}  // namespace

size_t EncodePreview(std::span<const std::string> entryLines, std::span<uint8_t> buffer) {
    if (buffer.size() < 3) return 0;
    std::fill_n(buffer.begin(), std::min<size_t>(4, buffer.size()), uint8_t{0});
    PreviewWriter out(buffer);
    for (size_t line = 1; line < entryLines.size() && !out.full(); ++line) {
        encodeLine(entryLines[line], out);
        if (line + 1 >= entryLines.size() || StartsWithIgnoringCase(entryLines[line + 1], ".ENDS")) break;
        out.put(0x00, 0xFD);
    }
    return out.finish();
}

}  // namespace corv::script
