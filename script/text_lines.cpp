#include "script/text_lines.h"

#include <system_error>

#include "core/rom_image.h"

namespace corv::script {

namespace {

constexpr int64_t kSaturated = int64_t{1} << 40;

std::optional<ScannedNumber> scanNumber(std::string_view text, int base) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    auto digit = [base](char c) {
        const int d = core::HexDigitValue(c);
        return d >= 0 && d < base ? d : -1;
    };
    if (base == 16 && i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        digit(text[i + 2]) >= 0) {
        i += 2;
    }
    if (i >= text.size() || digit(text[i]) < 0) return std::nullopt;
    int64_t value = 0;
    while (i < text.size() && digit(text[i]) >= 0) {
        value = value * base + digit(text[i]);
        if (value > kSaturated) value = kSaturated;
        ++i;
    }
    return ScannedNumber{negative ? -value : value, i};
}

}  // namespace

std::optional<std::string> ReadTextFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    const auto bytes = core::ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

void ForEachLinePiece(std::string_view text, size_t pieceLength,
                      const std::function<void(std::string_view piece)>& handle) {
    // Length of the line end at `at`: 1 for LF, 2 for CR LF, 0 for none.
    auto lineEndAt = [text](size_t at) -> size_t {
        if (at < text.size() && text[at] == '\n') return 1;
        if (at + 1 < text.size() && text[at] == '\r' && text[at + 1] == '\n') return 2;
        return 0;
    };
    size_t position = 0;
    while (position < text.size()) {
        // One read: up to pieceLength characters, or fewer when a line end comes first.
        size_t end = position;
        while (end < text.size() && end - position < pieceLength && lineEndAt(end) == 0) ++end;
        handle(text.substr(position, end - position));
        // A full read leaves the line end to the next read, which returns an empty line; no
        // parser acts on an empty line, so the line end is simply skipped here.
        position = end + lineEndAt(end);
    }
}

std::optional<ScannedNumber> ScanHexNumber(std::string_view text) { return scanNumber(text, 16); }

std::optional<ScannedNumber> ScanDecimalNumber(std::string_view text) { return scanNumber(text, 10); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        const size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

std::vector<std::string_view> SplitLineViews(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> SplitLines(std::string_view text) {
    const std::vector<std::string_view> views = SplitLineViews(text);
    return {views.begin(), views.end()};
}

std::string JoinLines(std::span<const std::string> lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

}  // namespace corv::script
