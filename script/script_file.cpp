#include "script/script_file.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "core/ascii.h"
#include "core/rom_image.h"
#include "script/text_lines.h"

namespace corv::script {

std::filesystem::path ScriptPathFor(const std::filesystem::path& dumpsDirectory, uint32_t blockAddress) {
    char name[16];
    std::snprintf(name, sizeof name, "%08X.txt", blockAddress);
    return dumpsDirectory / name;
}

std::string ScriptSkeleton(unsigned stringCount) {
    std::string text = "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n";
    for (unsigned k = 0; k < stringCount; ++k) {
        text += EntrySearchText(static_cast<int>(k));
        text += "\n\n\n";
        text += kClosingKeyword;
        text += "\n\n\n\n";
    }
    return text;
}

std::string ProjectScriptSkeleton(unsigned stringCount) {
    std::string text =
        "// Type each translation on the empty line under its entry's first line. Every line you add\n"
        "// is one more line of the string in the game; an empty line at the end is a line break there.\n\n";
    for (unsigned k = 0; k < stringCount; ++k) {
        text += EntrySearchText(static_cast<int>(k));
        text += "\n\n.ENDS\n\n";
    }
    return text;
}

std::optional<size_t> FindFromSelection(std::string_view text, size_t selectionStart, size_t selectionLength,
                                        std::string_view needle) {
    const size_t from = selectionLength > 0 ? selectionStart + selectionLength : 0;
    const size_t found = core::FindIgnoringCase(text, needle, from);
    if (found == std::string_view::npos) return std::nullopt;
    return found;
}

std::optional<ScriptMatch> FindInText(std::string_view text, size_t selectionStart, size_t selectionLength,
                                      std::string_view needle) {
    const auto found = FindFromSelection(text, selectionStart, selectionLength, needle);
    if (!found) return std::nullopt;
    const auto lineEnds = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(*found), '\n');
    return ScriptMatch{static_cast<int>(lineEnds), *found};
}

std::optional<int> FindInScript(ScriptText& script, std::string_view needle, bool quiet) {
    // The script's own line index answers the line: counting line ends up to every entry made a
    // check of a whole block half as slow again.
    const auto found = FindFromSelection(script.text(), script.selectionStart(), script.selectionLength(), needle);
    if (!found) return std::nullopt;
    script.setCaret(*found);
    const int line = script.lineOfPosition(*found);
    if (!quiet) script.scrollLines(line - script.firstVisibleLine());
    return line;
}

EntryCopy CopyEntry(const ScriptText& script, int openingLine) {
    EntryCopy copy;
    const int count = script.lineCount();
    if (openingLine < 0 || openingLine >= count) return copy;
    copy.lines.push_back(script.line(openingLine));
    for (int i = openingLine + 1; i < count; ++i) {
        copy.lines.push_back(script.line(i));
        if (IsEntryClosingLine(copy.lines.back())) {
            copy.closed = true;
            return copy;
        }
    }
    if (copy.lines.size() > 1 && copy.lines.back().empty()) {
        const std::string text = script.text();
        if (!text.empty() && text.back() == '\n') copy.lines.pop_back();
    }
    return copy;
}

std::optional<std::vector<std::string>> LookupEntry(ScriptText& script, int stringNumber) {
    const auto matchLine = FindInScript(script, EntrySearchText(stringNumber), true);
    if (!matchLine) return std::nullopt;
    EntryCopy copy = CopyEntry(script, *matchLine);
    if (copy.closed) copy.lines.pop_back();
    copy.lines.erase(copy.lines.begin());
    return std::move(copy.lines);
}

std::optional<std::string> LoadScriptFile(const std::filesystem::path& path) {
    const auto raw = ReadTextFile(path);
    if (!raw) return std::nullopt;
    // CR LF pairs become '\n'; a lone CR or LF is kept as it is, every other byte unchanged.
    std::string text;
    text.reserve(raw->size());
    for (size_t i = 0; i < raw->size(); ++i) {
        if ((*raw)[i] == '\r' && i + 1 < raw->size() && (*raw)[i + 1] == '\n') continue;
        text.push_back((*raw)[i]);
    }
    return text;
}

std::string ScriptFileBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

core::SaveResult SaveScriptFile(const std::filesystem::path& path, std::string_view text) {
    const std::string out = ScriptFileBytes(text);
    // Written through a temporary file so that a failed save leaves the old script intact.
    return core::WriteFileSafely(path, std::span(reinterpret_cast<const uint8_t*>(out.data()), out.size()));
}

}  // namespace corv::script
