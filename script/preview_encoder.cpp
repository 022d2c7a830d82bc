#include "script/preview_encoder.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "script/control_codes.h"
#include "script/entry_words.h"
#include "script/script_encoder.h"
#include "script/script_line_reader.h"
#include "script/text_lines.h"

namespace corv::script {

namespace {

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
    // Bytes written as the translated game reads them (a code's kind, then its parameter bytes),
    // stored in the stream's order (parameter, kind) so that the preview reads the same codes.
    void putGameBytes(std::span<const uint8_t> bytes) {
        for (size_t i = 0; i < bytes.size() && !full_; ++i) {
            const uint8_t byte = bytes[i];
            if (byte == kStringEndByte && rawParameterBytes_ == 0) {
                put(byte, byte);  // the game stops reading the string here
            } else if (rawParameterBytes_ > 0 || !IsControlKind(byte)) {
                putText(byte);
                if (byte == kDictionaryReferenceByte) rawParameterBytes_ = 1;  // its slot number follows
            } else if (byte == kCodePause && i + 1 < bytes.size()) {
                putCode(bytes[++i], byte);
            } else {
                putCode(0x00, byte);
            }
        }
    }
    // A character of the line: stored as it stands (a code's parameter when one is due).
    bool putText(uint8_t byte) {
        if (rawParameterBytes_ > 0) --rawParameterBytes_;
        return put(byte);
    }
    void putCode(uint8_t parameter, uint8_t kind) {
        if (put(parameter, kind)) rawParameterBytes_ = ControlCodeOf(kind).translatedParameterBytes - (kind == kCodePause ? 1 : 0);
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
    int rawParameterBytes_ = 0;  // bytes after a code that the game reads as its parameters
};

void encodeLine(std::string_view line, PreviewWriter& out, const CharacterMap& characters) {
    line = line.substr(0, std::min(line.size(), kPreviewLineLength));
    ScriptLineReader reader(line, kPreviewRules);
    ScriptToken token;
    while (!out.full() && reader.next(token)) {
        switch (token.kind) {
        case ScriptTokenKind::Keyword: out.putCode(token.hasParameter ? token.parameter : uint8_t{0x00}, token.code->kind); break;
        case ScriptTokenKind::Escape: {
            std::vector<uint8_t> bytes;
            ForEachEscapeByte(line, token, PairBlanks::AreDigits, [&bytes](uint8_t byte) { bytes.push_back(byte); });
            out.putGameBytes(bytes);
            break;
        }
        case ScriptTokenKind::Text:
        case ScriptTokenKind::BracketWord:
            for (size_t i = token.start; i < token.end() && out.putText(characters.byteOf(line[i])); ++i) {
            }
            break;
        }
    }
}

}  // namespace

size_t EncodePreview(std::span<const std::string> entryLines, std::span<uint8_t> buffer,
                     const CharacterMap& characters) {
    if (buffer.size() < 3) return 0;
    std::fill_n(buffer.begin(), std::min<size_t>(4, buffer.size()), uint8_t{0});
    PreviewWriter out(buffer);
    for (size_t line = 1; line < entryLines.size() && !out.full(); ++line) {
        encodeLine(entryLines[line], out, characters);
        if (line + 1 >= entryLines.size() || StartsWithIgnoringCase(entryLines[line + 1], kClosingKeyword)) break;
        out.put(0x00, 0xFD);
    }
    return out.finish();
}

}  // namespace corv::script
