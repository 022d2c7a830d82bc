#include "project/po_text.h"

namespace corv::project {
namespace {

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    out += '"';
}

// A keyword and its string; strings of several lines as gettext writes them: an empty first
// line, then one quoted line per line of text.
void appendField(std::string& out, std::string_view keyword, std::string_view text) {
    out += keyword;
    out += ' ';
    if (text.find('\n') == std::string_view::npos || text.find('\n') == text.size() - 1) {
        appendQuoted(out, text);
        out += '\n';
        return;
    }
    out += "\"\"\n";
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t stop = end == std::string_view::npos ? text.size() : end + 1;
        appendQuoted(out, text.substr(start, stop - start));
        out += '\n';
        start = stop;
    }
}

}  // namespace

std::string FormatPoFile(const std::vector<PoMessage>& messages) {
    std::string out;
    out += "msgid \"\"\n";
    out += "msgstr \"\"\n";
    out += "\"Project-Id-Version: CORVANE\\n\"\n";
    out += "\"Language: \\n\"\n";
    out += "\"MIME-Version: 1.0\\n\"\n";
    out += "\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    out += "\"Content-Transfer-Encoding: 8bit\\n\"\n";
    for (const PoMessage& message : messages) {
        out += '\n';
        for (const std::string& note : message.notes) out += "#. " + note + '\n';
        appendField(out, "msgctxt", message.context);
        appendField(out, "msgid", message.id);
        appendField(out, "msgstr", message.str);
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

ScriptCharacters Utf8ToScriptCharacters(std::string_view utf8) {
    ScriptCharacters result;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && i + length <= utf8.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        const bool gameCode = (code < 0x20 && code != '\n') || (code >= 0xF0 && code <= 0xFF);
        if (!valid || code > 0xFF || gameCode) {
            result.badAt = i;
            result.badCharacter = valid ? code : lead;
            return result;
        }
        result.latin1 += static_cast<char>(code);
        i += length;
    }
    return result;
}

}  // namespace corv::project
