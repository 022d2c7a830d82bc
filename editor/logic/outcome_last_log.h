#pragma once
// The insertion's log with its outcome kept last: the lines from its first rule on (the rule,
// the outcome, the closing rule) are held back until the caller has added its own lines for the
// insertion (the check errors), so the log always ends with the outcome between its two rules.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "insert/insertion.h"

namespace corv::editor {

// What an insertion left in its log, for the lines the window adds about it.
struct InsertionLog {
    bool written = false;     // a line went into the log: the insertion ran past its first refusals
    size_t outcomeLines = 0;  // the log's last lines that hold the outcome between its two rules (0: none)
    std::optional<insert::InsertionResult> result;  // the insertion's, when it ran (a ROM and a block)
};

class OutcomeLastLog final : public insert::InsertionProgress {
public:
    // `log` must outlive this object.
    explicit OutcomeLastLog(insert::InsertionProgress& log) : log_(log) {}

    void start() override { log_.start(); }
    void setCaption(std::string_view caption) override { log_.setCaption(caption); }
    void setGaugeRange(int minimum, int maximum) override { log_.setGaugeRange(minimum, maximum); }
    void setGaugePosition(int position) override { log_.setGaugePosition(position); }
    void processPendingMessages() override { log_.processPendingMessages(); }
    void addLogLine(const std::string& line) override;

    // Adds `lines`, then the outcome held back; says what went into the log.
    InsertionLog finish(const std::vector<std::string>& lines);

private:
    insert::InsertionProgress& log_;
    std::vector<std::string> outcome_;
    bool holding_ = false;
    bool written_ = false;
};

}  // namespace corv::editor
