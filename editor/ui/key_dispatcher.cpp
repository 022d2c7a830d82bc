#include "editor/ui/key_dispatcher.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace corv::editor {

namespace {

QAction* FirstMatch(const QList<QAction*>& actions, const QKeySequence& key) {
    for (QAction* action : actions) {
        if (QMenu* submenu = action->menu()) {
            if (QAction* found = FirstMatch(submenu->actions(), key)) return found;
            continue;
        }
        // Qt reports every hidden action as disabled; the editor never disables its hidden items,
        // so a hidden item counts as enabled.
        if (action->isSeparator() || (!action->isEnabled() && action->isVisible())) continue;
        if (action->shortcut() == key) return action;
    }
    return nullptr;
}

QKeySequence KeyOf(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_unknown || key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt ||
        key == Qt::Key_Meta) {
        return {};
    }
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
}

}  // namespace

KeyDispatcher::KeyDispatcher(QMenuBar* menuBar, QWidget* mainWindow, QObject* parent)
    : QObject(parent), menuBar_(menuBar), mainWindow_(mainWindow) {}

QAction* KeyDispatcher::actionFor(const QKeySequence& key) const {
    if (!menuBar_ || key.isEmpty()) return nullptr;
    return FirstMatch(menuBar_->actions(), key);
}

bool KeyDispatcher::dispatching() const {
    return mainWindow_ && mainWindow_->isEnabled() && !QApplication::activeModalWidget() &&
           !QApplication::activePopupWidget();
}

bool KeyDispatcher::eventFilter(QObject* watched, QEvent* event) {
    const bool override = event->type() == QEvent::ShortcutOverride;
    if ((!override && event->type() != QEvent::KeyPress) || !watched->isWidgetType() || !dispatching()) {
        return QObject::eventFilter(watched, event);
    }
    QAction* action = actionFor(KeyOf(*static_cast<QKeyEvent*>(event)));
    if (!action) return QObject::eventFilter(watched, event);
    if (override) {
        // Claiming the override keeps Qt's shortcut map out; the key then arrives as a key press.
        event->accept();
        return true;
    }
    action->trigger();
    return true;
}

}  // namespace corv::editor
