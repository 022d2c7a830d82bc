#include "core/printable_text.h"

#include <cstdint>
#include <cstdio>

namespace corv::core {
namespace {

void appendEscape(std::string& out, const char* format, unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    out += text;
}

// The length of the well-made UTF-8 sequence at `at`, or 0 when the byte there starts none.
size_t utf8Length(std::string_view text, size_t at) {
    const auto lead = static_cast<uint8_t>(text[at]);
    const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4                                    ? 4
                                                                                            : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<uint8_t>(text[at + k]) & 0xC0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<uint8_t>(text[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7F) {
                appendEscape(out, "\\x%02X", byte);
            } else {
                out += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        const size_t length = utf8Length(text, i);
        if (length == 2 && byte == 0xC2 && static_cast<uint8_t>(text[i + 1]) <= 0x9F) {
            appendEscape(out, "\\u%04X", static_cast<uint8_t>(text[i + 1]));
        } else if (length > 0) {
            out.append(text.substr(i, length));
        } else if (byte <= 0x9F) {
            appendEscape(out, "\\x%02X", byte);  // C1 in 8-bit text
        } else {
            out += static_cast<char>(byte);
        }
        i += length > 0 ? length : 1;
    }
    return out;
}

}  // namespace corv::core
