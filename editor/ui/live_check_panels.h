#pragma once
// The status-bar panels of the live checks, after the two the window always had: the current
// block's room ("D40000: 3,151 of 23,063 bytes, 19,912 left") and its progress ("12 of 150
// strings translated"). Plain labels, so screen readers read them.

#include <QWidget>

class QLabel;

namespace corv::editor {

class LiveChecks;

class LiveCheckPanels final : public QWidget {
    Q_OBJECT
public:
    explicit LiveCheckPanels(const QFont& font, QWidget* parent = nullptr);
    // Shows the checks' figures; both panels are empty without a block.
    void showChecks(const LiveChecks& checks);
    [[nodiscard]] QString roomText() const;
    [[nodiscard]] QString progressText() const;
    // How often the panels were brought up to date (a benchmark checks every key did).
    [[nodiscard]] size_t updates() const { return updates_; }

private:
    QLabel* room_ = nullptr;
    QLabel* progress_ = nullptr;
    size_t updates_ = 0;
};

}  // namespace corv::editor
