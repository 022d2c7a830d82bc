#pragma once
// The insertion progress window (InsertForm): the phase in the caption, the gauge CGauge1 with
// its percentage, and the log ListBox1. The insertion drives it through InsertionProgress; it
// stays open afterwards until the user closes it (which only hides it).

#include <QWidget>

#include <string>

#include "editor/logic/progress_gauge.h"
#include "insert/insertion.h"

class QFrame;
class QListWidget;
class QProgressBar;

namespace corv::editor {

class InsertProgressWindow final : public QWidget, public insert::InsertionProgress {
    Q_OBJECT

public:
    explicit InsertProgressWindow(QWidget* parent = nullptr);

    [[nodiscard]] const ProgressGauge& gauge() const { return gauge_; }

    // InsertionProgress
    void start() override;
    void setCaption(std::string_view caption) override;
    void setGaugeRange(int minimum, int maximum) override;
    void setGaugePosition(int position) override;
    void processPendingMessages() override;
    void addLogLine(const std::string& line) override;

    // How many lines the log holds, and a line put in at `row` (after the insertion wrote its own).
    [[nodiscard]] int logLineCount() const;
    void insertLogLine(int row, const std::string& line);

private:
    void showGauge();
    // Grows the window, within the screen, until every log line shows whole.
    void fitLog();

    ProgressGauge gauge_;
    QProgressBar* gaugeBar_ = nullptr;  // CGauge1
    QFrame* gaugePanel_ = nullptr;      // Panel1
    QListWidget* log_ = nullptr;        // ListBox1
};

}  // namespace corv::editor
