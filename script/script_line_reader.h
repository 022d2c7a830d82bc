#pragma once
// The one reader of a script line: text, keywords, escapes "[$..]" and bracket words. Dictionary
// words reach it already replaced by their escapes "[$01nn]" (the dictionary step runs first).
//
// Its readers differ on purpose, and say so through ScriptLineRules:
//   the script encoder  a "$" right after any keyword opens an escape on the keyword's last
//                       character ("[PAUSE$1E]", "[KEY]$05]"); "[PAUSE" alone is a keyword
//   the preview         only "[PAUSE$hh]" with its bracket three places after the "$" takes a
//                       parameter; "[PAUSE" alone, or a keyword followed by "$", is text
//   the checks          a keyword is its name alone; an escape ends at its first "]"; a "[" that
//                       starts nothing is a bracket word up to its "]" or the next "["
// Escapes of the two encoders are read in pairs of two characters, so a pair may swallow the
// closing bracket ("[$1]AB]" is one escape); the readers differ there in whether a pair skips
// leading blanks (PairBlanks).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/control_codes.h"

namespace corv::script {

enum class KeywordParameter {
    EscapeAfterAnyKeyword,  // the script encoder
    PauseInline,            // the preview
    None,                   // the checks
};

enum class EscapeEnd {
    AfterPairs,    // pairs of two characters up to a "]" that stands where a pair would start
    FirstBracket,  // the first "]"
};

struct ScriptLineRules {
    KeywordParameter parameter = KeywordParameter::EscapeAfterAnyKeyword;
    EscapeEnd escapeEnd = EscapeEnd::AfterPairs;
    bool bracketWords = false;  // a "[" that starts no keyword or escape: a bracket word, not text
};

inline constexpr ScriptLineRules kScriptEncoderRules{KeywordParameter::EscapeAfterAnyKeyword, EscapeEnd::AfterPairs, false};
inline constexpr ScriptLineRules kPreviewRules{KeywordParameter::PauseInline, EscapeEnd::AfterPairs, false};
inline constexpr ScriptLineRules kCheckRules{KeywordParameter::None, EscapeEnd::FirstBracket, true};

enum class ScriptTokenKind {
    Text,         // characters that stand for themselves
    Keyword,      // a control code's keyword
    Escape,       // "[$" hexadecimal pairs "]"
    BracketWord,  // "[" ... that names nothing (kCheckRules only)
};

struct ScriptToken {
    ScriptTokenKind kind = ScriptTokenKind::Text;
    size_t start = 0;  // position in the line
    size_t size = 0;   // characters covered
    const ControlCode* code = nullptr;  // Keyword
    bool hasParameter = false;          // Keyword: "[PAUSE$hh]" read whole (kPreviewRules)
    uint8_t parameter = 0;
    // Escape, BracketWord: ended by its "]" rather than by the line's end.
    bool closed = false;
    // Escape: opened by a "$" right after a keyword (kScriptEncoderRules). Its "[" is then the
    // keyword's last character, which the escape shares: start is one before the "$".
    bool onKeyword = false;

    [[nodiscard]] size_t end() const { return start + size; }
};

// Reads the tokens of one line in order.
class ScriptLineReader {
public:
    ScriptLineReader(std::string_view line, const ScriptLineRules& rules) : line_(line), rules_(rules) {}

    // The next token; false at the end of the line.
    bool next(ScriptToken& token);

private:
    // The token that the "[" at `at` starts; false when it is text.
    bool readBracket(size_t at, ScriptToken& token) const;
    void readEscape(ScriptToken& token, size_t open) const;

    std::string_view line_;
    ScriptLineRules rules_;
    size_t position_ = 0;
    bool escapeOnKeyword_ = false;  // the last token was a keyword followed by "$"
    ScriptToken ahead_;
    bool hasAhead_ = false;
};

enum class PairBlanks {
    Skipped,    // the script encoder: leading blanks of a pair are skipped
    AreDigits,  // the preview: a blank ends the pair's digits like any other non-digit
};

// One pair of an escape: at most two characters read as hexadecimal, reading stops at the first
// character that is no digit; no digit at all reads as 0.
[[nodiscard]] uint8_t ReadHexPair(std::string_view pair, PairBlanks blanks);

// Characters that may stand between the pairs of an escape.
inline constexpr std::string_view kEscapeSkipCharacters = "$_-(){}<>";

// Calls put(byte) for each pair of `escape` (read under EscapeEnd::AfterPairs), in order.
template <typename Put>
void ForEachEscapeByte(std::string_view line, const ScriptToken& escape, PairBlanks blanks, Put&& put) {
    size_t p = escape.start + 2;
    while (p < line.size() && line[p] != ']') {
        if (kEscapeSkipCharacters.find(line[p]) != std::string_view::npos) {
            ++p;
            continue;
        }
        put(ReadHexPair(line.substr(p, 2), blanks));
        p += 2;
    }
}

}  // namespace corv::script
