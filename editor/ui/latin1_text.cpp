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
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator) {
            bytes.push_back('\n');
        } else if (code == kCarriageReturnSymbol) {
            bytes.push_back('\r');
        } else if (code <= 0xFF) {
            bytes.push_back(static_cast<char>(code));
        } else {
            bytes.push_back('?');
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
