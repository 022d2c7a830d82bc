#include "editor/ui/hex_data_window.h"

#include <QKeyEvent>
#include <QPainter>

#include <optional>

#include "editor/ui/companion_window.h"
#include "script/string_decoder.h"

namespace corv::editor {

namespace {

QColor rgb(uint32_t colour) { return QColor::fromRgb(static_cast<QRgb>(colour)); }

std::optional<HexKey> arrowKey(int key) {
    switch (key) {
        case Qt::Key_Left:
            return HexKey::Left;
        case Qt::Key_Right:
            return HexKey::Right;
        case Qt::Key_Up:
            return HexKey::Up;
        case Qt::Key_Down:
            return HexKey::Down;
        default:
            return std::nullopt;
    }
}

}  // namespace

QImage HexGlyphImage(const preview::GlyphCell& cell) {
    const HexGlyphBitmap picture = HexGlyphPicture(cell);
    QImage image(8, static_cast<int>(preview::kGlyphRows), QImage::Format_RGB16);
    for (int row = 0; row < image.height(); ++row) {
        std::copy_n(picture.begin() + row * 8, 8, reinterpret_cast<preview::Pixel*>(image.scanLine(row)));
    }
    return image;
}

// The paint box that shows the glyph stretched over its whole area, one glyph pixel becoming a
// block of screen pixels without smoothing.
class HexGlyphBox final : public QWidget {
public:
    explicit HexGlyphBox(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

    void setImage(const QImage& image) {
        if (image == image_) return;
        image_ = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (image_.isNull()) {
            painter.fillRect(rect(), Qt::black);
            return;
        }
        painter.drawImage(rect(), image_);
    }

private:
    QImage image_;
};

HexDataWindow::HexDataWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("HexForm"));
    setWindowTitle(QStringLiteral("Hex Data"));
    MakeToolWindow(this);
    SetOuterBounds(this, {340, 466}, {397, 175});
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    setFont(CourierFont(kHexFontHeight));

    glyphBox_ = new HexGlyphBox(this);
    glyphBox_->setObjectName(QStringLiteral("chPic"));
    glyphBox_->setGeometry(256, 4, 128, 128);

    view_.setClientHeight(height());
}

void HexDataWindow::setSources(Sources sources) {
    sources_ = std::move(sources);
    update();
}

bool HexDataWindow::romLoaded() const { return !sources_.romLoaded || sources_.romLoaded(); }

void HexDataWindow::loadString(const script::ResolvedString& resolved) {
    if (!romLoaded()) return;
    view_.loadString(resolved);
    refresh();
}

void HexDataWindow::showAgain() {
    if (!romLoaded() || !view_.loaded() || view_.scroll() == 0) return;
    view_.scrollToTop();
    refresh();
}

QImage HexDataWindow::glyphImage() const {
    const bool translated = sources_.displayTranslated && sources_.displayTranslated();
    const HexGlyphChoice choice = view_.glyph(translated);
    preview::GlyphCell cell;
    if (!choice.gameFont) {
        cell = preview::TranslationCell(static_cast<uint8_t>(choice.code));
    } else if (sources_.gameFontCell) {
        cell = sources_.gameFontCell(choice.code);
    }
    return HexGlyphImage(cell);
}

void HexDataWindow::refresh() {
    view_.setClientHeight(height());
    if (romLoaded() && view_.loaded()) {
        setWindowTitle(QString::fromStdString(view_.caption()));
        glyphBox_->setImage(glyphImage());
    }
    update();
}

void HexDataWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!romLoaded() || !view_.loaded()) return;
    view_.setClientHeight(height());

    const QFontMetrics metrics(font());
    for (int row = 0; row < view_.rows(); ++row) {
        const int y = row * kHexLineHeight;
        int x = 0;
        for (int column = 0; column < view_.columns(); ++column) {
            const HexCell cell = view_.cell(row, column);
            const QString text = QString::fromLatin1(cell.text.c_str());
            const int width = metrics.horizontalAdvance(text);
            painter.fillRect(x, y, width, kHexLineHeight, rgb(cell.background));
            painter.setPen(rgb(cell.textColour));
            painter.drawText(x, y + metrics.ascent(), text);
            x += width;
        }
    }
    // The glyph follows the translated-preview check mark as it is at this paint.
    glyphBox_->setImage(glyphImage());
}

void HexDataWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    refresh();
}

void HexDataWindow::keyPressEvent(QKeyEvent* event) {
    const std::optional<HexKey> key = arrowKey(event->key());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    view_.press(*key);
    refresh();
}

}  // namespace corv::editor
