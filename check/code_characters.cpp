#include "check/code_characters.h"

#include "check/translated_string.h"
#include "script/control_codes.h"
#include "script/script_encoder.h"

namespace corv::check {

CodeCharacterRole RoleOfCharacter(uint8_t byte) {
    if (byte == kDictionaryPrefix) return CodeCharacterRole::DictionaryWord;
    if (byte == script::kStringEndByte) return CodeCharacterRole::StringEnd;
    if (byte >= script::kFirstControlKind) return CodeCharacterRole::ControlCode;
    return CodeCharacterRole::None;
}

bool LooksLikeUtf8(std::string_view text) {
    bool sequence = false;
    for (size_t p = 0; p < text.size();) {
        const auto lead = static_cast<uint8_t>(text[p]);
        if (lead < 0x80) {
            ++p;
            continue;
        }
        // C2-DF, E0-EF and F0-F4 lead sequences of two, three and four bytes (C0, C1 and F5
        // up never occur in UTF-8).
        const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                              : lead >= 0xF0 && lead <= 0xF4                                    ? 4
                                                                                                : 0;
        if (length == 0 || p + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<uint8_t>(text[p + k]) & 0xC0) != 0x80) return false;
        }
        sequence = true;
        p += length;
    }
    return sequence;
}

}  // namespace corv::check
