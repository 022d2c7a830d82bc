#include "tools/demo/demo_charset.h"

namespace corv::demo {
namespace {

// Half-width katakana in the order a, i, u, e, o, ka ... wa, wo, n (single Shift-JIS bytes).
constexpr uint8_t kKanaBytes[kKanaCount] = {
    0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0,
    0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0,
    0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xA6, 0xDD};

std::vector<CharacterEntry> buildCharacters() {
    std::vector<CharacterEntry> list;
    auto add = [&list](uint16_t code, std::string sjis, std::string written = {}) {
        if (written.empty()) written = sjis;
        list.push_back({code, std::move(sjis), std::move(written)});
    };
    add(kSpaceCode, "\x81\x40");
    for (uint16_t i = 0; i < 10; ++i) add(static_cast<uint16_t>(kFirstDigitCode + i), std::string(1, static_cast<char>('0' + i)));
    for (uint16_t i = 0; i < 26; ++i) add(static_cast<uint16_t>(kFirstLetterCode + i), std::string(1, static_cast<char>('A' + i)));
    add(kExclamationCode, "!");
    add(kQuestionCode, "?");
    add(kFullStopCode, ".");
    for (uint16_t i = 0; i < kKanaCount; ++i) {
        add(static_cast<uint16_t>(kFirstKanaCode + i), std::string(1, static_cast<char>(kKanaBytes[i])));
    }
    add(kLongVowelCode, "\xB0");
    add(kVoicedMarkCode, "\xDE");
    add(kSemiVoicedMarkCode, "\xDF");
    add(kKanaStopCode, "\xA1");
    add(kKanaCommaCode, "\xA4");
    const char smallKana[] = "\xAF\xAC\xAD\xAE";  // small tsu, ya, yu, yo
    for (uint16_t i = 0; i < 4; ++i) add(static_cast<uint16_t>(kFirstSmallKanaCode + i), std::string(1, smallKana[i]));
    // Each escape is followed by a separator character, which the table reader skips.
    add(kWideStopCode, "\x81\x42", "\\x81_\\x42_");
    add(kMiddleDotCode, "\x81\x45");
    add(kSmallACode, "\xA7", "\\xA7_");
    return list;
}

}  // namespace

const std::vector<CharacterEntry>& DemoCharacters() {
    static const std::vector<CharacterEntry> characters = buildCharacters();
    return characters;
}

}  // namespace corv::demo
