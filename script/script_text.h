#pragma once
// The script text the translator edits. The editor implements this over its text widget;
// MemoryScriptText serves the tools and the tests.
//
// Positions count characters of text(), in which lines are joined by a single '\n'.
// Lines hold the file's 8-bit bytes unchanged and never contain a line end.

#include <string>
#include <string_view>
#include <vector>

namespace corv::script {

class ScriptText {
public:
    virtual ~ScriptText() = default;

    [[nodiscard]] virtual int lineCount() const = 0;
    [[nodiscard]] virtual std::string line(int index) const = 0;
    [[nodiscard]] virtual std::string text() const = 0;
    virtual void setText(std::string_view text) = 0;

    [[nodiscard]] virtual size_t selectionStart() const = 0;
    [[nodiscard]] virtual size_t selectionLength() const = 0;
    // Puts the caret at `position` with an empty selection.
    virtual void setCaret(size_t position) = 0;
    [[nodiscard]] virtual int lineOfPosition(size_t position) const = 0;

    [[nodiscard]] virtual int firstVisibleLine() const = 0;
    virtual void scrollLines(int delta) = 0;

    [[nodiscard]] virtual bool modified() const = 0;
    virtual void setModified(bool modified) = 0;
};

class MemoryScriptText final : public ScriptText {
public:
    MemoryScriptText() = default;
    explicit MemoryScriptText(std::string_view text) { setText(text); }

    [[nodiscard]] int lineCount() const override;
    [[nodiscard]] std::string line(int index) const override;
    [[nodiscard]] std::string text() const override { return text_; }
    void setText(std::string_view text) override;
    // setText of the text with characters [start, start + length) replaced by `text`, the lines
    // outside them found again by moving them, not by reading them (a key in a long script).
    void replace(size_t start, size_t length, std::string_view text);

    [[nodiscard]] size_t selectionStart() const override { return selectionStart_; }
    [[nodiscard]] size_t selectionLength() const override { return selectionLength_; }
    void setCaret(size_t position) override;
    void select(size_t start, size_t length);
    [[nodiscard]] int lineOfPosition(size_t position) const override;

    [[nodiscard]] int firstVisibleLine() const override { return firstVisibleLine_; }
    void scrollLines(int delta) override;

    [[nodiscard]] bool modified() const override { return modified_; }
    void setModified(bool modified) override { modified_ = modified; }

private:
    std::string text_;
    std::vector<size_t> lineStarts_{0};
    size_t selectionStart_ = 0;
    size_t selectionLength_ = 0;
    int firstVisibleLine_ = 0;
    bool modified_ = false;
};

}  // namespace corv::script
