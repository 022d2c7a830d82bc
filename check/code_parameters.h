#pragma once
// Codes that are not whole. The translated game reads a control code's parameter bytes (the
// pause's length, the yes/no choice's four bytes) and a dictionary reference's slot from
// whatever follows the code byte. A script writes them as escapes right after the code
// ("[PAUSE$1E]", "[YES-NO][$1234][$5678]"); without them the game takes the text, a line break,
// the string's end mark and the next string's bytes instead. And an escape that writes FF where
// the game reads the end mark ends the string there.

#include <span>
#include <string>
#include <vector>

#include "check/string_check.h"

namespace corv::check {

// CodeWithoutParameters for every code a keyword or an escape writes whose parameter bytes are
// not all written by escapes after it, and EscapedEndMark for an escape's FF that the game reads
// as the end, on the entry lines of string `number` as the encoder reads them (after the
// dictionary step). Code bytes written as plain characters are CodeCharacter findings instead.
[[nodiscard]] std::vector<Finding> CheckCodeParameters(std::span<const std::string> encoderLines, unsigned number);

}  // namespace corv::check
