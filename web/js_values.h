#pragma once
// The conversions between the editor's values and JavaScript's that every part of the binding
// uses: script text as one character a Latin-1 byte, byte vectors as Uint8Array, lists of lines
// as arrays, and the page's option objects.

#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corv::web {

// Latin-1 bytes as a string of the same characters: texts that may quote the translator's words
// (findings, script text) cross as such, not as UTF-8, which they are not.
[[nodiscard]] std::wstring Latin1ToWide(std::string_view bytes);

// A page's text as script bytes, one byte a character; std::nullopt when a character has none
// (past U+00FF), its offset then in `refusedAt` when given.
[[nodiscard]] std::optional<std::string> WideToLatin1(std::wstring_view text, size_t* refusedAt = nullptr);
// The same for a text as JavaScript's UTF-16 code units (a Uint16Array), which cross faster than
// a string one character at a time.
[[nodiscard]] std::optional<std::string> WideToLatin1(std::span<const uint16_t> units, size_t* refusedAt = nullptr);

// A page's text as UTF-8, for the messages that quote it.
[[nodiscard]] std::string WideToUtf8(std::wstring_view text);

// A copy of the bytes as a Uint8Array: a view into the module's memory would go stale when that
// memory grows.
[[nodiscard]] emscripten::val BytesToJs(std::span<const uint8_t> bytes);

[[nodiscard]] emscripten::val LinesToJs(const std::vector<std::string>& lines);

// options[name] of a page's option object: false, or std::nullopt, when the object or the field
// is missing (undefined or null).
[[nodiscard]] bool OptionFlag(const emscripten::val& options, const char* name);
[[nodiscard]] std::optional<size_t> OptionOffset(const emscripten::val& options, const char* name);

}  // namespace corv::web
