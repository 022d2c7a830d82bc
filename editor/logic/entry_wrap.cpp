#include "editor/logic/entry_wrap.h"

#include <algorithm>

#include "check/script_wrap.h"
#include "script/script_file.h"
#include "script/text_lines.h"

namespace corv::editor {
namespace {

bool opensEntry(std::string_view line) {
    const size_t start = line.find_first_not_of(" \t");
    return start != std::string_view::npos && script::StartsWithIgnoringCase(line.substr(start), ".STRING");
}

size_t lineStart(std::string_view text, size_t position) {
    const size_t end = text.rfind('\n', position == 0 ? 0 : position - 1);
    return position == 0 || end == std::string_view::npos ? 0 : end + 1;
}

size_t lineEnd(std::string_view text, size_t position) {
    const size_t end = text.find('\n', position);
    return end == std::string_view::npos ? text.size() : end;
}

// The caret in the new text: where the stretch before or after it is the same it stays by that
// text; inside the changed part it keeps its count of characters other than blanks and line
// ends from the stretch's start, so it stays in its word.
size_t caretAfter(std::string_view before, std::string_view after, size_t prefix, size_t suffix, size_t caret) {
    if (caret <= prefix) return caret;
    if (caret >= before.size() - suffix) return after.size() - (before.size() - caret);
    auto counts = [](char c) { return c != ' ' && c != '\n'; };
    const auto seen = std::count_if(before.begin() + std::ptrdiff_t(prefix), before.begin() + std::ptrdiff_t(caret), counts);
    size_t at = prefix;
    for (std::ptrdiff_t left = seen; at < after.size() - suffix && left > 0; ++at) {
        if (counts(after[at])) --left;
    }
    return at;
}

// The smallest stretch of `before` (from `offset` in the whole text) that turns it into `after`.
std::optional<WrapEdit> editBetween(std::string_view before, std::string_view after, size_t offset, size_t caret) {
    if (before == after) return std::nullopt;
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    WrapEdit edit;
    edit.start = offset + prefix;
    edit.length = before.size() - prefix - suffix;
    edit.replacement = std::string(after.substr(prefix, after.size() - prefix - suffix));
    const bool inside = caret >= offset && caret <= offset + before.size();
    edit.caret = inside ? offset + caretAfter(before, after, prefix, suffix, caret - offset)
                 : caret > offset ? caret + after.size() - before.size()
                                  : caret;
    return edit;
}

}  // namespace

std::optional<WrapEdit> WrapBlockEdit(std::string_view text, size_t caret, check::BoxWrapper& wrapper) {
    const check::ScriptWrap wrapped = check::WrapScript(text, wrapper);
    return editBetween(text, wrapped.text, 0, caret);
}

std::optional<WrapEdit> WrapEntryEdit(std::string_view text, size_t position, size_t caret, check::BoxWrapper& wrapper) {
    position = std::min(position, text.size());
    // Up to the entry's opening line; a closing line on the way means the position is outside.
    size_t start = lineStart(text, position);
    for (;;) {
        const std::string_view line = text.substr(start, lineEnd(text, start) - start);
        if (opensEntry(line)) break;
        if (script::IsEntryClosingLine(line) && start + line.size() < position) return std::nullopt;
        if (start == 0) return std::nullopt;
        start = lineStart(text, start - 1);
    }
    size_t end = lineEnd(text, start);
    while (end < text.size()) {
        const size_t next = end + 1;
        const std::string_view line = text.substr(next, lineEnd(text, next) - next);
        end = next + line.size();
        if (script::IsEntryClosingLine(line)) break;
        if (script::ActsAsKeywordLine(line)) return std::nullopt;
    }
    const std::string_view entry = text.substr(start, end - start);
    const check::ScriptWrap wrapped = check::WrapScript(entry, wrapper);
    return editBetween(entry, wrapped.text, start, caret);
}

}  // namespace corv::editor
