#pragma once
// Display of the code table's Shift-JIS text. Files and the code maps keep the original bytes;
// only what is shown on screen or printed to a terminal is converted.

#include <string>
#include <string_view>

namespace corv::script {

inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Shift-JIS (the Windows code page 932 variant) to UTF-8. A byte that starts no valid character
// becomes U+FFFD and the conversion goes on with the next byte, so any input converts.
[[nodiscard]] std::string ShiftJisToUtf8(std::string_view bytes);

}  // namespace corv::script
