#pragma once
// PO files (GNU gettext's exchange format) as this project writes them: UTF-8, one message per
// string with its context, and the conversions between the script files' Latin-1 and UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corv::project {

struct PoMessage {
    std::vector<std::string> notes;  // extracted comments ("#. "), one line each
    std::string context;             // msgctxt
    std::string id;                  // msgid (UTF-8, '\n' between lines)
    std::string str;                 // msgstr (UTF-8; empty: not translated)
};

// The whole file: a header naming the charset, then the messages in order.
[[nodiscard]] std::string FormatPoFile(const std::vector<PoMessage>& messages);

// Latin-1 bytes as UTF-8.
[[nodiscard]] std::string Latin1ToUtf8(std::string_view latin1);

// UTF-8 as the bytes of a script file. A character a script cannot hold (past U+00FF), one the
// game reads as a code (U+00F0 to U+00FF, the controls below U+0020 but the line break) or a
// byte that is not UTF-8 stops it: `badAt` gets its byte position in `utf8`.
struct ScriptCharacters {
    std::string latin1;
    std::optional<size_t> badAt;
    char32_t badCharacter = 0;
};
[[nodiscard]] ScriptCharacters Utf8ToScriptCharacters(std::string_view utf8);

}  // namespace corv::project
