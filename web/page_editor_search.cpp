// Find and Replace over the page's script text, by the rules of the desktop's Text Editor.

#include <algorithm>

#include "web/js_values.h"
#include "web/page_editor.h"

namespace corv::web {

using emscripten::val;

namespace {

editor::SearchOptions searchOptions(const val& options) {
    editor::SearchOptions search;
    search.matchCase = OptionFlag(options, "matchCase");
    search.wholeWord = OptionFlag(options, "wholeWord");
    search.backwards = OptionFlag(options, "backwards");
    return search;
}

val notFound(val result, const std::wstring& text) {
    result.set("found", false);
    result.set("message", editor::NotFoundMessage(WideToUtf8(text)));
    return result;
}

// A replacement as script bytes: a character no byte holds is left out, as when it is typed.
std::string replacementBytes(const std::wstring& replacement) {
    std::string bytes;
    for (const wchar_t character : replacement) {
        if (static_cast<uint32_t>(character) <= 0xFF) bytes.push_back(static_cast<char>(character));
    }
    return bytes;
}

}  // namespace

editor::TextMatch PageEditor::selection(const val& options) const {
    const std::optional<size_t> start = OptionOffset(options, "selectionStart");
    const std::optional<size_t> end = OptionOffset(options, "selectionEnd");
    editor::TextMatch chosen = selection_;
    if (start || end) {
        chosen.start = start.value_or(end.value_or(0));
        chosen.length = std::max(end.value_or(chosen.start), chosen.start) - chosen.start;
    }
    const size_t size = script_.text().size();
    chosen.start = std::min(chosen.start, size);
    chosen.length = std::min(chosen.length, size - chosen.start);
    return chosen;
}

size_t PageEditor::searchFrom(const val& options) const {
    const bool backwards = OptionFlag(options, "backwards");
    if (OptionFlag(options, "fromStart")) return backwards ? script_.text().size() : 0;
    const editor::TextMatch from = selection(options);
    return backwards ? from.start : from.start + from.length;
}

val PageEditor::find(const std::wstring& text, const val& options) {
    val result = val::object();
    const std::optional<std::string> needle = WideToLatin1(text);
    const auto match =
        needle ? editor::FindInText(script_.text(), *needle, searchFrom(options), searchOptions(options)) : std::nullopt;
    if (!match) return notFound(result, text);
    selection_ = *match;
    result.set("found", true);
    result.set("start", static_cast<double>(match->start));
    result.set("length", static_cast<double>(match->length));
    return result;
}

val PageEditor::replace(const std::wstring& text, const std::wstring& replacement, const val& options) {
    const std::optional<std::string> needle = WideToLatin1(text);
    const editor::TextMatch held = selection(options);
    unsigned replaced = 0;
    val next = options;
    // Only the match the selection holds is replaced; otherwise the next match is shown first.
    if (needle && editor::MatchesAt(script_.text(), held, *needle, searchOptions(options))) {
        const std::string inserted = replacementBytes(replacement);
        std::string bytes = script_.text();
        bytes.replace(held.start, held.length, inserted);
        changeScript(std::move(bytes));
        replaced = 1;
        // The caret ends after the new text; a search backwards starts before it.
        const size_t caret = held.start + (OptionFlag(options, "backwards") ? 0 : inserted.size());
        selection_ = {caret, 0};
        // The next match is looked for from that caret: the options' own start no longer holds.
        next = val::object();
        for (const char* flag : {"matchCase", "wholeWord", "backwards"}) next.set(flag, OptionFlag(options, flag));
    }
    val result = find(text, next);
    result.set("replaced", replaced);
    return result;
}

val PageEditor::replaceAll(const std::wstring& text, const std::wstring& replacement, const val& options) {
    val result = val::object();
    const std::optional<std::string> needle = WideToLatin1(text);
    const editor::ReplacedStretch stretch =
        needle ? editor::ReplaceAllInText(script_.text(), *needle, replacementBytes(replacement), searchOptions(options))
               : editor::ReplacedStretch{};
    result.set("replaced", static_cast<double>(stretch.count));
    if (stretch.count == 0) {
        result.set("message", editor::NotFoundMessage(WideToUtf8(text)));
        return result;
    }
    const editor::TextMatch held = selection(options);
    std::string bytes = script_.text();
    bytes.replace(stretch.start, stretch.length, stretch.replacement);
    changeScript(std::move(bytes));
    selection_ = {editor::CaretAfterReplace(held.start + held.length, stretch), 0};
    result.set("message", editor::ReplacedMessage(stretch.count, WideToUtf8(text)));
    return result;
}

}  // namespace corv::web
