#include "project/po_text.h"

#include <algorithm>

#include "script/script_file.h"

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

bool IsLanguageCode(std::string_view code) {
    constexpr size_t kLongest = 35;
    return !code.empty() && code.size() <= kLongest && std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '@' ||
               c == '.' || c == '-';
    });
}

std::string FormatPoFile(const std::vector<PoMessage>& messages, const PoHeader& header) {
    // A template keeps gettext's placeholders, which whoever starts a translation fills in.
    const bool dated = !header.isTemplate && !header.revisionDate.empty();
    const std::string date = header.revisionDate.empty() ? "YEAR-MO-DA HO:MI+ZONE" : header.revisionDate;
    const std::string language = IsLanguageCode(header.language) ? header.language : std::string();
    std::string out;
    out += "msgid \"\"\n";
    out += "msgstr \"\"\n";
    out += "\"Project-Id-Version: CORVANE\\n\"\n";
    out += "\"POT-Creation-Date: " + date + "\\n\"\n";
    out += "\"PO-Revision-Date: " + (dated ? date : std::string("YEAR-MO-DA HO:MI+ZONE")) + "\\n\"\n";
    out += header.isTemplate ? "\"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n\"\n"
                             : "\"Last-Translator: the project's translators\\n\"\n";
    out += header.isTemplate ? "\"Language-Team: LANGUAGE <LL@li.org>\\n\"\n"
                             : "\"Language-Team: the project's translators\\n\"\n";
    out += "\"Language: " + language + "\\n\"\n";
    out += "\"MIME-Version: 1.0\\n\"\n";
    out += "\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    out += "\"Content-Transfer-Encoding: 8bit\\n\"\n";
    for (const PoMessage& message : messages) {
        out += '\n';
        for (const std::string& note : message.notes) out += "#. " + note + '\n';
        appendField(out, "msgctxt", message.context);
        appendField(out, "msgid", message.id);
        appendField(out, "msgstr", header.isTemplate ? std::string() : message.str);
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

namespace {

// The problem of one character of a translation, as a code point.
TranslationProblem problemOf(char32_t code, const script::CharacterMap& characters) {
    if (code > 0xFF) return TranslationProblem::PastLatin1;
    if (code >= 0xF0 && !characters.mapsCharacter(static_cast<char>(code))) return TranslationProblem::GameCode;
    if (code < 0x20 && code != '\n' && code != '\t') return TranslationProblem::Control;
    return TranslationProblem::None;
}

// Keyword lines and the length, once the characters are right.
TranslationCheck checkLines(std::string_view latin1) {
    if (latin1.size() > script::kLongestEntryText) return {TranslationProblem::TooLong, 0, 0};
    size_t line = 0;
    for (size_t start = 0; start <= latin1.size(); ++line) {
        size_t end = latin1.find('\n', start);
        if (end == std::string_view::npos) end = latin1.size();
        if (script::ActsAsKeywordLine(latin1.substr(start, end - start))) return {TranslationProblem::KeywordLine, 0, line};
        start = end + 1;
    }
    return {};
}

}  // namespace

ScriptCharacters Utf8ToScriptCharacters(std::string_view utf8, const script::CharacterMap& characters) {
    ScriptCharacters result;
    size_t line = 0;
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
        // Overlong forms (C0 80 for a NUL) are no UTF-8 either.
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && code < kSmallest[length]) valid = false;
        if (!valid) {
            result.check = {TranslationProblem::NotUtf8, lead, line};
            return result;
        }
        if (const TranslationProblem problem = problemOf(code, characters); problem != TranslationProblem::None) {
            result.check = {problem, code, line};
            return result;
        }
        if (code == '\n') ++line;
        result.latin1 += static_cast<char>(code);
        i += length;
    }
    result.check = checkLines(result.latin1);
    return result;
}

TranslationCheck CheckScriptTranslation(std::string_view latin1, const script::CharacterMap& characters) {
    size_t line = 0;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (const TranslationProblem problem = problemOf(byte, characters); problem != TranslationProblem::None) {
            return {problem, byte, line};
        }
        if (c == '\n') ++line;
    }
    return checkLines(latin1);
}

}  // namespace corv::project
