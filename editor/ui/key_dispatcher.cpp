#include "editor/ui/key_dispatcher.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

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

KeyChord ChordOf(const QKeySequence& key) {
    if (key.isEmpty()) return {};
    const QKeyCombination combination = key[0];
    const int code = combination.key();
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    KeyChord chord;
    chord.letter = code >= Qt::Key_A && code <= Qt::Key_Z ? static_cast<char>('A' + (code - Qt::Key_A)) : char{0};
    chord.control = modifiers.testFlag(Qt::ControlModifier);
    chord.shift = modifiers.testFlag(Qt::ShiftModifier);
    chord.alt = modifiers.testFlag(Qt::AltModifier);
    chord.meta = modifiers.testFlag(Qt::MetaModifier);
    return chord;
}

constexpr char kMenuKeysProperty[] = "corvMenuKeys";

// A text the user edits: a line or multi-line editor that is not read-only.
bool IsEditableText(const QObject* object) {
    if (object->property(kMenuKeysProperty).toBool()) return false;
    if (const auto* line = qobject_cast<const QLineEdit*>(object)) return !line->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(object)) return !plain->isReadOnly();
    if (const auto* rich = qobject_cast<const QTextEdit*>(object)) return !rich->isReadOnly();
    return false;
}

void Redo(QObject* object) {
    if (auto* line = qobject_cast<QLineEdit*>(object)) line->redo();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(object)) plain->redo();
    if (auto* rich = qobject_cast<QTextEdit*>(object)) rich->redo();
}

}  // namespace

void KeepMenuKeys(QWidget* text) { text->setProperty(kMenuKeysProperty, true); }

KeyDispatcher::KeyDispatcher(QMenuBar* menuBar, QWidget* mainWindow, QObject* parent)
    : QObject(parent), menuBar_(menuBar), mainWindow_(mainWindow) {}

QAction* KeyDispatcher::actionFor(const QKeySequence& key) const {
    if (!menuBar_ || key.isEmpty()) return nullptr;
    return FirstMatch(menuBar_->actions(), key);
}

QAction* KeyDispatcher::actionFor(const QKeySequence& key, const QObject* focus) const {
    if (KeyEditsText(mode_, IsEditableText(focus), ChordOf(key))) return nullptr;
    return actionFor(key);
}

bool KeyDispatcher::dispatching() const {
    return mainWindow_ && mainWindow_->isEnabled() && !QApplication::activeModalWidget() &&
           !QApplication::activePopupWidget();
}

bool KeyDispatcher::eventFilter(QObject* watched, QEvent* event) {
    const bool override = event->type() == QEvent::ShortcutOverride;
    if ((!override && event->type() != QEvent::KeyPress) || !watched->isWidgetType()) {
        return QObject::eventFilter(watched, event);
    }
    const QKeySequence key = KeyOf(*static_cast<QKeyEvent*>(event));
    const KeyChord chord = ChordOf(key);
    QAction* action = dispatching() ? actionFor(key, watched) : nullptr;
    if (!action && TextKeyOf(chord) == TextKey::Redo && chord.letter == 'Y' && IsEditableText(watched)) {
        // Claimed in the override as a menu key is, then redone on the key press.
        if (!override) Redo(watched);
        event->accept();
        return true;
    }
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
