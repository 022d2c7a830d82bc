#include "check/script_wrap.h"

#include <cstdint>
#include <optional>

#include "script/script_file.h"
#include "script/text_lines.h"

namespace corv::check {
namespace {


// The string number of an opening line ".STRING n" (any letter case, blanks around it).
std::optional<unsigned> openedString(std::string_view line) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || !script::StartsWithIgnoringCase(line.substr(start), ".STRING")) return std::nullopt;
    const auto number = script::ScanDecimalNumber(line.substr(start + 7));
    if (!number || number->value < 0 || number->value > INT32_MAX) return std::nullopt;
    return unsigned(number->value);
}

}  // namespace

ScriptWrap WrapScript(std::string_view text, BoxWrapper& wrapper) {
    ScriptWrap result;
    const std::vector<std::string_view> lines = script::SplitLineViews(text);
    std::vector<std::string> out;
    out.reserve(lines.size());
    size_t i = 0;
    while (i < lines.size()) {
        out.emplace_back(lines[i]);
        const std::optional<unsigned> number = openedString(lines[i]);
        ++i;
        if (!number) continue;
        size_t end = i;
        size_t size = 0;
        while (end < lines.size() && !script::ActsAsKeywordLine(lines[end])) size += lines[end++].size() + 1;
        const bool closed = end < lines.size() && script::IsEntryClosingLine(lines[end]);
        if (!closed || size > script::kLongestEntryText) continue;  // the lines are copied as they are
        const std::vector<std::string> entry(lines.begin() + std::ptrdiff_t(i), lines.begin() + std::ptrdiff_t(end));
        WrappedEntry wrapped = wrapper.wrap(entry);
        bool structural = false;
        for (const std::string& line : wrapped.lines) structural = structural || script::ActsAsKeywordLine(line);
        if (structural) {
            result.keptEntries.push_back(*number);
            wrapped.lines = entry;
        } else {
            if (wrapped.changed) ++result.entriesChanged;
            if (wrapped.cutWords > 0) result.cutEntries.push_back(*number);
        }
        out.insert(out.end(), wrapped.lines.begin(), wrapped.lines.end());
        i = end;
    }
    for (size_t k = 0; k < out.size(); ++k) {
        if (k > 0) result.text += '\n';
        result.text += out[k];
    }
    return result;
}

}  // namespace corv::check
