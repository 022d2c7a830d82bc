#include "editor/ui/insert_progress_window.h"

#include <QCoreApplication>
#include <QFrame>
#include <QListWidget>
#include <QProgressBar>
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
    log_->scrollToBottom();
    emit logLineAdded();
}

int InsertProgressWindow::logLineCount() const { return log_->count(); }

std::string InsertProgressWindow::logLine(int row) const { return log_->item(row)->text().toStdString(); }

void InsertProgressWindow::insertLogLine(int row, const std::string& line) {
    log_->insertItem(row, QString::fromStdString(line));
}

void InsertProgressWindow::showGauge() { gaugeBar_->setValue(gauge_.percent()); }

}  // namespace corv::editor
