#include "script/substitutions.h"

namespace corv::script {
void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

namespace {

// A Latin-1 character the table file maps keeps its place: it is not substituted.
bool keeps(char32_t code, const CharacterMap& characters) {
    return code <= 0xFF && characters.mapsCharacter(static_cast<char>(code));
}

}  // namespace

std::optional<Utf8Character> ReadUtf8Character(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const auto lead = static_cast<uint8_t>(text[0]);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || length > text.size()) return std::nullopt;
    char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<uint8_t>(text[k]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        code = (code << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    return Utf8Character{code, length};
}

SubstitutionProblem Substitutions::add(std::string_view character, std::string_view replacement) {
    const auto key = ReadUtf8Character(character);
    if (!key || key->length != character.size()) return SubstitutionProblem::NotOneCharacter;
    if (key->code < 0x80) return SubstitutionProblem::PlainCharacter;
    std::string latin1;
    for (size_t p = 0; p < replacement.size();) {
        const auto c = ReadUtf8Character(replacement.substr(p));
        if (!c || c->code > 0xFF) return SubstitutionProblem::NotLatin1;
        if (c->code < 0x20 || c->code == '[' || c->code == ']' || (c->code >= 0x7F && c->code < 0xA0)) {
            return SubstitutionProblem::StructureCharacter;
        }
        latin1 += static_cast<char>(c->code);
        p += c->length;
    }
    if (latin1.size() > kLongestSubstitution) return SubstitutionProblem::TooLong;
    list_[key->code] = std::move(latin1);
    return SubstitutionProblem::None;
}

void Substitutions::merge(const Substitutions& other) {
    for (const auto& [code, text] : other.list_) list_[code] = text;
}

const std::string* Substitutions::find(char32_t code) const {
    const auto found = list_.find(code);
    return found == list_.end() ? nullptr : &found->second;
}

SubstitutedText SubstituteUtf8(std::string_view utf8, const Substitutions& substitutions, const CharacterMap& characters) {
    SubstitutedText result;
    for (size_t p = 0; p < utf8.size();) {
        const auto c = ReadUtf8Character(utf8.substr(p));
        if (!c) {
            result.utf8 += utf8[p++];
            continue;
        }
        const std::string* replacement = keeps(c->code, characters) ? nullptr : substitutions.find(c->code);
        if (replacement != nullptr) {
            for (const char r : *replacement) AppendUtf8(result.utf8, static_cast<uint8_t>(r));
            ++result.count;
        } else {
            result.utf8.append(utf8.substr(p, c->length));
        }
        p += c->length;
    }
    return result;
}

SubstitutedLatin1 SubstituteLatin1(std::string_view latin1, const Substitutions& substitutions,
                                   const CharacterMap& characters) {
    SubstitutedLatin1 result;
    for (const char c : latin1) {
        const auto code = static_cast<uint8_t>(c);
        const std::string* replacement = code < 0x80 || keeps(code, characters) ? nullptr : substitutions.find(code);
        if (replacement != nullptr) {
            result.latin1 += *replacement;
            ++result.count;
        } else {
            result.latin1 += c;
        }
    }
    return result;
}

std::string_view DefaultSubstitutionLines() {
    return "\"\u2018\" = \"'\"      # left single quotation mark\n"
           "\"\u2019\" = \"'\"      # right single quotation mark, the apostrophe of word processors\n"
           "\"\u201A\" = \",\"      # single low quotation mark\n"
           "\"\u201C\" = \"\\\"\"     # left double quotation mark\n"
           "\"\u201D\" = \"\\\"\"     # right double quotation mark\n"
           "\"\u201E\" = \"\\\"\"     # double low quotation mark\n"
           "\"\u2026\" = \"...\"    # ellipsis\n"
           "\"\u2014\" = \"-\"      # em dash\n"
           "\"\u2013\" = \"-\"      # en dash\n"
           "\"\u00AB\" = \"<<\"     # left guillemet, for a game font without it\n"
           "\"\u00BB\" = \">>\"     # right guillemet\n"
           "\"\u00A0\" = \" \"      # no-break space\n"
           "\"\u202F\" = \" \"      # narrow no-break space\n";
}

}  // namespace corv::script
