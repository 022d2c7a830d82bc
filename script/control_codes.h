#pragma once
// The game's control codes F0-FD, the one table that every reader and writer of them uses: the
// decoder's text forms, the encoders' keywords, and the parameters a code carries in each format.
//
// A code is its kind byte. In a game string it is the high byte of a 16-bit word whose low byte
// is its parameter byte; in the 8-bit preview stream it is written as parameter byte, kind; in
// the translated game's format it is the byte itself, followed by its parameter bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ascii.h"

namespace corv::script {

inline constexpr uint8_t kFirstControlKind = 0xF0;
inline constexpr uint8_t kCodeKeyWait = 0xF0;
inline constexpr uint8_t kCodePause = 0xF1;
inline constexpr uint8_t kCodeF2 = 0xF2;
inline constexpr uint8_t kCodeSound = 0xF3;
inline constexpr uint8_t kCodePlayer = 0xF4;
inline constexpr uint8_t kCodeMemoryNumber = 0xF5;
inline constexpr uint8_t kCodeMemoryText = 0xF6;
inline constexpr uint8_t kCodeFadeIn = 0xF7;
inline constexpr uint8_t kCodeFadeOut = 0xF8;
inline constexpr uint8_t kCodeYesNo = 0xF9;
inline constexpr uint8_t kCodeFA = 0xFA;
inline constexpr uint8_t kCodeTextBox = 0xFB;
inline constexpr uint8_t kCodeClearWindow = 0xFC;
inline constexpr uint8_t kCodeNewLine = 0xFD;
inline constexpr uint8_t kLastControlKind = 0xFD;

struct ControlCode {
    uint8_t kind = 0;
    // The decoder's text form (kana text, kana dumps, preview labels). A low-byte parameter is
    // appended as "%02X]"; parameter words follow as "[$%04X]" each. Empty for the line break.
    std::string_view textForm = {};
    // The encoders' keyword, upper case, matched ignoring case; empty for F2 and FA, which
    // scripts write as escapes. "[PAUSE" alone has no closing bracket: its parameter follows.
    std::string_view keyword = {};
    // Game string: the code word's low byte is a parameter (shown in the text form), and this
    // many 16-bit words follow the code word.
    bool lowByteParameter = false;
    uint8_t gameParameterWords = 0;
    // Translated format: parameter bytes after the code byte.
    uint8_t translatedParameterBytes = 0;
    // The text form is followed by a line break.
    bool breaksLine = false;
    // A translation must keep the code as often as the game string has it (the player's name,
    // numbers, choices, sounds, fades and the codes of unknown use); key waits, pauses, window
    // clears and line breaks may move freely.
    bool mustKeep = false;
};

// Indexed by kind - kFirstControlKind. Keywords are tried in table order, each with its dump
// name (DumpName); none of these names is the beginning of another, so at most one matches at
// any position.
inline constexpr std::array<ControlCode, 14> kControlCodes = {{
    {.kind = kCodeKeyWait, .textForm = "[Key]", .keyword = "[KEY]"},
    {.kind = kCodePause, .textForm = "[Pause$", .keyword = "[PAUSE", .lowByteParameter = true,
     .translatedParameterBytes = 1},
    {.kind = kCodeF2, .textForm = "[$F200]", .mustKeep = true},
    {.kind = kCodeSound, .textForm = "[SFX]", .keyword = "[SFX]", .mustKeep = true},
    {.kind = kCodePlayer, .textForm = "[Player]", .keyword = "[PLAYER]", .mustKeep = true},
    {.kind = kCodeMemoryNumber, .textForm = "[MEM_Num]", .keyword = "[MEM_NUM]", .mustKeep = true},
    {.kind = kCodeMemoryText, .textForm = "[MEM_Text]", .keyword = "[MEM_TEXT]", .mustKeep = true},
    {.kind = kCodeFadeIn, .textForm = "[FadeIn]", .keyword = "[FADEIN]", .mustKeep = true},
    {.kind = kCodeFadeOut, .textForm = "[FadeOut]", .keyword = "[FADEOUT]", .mustKeep = true},
    {.kind = kCodeYesNo, .textForm = "[Yes-No]", .keyword = "[YES-NO]", .gameParameterWords = 2,
     .translatedParameterBytes = 4, .mustKeep = true},
    {.kind = kCodeFA, .textForm = "[$FA00]", .mustKeep = true},
    {.kind = kCodeTextBox, .textForm = "[FixTextBox]", .keyword = "[TEXTBOX]", .mustKeep = true},
    {.kind = kCodeClearWindow, .textForm = "[ClrWin]", .keyword = "[CLRWIN]", .breaksLine = true},
    {.kind = kCodeNewLine, .keyword = "[NEWLINE]", .breaksLine = true},
}};

inline constexpr size_t kMostParameterWords = 2;

[[nodiscard]] constexpr bool IsControlKind(uint8_t byte) { return byte >= kFirstControlKind && byte <= kLastControlKind; }

// The table entry of a kind; `kind` must be a control kind.
[[nodiscard]] constexpr const ControlCode& ControlCodeOf(uint8_t kind) { return kControlCodes[kind - kFirstControlKind]; }

// The dump's name of a code when scripts may write it in place of the keyword: a whole bracketed
// name ("[FixTextBox]", "[ClrWin]", "[Key]"), not the pause's "[Pause$" (its keyword covers it in
// any case) nor the escapes "[$F200]" and "[$FA00]" (which encode as what they say).
[[nodiscard]] constexpr std::string_view DumpName(const ControlCode& code) {
    const std::string_view name = code.textForm;
    if (code.keyword.empty() || code.lowByteParameter || name.size() < 3 || name.back() != ']' || name[1] == '$') return {};
    return name;
}

// The keyword or dump name starting at `position` of `line` (letter case ignored) and its length.
struct KeywordMatch {
    const ControlCode* code = nullptr;
    size_t size = 0;
};

[[nodiscard]] constexpr KeywordMatch KeywordMatchAt(std::string_view line, size_t position) {
    // Every keyword opens with a bracket, and most characters of a line are none.
    if (position >= line.size() || line[position] != '[') return {};
    const std::string_view rest = line.substr(position);
    const auto matches = [&](std::string_view name) {
        if (name.empty() || rest.size() < name.size()) return false;
        for (size_t i = 1; i < name.size(); ++i) {
            if (core::ToUpperAscii(rest[i]) != core::ToUpperAscii(name[i])) return false;
        }
        return true;
    };
    for (const ControlCode& code : kControlCodes) {
        if (matches(code.keyword)) return {&code, code.keyword.size()};
        if (matches(DumpName(code))) return {&code, DumpName(code).size()};
    }
    return {};
}

// The code whose keyword or dump name starts at `position` of `line` (letter case ignored), or
// nullptr.
[[nodiscard]] constexpr const ControlCode* KeywordAt(std::string_view line, size_t position) {
    return KeywordMatchAt(line, position).code;
}

// The code of `kind` when it has a keyword (F0-FD except F2 and FA), or nullptr.
[[nodiscard]] const ControlCode* KeywordFor(uint8_t kind);

// The decoder's text form of a code with its parameters, without its line break: "[Pause$05]",
// "[Yes-No][$1234][$5678]", "[$F200]"; empty for the line break.
[[nodiscard]] std::string ControlCodeText(const ControlCode& code, uint8_t lowByte,
                                          const std::array<uint16_t, kMostParameterWords>& words = {});

}  // namespace corv::script
