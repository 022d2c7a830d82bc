#include "script/script_line_reader.h"

#include "script/text_lines.h"

namespace corv::script {

bool ScriptLineReader::next(ScriptToken& token) {
    if (position_ >= line_.size()) return false;
    token = ScriptToken{};
    if (escapeOnKeyword_) {
        escapeOnKeyword_ = false;
        readEscape(token, position_ - 1);
        token.onKeyword = true;
    } else if (hasAhead_) {
        token = ahead_;
        hasAhead_ = false;
    } else if (!readBracket(position_, token)) {
        // Text up to the next "[" that starts a token; a "[" that starts nothing is text too.
        token.kind = ScriptTokenKind::Text;
        token.start = position_;
        size_t end = position_ + 1;
        for (;;) {
            end = line_.find('[', end);
            if (end == std::string_view::npos) {
                end = line_.size();
                break;
            }
            if (readBracket(end, ahead_)) {
                hasAhead_ = true;  // the token after the text, read already
                break;
            }
            ++end;
        }
        token.size = end - token.start;
    }
    position_ = token.end();
    if (token.kind == ScriptTokenKind::Keyword && rules_.parameter == KeywordParameter::EscapeAfterAnyKeyword &&
        position_ < line_.size() && line_[position_] == '$') {
        escapeOnKeyword_ = true;
    }
    return true;
}

bool ScriptLineReader::readBracket(size_t at, ScriptToken& token) const {
    if (line_[at] != '[') return false;
    token = ScriptToken{};
    if (const KeywordMatch match = KeywordMatchAt(line_, at); match.code != nullptr) {
        const ControlCode* code = match.code;
        const size_t after = at + match.size;
        token.kind = ScriptTokenKind::Keyword;
        token.start = at;
        token.size = match.size;
        token.code = code;
        if (rules_.parameter != KeywordParameter::PauseInline) return true;
        if (after < line_.size() && line_[after] == '$') {
            // "[PAUSE$hh]": the bracket must stand three places after the "$".
            if (code->lowByteParameter && after + 3 < line_.size() && line_[after + 3] == ']') {
                token.size += 4;
                token.hasParameter = true;
                token.parameter = ReadHexPair(line_.substr(after + 1, 2), PairBlanks::AreDigits);
                return true;
            }
        } else if (code->keyword.back() == ']') {
            return true;
        }
        token = ScriptToken{};  // the "[" names no code here
    }
    if (at + 1 < line_.size() && line_[at + 1] == '$') {
        readEscape(token, at);
        return true;
    }
    if (!rules_.bracketWords) return false;
    size_t end = at + 1;
    while (end < line_.size() && line_[end] != ']' && line_[end] != '[') ++end;
    token.kind = ScriptTokenKind::BracketWord;
    token.start = at;
    token.closed = end < line_.size() && line_[end] == ']';
    token.size = end + (token.closed ? 1 : 0) - at;
    return true;
}

void ScriptLineReader::readEscape(ScriptToken& token, size_t open) const {
    token.kind = ScriptTokenKind::Escape;
    token.start = open;
    size_t close = std::string_view::npos;
    if (rules_.escapeEnd == EscapeEnd::FirstBracket) {
        close = line_.find(']', open + 2);
    } else {
        size_t p = open + 2;
        while (p < line_.size() && line_[p] != ']') p += kEscapeSkipCharacters.find(line_[p]) != std::string_view::npos ? 1 : 2;
        if (p < line_.size()) close = p;
    }
    token.closed = close != std::string_view::npos;
    token.size = (token.closed ? close + 1 : line_.size()) - open;
}

uint8_t ReadHexPair(std::string_view pair, PairBlanks blanks) {
    size_t i = 0;
    if (blanks == PairBlanks::Skipped) {
        while (i < pair.size() && IsBlank(pair[i])) ++i;
    }
    unsigned value = 0;
    for (; i < pair.size(); ++i) {
        const int digit = core::HexDigitValue(pair[i]);
        if (digit < 0) break;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<uint8_t>(value & 0xFF);
}

}  // namespace corv::script
