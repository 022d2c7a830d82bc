#include "editor/ui/problems_window.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "check/finding_text.h"
#include "editor/ui/companion_window.h"

namespace corv::editor {
namespace {

bool sameRows(const std::vector<ProblemRow>& a, const std::vector<ProblemRow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const ProblemRow& x, const ProblemRow& y) {
        return x.string == y.string && x.severity == y.severity && x.message == y.message &&
               x.removesEmptyLine == y.removesEmptyLine;
    });
}

}  // namespace

ProblemsWindow::ProblemsWindow(QWidget* parent)
    : QWidget(parent), list_(new QTreeWidget(this)), removeEmptyLine_(new QPushButton(this)) {
    setObjectName(QStringLiteral("ProblemsForm"));
    setWindowTitle(QStringLiteral("Problems"));
    MakeToolWindow(this);
    list_->setObjectName(QStringLiteral("ProblemList"));
    list_->setAccessibleName(QStringLiteral("Problems"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("String"), QStringLiteral("Severity"), QStringLiteral("Message")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    removeEmptyLine_->setObjectName(QStringLiteral("RemoveEmptyLine"));
    removeEmptyLine_->setText(QStringLiteral("Remove Empty Line"));
    removeEmptyLine_->setToolTip(QStringLiteral("Takes the empty line at the end of the entry out of the script"));
    removeEmptyLine_->setEnabled(false);
    layout->addWidget(removeEmptyLine_, 0, Qt::AlignLeft);
    resize(560, 200);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
        const ProblemRow* row = currentRow();
        removeEmptyLine_->setEnabled(row != nullptr && row->removesEmptyLine);
    });
    connect(removeEmptyLine_, &QPushButton::clicked, this, [this] {
        if (const ProblemRow* row = currentRow(); row != nullptr && row->removesEmptyLine) {
            emit removeEmptyLineAsked(*row->string);
        }
    });
    // A click and an activation (double click, Enter) choose the row's string alike.
    connect(list_, &QTreeWidget::itemClicked, this, &ProblemsWindow::chooseItem);
    connect(list_, &QTreeWidget::itemActivated, this, &ProblemsWindow::chooseItem);
}

const ProblemRow* ProblemsWindow::rowOf(QTreeWidgetItem* item) const {
    const int row = list_->indexOfTopLevelItem(item);
    if (row < 0 || size_t(row) >= shown_.size() || !shown_[size_t(row)].string) return nullptr;
    return &shown_[size_t(row)];
}

const ProblemRow* ProblemsWindow::currentRow() const { return rowOf(list_->currentItem()); }

void ProblemsWindow::chooseItem(QTreeWidgetItem* item) {
    if (const ProblemRow* row = rowOf(item)) emit stringChosen(*row->string);
}

void ProblemsWindow::showRows(const std::vector<ProblemRow>& rows) {
    if (sameRows(rows, shown_)) return;
    // Rows are rewritten in place, so that the list keeps its scroll position while one string's
    // findings change under the translator's typing.
    const int count = int(rows.size());
    while (list_->topLevelItemCount() > count) delete list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
    for (int r = 0; r < count; ++r) {
        const ProblemRow& row = rows[size_t(r)];
        const QString number = row.string ? QString::number(*row.string) : QString();
        const QString severity = QString::fromLatin1(check::SeverityName(row.severity));
        const QString message = QString::fromStdString(row.message);
        QTreeWidgetItem* item = list_->topLevelItem(r);
        if (item == nullptr) {
            item = new QTreeWidgetItem();
            list_->addTopLevelItem(item);
        }
        if (item->text(0) != number) item->setText(0, number);
        if (item->text(1) != severity) item->setText(1, severity);
        if (item->text(2) != message) {
            item->setText(2, message);
            item->setToolTip(2, message);
        }
    }
    shown_ = rows;
    const ProblemRow* current = currentRow();
    removeEmptyLine_->setEnabled(current != nullptr && current->removesEmptyLine);
}

}  // namespace corv::editor
