#pragma once
// The Kana Text window (objectName "KanaForm"): the untranslated text of the string the preview
// shows, read-only in its editor "kanaEdit", long lines wrapped at the editor's width.
//
// Wiring, for the main window:
//   - loadKana() with the string the session drew, whenever it hands on a new one;
//   - showStringNumber() from the string choice, for the caption;
//   - lineWrap() for the kana dumps (editor/logic/kana_dump_command.h), so that they cut lines
//     where this window wraps them;
//   - show() for "Display Kana Text Dump" and the data file's .KanaWindow line.

#include <QWidget>

#include <string_view>

#include "editor/logic/kana_text.h"
#include "script/block_data_file.h"
#include "script/string_decoder.h"

class QPlainTextEdit;

namespace corv::editor {

// The font of both kana editors: a Japanese Gothic face, 12 pixels high.
[[nodiscard]] QFont KanaFont();

// Code table bytes (Shift-JIS, CR LF line breaks) as the kana editors show them.
[[nodiscard]] QString KanaDisplayText(std::string_view bytes);

// Lines wrap where a plain text editor of this font and text option, `width` pixels wide inside
// its document margins, wraps them.
[[nodiscard]] KanaLineWrap MeasuredLineWrap(const QFont& font, const QTextOption& option, qreal width);

class KanaTextWindow final : public QWidget {
    Q_OBJECT

public:
    explicit KanaTextWindow(QWidget* parent = nullptr);

    // The string's kana text, or nothing for a record without readable text. The editor does not
    // repaint until the new text is in.
    void loadKana(const script::ResolvedString& resolved, const script::CodeMaps& maps);
    // The string shown is drawn again: as loading it again would, the caret and the view return
    // to the start.
    void showAgain();

    // "Kana Text: String #" and `stringIndex`.
    void showStringNumber(unsigned stringIndex);

    // How the editor wraps a line at its current width, whether the window is shown or not.
    [[nodiscard]] KanaLineWrap lineWrap() const;

private:
    [[nodiscard]] qreal wrapWidth() const;

    QPlainTextEdit* kanaEditor_ = nullptr;  // kanaEdit
};

}  // namespace corv::editor
