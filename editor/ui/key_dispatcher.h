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
//
// In a translation project the text-editing keys pressed in an editable text are that text's own
// (editor/logic/text_keys.h); Ctrl+Y redoes in every editable text in both modes, as the
// platform's widgets here give redo only to Ctrl+Shift+Z.

#include <QKeySequence>
#include <QObject>
#include <QPointer>

#include "editor/logic/text_keys.h"

class QAction;
class QMenuBar;
class QWidget;

namespace corv::editor {

// Marks an editable text whose keys stay the menu's in both modes: the Current Kana Dump's text,
// which the user may change but nothing reads back, is a view like the other read-only windows.
void KeepMenuKeys(QWidget* text);

class KeyDispatcher final : public QObject {
    Q_OBJECT
public:
    // `menuBar` and `mainWindow` must outlive the dispatcher (both belong to the main window).
    KeyDispatcher(QMenuBar* menuBar, QWidget* mainWindow, QObject* parent = nullptr);

    // The item that `key` runs now, or nullptr.
    [[nodiscard]] QAction* actionFor(const QKeySequence& key) const;
    // The item that `key` pressed with the keyboard focus in `focus` runs now, or nullptr (the key
    // is then the widget's own).
    [[nodiscard]] QAction* actionFor(const QKeySequence& key, const QObject* focus) const;

    // Project while a translation project is open, Rom otherwise (the start).
    void setMode(EditorMode mode) { mode_ = mode; }
    [[nodiscard]] EditorMode mode() const { return mode_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool dispatching() const;

    QPointer<QMenuBar> menuBar_;
    QPointer<QWidget> mainWindow_;
    EditorMode mode_ = EditorMode::Rom;
};

}  // namespace corv::editor
