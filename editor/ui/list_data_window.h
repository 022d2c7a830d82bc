#pragma once
// The List Data window (cmForm): the block list bList and the string list pList of the current
// block side by side. A companion tool window: its close button only hides it.
//
// The main window fills the lists and reacts to the signals:
//   - blockClicked(row) / stringClicked(row): the user chose an entry, by a click (also on the
//     entry already chosen) or by moving through the list with the keys. Filling or selecting
//     from the program sends nothing.
//   - setBlocks / setStrings fill a list, select its entry 0 (when it has one) and set its hint
//     to the number of its lines ("N item(s)").
//   - focusBlockList / focusStringList give a list the focus, only while the window is visible.

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QListWidget;

namespace corv::editor {

class LiveChecks;

class ListDataWindow final : public QWidget {
    Q_OBJECT

public:
    explicit ListDataWindow(QWidget* parent = nullptr);

    void setBlocks(const std::vector<std::string>& lines);
    void setStrings(const std::vector<std::string>& lines);

    [[nodiscard]] int blockCount() const;

    // The chosen entry of a list, std::nullopt when none is.
    [[nodiscard]] std::optional<int> selectedBlock() const;
    [[nodiscard]] std::optional<int> selectedString() const;
    // Selects an entry without sending a signal (a row outside the list clears the selection).
    void selectBlock(int row);
    void selectString(int row);

    void focusBlockList();
    void focusStringList();

    // The live checks' marks on the string list: every line, or only the lines of the strings
    // the checks' last update changed.
    void markStrings(const LiveChecks& checks);
    void markChangedStrings(const LiveChecks& checks);

signals:
    void blockClicked(int row);
    void stringClicked(int row);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* makeList(const char* name);
    void fill(QListWidget* list, const std::vector<std::string>& lines);
    void select(QListWidget* list, int row);
    void watchUserChoice(QListWidget* list, void (ListDataWindow::*signal)(int));

    QListWidget* blockList_ = nullptr;   // bList
    QListWidget* stringList_ = nullptr;  // pList
    bool selecting_ = false;
    // The current row of the list under the mouse when its button went down: a click that does
    // not change the row still counts as a choice.
    int rowAtPress_ = -1;
};

}  // namespace corv::editor
