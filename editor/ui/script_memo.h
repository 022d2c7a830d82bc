#pragma once
// The Text Editor's text widget: plain text, no wrapping, fixed-pitch font. Shift+Delete is
// swallowed (it would cut), and text that no script byte can hold is kept out, whether typed,
// pasted or dropped, so that what the translator sees is what the file will hold.

#include <QPlainTextEdit>

#include <functional>

namespace corv::editor {

class ScriptMemo final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ScriptMemo(QWidget* parent = nullptr);

    // Pasted and dropped text goes through `filter` first (the main window's substitutions),
    // then loses what no script byte can hold.
    using PasteFilter = std::function<QString(const QString&)>;
    void setPasteFilter(PasteFilter filter) { pasteFilter_ = std::move(filter); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    PasteFilter pasteFilter_;
};

}  // namespace corv::editor
