#pragma once
// The Problems window: the current block's findings in string order (string number, error or
// warning, the message as corvtool check words it). A companion tool window: its close button
// only hides it. A click on a row, or its activation, sends stringChosen with that row's string;
// Remove Empty Line, offered for the warning that an entry ends with an empty line, sends
// removeEmptyLineAsked.

#include <QWidget>

#include <vector>

#include "editor/logic/live_texts.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace corv::editor {

class ProblemsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ProblemsWindow(QWidget* parent = nullptr);

    // Fills the list anew (the rows change with every key only when the findings do).
    void showRows(const std::vector<ProblemRow>& rows);
    [[nodiscard]] QTreeWidget* list() const { return list_; }
    [[nodiscard]] QPushButton* removeEmptyLine() const { return removeEmptyLine_; }

signals:
    void stringChosen(unsigned string);
    void removeEmptyLineAsked(unsigned string);

private:
    // The row shown as `item` of the list (may be null), when it names a string.
    [[nodiscard]] const ProblemRow* rowOf(QTreeWidgetItem* item) const;
    // The row chosen in the list, when it names a string.
    [[nodiscard]] const ProblemRow* currentRow() const;
    // A row clicked or activated: stringChosen with its string, when it names one.
    void chooseItem(QTreeWidgetItem* item);

    QTreeWidget* list_ = nullptr;
    QPushButton* removeEmptyLine_ = nullptr;
    std::vector<ProblemRow> shown_;
};

}  // namespace corv::editor
