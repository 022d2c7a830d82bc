#pragma once
// English-like stand-ins for a translation of the demo's script: the kana of each line is
// replaced by plain English words (about `lengthFactor` letters per kana character, the way a
// translation runs longer), its bracketed control codes kept in place. Lines without kana
// (directives, the markers of records without text) stay as they are. Deterministic for a seed.
// Used to measure how translated blocks fit their rooms.

#include <cstdint>
#include <string>
#include <string_view>

namespace corv::demo {

// Letters of English per kana character that make the demo's largest block, D46D00, run a few
// hundred bytes over its room with the standard compressor, as a translation there does.
inline constexpr double kEnglishLettersPerKana = 2.3;

[[nodiscard]] std::string TranslateDemoScript(std::string_view kanaScript, double lengthFactor, uint64_t seed);

}  // namespace corv::demo
