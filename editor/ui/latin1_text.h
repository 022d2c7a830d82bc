#pragma once
// Script files are bytes, shown one character per byte (Latin-1), so a typed é is stored as
// 0xE9, the byte the translation font draws as é, and every byte 0x00-0xFF read from a file is
// written back unchanged.
//
// The text widgets treat a carriage return as a line break, so a lone CR byte (a CR before a LF
// is already part of the line end) is shown as the symbol U+240D and turned back on the way out.

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>

namespace corv::editor {

// Lines joined by '\n' as they are held in script text, to the text a widget shows.
[[nodiscard]] QString BytesToEditorText(std::string_view bytes);

// A widget's text back to bytes: paragraph separators become '\n'; a character that no byte can
// hold (only text put in past the widget's input filter) becomes '?'.
[[nodiscard]] std::string EditorTextToBytes(QStringView text);

// True for a character that a script byte can hold (the CR symbol included).
[[nodiscard]] bool FitsScriptByte(QChar character);

// `text` without the characters that no script byte can hold.
[[nodiscard]] QString KeepScriptCharacters(const QString& text);

// What a question's answer (UTF-8, as the dialogs give it) is as script bytes; std::nullopt when
// a character of it has no script byte, so that it can match nothing in a script.
[[nodiscard]] std::optional<std::string> AnswerToScriptBytes(std::string_view utf8);

}  // namespace corv::editor
