#pragma once
// Every control code as the tests expect it, written out by hand so that a slip in the code's
// own table shows: the encoder, the preview, the decoder, the readback and the checks all run
// through these rows.

#include <cstdint>
#include <string_view>

namespace corv::testing_support {

struct KeywordCase {
    uint8_t kind;
    std::string_view keyword;      // as scripts write it: upper case, "[PAUSE" without its bracket
    std::string_view lowerCase;    // the same keyword in lower case, which every reader accepts
    std::string_view decoderText;  // the decoder's text for the game word kind 05 (F9 followed by
                                   // the words 1234 5678), without a line break
    int gameParameterWords;        // 16-bit words after the code word in a game string
    int translatedParameterBytes;  // bytes after the code byte in the translated format
    bool breaksLine;               // the decoder's text is followed by CR LF
    bool mustKeep;                 // a translation must keep it as often as the game string
};

inline constexpr KeywordCase kKeywordCases[] = {
    {0xF0, "[KEY]", "[key]", "[Key]", 0, 0, false, false},
    {0xF1, "[PAUSE", "[pause", "[Pause$05]", 0, 1, false, false},
    {0xF3, "[SFX]", "[sfx]", "[SFX]", 0, 0, false, true},
    {0xF4, "[PLAYER]", "[player]", "[Player]", 0, 0, false, true},
    {0xF5, "[MEM_NUM]", "[mem_num]", "[MEM_Num]", 0, 0, false, true},
    {0xF6, "[MEM_TEXT]", "[mem_text]", "[MEM_Text]", 0, 0, false, true},
    {0xF7, "[FADEIN]", "[fadein]", "[FadeIn]", 0, 0, false, true},
    {0xF8, "[FADEOUT]", "[fadeout]", "[FadeOut]", 0, 0, false, true},
    {0xF9, "[YES-NO]", "[yes-no]", "[Yes-No][$1234][$5678]", 2, 4, false, true},
    {0xFB, "[TEXTBOX]", "[textbox]", "[FixTextBox]", 0, 0, false, true},
    {0xFC, "[CLRWIN]", "[clrwin]", "[ClrWin]", 0, 0, true, false},
    {0xFD, "[NEWLINE]", "[newline]", "", 0, 0, true, false},
};

// The two codes without a keyword: scripts write them as escapes.
struct UnnamedCodeCase {
    uint8_t kind;
    std::string_view decoderText;
};

inline constexpr UnnamedCodeCase kUnnamedCodeCases[] = {
    {0xF2, "[$F200]"},
    {0xFA, "[$FA00]"},
};

}  // namespace corv::testing_support
