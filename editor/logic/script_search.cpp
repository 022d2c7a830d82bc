#include "editor/logic/script_search.h"

#include <algorithm>

namespace corv::editor {
namespace {

// Latin-1 lower case: A-Z and the letters from C0 to DE but the multiplication sign D7.
unsigned char folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    const bool upper = (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
    return upper ? static_cast<unsigned char>(byte + 0x20) : byte;
}

bool sameChar(char a, char b) { return folded(a) == folded(b); }

std::optional<size_t> findFrom(std::string_view text, std::string_view needle, size_t from) {
    if (from > text.size()) return std::nullopt;
    const auto found = std::search(text.begin() + ptrdiff_t(from), text.end(), needle.begin(), needle.end(), sameChar);
    if (found == text.end()) return std::nullopt;
    return size_t(found - text.begin());
}

}  // namespace

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameChar);
}

std::optional<TextMatch> FindIgnoringCase(std::string_view text, std::string_view needle, size_t from) {
    if (needle.empty()) return std::nullopt;
    std::optional<size_t> at = findFrom(text, needle, std::min(from, text.size()));
    if (!at) at = findFrom(text, needle, 0);
    if (!at) return std::nullopt;
    return TextMatch{*at, needle.size()};
}

ReplacedStretch ReplaceAllIgnoringCase(std::string_view text, std::string_view needle, std::string_view replacement) {
    ReplacedStretch result;
    if (needle.empty()) return result;
    size_t copied = 0;  // the end of what the stretch holds so far
    for (std::optional<size_t> at = findFrom(text, needle, 0); at; at = findFrom(text, needle, *at + needle.size())) {
        if (result.count == 0) {
            result.start = *at;
        } else {
            result.replacement.append(text.substr(copied, *at - copied));
        }
        result.replacement.append(replacement);
        copied = *at + needle.size();
        ++result.count;
    }
    result.length = result.count == 0 ? 0 : copied - result.start;
    return result;
}

}  // namespace corv::editor
