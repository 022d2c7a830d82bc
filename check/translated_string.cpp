#include "check/translated_string.h"

#include <cstdio>

#include "script/script_encoder.h"

namespace corv::check {
namespace {

size_t parameterCount(uint8_t code) {
    if (code == kPauseCode) return 1;
    if (code == kYesNoCode) return 4;  // two 16-bit words
    return 0;
}

// Characters shown as they are; everything else is written as an escape.
bool printable(uint8_t byte) { return (byte >= 0x20 && byte < 0x7F) || (byte >= 0x80 && byte < kFirstCode); }

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

// Builds the lines, gathering bytes that need an escape into one escape.
class LineWriter {
public:
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
        for (size_t i = 0; i < pending_.size(); ++i) {
            const uint8_t byte = pending_[i];
            const bool parameterLike = i == 0 && afterKeyword_ && byte == '$';
            if (printable(byte) && !parameterLike && !(byte == '[' && startsCode(i))) {
                if (!escaped.empty()) line += escape(escaped);
                escaped.clear();
                line += static_cast<char>(byte);
            } else {
                escaped.push_back(byte);
            }
        }
        if (!escaped.empty()) line += escape(escaped);
        if (!pending_.empty()) afterKeyword_ = false;
        pending_.clear();
    }
    bool startsCode(size_t i) const {
        const std::string rest(pending_.begin() + long(i), pending_.end());
        return (rest.size() > 1 && rest[1] == '$') || script::KeywordAt(rest, 0) != nullptr;
    }

    std::vector<std::string> lines_{std::string()};
    std::vector<uint8_t> pending_;
    bool afterKeyword_ = false;
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
        } else if (byte >= kFirstCode && byte <= kLastCode) {
            token.kind = TokenKind::Code;
            params = parameterCount(byte);
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
    LineWriter out;
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
            const script::ScriptKeyword* keyword = script::KeywordFor(token.value);
            if (keyword == nullptr) {
                out.character(token.value);  // F2 and FA have no keyword
                break;
            }
            std::string text(keyword->text);
            if (token.value == kPauseCode) {
                out.text(text + "$" + hexBytes(token.params) + "]");
            } else if (token.value == kYesNoCode) {
                // Two escapes, the way the kana dump prints the two parameter words.
                out.text(text + escape(std::span(token.params).first(2)) + escape(std::span(token.params).subspan(2)));
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
