#include "check/translated_string.h"

#include <cstdio>

#include "script/control_codes.h"
#include "script/script_encoder.h"
#include "script/script_line_reader.h"

namespace corv::check {
namespace {

// Characters shown as they are; everything else is written as an escape.
bool printable(uint8_t byte) { return (byte >= 0x20 && byte < 0x7F) || (byte >= 0x80 && byte < script::kFirstControlKind); }

std::string hexBytes(std::span<const uint8_t> bytes) {
    std::string text;
    char pair[3];
    for (uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", unsigned{byte});
        text += pair;
    }
    return text;
}

std::string escape(std::span<const uint8_t> bytes) { return "[$" + hexBytes(bytes) + "]"; }

// Builds the lines, gathering bytes that need an escape into one escape. Game bytes are shown
// as the character map's letters where encoding that letter gives the byte back.
class LineWriter {
public:
    explicit LineWriter(const script::CharacterMap& characters) : characters_(characters) {}
    void character(uint8_t byte) {
        pending_.push_back(byte);
    }
    void text(const std::string& text) {
        flush();
        lines_.back() += text;
        afterKeyword_ = false;
    }
    // A keyword that ends in "]": a "$" right after it would be read as its parameter.
    void keyword(const std::string& text) {
        this->text(text);
        afterKeyword_ = true;
    }
    void lineBreak() {
        flush();
        lines_.emplace_back();
        afterKeyword_ = false;
    }
    std::vector<std::string> finish() {
        flush();
        return std::move(lines_);
    }

private:
    // Printable characters go out as they are, except a "[" that the encoder would read as the
    // start of a keyword or an escape.
    void flush() {
        std::vector<uint8_t> escaped;
        std::string& line = lines_.back();
        shown_.clear();
        for (const uint8_t byte : pending_) shown_ += characters_.characterOf(byte);
        for (size_t i = 0; i < pending_.size(); ++i) {
            const uint8_t byte = pending_[i];
            const char shown = shown_[i];
            const bool parameterLike = i == 0 && afterKeyword_ && shown == '$';
            const bool ownByte = characters_.byteOf(shown) == byte;
            const bool letter = characters_.givesByte(byte) ? static_cast<uint8_t>(shown) >= 0x20 && shown != 0x7F
                                                            : printable(byte);
            if (letter && ownByte && !parameterLike && !(shown == '[' && startsCode(i))) {
                if (!escaped.empty()) line += escape(escaped);
                escaped.clear();
                line += shown;
            } else {
                escaped.push_back(byte);
            }
        }
        if (!escaped.empty()) line += escape(escaped);
        if (!pending_.empty()) afterKeyword_ = false;
        pending_.clear();
    }
    // Does the encoder read a keyword or an escape from the "[" at `i`?
    bool startsCode(size_t i) const {
        const std::string rest = shown_.substr(i);
        script::ScriptLineReader reader(rest, script::kScriptEncoderRules);
        script::ScriptToken token;
        return reader.next(token) && token.kind != script::ScriptTokenKind::Text;
    }

    std::vector<std::string> lines_{std::string()};
    std::vector<uint8_t> pending_;
    std::string shown_;  // the characters of pending_
    bool afterKeyword_ = false;
    const script::CharacterMap& characters_;
};

}  // namespace

TranslatedString ReadTranslatedString(std::span<const uint8_t> bytes) {
    TranslatedString string;
    size_t p = 0;
    while (p < bytes.size()) {
        const uint8_t byte = bytes[p];
        if (byte == script::kStringEndByte) {
            string.ended = true;
            ++p;
            break;
        }
        TranslatedToken token;
        size_t params = 0;
        if (byte == kDictionaryPrefix) {
            token.kind = TokenKind::DictionaryWord;
            params = 1;
        } else if (script::IsControlKind(byte)) {
            token.kind = TokenKind::Code;
            params = script::ControlCodeOf(byte).translatedParameterBytes;
        }
        if (p + 1 + params > bytes.size()) {
            p = bytes.size();
            break;
        }
        token.value = byte;
        if (token.kind == TokenKind::DictionaryWord) {
            token.value = bytes[p + 1];
        } else {
            token.params.assign(bytes.begin() + long(p) + 1, bytes.begin() + long(p + 1 + params));
        }
        string.tokens.push_back(std::move(token));
        p += 1 + params;
    }
    string.size = p;
    return string;
}

std::vector<std::string> ReadBackLines(const TranslatedString& string, const script::TableFile& table) {
    if (string.tokens.empty()) return {};  // the encoding of an entry without lines
    LineWriter out(table.characterMap());
    for (const TranslatedToken& token : string.tokens) {
        switch (token.kind) {
        case TokenKind::Character: out.character(token.value); break;
        case TokenKind::DictionaryWord: {
            const auto& word = table.dictionaryWord(token.value);
            const uint8_t reference[2] = {kDictionaryPrefix, token.value};
            out.text(word && !word->empty() ? *word : escape(reference));
            break;
        }
        case TokenKind::Code: {
            if (token.value == script::kLineBreakByte) {
                out.lineBreak();
                break;
            }
            const script::ControlCode* code = script::KeywordFor(token.value);
            if (code == nullptr) {
                out.character(token.value);  // F2 and FA have no keyword
                break;
            }
            std::string text(code->keyword);
            if (code->lowByteParameter) {
                out.text(text + "$" + hexBytes(token.params) + "]");
            } else if (code->gameParameterWords > 0) {
                // One escape per parameter word, the way the kana dump prints them.
                const std::span<const uint8_t> params(token.params);
                for (size_t word = 0; word < code->gameParameterWords; ++word) text += escape(params.subspan(2 * word, 2));
                out.text(text);
            } else {
                out.keyword(text);
            }
            break;
        }
        }
    }
    return out.finish();
}

}  // namespace corv::check
