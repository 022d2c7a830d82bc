#include "editor/logic/outcome_last_log.h"

namespace corv::editor {

void OutcomeLastLog::addLogLine(const std::string& line) {
    if (line == insert::kInsertionLogRule) holding_ = true;
    if (holding_) {
        outcome_.push_back(line);
    } else {
        log_.addLogLine(line);
    }
}

void OutcomeLastLog::finish(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) log_.addLogLine(line);
    for (const std::string& line : outcome_) log_.addLogLine(line);
    outcome_.clear();
    holding_ = false;
}

}  // namespace corv::editor
