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
    // Runs over the whole script on every key press: one pass into a buffer sized once.
    std::string bytes(static_cast<size_t>(text.size()), '\0');
    char* out = bytes.data();
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        if (code <= 0xFF) {
            *out++ = static_cast<char>(code);
        } else if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator) {
            *out++ = '\n';
        } else if (code == kCarriageReturnSymbol) {
            *out++ = '\r';
        } else {
            *out++ = '?';
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
