#include "editor/ui/problems_window.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "check/finding_text.h"
#include "editor/ui/companion_window.h"

namespace corv::editor {
namespace {

bool sameRows(const std::vector<ProblemRow>& a, const std::vector<ProblemRow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const ProblemRow& x, const ProblemRow& y) {
        return x.string == y.string && x.severity == y.severity && x.message == y.message;
    });
}

}  // namespace

ProblemsWindow::ProblemsWindow(QWidget* parent) : QWidget(parent), list_(new QTreeWidget(this)) {
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
    resize(560, 200);
    connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const int row = list_->indexOfTopLevelItem(item);
        if (row >= 0 && size_t(row) < shown_.size()) emit stringChosen(shown_[size_t(row)].string);
    });
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const int row = list_->indexOfTopLevelItem(item);
        if (row >= 0 && size_t(row) < shown_.size()) emit stringChosen(shown_[size_t(row)].string);
    });
}

void ProblemsWindow::showRows(const std::vector<ProblemRow>& rows) {
    if (sameRows(rows, shown_) && list_->topLevelItemCount() == int(rows.size())) return;
    shown_ = rows;
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const ProblemRow& row : rows) {
        const QString severity = QString::fromLatin1(check::SeverityName(row.severity));
        const QString message = QString::fromStdString(row.message);
        auto* item = new QTreeWidgetItem({QString::number(row.string), severity, message});
        item->setToolTip(2, message);
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
}

}  // namespace corv::editor
