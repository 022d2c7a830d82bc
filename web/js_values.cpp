#include "web/js_values.h"

namespace corv::web {

using emscripten::val;

std::wstring Latin1ToWide(std::string_view bytes) {
    std::wstring text(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return text;
}

namespace {

// The bytes are written by index: in this build every call that may throw (push_back) goes
// through JavaScript, too slow once per character of a long script.
template <typename Unit>
std::optional<std::string> UnitsToLatin1(std::span<const Unit> units, size_t* refusedAt) {
    std::string bytes(units.size(), '\0');
    for (size_t i = 0; i < units.size(); ++i) {
        // Anything past U+00FF, a surrogate included, is no Latin-1 byte.
        const auto unit = static_cast<uint32_t>(units[i]);
        if (unit > 0xFF) {
            if (refusedAt) *refusedAt = i;
            return std::nullopt;
        }
        bytes[i] = static_cast<char>(unit);
    }
    return bytes;
}

}  // namespace

std::optional<std::string> WideToLatin1(std::wstring_view text, size_t* refusedAt) {
    return UnitsToLatin1(std::span<const wchar_t>(text.data(), text.size()), refusedAt);
}

std::optional<std::string> WideToLatin1(std::span<const uint16_t> units, size_t* refusedAt) {
    return UnitsToLatin1(units, refusedAt);
}

std::string WideToUtf8(std::wstring_view text) {
    std::string utf8;
    for (const wchar_t character : text) {
        auto code = static_cast<uint32_t>(character);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | (code >> 18)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

val BytesToJs(std::span<const uint8_t> bytes) {
    return val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

val LinesToJs(const std::vector<std::string>& lines) {
    val array = val::array();
    for (const std::string& line : lines) array.call<void>("push", line);
    return array;
}

namespace {

val field(const val& options, const char* name) {
    if (options.isUndefined() || options.isNull()) return val::undefined();
    return options[name];
}

}  // namespace

bool OptionFlag(const val& options, const char* name) {
    const val value = field(options, name);
    return !value.isUndefined() && !value.isNull() && value.as<bool>();
}

std::optional<size_t> OptionOffset(const val& options, const char* name) {
    const val value = field(options, name);
    if (value.isUndefined() || value.isNull()) return std::nullopt;
    const double offset = value.as<double>();
    return offset > 0 ? static_cast<size_t>(offset) : 0;
}

}  // namespace corv::web
