#pragma once
// The script text over a plain-text widget: what the string choice, the search and the insertion
// read and move. Positions count characters of text(), lines joined by '\n', exactly as the
// widget's own positions do (every byte is one character, every line end one position).
//
// Moving the caret never scrolls the widget; only scrollLines() does. setText() replaces the
// text, puts the caret and the view at the start and leaves the modified flag as it was, like
// the in-memory script text; being no edit, it sends none of the widget's change signals.
// The widget must outlive this object.

#include <optional>
#include <string>

#include "script/script_text.h"

class QPlainTextEdit;

namespace corv::editor {

class MemoScriptText final : public script::ScriptText {
public:
    // Connects to the widget's textChanged before anyone else should, so that the text seen by
    // the receivers of a change is already the new one: construct it before other connections.
    explicit MemoScriptText(QPlainTextEdit& memo);

    [[nodiscard]] int lineCount() const override;
    [[nodiscard]] std::string line(int index) const override;
    [[nodiscard]] std::string text() const override;
    void setText(std::string_view text) override;

    [[nodiscard]] size_t selectionStart() const override;
    [[nodiscard]] size_t selectionLength() const override;
    void setCaret(size_t position) override;
    [[nodiscard]] int lineOfPosition(size_t position) const override;

    [[nodiscard]] int firstVisibleLine() const override;
    void scrollLines(int delta) override;

    [[nodiscard]] bool modified() const override;
    void setModified(bool modified) override;

private:
    [[nodiscard]] int lastPosition() const;

    QPlainTextEdit& memo_;
    // The whole text as bytes, kept until the next change: the insertion looks up every entry
    // of a block, and each lookup reads the whole text.
    mutable std::optional<std::string> textCache_;
};

}  // namespace corv::editor
