#pragma once
// The editor's menu shortcuts, application-wide. Qt's own shortcut handling cannot give the
// menu's rules: it runs neither of two actions that share a shortcut (Ctrl+T is on two items),
// it switches off the shortcut of a hidden action (the hidden items answer Ctrl+D and Ctrl+B),
// and text widgets claim Ctrl+C/V/X/A through ShortcutOverride before any shortcut is looked at.
//
// So one filter on the application looks every key press up in the menu itself: in menu order,
// depth first, hidden items included, disabled items skipped; the first item that carries the
// key runs and the key goes no further. It acts only while the main window is enabled and no
// modal dialog or popup menu is open.

#include <QKeySequence>
#include <QObject>
#include <QPointer>

class QAction;
class QMenuBar;
class QWidget;

namespace corv::editor {

class KeyDispatcher final : public QObject {
    Q_OBJECT
public:
    // `menuBar` and `mainWindow` must outlive the dispatcher (both belong to the main window).
    KeyDispatcher(QMenuBar* menuBar, QWidget* mainWindow, QObject* parent = nullptr);

    // The item that `key` runs now, or nullptr.
    [[nodiscard]] QAction* actionFor(const QKeySequence& key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool dispatching() const;

    QPointer<QMenuBar> menuBar_;
    QPointer<QWidget> mainWindow_;
};

}  // namespace corv::editor
