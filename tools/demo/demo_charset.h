#pragma once
// The demo game's character codes: small 16-bit codes (so the character tile table at 0x9BDB
// stays short), each with the Shift-JIS bytes its code table entry gives.

#include <cstdint>
#include <string>
#include <vector>

namespace corv::demo {

inline constexpr uint16_t kSpaceCode = 0x01;        // decodes to the full-width space 81 40
inline constexpr uint16_t kFirstDigitCode = 0x02;   // '0'..'9'
inline constexpr uint16_t kFirstLetterCode = 0x0C;  // 'A'..'Z'
inline constexpr uint16_t kExclamationCode = 0x26;
inline constexpr uint16_t kQuestionCode = 0x27;
inline constexpr uint16_t kFullStopCode = 0x28;
inline constexpr uint16_t kFirstKanaCode = 0x30;    // the 46 half-width kana a .. n
inline constexpr uint16_t kKanaCount = 46;
inline constexpr uint16_t kLongVowelCode = 0x5E;
inline constexpr uint16_t kVoicedMarkCode = 0x5F;
inline constexpr uint16_t kSemiVoicedMarkCode = 0x60;
inline constexpr uint16_t kKanaStopCode = 0x61;
inline constexpr uint16_t kKanaCommaCode = 0x62;
inline constexpr uint16_t kFirstSmallKanaCode = 0x63;  // small tsu, ya, yu, yo
inline constexpr uint16_t kWideStopCode = 0x67;     // written with backslash-x escapes in the table
inline constexpr uint16_t kMiddleDotCode = 0x68;
inline constexpr uint16_t kSmallACode = 0x69;       // written with a backslash-x escape
// Codes the strings use without a code table entry: the first range is covered by a .NULL16
// range line (which gives no text to the decoder), the second by nothing at all.
inline constexpr uint16_t kFirstRangeOnlyCode = 0x70;
inline constexpr uint16_t kRangeOnlyCount = 16;
inline constexpr uint16_t kFirstUnmappedCode = 0x80;
inline constexpr uint16_t kUnmappedCount = 4;

struct CharacterEntry {
    uint16_t code = 0;
    std::string sjis;     // the bytes the decoder produces
    std::string written;  // the text word as the block data file writes it
};

// Every code with a table entry, in code order.
[[nodiscard]] const std::vector<CharacterEntry>& DemoCharacters();

}  // namespace corv::demo
