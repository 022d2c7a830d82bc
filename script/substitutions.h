#pragma once
// Substitutions: characters a script is to hold differently. Word processors and translation
// platforms type ’ “ ” … — – where a Latin-1 script can hold none of them; a list such as
// "’" = "'" or "…" = "..." writes them as characters the game has. A letter the table file's
// character map gives a byte of the game is never substituted: it has its place in the game.
//
// A substitution is text, never structure: its character is one character from U+0080 up
// (plain ASCII, the script's own syntax, is never replaced), and what it is written as is at
// most kLongestSubstitution Latin-1 characters without a line break, "[" or "]".

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "script/character_map.h"

namespace corv::script {

inline constexpr size_t kLongestSubstitution = 8;

enum class SubstitutionProblem {
    None,
    NotOneCharacter,    // the key is not exactly one UTF-8 character
    PlainCharacter,     // the key is ASCII: it would change the script's own syntax
    NotLatin1,          // the replacement holds a character past U+00FF
    StructureCharacter, // the replacement holds a line break, a control character, "[" or "]"
    TooLong,            // the replacement is longer than kLongestSubstitution characters
};

class Substitutions {
public:
    // Adds `character` (one UTF-8 character) written as `replacement` (UTF-8); a later entry for
    // the same character replaces the earlier one.
    [[nodiscard]] SubstitutionProblem add(std::string_view character, std::string_view replacement);

    // The Latin-1 text `code` is written as; null when it is not listed.
    [[nodiscard]] const std::string* find(char32_t code) const;
    // Takes every entry of `other`, which wins for a character both list.
    void merge(const Substitutions& other);
    [[nodiscard]] bool empty() const { return list_.empty(); }
    [[nodiscard]] size_t size() const { return list_.size(); }

private:
    std::map<char32_t, std::string> list_;
};

// UTF-8 text with its listed characters replaced (those `characters` maps are kept), and how
// many replacements were made. Bytes that are no UTF-8 are left as they are, for the caller's
// own refusal of them.
struct SubstitutedText {
    std::string utf8;
    size_t count = 0;
};
[[nodiscard]] SubstitutedText SubstituteUtf8(std::string_view utf8, const Substitutions& substitutions,
                                            const CharacterMap& characters);

// The same for a script's own Latin-1 bytes (only characters U+0080 to U+00FF can stand there).
struct SubstitutedLatin1 {
    std::string latin1;
    size_t count = 0;
};
[[nodiscard]] SubstitutedLatin1 SubstituteLatin1(std::string_view latin1, const Substitutions& substitutions,
                                                const CharacterMap& characters);

// The list that init-project writes and the editor offers: the typographic characters of word
// processors, as TOML lines ("’" = "'").
[[nodiscard]] std::string_view DefaultSubstitutionLines();

// The first UTF-8 character of `text`: its code point and length; std::nullopt for a byte that
// starts no well-formed character.
struct Utf8Character {
    char32_t code = 0;
    size_t length = 0;
};
[[nodiscard]] std::optional<Utf8Character> ReadUtf8Character(std::string_view text);

// Appends `code` (at most U+10FFFF) to `out` in UTF-8.
void AppendUtf8(std::string& out, char32_t code);

}  // namespace corv::script
