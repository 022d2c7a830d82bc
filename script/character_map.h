#pragma once
// The character map: which game byte a script character is written as. A table file line
// "7B=ñ" says that the game's byte 7B shows ñ (the team draws ñ into the game's font there), so
// the encoders write 7B where the script has ñ, and the readback turns 7B back into ñ. Without
// such lines every character is written as its own Latin-1 byte, as always.
//
// A line is refused when it cannot mean a letter of the game: an empty text, a letter written
// as two bytes of UTF-8 (the table file is 8-bit), or a byte the game reads as something else
// (F0-FF are control codes, FD the line break, FF the end; 01 starts a dictionary word).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corv::script {

// A two-digit line of the table file that may map a character: its text is shorter than two
// bytes, or is one Latin-1 letter written in UTF-8.
struct CharacterLine {
    unsigned line = 0;  // 1-based line of the table file
    uint8_t byte = 0;   // the code before the equals sign
    std::string text;   // as it stands after the equals sign
};

enum class CharacterLineProblem {
    EmptyText,       // "7B=": no character to map
    Utf8Text,        // "7B=Ã±": one letter written in UTF-8; the table file is read as Latin-1
    ControlCodeByte, // a byte the game reads as a control code or the string's end (F0-FF)
    DictionaryByte,  // 01: the game reads it and the byte after it as a dictionary word
};

struct RefusedCharacterLine {
    CharacterLine line;
    CharacterLineProblem problem = CharacterLineProblem::EmptyText;
};

enum class CharacterLineWarning {
    SlotReplaced,        // a later line for the same byte replaced an earlier character (`earlier`)
    CharacterTwice,      // the same character on two lines: the later byte is written, both read back
};

struct CharacterMapWarning {
    CharacterLine line;     // the later line
    CharacterLineWarning warning = CharacterLineWarning::SlotReplaced;
    CharacterLine earlier;  // the line it meets
};

class CharacterMap {
public:
    // The identity: every character is its own byte.
    CharacterMap();

    // The byte the game gets for the script character `c`.
    [[nodiscard]] uint8_t byteOf(char c) const { return byteOf_[static_cast<uint8_t>(c)]; }
    // The character the script shows for the game byte `byte` (the readback and the preview).
    [[nodiscard]] char characterOf(uint8_t byte) const { return static_cast<char>(characterOf_[byte]); }
    // True when a table line maps the script character `c`.
    [[nodiscard]] bool mapsCharacter(char c) const { return mapped_[static_cast<uint8_t>(c)]; }
    // True when a table line gives `byte` to a character.
    [[nodiscard]] bool givesByte(uint8_t byte) const { return given_[byte]; }
    // True when the map changes nothing (no lines, or lines that map characters to themselves).
    [[nodiscard]] bool isIdentity() const;

    // Each line's character is written as its byte; a later line wins.
    void map(uint8_t character, uint8_t byte);

private:
    std::array<uint8_t, 256> byteOf_{};
    std::array<uint8_t, 256> characterOf_{};
    std::array<bool, 256> mapped_{};
    std::array<bool, 256> given_{};
};

struct CharacterMapLoad {
    CharacterMap map;  // the lines that were not refused
    std::vector<RefusedCharacterLine> refused;
    std::vector<CharacterMapWarning> warnings;
};

// The map of the lines in file order, with the lines it refuses and the warnings.
[[nodiscard]] CharacterMapLoad BuildCharacterMap(std::span<const CharacterLine> lines);

// A Latin-1 character as a person reads it, in UTF-8 with its code point: "ñ (U+00F1)"; a
// control character or a blank by its code point alone.
[[nodiscard]] std::string CharacterName(uint8_t character);

// What is wrong with a refused line, and what a warning means, as both programs say it:
// "line 4 (F1=ñ): byte F1 is a control code in the game; a letter needs a byte below F0".
[[nodiscard]] std::string RefusedCharacterLineText(const RefusedCharacterLine& refused);
[[nodiscard]] std::string CharacterMapWarningText(const CharacterMapWarning& warning);

// True when `text` is one Latin-1 letter (U+0080 to U+00FF) written as its two UTF-8 bytes.
[[nodiscard]] std::optional<uint8_t> Latin1LetterInUtf8(std::string_view text);

}  // namespace corv::script
