#pragma once
// PO files (GNU gettext's exchange format) as this project writes them: UTF-8, one message per
// string with its context, and the conversions between the script files' Latin-1 and UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/character_map.h"

namespace corv::project {

struct PoMessage {
    std::vector<std::string> notes;  // extracted comments ("#. "), one line each
    std::string context;             // msgctxt
    std::string id;                  // msgid (UTF-8, '\n' between lines)
    std::string str;                 // msgstr (UTF-8; empty: not translated)
};

// What the header of a PO file says besides the charset: every field a PO checker wants filled.
struct PoHeader {
    std::string language;      // "de", "pt_BR"; empty: not said (see IsLanguageCode)
    std::string revisionDate;  // "2026-12-10 11:55+0000"; empty: gettext's placeholder
    bool isTemplate = false;   // a .pot: every msgstr empty, the placeholders of a template
};

// A language code a header may carry: one to 35 letters, digits and "_@.-", so that no value
// from a project file can write a header line of its own.
[[nodiscard]] bool IsLanguageCode(std::string_view code);

// The whole file: the header, then the messages in order (a template's with empty msgstr).
[[nodiscard]] std::string FormatPoFile(const std::vector<PoMessage>& messages, const PoHeader& header = {});

// Latin-1 bytes as UTF-8.
[[nodiscard]] std::string Latin1ToUtf8(std::string_view latin1);

// What keeps a translation out of a script: the PO import refuses it, and the export refuses to
// write a script entry holding it, so that whatever one writes the other takes back.
enum class TranslationProblem {
    None,
    NotUtf8,       // a byte that is no part of a UTF-8 character (`character` holds it)
    PastLatin1,    // a character past U+00FF: a script file is 8-bit
    GameCode,      // U+00F0 to U+00FF without a table line that maps it: the game reads the
                   // byte as a control code or the end
    Control,       // a control character (all below U+0020 but the tab and the line break)
    KeywordLine,   // a line the script's reader takes as ".STRING" or ".ENDS" (`line`)
    TooLong,       // more text than any block can hold
};

struct TranslationCheck {
    TranslationProblem problem = TranslationProblem::None;
    char32_t character = 0;  // NotUtf8, PastLatin1, GameCode, Control
    size_t line = 0;         // the 0-based line of the text it is on
};

// UTF-8 as the bytes of a script file, with the first problem that keeps it out of a script.
struct ScriptCharacters {
    std::string latin1;  // complete only without a problem
    TranslationCheck check;
};
// `characters` is the table file's character map: a letter it maps is written as its byte.
[[nodiscard]] ScriptCharacters Utf8ToScriptCharacters(std::string_view utf8, const script::CharacterMap& characters);

// The first problem of a translation in a script's own 8-bit bytes ('\n' between lines).
[[nodiscard]] TranslationCheck CheckScriptTranslation(std::string_view latin1, const script::CharacterMap& characters);

}  // namespace corv::project
