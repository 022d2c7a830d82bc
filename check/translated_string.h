#pragma once
// Reading the translated game's string format (what the insertion writes): one byte per
// character, 01 nn for dictionary word nn, control codes F0-FD with their parameter bytes
// (script/control_codes.h), FF at the end. The readback turns such a string into script lines again.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "script/script_encoder.h"
#include "script/table_file.h"

namespace corv::check {

inline constexpr uint8_t kDictionaryPrefix = script::kDictionaryReferenceByte;

enum class TokenKind { Character, DictionaryWord, Code };

struct TranslatedToken {
    TokenKind kind = TokenKind::Character;
    uint8_t value = 0;             // the character, the dictionary slot or the code kind (F0-FD)
    std::vector<uint8_t> params;   // a code's parameter bytes
};

struct TranslatedString {
    std::vector<TranslatedToken> tokens;
    size_t size = 0;      // bytes read, the end byte included when there is one
    bool ended = false;   // an FF ended the string (a code's parameter never counts as the end)
};

// Reads one string from the start of `bytes`; a string cut short by the end of the view (or by
// a code whose parameters run past it) ends there without its end byte.
[[nodiscard]] TranslatedString ReadTranslatedString(std::span<const uint8_t> bytes);

// The script lines that encode back to the same bytes: characters as the table's character map
// shows them (a mapped byte as its letter, any other as itself), dictionary words
// expanded from `table` (an empty slot stays an escape "[$01nn]"), codes as their keywords with
// their parameters as escapes, 0xFD as a line break, other bytes as "[$..]" escapes. A "[" that
// would start a keyword or an escape is written as an escape itself. A string of nothing but
// its end gives no lines.
[[nodiscard]] std::vector<std::string> ReadBackLines(const TranslatedString& string, const script::TableFile& table);

}  // namespace corv::check
