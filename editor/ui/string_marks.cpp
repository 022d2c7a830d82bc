#include "editor/ui/string_marks.h"

#include <QIcon>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>

#include "editor/logic/live_checks.h"
#include "editor/logic/live_texts.h"
#include "editor/logic/string_index.h"

namespace corv::editor {
namespace {

constexpr int kMarkRole = Qt::UserRole + 18;  // the state and findings the line shows, to skip unchanged lines
constexpr int kMarkSize = 8;

QIcon markIcon(StringState state) {
    static const QColor colours[] = {QColor(0xB0, 0xB0, 0xB0), QColor(0x20, 0xA0, 0x40), QColor(0xE0, 0xA0, 0x00),
                                     QColor(0xD0, 0x20, 0x20)};
    QPixmap pixmap(kMarkSize, kMarkSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours[int(state)]);
    if (state == StringState::Untranslated) {
        painter.setPen(colours[int(state)]);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, kMarkSize - 1, kMarkSize - 1);
    } else {
        painter.drawRect(0, 0, kMarkSize, kMarkSize);
    }
    return QIcon(pixmap);
}

const QIcon& iconFor(StringState state) {
    static const QIcon icons[] = {markIcon(StringState::Untranslated), markIcon(StringState::Translated),
                                  markIcon(StringState::Warning), markIcon(StringState::Error)};
    return icons[int(state)];
}

void markRow(QListWidget* list, int row, const LiveChecks& checks) {
    {
        QListWidgetItem* item = list->item(row);
        const LiveString* string = checks.isOpen() ? checks.string(unsigned(row)) : nullptr;
        if (string == nullptr) {
            if (!item->data(kMarkRole).isNull()) {
                item->setData(kMarkRole, QVariant());
                item->setIcon(QIcon());
                item->setToolTip(QString());
                item->setData(Qt::AccessibleDescriptionRole, QVariant());
            }
            return;
        }
        // The list's own hint stays the first line of every line's tooltip; the findings follow.
        const QString tooltip = QString::fromStdString(ItemsHint(size_t(list->count()))) + QLatin1Char('\n') +
                                QString::fromStdString(StringTooltip(*string, checks.box()));
        const QString mark = QString::number(int(string->state)) + tooltip;
        if (item->data(kMarkRole).toString() == mark) return;
        item->setData(kMarkRole, mark);
        item->setIcon(iconFor(string->state));
        item->setToolTip(tooltip);
        item->setData(Qt::AccessibleDescriptionRole, QString::fromStdString(StateText(string->state)));
    }
}

}  // namespace

void MarkStrings(QListWidget* list, const LiveChecks& checks) {
    for (int row = 0; row < list->count(); ++row) markRow(list, row, checks);
}

void MarkChangedStrings(QListWidget* list, const LiveChecks& checks) {
    for (const unsigned number : checks.changedStrings()) {
        if (int(number) < list->count()) markRow(list, int(number), checks);
    }
}

}  // namespace corv::editor
