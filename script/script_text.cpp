#include "script/script_text.h"

#include <algorithm>

namespace corv::script {

void MemoryScriptText::setText(std::string_view text) {
    text_.assign(text);
    lineStarts_.assign(1, 0);
    // The editor sets the whole script on every key: find the line ends with the library's search.
    for (size_t end = text_.find('\n'); end != std::string::npos; end = text_.find('\n', end + 1)) {
        lineStarts_.push_back(end + 1);
    }
    selectionStart_ = 0;
    selectionLength_ = 0;
    firstVisibleLine_ = 0;
}

void MemoryScriptText::replace(size_t start, size_t length, std::string_view text) {
    start = std::min(start, text_.size());
    length = std::min(length, text_.size() - start);
    // The lines that start after a line end in the replaced part go; those after it move.
    const auto gone = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), start);
    const auto kept = std::upper_bound(gone, lineStarts_.end(), start + length);
    for (auto at = kept; at != lineStarts_.end(); ++at) *at = *at - length + text.size();
    std::vector<size_t> added;
    for (size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', end + 1)) {
        added.push_back(start + end + 1);
    }
    const auto from = lineStarts_.erase(gone, kept);
    lineStarts_.insert(from, added.begin(), added.end());
    text_.replace(start, length, text);
    selectionStart_ = 0;
    selectionLength_ = 0;
    firstVisibleLine_ = 0;
}

int MemoryScriptText::lineCount() const { return static_cast<int>(lineStarts_.size()); }

std::string MemoryScriptText::line(int index) const {
    if (index < 0 || index >= lineCount()) return {};
    const size_t start = lineStarts_[static_cast<size_t>(index)];
    const size_t end = static_cast<size_t>(index + 1) < lineStarts_.size()
                           ? lineStarts_[static_cast<size_t>(index) + 1] - 1
                           : text_.size();
    return text_.substr(start, end - start);
}

void MemoryScriptText::setCaret(size_t position) { select(position, 0); }

void MemoryScriptText::select(size_t start, size_t length) {
    selectionStart_ = std::min(start, text_.size());
    selectionLength_ = std::min(length, text_.size() - selectionStart_);
}

int MemoryScriptText::lineOfPosition(size_t position) const {
    // The last line start at or before the position.
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position);
    return static_cast<int>(after - lineStarts_.begin()) - 1;
}

void MemoryScriptText::scrollLines(int delta) {
    firstVisibleLine_ = std::clamp(firstVisibleLine_ + delta, 0, lineCount() - 1);
}

}  // namespace corv::script
