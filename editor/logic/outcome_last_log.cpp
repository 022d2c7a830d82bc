#include "editor/logic/outcome_last_log.h"

namespace corv::editor {

void OutcomeLastLog::addLogLine(const std::string& line) {
    if (line == insert::kInsertionLogRule) holding_ = true;
    if (holding_) {
        outcome_.push_back(line);
    } else {
        log_.addLogLine(line);
        written_ = true;
    }
}

InsertionLog OutcomeLastLog::finish(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) log_.addLogLine(line);
    for (const std::string& line : outcome_) log_.addLogLine(line);
    const InsertionLog written{written_ || !lines.empty() || !outcome_.empty(), outcome_.size(), std::nullopt};
    outcome_.clear();
    holding_ = false;
    written_ = false;
    return written;
}

}  // namespace corv::editor
