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

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ListBox1 = new QListWidget(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setItemDelegate(new FixedRowDelegate(kLogRowHeight, ListBox1));
    ListBox1->setUniformItemSizes(true);
    auto* panelLayout = new QVBoxLayout(Panel1);
    const int frame = Panel1->frameWidth();
    panelLayout->setContentsMargins(frame, frame, frame, frame);
    panelLayout->addWidget(ListBox1);

    // The bar shows whole percent; the insertion's own range and position live in gauge_.
    CGauge1 = new QProgressBar(this);
    CGauge1->setObjectName(QStringLiteral("CGauge1"));
    CGauge1->setFixedHeight(kGaugeHeight);
    CGauge1->setRange(0, 100);
    CGauge1->setFormat(QStringLiteral("%p%"));
    CGauge1->setTextVisible(true);
    CGauge1->setAlignment(Qt::AlignCenter);
    QPalette blueText = CGauge1->palette();
    blueText.setColor(QPalette::Text, Qt::blue);
    blueText.setColor(QPalette::HighlightedText, Qt::blue);
    blueText.setColor(QPalette::WindowText, Qt::blue);
    CGauge1->setPalette(blueText);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1, 1);
    layout->addWidget(CGauge1);
    showGauge();
}

void InsertProgressWindow::start() {
    ListBox1->clear();
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
    ListBox1->addItem(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    ListBox1->scrollToBottom();
}

void InsertProgressWindow::showGauge() { CGauge1->setValue(gauge_.percent()); }

}  // namespace corv::editor
