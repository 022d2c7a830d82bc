#include "editor/ui/list_data_window.h"

#include <QEvent>
#include <QListWidget>

#include "editor/logic/list_data_layout.h"
#include "editor/ui/companion_window.h"
#include "editor/ui/string_marks.h"
#include "editor/logic/string_index.h"

namespace corv::editor {

namespace {

constexpr int kListFontPixels = 11;
constexpr int kListRowHeight = 14;

std::optional<int> selectedRow(const QListWidget* list) {
    const int row = list->currentRow();
    if (row < 0 || !list->item(row)->isSelected()) return std::nullopt;
    return row;
}

}  // namespace

ListDataWindow::ListDataWindow(QWidget* parent)
    : QWidget(parent), blockList_(makeList("bList")), stringList_(makeList("pList")) {
    setObjectName(QStringLiteral("cmForm"));
    setWindowTitle(QStringLiteral("List Data"));
    MakeToolWindow(this);
    SetOuterBounds(this, {342, 350}, {328, 114});
    watchUserChoice(blockList_, &ListDataWindow::blockClicked);
    watchUserChoice(stringList_, &ListDataWindow::stringClicked);
}

QListWidget* ListDataWindow::makeList(const char* name) {
    auto* list = new QListWidget(this);
    list->setObjectName(QString::fromLatin1(name));
    list->setFont(CourierFont(kListFontPixels));
    list->setItemDelegate(new FixedRowDelegate(kListRowHeight, list));
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

void ListDataWindow::watchUserChoice(QListWidget* list, void (ListDataWindow::*signal)(int)) {
    list->viewport()->installEventFilter(this);
    connect(list, &QListWidget::currentRowChanged, this, [this, signal](int row) {
        if (!selecting_ && row >= 0) emit(this->*signal)(row);
    });
    connect(list, &QListWidget::itemClicked, this, [this, list, signal](QListWidgetItem* item) {
        const int row = list->row(item);
        if (row == rowAtPress_) emit(this->*signal)(row);
    });
}

bool ListDataWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (const QListWidget* list : {blockList_, stringList_}) {
            if (watched == list->viewport()) rowAtPress_ = list->currentRow();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ListDataWindow::setBlocks(const std::vector<std::string>& lines) { fill(blockList_, lines); }

void ListDataWindow::setStrings(const std::vector<std::string>& lines) { fill(stringList_, lines); }

void ListDataWindow::fill(QListWidget* list, const std::vector<std::string>& lines) {
    selecting_ = true;
    list->clear();
    for (const std::string& line : lines) list->addItem(QString::fromStdString(line));
    selecting_ = false;
    select(list, 0);
    list->setToolTip(QString::fromStdString(editor::ItemsHint(lines.size())));
}

int ListDataWindow::blockCount() const { return blockList_->count(); }

std::optional<int> ListDataWindow::selectedBlock() const { return selectedRow(blockList_); }

std::optional<int> ListDataWindow::selectedString() const { return selectedRow(stringList_); }

void ListDataWindow::selectBlock(int row) { select(blockList_, row); }

void ListDataWindow::selectString(int row) { select(stringList_, row); }

void ListDataWindow::markStrings(const LiveChecks& checks) { MarkStrings(stringList_, checks); }

void ListDataWindow::markChangedStrings(const LiveChecks& checks) { MarkChangedStrings(stringList_, checks); }

void ListDataWindow::select(QListWidget* list, int row) {
    selecting_ = true;
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    } else {
        list->setCurrentRow(-1);
        list->clearSelection();
    }
    selecting_ = false;
}

void ListDataWindow::focusBlockList() {
    if (isVisible()) blockList_->setFocus();
}

void ListDataWindow::focusStringList() {
    if (isVisible()) stringList_->setFocus();
}

void ListDataWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const ListDataLayout layout = LayOutListData(width(), height());
    for (const auto& [list, rect] : {std::pair{blockList_, layout.blockList}, std::pair{stringList_, layout.stringList}}) {
        list->setGeometry(rect.left, rect.top, rect.width, rect.height);
    }
}

}  // namespace corv::editor
