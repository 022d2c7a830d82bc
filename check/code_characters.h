#pragma once
// Characters of a script line that the translated game does not read as characters: a Latin-1
// letter from F0 up is a control code there (FC is the window clear, FF ends the string), and
// the byte 01 starts a dictionary reference that swallows the byte after it. The encoder writes
// such characters as their own bytes, so a translator's "ü" becomes [CLRWIN] in the game.

#include <cstdint>
#include <string_view>

namespace corv::check {

enum class CodeCharacterRole {
    None,            // an ordinary character
    DictionaryWord,  // 01: the game reads it and the next byte as a dictionary word
    ControlCode,     // F0-FE: a control code (F1 and F9 also take the bytes after them)
    StringEnd,       // FF: the string ends here, the rest of the entry is lost
};

// What the game makes of `byte` standing in a script line as a plain character.
[[nodiscard]] CodeCharacterRole RoleOfCharacter(uint8_t byte);

// True when the bytes from 0x80 up in `text` form well-made UTF-8 sequences and there is at
// least one: the sign of a script saved as UTF-8 rather than as 8-bit text.
[[nodiscard]] bool LooksLikeUtf8(std::string_view text);

}  // namespace corv::check
