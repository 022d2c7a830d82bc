#pragma once
// The kana text of a string as the Kana Text window holds it: the code table's bytes (Shift-JIS
// for kana and kanji), split into the lines the window shows, including where it wraps a long
// line at its width. The wrapping itself is measured by the window; this side only cuts the
// bytes where it says.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "script/string_decoder.h"

namespace corv::editor {

// Splits one line (no line break in it) into the lines an editor shows when it wraps it. It is
// given the line as its characters, each converted to UTF-8 for display, and returns how many of
// those characters each shown line takes, in order. An empty or short answer leaves the rest of
// the line on one further line; counts past the end are ignored.
using KanaLineWrap = std::function<std::vector<size_t>(const std::vector<std::string>& characters)>;

// The characters of a Shift-JIS line: a lead byte (0x81-0x9F, 0xE0-0xFC) with a valid trail
// byte is one character of two bytes; every other byte is one character of its own.
[[nodiscard]] std::vector<std::string> ShiftJisCharacters(std::string_view bytes);

// The window's text for a string: its text decoding through the 16-bit code map (CR LF line
// breaks), or nothing when `resolved` is one of the messages that stand for a record that
// cannot be read.
[[nodiscard]] std::string KanaWindowText(const script::ResolvedString& resolved, const script::CodeMaps& maps);

// The lines of a kana text as the window shows them: split at CR LF (an empty last line after a
// final line break does not count) and, when `wrap` is given, at the window's wraps. Every byte
// of the text except the CR LF pairs is in exactly one line, in order.
[[nodiscard]] std::vector<std::string> KanaWindowLines(std::string_view text, const KanaLineWrap& wrap);

// "Kana Text: String #" and the string index in decimal.
[[nodiscard]] std::string KanaTextCaption(unsigned stringIndex);

}  // namespace corv::editor
