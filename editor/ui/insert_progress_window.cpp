#include "editor/ui/insert_progress_window.h"

#include <algorithm>

#include <QCoreApplication>
#include <QFrame>
#include <QListWidget>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "editor/ui/companion_window.h"

namespace corv::editor {

namespace {

constexpr int kFontPixels = 12;
constexpr int kGaugeHeight = 15;
constexpr int kLogRowHeight = 15;

}  // namespace

InsertProgressWindow::InsertProgressWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("InsertForm"));
    setWindowTitle(QStringLiteral("InsertForm"));
    MakeToolWindow(this);
    setFont(CourierFont(kFontPixels));
    SetOuterSizeCentred(this, {290, 133});

    gaugePanel_ = new QFrame(this);
    gaugePanel_->setObjectName(QStringLiteral("Panel1"));
    gaugePanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    log_ = new QListWidget(gaugePanel_);
    log_->setObjectName(QStringLiteral("ListBox1"));
    log_->setItemDelegate(new FixedRowDelegate(kLogRowHeight, log_));
    log_->setUniformItemSizes(true);
    auto* panelLayout = new QVBoxLayout(gaugePanel_);
    const int frame = gaugePanel_->frameWidth();
    panelLayout->setContentsMargins(frame, frame, frame, frame);
    panelLayout->addWidget(log_);

    // The bar shows whole percent; the insertion's own range and position live in gauge_.
    gaugeBar_ = new QProgressBar(this);
    gaugeBar_->setObjectName(QStringLiteral("CGauge1"));
    gaugeBar_->setFixedHeight(kGaugeHeight);
    gaugeBar_->setRange(0, 100);
    gaugeBar_->setFormat(QStringLiteral("%p%"));
    gaugeBar_->setTextVisible(true);
    gaugeBar_->setAlignment(Qt::AlignCenter);
    QPalette blueText = gaugeBar_->palette();
    blueText.setColor(QPalette::Text, Qt::blue);
    blueText.setColor(QPalette::HighlightedText, Qt::blue);
    blueText.setColor(QPalette::WindowText, Qt::blue);
    gaugeBar_->setPalette(blueText);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(gaugePanel_, 1);
    layout->addWidget(gaugeBar_);
    showGauge();
}

void InsertProgressWindow::start() {
    log_->clear();
    show();
    raise();
}

void InsertProgressWindow::setCaption(std::string_view caption) {
    setWindowTitle(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
}

void InsertProgressWindow::setGaugeRange(int minimum, int maximum) {
    gauge_.setRange(minimum, maximum);
    showGauge();
}

void InsertProgressWindow::setGaugePosition(int position) {
    gauge_.setPosition(position);
    showGauge();
}

void InsertProgressWindow::processPendingMessages() { QCoreApplication::processEvents(); }

void InsertProgressWindow::addLogLine(const std::string& line) {
    // Log lines can quote script text, which is bytes.
    log_->addItem(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    fitLog();
    log_->scrollToBottom();
}

int InsertProgressWindow::logLineCount() const { return log_->count(); }

void InsertProgressWindow::insertLogLine(int row, const std::string& line) {
    log_->insertItem(row, QString::fromStdString(line));
    fitLog();
}

void InsertProgressWindow::fitLog() {
    // The window keeps its size while the log fits; a longer log (check errors, the room line)
    // makes it taller and wider rather than hiding lines, up to most of the screen.
    const int frames = 2 * (gaugePanel_->frameWidth() + log_->frameWidth());
    const QSize wanted(log_->sizeHintForColumn(0) + frames + 2,
                       log_->count() * kLogRowHeight + frames + kGaugeHeight + 2);
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize most(screen.width() * 9 / 10, screen.height() * 9 / 10);
    const QSize grown = size().expandedTo(wanted.boundedTo(most));
    if (grown == size()) return;
    resize(grown);
    // Kept on the screen: a window grown from the centre may reach past its right or lower edge.
    QRect frame = frameGeometry();
    frame.moveRight(std::min(frame.right(), screen.right()));
    frame.moveBottom(std::min(frame.bottom(), screen.bottom()));
    if (frame.topLeft() != frameGeometry().topLeft()) move(frame.topLeft());
}

void InsertProgressWindow::showGauge() { gaugeBar_->setValue(gauge_.percent()); }

}  // namespace corv::editor
