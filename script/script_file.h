#pragma once
// Script files: one per block, entries opened by ".STRING n" and closed by ".ENDS".

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_save.h"
#include "script/entry_words.h"
#include "script/script_text.h"

namespace corv::script {

// "%s<sep>%08X.txt": the block's script file in the dumps directory.
[[nodiscard]] std::filesystem::path ScriptPathFor(const std::filesystem::path& dumpsDirectory,
                                                  uint32_t blockAddress);

// The skeleton written for a block of `stringCount` strings, with '\n' line ends.
[[nodiscard]] std::string ScriptSkeleton(unsigned stringCount);
// The skeleton of a translation project's script: a header that says how entries are typed, and
// each entry with one empty line to type on, so that a translation typed on it ends with its text
// and not with a line break ('\n' line ends).
[[nodiscard]] std::string ProjectScriptSkeleton(unsigned stringCount);

// A block holds at most 64 KiB: no entry's text may be longer than any block can hold.
inline constexpr size_t kLongestEntryText = 0x10000;

// Where the script search found its needle: the match's line and its position, where the
// search puts the caret.
struct ScriptMatch {
    int line = 0;
    size_t position = 0;
};

// Where the script search finds `needle` (ignoring case) in `text`: after the selection, or
// from the start when the selection is empty; the position only, without counting lines.
[[nodiscard]] std::optional<size_t> FindFromSelection(std::string_view text, size_t selectionStart,
                                                      size_t selectionLength, std::string_view needle);

// The script search on a snapshot of the text (lines joined by '\n') and its selection: finds
// `needle` (ignoring case) after the selection, or from the start when the selection is empty.
// Changes nothing; the caller puts the caret and the view where its own rules say.
[[nodiscard]] std::optional<ScriptMatch> FindInText(std::string_view text, size_t selectionStart,
                                                    size_t selectionLength, std::string_view needle);

// The script search applied to `script`: finds `needle` (ignoring case) after the current selection, or from the
// start when the selection is empty. On a match puts the caret there with an empty selection,
// scrolls the match line to the top unless `quiet`, and returns the match line.
std::optional<int> FindInScript(ScriptText& script, std::string_view needle, bool quiet);

// A copy of the entry that opens at line `openingLine`: the opening line, the lines after it and,
// when one follows, the closing line. Without a closing line the copy runs to the end of the
// text; a line end that ends the text closes the last line rather than opening an empty one.
struct EntryCopy {
    std::vector<std::string> lines;
    bool closed = false;  // the last line of `lines` is the closing line
};
[[nodiscard]] EntryCopy CopyEntry(const ScriptText& script, int openingLine);

// Entry lookup for string `n`: the lines after the line holding the first match of
// ".STRING n", up to but not including the closing line (or to the end of the text).
// std::nullopt when the entry does not exist. Moves the caret like FindInScript (quiet).
[[nodiscard]] std::optional<std::vector<std::string>> LookupEntry(ScriptText& script, int stringNumber);

// Loading and saving script files: CR LF on disk whatever the platform, LF-only files
// accepted on load, bytes unchanged.
[[nodiscard]] std::optional<std::string> LoadScriptFile(const std::filesystem::path& path);  // '\n' line ends
[[nodiscard]] core::SaveResult SaveScriptFile(const std::filesystem::path& path, std::string_view text);   // writes CR LF
// The bytes SaveScriptFile writes for `text`: every '\n' as CR LF.
[[nodiscard]] std::string ScriptFileBytes(std::string_view text);

}  // namespace corv::script
