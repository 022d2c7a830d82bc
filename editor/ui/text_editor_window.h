#pragma once
// The Text Editor (TxtForm): the current block's script text in TDMemo, plus the hidden scratch
// editor Memo1. A companion tool window: its close button only hides it.
//
// The main window wires it like this:
//   - script() is the ScriptText that the string index loads, searches and the insertion reads;
//     its text() is the file's bytes (one character a byte), ready for the script file save;
//   - scriptChanged() follows every change of the text that is not a setText() (typing, deleting,
//     pasting, undo): rerun the string choice, which leaves caret, selection and view alone;
//   - typed() comes first, before scriptChanged(): its receivers may change the text once more
//     (Wrap While Typing), and scriptChanged() then follows both changes at once;
//   - resized() follows every resize: rerun the string choice, which brings the current string's
//     entry into view and leaves caret and selection alone;
//   - setStayOnTop() serves "Text Editor Stay on top";
//   - fontSize() is what a translation project remembers of it.

#include <QWidget>

#include "editor/ui/memo_script_text.h"

class QPlainTextEdit;

namespace corv::editor {

class ScriptMemo;

class TextEditorWindow final : public QWidget {
    Q_OBJECT

public:
    explicit TextEditorWindow(QWidget* parent = nullptr);

    [[nodiscard]] script::ScriptText& script() { return script_; }
    [[nodiscard]] const script::ScriptText& script() const { return script_; }
    // The script's editor itself, for finding text and bringing the caret into view.
    [[nodiscard]] ScriptMemo& memo() { return *scriptEditor_; }

    void setStayOnTop(bool onTop);

    // The script's font size in pixels; Ctrl with the mouse wheel over the text changes it.
    [[nodiscard]] int fontSize() const;
    void setFontSize(int pixels);  // kept within 6 to 72 pixels

signals:
    void typed();
    void scriptChanged();
    void resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTextChanged();

    ScriptMemo* scriptEditor_;        // TDMemo
    QPlainTextEdit* scratchEditor_;   // Memo1, hidden
    MemoScriptText script_;
    bool reacting_ = false;
};

}  // namespace corv::editor
