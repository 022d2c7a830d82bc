#pragma once
// The dictionary step of the script encoder: the table file's dictionary words replaced in an
// entry's text by the escapes "[$01nn]" that the escape rule later turns into the bytes 01 nn.

#include <cstddef>
#include <optional>
#include <string>

#include "script/table_file.h"

namespace corv::script {

// How far the text may grow past its own length before the step gives up. Each replacement
// leaves a seven-character escape that encodes to two bytes, so a text grown by this much
// encodes to far more than the 65,535 bytes a string may take.
inline constexpr size_t kDictionaryGrowthLimit = 8 * 0x10000;

// For every slot from 0 upward that holds a non-empty word, the first occurrence of the word
// (case-sensitive, no word boundaries) becomes "[$01nn]" and the search starts again from the
// beginning of the text, until the word no longer occurs. Later slots also see the escapes of
// earlier ones, and words match inside keywords. A word that its own escape contains (say "1"
// or "0105") would be found again forever: for such a word the search goes on after each
// escape instead. std::nullopt when the text grows past kDictionaryGrowthLimit, which only
// happens when replacements keep feeding each other; the string is then too long.
[[nodiscard]] std::optional<std::string> ApplyDictionary(const std::string& text, const TableFile& table);

}  // namespace corv::script
