#include "editor/ui/kana_text_window.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

#include "editor/ui/companion_window.h"
#include "script/sjis.h"

namespace corv::editor {

QFont KanaFont() {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(12);
    // Smoothed at this size the font's one-pixel underscore turns a faint grey between two rows,
    // and "[MEM_Text]" reads "[MEM Text]"; drawn whole-pixel, as the game's own bitmap-like kana,
    // it is black.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QString KanaDisplayText(std::string_view bytes) {
    QString text = QString::fromStdString(script::ShiftJisToUtf8(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

KanaLineWrap MeasuredLineWrap(const QFont& font, const QTextOption& option, qreal width) {
    return [font, option, width](const std::vector<std::string>& characters) {
        QString text;
        std::vector<qsizetype> starts;  // where each character begins in `text`
        starts.reserve(characters.size());
        for (const std::string& character : characters) {
            starts.push_back(text.size());
            text += QString::fromStdString(character);
        }
        QTextLayout layout(text, font);
        layout.setTextOption(option);
        std::vector<size_t> counts;
        size_t taken = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            const qsizetype end = line.textStart() + line.textLength();
            const auto upTo = static_cast<size_t>(std::lower_bound(starts.begin(), starts.end(), end) - starts.begin());
            counts.push_back(upTo - taken);
            taken = upTo;
        }
        layout.endLayout();
        return counts;
    };
}

KanaTextWindow::KanaTextWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("KanaForm"));
    setWindowTitle(QString::fromStdString(KanaTextCaption(0)));
    MakeToolWindow(this);
    SetOuterBounds(this, {10, 350}, {326, 129});

    kanaEditor_ = new QPlainTextEdit(this);
    kanaEditor_->setObjectName(QStringLiteral("kanaEdit"));
    kanaEditor_->setFont(KanaFont());
    kanaEditor_->setReadOnly(true);
    kanaEditor_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    kanaEditor_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    kanaEditor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    kanaEditor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(kanaEditor_);
}

void KanaTextWindow::loadKana(const script::ResolvedString& resolved, const script::CodeMaps& maps) {
    kanaEditor_->setUpdatesEnabled(false);
    kanaEditor_->setPlainText(KanaDisplayText(KanaWindowText(resolved, maps)));
    kanaEditor_->setUpdatesEnabled(true);
}

void KanaTextWindow::showAgain() {
    kanaEditor_->moveCursor(QTextCursor::Start);
    kanaEditor_->verticalScrollBar()->setValue(0);
}

void KanaTextWindow::showStringNumber(unsigned stringIndex) {
    setWindowTitle(QString::fromStdString(KanaTextCaption(stringIndex)));
}

qreal KanaTextWindow::wrapWidth() const {
    // The editor fills the window; inside its frame the vertical scroll bar (always there) takes
    // its share, and the document keeps a margin on both sides. Taken from the window's own size
    // so that a window never shown yet measures as it will show.
    const int frame = kanaEditor_->frameWidth();
    const int scrollBar = kanaEditor_->verticalScrollBar()->sizeHint().width();
    const int viewport = width() - 2 * frame - scrollBar;
    // An editor with no room left lays its lines out unwrapped; so does the measure.
    const qreal room = viewport > 0 ? qreal(viewport) : qreal(std::numeric_limits<int>::max());
    return room - 2 * kanaEditor_->document()->documentMargin();
}

KanaLineWrap KanaTextWindow::lineWrap() const {
    return MeasuredLineWrap(kanaEditor_->font(), kanaEditor_->document()->defaultTextOption(), wrapWidth());
}

}  // namespace corv::editor
