#include "script/character_map.h"

#include <algorithm>

#include "script/control_codes.h"
#include "script/script_encoder.h"
#include "script/substitutions.h"

namespace corv::script {

CharacterMap::CharacterMap() {
    for (unsigned c = 0; c < 256; ++c) {
        byteOf_[c] = static_cast<uint8_t>(c);
        characterOf_[c] = static_cast<uint8_t>(c);
    }
}

bool CharacterMap::isIdentity() const {
    for (unsigned c = 0; c < 256; ++c) {
        if (byteOf_[c] != c || characterOf_[c] != c) return false;
    }
    return true;
}

void CharacterMap::map(uint8_t character, uint8_t byte) {
    byteOf_[character] = byte;
    characterOf_[byte] = character;
    mapped_[character] = true;
    given_[byte] = true;
}

std::optional<uint8_t> Latin1LetterInUtf8(std::string_view text) {
    if (text.size() != 2) return std::nullopt;
    const auto lead = static_cast<uint8_t>(text[0]);
    const auto next = static_cast<uint8_t>(text[1]);
    if ((lead != 0xC2 && lead != 0xC3) || (next & 0xC0) != 0x80) return std::nullopt;
    return static_cast<uint8_t>(((lead & 0x03) << 6) | (next & 0x3F));
}

namespace {

std::string hexByte(uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

// The line as it stands in the table file, its text shown in UTF-8.
std::string shownLine(const CharacterLine& line) {
    std::string text;
    if (Latin1LetterInUtf8(line.text)) {
        text = line.text;
    } else {
        for (const char c : line.text) AppendUtf8(text, static_cast<uint8_t>(c));
    }
    return "line " + std::to_string(line.line) + " (" + hexByte(line.byte) + "=" + text + ")";
}

std::optional<CharacterLineProblem> problemOf(const CharacterLine& line) {
    if (line.text.empty()) return CharacterLineProblem::EmptyText;
    if (line.text.size() != 1) return CharacterLineProblem::Utf8Text;
    if (line.byte >= kFirstControlKind) return CharacterLineProblem::ControlCodeByte;
    if (line.byte == kDictionaryReferenceByte) return CharacterLineProblem::DictionaryByte;
    return std::nullopt;
}

}  // namespace

CharacterMapLoad BuildCharacterMap(std::span<const CharacterLine> lines) {
    CharacterMapLoad load;
    std::array<std::optional<CharacterLine>, 256> slots;
    for (const CharacterLine& line : lines) {
        if (const auto problem = problemOf(line)) {
            load.refused.push_back({line, *problem});
            continue;
        }
        std::optional<CharacterLine>& slot = slots[line.byte];
        if (slot && slot->text != line.text) {
            load.warnings.push_back({line, CharacterLineWarning::SlotReplaced, *slot});
        }
        slot = line;
    }
    std::vector<CharacterLine> kept;
    for (const auto& slot : slots) {
        if (slot) kept.push_back(*slot);
    }
    // A character on two lines is written as the byte of the later one.
    std::sort(kept.begin(), kept.end(), [](const CharacterLine& a, const CharacterLine& b) { return a.line < b.line; });
    std::array<const CharacterLine*, 256> byCharacter{};
    for (const CharacterLine& line : kept) {
        const auto character = static_cast<uint8_t>(line.text[0]);
        if (const CharacterLine* earlier = byCharacter[character]) {
            load.warnings.push_back({line, CharacterLineWarning::CharacterTwice, *earlier});
        }
        byCharacter[character] = &line;
        load.map.map(character, line.byte);
    }
    return load;
}

std::string CharacterName(uint8_t character) {
    const std::string code = "U+00" + hexByte(character);
    if (character <= 0x20 || (character >= 0x7F && character <= 0xA0)) return code;
    std::string name;
    AppendUtf8(name, character);
    return name + " (" + code + ")";
}

std::string RefusedCharacterLineText(const RefusedCharacterLine& refused) {
    const std::string where = shownLine(refused.line) + ": ";
    const std::string byte = hexByte(refused.line.byte);
    switch (refused.problem) {
    case CharacterLineProblem::EmptyText: return where + "no character after the equals sign";
    case CharacterLineProblem::Utf8Text:
        return where + "the letter is written in UTF-8 (two bytes); save the table file as Latin-1";
    case CharacterLineProblem::ControlCodeByte:
        return where + "byte " + byte + " is a control code in the game (F0-FF); a letter needs a byte below F0";
    case CharacterLineProblem::DictionaryByte:
        return where + "byte 01 starts a dictionary word in the game; a letter needs another byte";
    }
    return where;
}

std::string CharacterMapWarningText(const CharacterMapWarning& warning) {
    const std::string where = shownLine(warning.line) + ": ";
    switch (warning.warning) {
    case CharacterLineWarning::SlotReplaced:
        return where + "replaces " + shownLine(warning.earlier) + "; byte " + hexByte(warning.line.byte) +
               " shows only the later character";
    case CharacterLineWarning::CharacterTwice:
        return where + "maps the character of " + shownLine(warning.earlier) + " again; it is written as " +
               hexByte(warning.line.byte) + ", and both bytes read back as it";
    }
    return where;
}

}  // namespace corv::script
