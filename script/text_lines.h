#pragma once
// Line-wise reading of the editor's text files with fixed-length reads, and the formatted
// number scanning their parsers share.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ascii.h"

namespace corv::script {

// The bytes of a regular file; std::nullopt for anything that is not one (a folder, a missing
// file) or cannot be read.
[[nodiscard]] std::optional<std::string> ReadTextFile(const std::filesystem::path& path);

// Calls `handle` for every piece of `text` as a fixed-length line read of at most `pieceLength`
// characters returns it: a longer line arrives as several pieces. CR LF counts as one line
// end; the line end itself is not part of the piece.
void ForEachLinePiece(std::string_view text, size_t pieceLength,
                      const std::function<void(std::string_view piece)>& handle);

struct ScannedNumber {
    int64_t value = 0;    // saturates far beyond any 32-bit value instead of overflowing
    size_t consumed = 0;  // characters read, leading blanks included
};

// A hexadecimal number as a formatted scan reads it: leading white space, an optional sign,
// an optional "0x"/"0X", then hex digits. std::nullopt when no digit follows.
[[nodiscard]] std::optional<ScannedNumber> ScanHexNumber(std::string_view text);

// The same for a decimal number.
[[nodiscard]] std::optional<ScannedNumber> ScanDecimalNumber(std::string_view text);

[[nodiscard]] bool IsBlank(char c);

// `text` cut at every '\n', which no line keeps (a CR before it stays): one line more than the
// text has line ends, so an empty text is one empty line.
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view text);
// The same as views into `text`, for readers that only look.
[[nodiscard]] std::vector<std::string_view> SplitLineViews(std::string_view text);
// `lines` joined by '\n', none after the last: SplitLines undone.
[[nodiscard]] std::string JoinLines(std::span<const std::string> lines);

// The white-space-separated words of `text`.
[[nodiscard]] std::vector<std::string_view> SplitWords(std::string_view text);

// The directives and keywords of the text formats are compared ignoring letter case.
using core::EqualsIgnoringCase;
using core::StartsWithIgnoringCase;

}  // namespace corv::script
