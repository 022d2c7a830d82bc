#include "script/table_file.h"

#include <algorithm>

#include "script/text_lines.h"

namespace corv::script {

namespace {

// A read takes at most 254 characters; a longer line arrives as several pieces.
constexpr size_t kTablePieceLength = 254;

// The code field before the equals sign, read as hexadecimal the way a formatted scan does:
// leading blanks, an optional sign and "0x", then digits up to the first non-digit (none: 0).
// std::nullopt for a field that reads negative or larger than `maximum`: it names no slot.
std::optional<unsigned> readCodeField(std::string_view field, unsigned maximum) {
    const auto scanned = ScanHexNumber(field);
    const int64_t value = scanned ? scanned->value : 0;
    if (value < 0 || value > static_cast<int64_t>(maximum)) return std::nullopt;
    return static_cast<unsigned>(value);
}

}  // namespace

TableLoadResult TableFile::load(const std::filesystem::path& path) {
    fileName_ = path;
    const auto text = ReadTextFile(path);
    if (!text) return TableLoadResult::CannotOpen;
    parse(*text);
    return TableLoadResult::Loaded;
}

void TableFile::parse(std::string_view text) {
    release();
    std::vector<CharacterLine> characterLines;
    // Line numbers for the character map's messages: pieces are views into `text`.
    size_t counted = 0;
    unsigned line = 1;
    ForEachLinePiece(text, kTablePieceLength, [&](std::string_view piece) {
        const auto at = static_cast<size_t>(piece.data() - text.data());
        line += static_cast<unsigned>(std::count(text.begin() + long(counted), text.begin() + long(at), '\n'));
        counted = at;
        if (piece.size() > 2 && piece[2] == '=') {
            if (const auto code = readCodeField(piece.substr(0, 2), 0xFF)) {
                std::string_view value = piece.substr(3);
                (value.size() < 2 ? single_ : multi_)[*code] = std::string(value);
                if (value.size() < 2 || Latin1LetterInUtf8(value)) {
                    characterLines.push_back({line, static_cast<uint8_t>(*code), std::string(value)});
                }
            }
        } else if (piece.size() > 4 && piece[4] == '=') {
            // Only the low byte of the four-digit code names the dictionary slot.
            if (const auto code = readCodeField(piece.substr(0, 4), 0xFFFF)) {
                dictionary_[*code & 0xFF] = std::string(piece.substr(5));
            }
        }
    });
    characters_ = BuildCharacterMap(characterLines);
}

void TableFile::release() {
    for (Slots* map : {&single_, &multi_, &dictionary_}) {
        for (auto& slot : *map) slot.reset();
    }
    characters_ = CharacterMapLoad{};
}

const std::optional<std::string>& TableFile::dictionaryWord(unsigned slot) const {
    static const std::optional<std::string> kEmpty;
    return slot < dictionary_.size() ? dictionary_[slot] : kEmpty;
}

}  // namespace corv::script
