#pragma once
// The panels of the live checks, one above the other under the Text Editor's text: the current
// block's room ("D40000: 3,151 of 23,063 bytes, 19,912 left"), its notes when there are any ("no
// table: dictionary words not counted") and its progress ("12 of 150 strings translated"). Plain
// labels, so screen readers read them.

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
    // The room's figures and notes as one text (RoomPanelText).
    [[nodiscard]] QString roomText() const;
    [[nodiscard]] QString progressText() const;
    [[nodiscard]] QLabel* roomPanel() const { return room_; }
    [[nodiscard]] QLabel* notesPanel() const { return notes_; }
    [[nodiscard]] QLabel* progressPanel() const { return progress_; }
    // How often the panels were brought up to date (a benchmark checks every key did).
    [[nodiscard]] size_t updates() const { return updates_; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    [[nodiscard]] int notesHeight() const;
    void placeRows();

    int rowHeight_ = 0;
    QLabel* room_ = nullptr;   // the figures
    QLabel* notes_ = nullptr;  // what the figures leave out, under them; hidden without any
    QLabel* progress_ = nullptr;
    size_t updates_ = 0;
};

}  // namespace corv::editor
