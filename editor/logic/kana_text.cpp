#include "editor/logic/kana_text.h"

#include "script/kana_dump.h"
#include "script/sjis.h"

namespace corv::editor {

namespace {

bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Cuts `line` into the shown lines that `wrap` measures.
void appendWrapped(std::vector<std::string>& lines, const std::string& line, const KanaLineWrap& wrap) {
    const std::vector<std::string> characters = ShiftJisCharacters(line);
    std::vector<std::string> shown;
    shown.reserve(characters.size());
    for (const std::string& character : characters) shown.push_back(script::ShiftJisToUtf8(character));

    size_t next = 0;
    for (const size_t count : wrap(shown)) {
        if (next >= characters.size()) break;
        if (count == 0) continue;
        const size_t end = count < characters.size() - next ? next + count : characters.size();
        std::string piece;
        for (; next < end; ++next) piece += characters[next];
        lines.push_back(std::move(piece));
    }
    if (next < characters.size() || line.empty()) {
        std::string rest;
        for (; next < characters.size(); ++next) rest += characters[next];
        lines.push_back(std::move(rest));
    }
}

}  // namespace

std::vector<std::string> ShiftJisCharacters(std::string_view bytes) {
    std::vector<std::string> characters;
    for (size_t i = 0; i < bytes.size();) {
        const bool pair = isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() &&
                          isTrailByte(static_cast<unsigned char>(bytes[i + 1]));
        const size_t size = pair ? 2 : 1;
        characters.emplace_back(bytes.substr(i, size));
        i += size;
    }
    return characters;
}

std::string KanaWindowText(const script::ResolvedString& resolved, const script::CodeMaps& maps) {
    if (resolved.messageFlag()) return {};
    return script::DecodeGameStringToText(resolved.string, maps);
}

std::vector<std::string> KanaWindowLines(std::string_view text, const KanaLineWrap& wrap) {
    std::vector<std::string> lines = script::KanaTextLines(text);
    if (!wrap) return lines;
    std::vector<std::string> shown;
    for (const std::string& line : lines) appendWrapped(shown, line, wrap);
    return shown;
}

std::string KanaTextCaption(unsigned stringIndex) { return "Kana Text: String #" + std::to_string(stringIndex); }

}  // namespace corv::editor
