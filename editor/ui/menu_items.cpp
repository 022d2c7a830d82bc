#include "editor/ui/menu_items.h"

#include <QAction>
#include <QMenu>

namespace corv::editor {

QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(QKeySequence(shortcut));
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    return action;
}

}  // namespace corv::editor
