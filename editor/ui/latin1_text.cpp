#include "editor/ui/latin1_text.h"

#include <algorithm>

namespace corv::editor {

namespace {

constexpr char16_t kCarriageReturnSymbol = 0x240D;

}  // namespace

QString BytesToEditorText(std::string_view bytes) {
    QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    text.replace(QChar(u'\r'), QChar(kCarriageReturnSymbol));
    return text;
}

std::string EditorTextToBytes(QStringView text) {
    // Runs over the whole script on every key press: Qt's Latin-1 conversion does the bulk, and
    // only the few characters above Latin-1 (line separators, the carriage return symbol) are
    // looked at one by one.
    QByteArray latin1 = text.toLatin1();
    std::string bytes(latin1.constData(), static_cast<size_t>(latin1.size()));
    const char16_t* codes = text.utf16();
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char16_t code = codes[i];
        if (code <= 0xFF) continue;
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator) {
            bytes[i] = '\n';
        } else if (code == kCarriageReturnSymbol) {
            bytes[i] = '\r';
        } else {
            bytes[i] = '?';
        }
    }
    return bytes;
}

bool FitsScriptByte(QChar character) {
    return character.unicode() <= 0xFF || character.unicode() == kCarriageReturnSymbol;
}

QString KeepScriptCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept), FitsScriptByte);
    return kept;
}

}  // namespace corv::editor

namespace corv::editor {

std::optional<std::string> AnswerToScriptBytes(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (!std::all_of(text.begin(), text.end(), FitsScriptByte)) return std::nullopt;
    return EditorTextToBytes(text);
}

}  // namespace corv::editor
