#pragma once
// Text from a file someone else wrote (a TOML key, a PO context, a script line), made safe to
// print on a terminal or in a log: a control character there could move the cursor, clear the
// screen or retitle the window. Control characters become visible escapes; every other byte
// stays as it is, so UTF-8 and 8-bit text read as before.

#include <string>
#include <string_view>

namespace corv::core {

// C0 controls and DEL as "\x1B", the C1 controls as "\u009B" when written in UTF-8 (C2 80 to
// C2 9F) and as "\x9B" when they stand alone as bytes; a backslash stays a backslash.
[[nodiscard]] std::string EscapeControlCharacters(std::string_view text);

}  // namespace corv::core
