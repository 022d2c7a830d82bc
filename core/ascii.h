#pragma once
// Hexadecimal digits and letter case, for every reader of the project's text formats. Only the
// ASCII letters have a case: every other byte, Shift-JIS bytes included, compares as itself.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

namespace corv::core {

// The value of a hexadecimal digit of either case, or -1 for any other character.
[[nodiscard]] constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct HexDigits {
    uint32_t value = 0;
    size_t count = 0;       // digits read; 0 when the text does not start with one
    bool overflow = false;  // the digits make a number beyond 32 bits (value is then 0)
};

// The hexadecimal digits at the very start of `text` read as one number: no blanks, sign or
// "0x" prefix are taken, reading stops at the first character that is no digit.
[[nodiscard]] inline HexDigits ReadHexDigits(std::string_view text) {
    HexDigits digits;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), digits.value, 16);
    digits.count = static_cast<size_t>(end - text.data());
    digits.overflow = error == std::errc::result_out_of_range;
    if (digits.overflow) digits.value = 0;
    return digits;
}

// `value` in upper-case hexadecimal, zero-padded to at least `digits` digits: how the messages
// write block addresses and bytes.
[[nodiscard]] inline std::string HexText(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

[[nodiscard]] constexpr char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
[[nodiscard]] constexpr char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

[[nodiscard]] constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
    }
    return true;
}

// True when `text` begins with `prefix`, letter case ignored.
[[nodiscard]] constexpr bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// The first position from `from` on where `needle` occurs in `haystack`, letter case ignored;
// npos when there is none. An empty needle is found at `from` itself.
[[nodiscard]] inline size_t FindIgnoringCase(std::string_view haystack, std::string_view needle, size_t from = 0) {
    if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
    if (needle.size() > haystack.size()) return std::string_view::npos;
    // A first character without case (the '.' of ".STRING n") is found by the library's scan.
    const char first = ToLowerAscii(needle[0]);
    const bool firstIsLetter = first >= 'a' && first <= 'z';
    for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        if (!firstIsLetter) {
            i = haystack.find(first, i);
            if (i == std::string_view::npos || i + needle.size() > haystack.size()) break;
        }
        size_t k = 0;
        while (k < needle.size() && ToLowerAscii(haystack[i + k]) == ToLowerAscii(needle[k])) ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

}  // namespace corv::core
