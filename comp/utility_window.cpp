#include "comp/utility_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QKeySequence>
#include <QListWidget>
#include <QMenuBar>
#include <QStyledItemDelegate>

#include <fstream>

#include "about/help_menu.h"
#include "about/version.h"
#include "comp/area_walk.h"
#include "dialogs/dialogs.h"
#include "comp/listing_recompress.h"
#include "comp/messages.h"

namespace corv::comp {

namespace {

constexpr int kListItemHeight = 15;
const char* const kRomFilter = "Snes file | *.smc";
const char* const kListingFilter = "All Files | *.*";

// Fixed row height, so the log reads as a compact column of lines.
class FixedRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(kListItemHeight);
        return size;
    }
};

QFont sansFont(int pixelSize) {
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace

UtilityWindow::UtilityWindow(dialogs::Dialogs& dialogs, QWidget* parent) : QMainWindow(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("cmForm"));
    setWindowTitle(QStringLiteral("Compression Utility: Corvane"));
    setFont(sansFont(11));
    move(8, 61);
    resize(290, 279);

    ui_.log = new QListWidget(this);
    ui_.log->setObjectName(QStringLiteral("ListBox1"));
    ui_.log->setFont(sansFont(12));
    ui_.log->setItemDelegate(new FixedRowDelegate(ui_.log));
    ui_.log->setUniformItemSizes(true);
    setCentralWidget(ui_.log);

    buildMenu();

    std::error_code error;
    state_.startDirectory = std::filesystem::current_path(error);
}

UtilityWindow::~UtilityWindow() = default;

void UtilityWindow::buildMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    ui_.fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    ui_.fileMenu->setObjectName(QStringLiteral("File1"));
    ui_.openRom = ui_.fileMenu->addAction(QStringLiteral("&Open ROM File"), this, &UtilityWindow::openRomFile);
    ui_.openRom->setObjectName(QStringLiteral("OpenROMFile1"));
    ui_.openRom->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    ui_.disabledWhileBusy.push_back(ui_.openRom);
    ui_.saveRom = ui_.fileMenu->addAction(QStringLiteral("&Save ROM File"), this, &UtilityWindow::saveRomFile);
    ui_.saveRom->setObjectName(QStringLiteral("SaveROMFile1"));
    ui_.saveRom->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ui_.fileMenu->addSeparator();
    ui_.exit = ui_.fileMenu->addAction(QStringLiteral("E&xit "), this, &UtilityWindow::exitProgram);
    ui_.exit->setObjectName(QStringLiteral("Exit1"));
    ui_.exit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    ui_.disabledWhileBusy.push_back(ui_.exit);

    ui_.editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    ui_.editMenu->setObjectName(QStringLiteral("Edit1"));
    ui_.decompressMenu = ui_.editMenu->addMenu(QStringLiteral("Decompress Block..."));
    ui_.decompressMenu->setObjectName(QStringLiteral("DecompressBlock1"));
    const struct {
        QAction** action;
        const char* name;
        const char* caption;
        Area area;
    } areas[] = {
        {&ui_.decompressGraphics, "Graphics1", "Graphics - $30200", Area::Graphics},
        {&ui_.decompressData, "Data1", "Data - $C0200", Area::Data},
        {&ui_.decompressText, "Text1", "Text - $100200", Area::Text},
    };
    for (const auto& item : areas) {
        QAction* action = ui_.decompressMenu->addAction(QString::fromLatin1(item.caption), this,
                                                        &UtilityWindow::decompressChosenArea);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setData(static_cast<int>(item.area));
        *item.action = action;
    }
    ui_.recompress =
        ui_.editMenu->addAction(QStringLiteral("Recompress Block..."), this, &UtilityWindow::recompressFromListing);
    ui_.recompress->setObjectName(QStringLiteral("RecompressBlock1"));
    ui_.disabledWhileBusy.push_back(ui_.recompress);
    // Off at start: the standard compressor's bytes stay the default.
    ui_.fitHarder = ui_.editMenu->addAction(QStringLiteral("Fit Harder When Over"));
    ui_.fitHarder->setObjectName(QStringLiteral("FitHarderWhenOver1"));
    ui_.fitHarder->setCheckable(true);

    about::AddHelpMenu(*menuBar(), dialogs_,
                       about::AboutText("CorvComp", "Decompresses the block areas of the CORVANE ROM into files "
                                                    "and recompresses edited files back into it."));
}

void UtilityWindow::showLines(bool clearFirst, const std::vector<std::string>& lines) {
    if (clearFirst) ui_.log->clear();
    for (const std::string& line : lines) ui_.log->addItem(QString::fromStdString(line));
}

void UtilityWindow::openRomFile() {
    const auto chosen = dialogs_.openFile({"", state_.startDirectory, "", kRomFilter});
    if (chosen) openRomAt(*chosen);
}

void UtilityWindow::openRomAt(const std::filesystem::path& rom) {
    const OpenRomOutcome outcome = OpenRom(state_, rom);
    if (outcome.message) dialogs_.message(*outcome.message);
    if (outcome.status == OpenRomStatus::OutOfMemory) close();
}

void UtilityWindow::saveRomFile() {
    const SaveRomOutcome outcome = SaveRom(state_, [this] {
        return dialogs_.askYesNo(std::string(kRomChangedCaption), std::string(kRomChangedQuestion));
    });
    if (outcome.message) dialogs_.message(*outcome.message);
}

void UtilityWindow::exitProgram() {
    if (busy_) return;
    state_.releaseRom();
    close();
}

void UtilityWindow::decompressChosenArea() {
    const auto* action = qobject_cast<QAction*>(sender());
    if (action == nullptr) return;
    const std::optional<Area> area = AreaFromTag(action->data().toInt());
    if (!area || !state_.romLoaded()) return;
    const ListOutcome outcome = DecompressArea(state_, *area);
    showLines(outcome.listCleared, outcome.lines);
    if (outcome.message) dialogs_.message(*outcome.message);
}

void UtilityWindow::recompressFromListing() {
    if (!state_.romLoaded() || busy_) return;
    const auto chosen = dialogs_.openFile({"", state_.startDirectory, "", kListingFilter});
    if (!chosen) return;
    std::optional<std::ifstream> listing = OpenListing(*chosen);
    if (!listing) {
        dialogs_.message(std::string(kCannotOpenListing));
        return;
    }
    ui_.log->clear();

    // Events are let through between lines so the list repaints. Meanwhile nothing may take
    // the ROM away from under the listing: Open and Exit are disabled, a close is held back
    // until the end, and a second listing cannot start inside this one.
    busy_ = true;
    setRomCommandsEnabled(false);
    const ListingCompressor compressor =
        ui_.fitHarder->isChecked() ? ListingCompressor::MaximisingWhenOver : ListingCompressor::Standard;
    RecompressListing(
        state_, *listing,
        [this](const LineResult& result) {
            if (result.entry) ui_.log->addItem(QString::fromStdString(result.entry->line));
            if (result.letEventsThrough) QCoreApplication::processEvents();
        },
        compressor);
    setRomCommandsEnabled(true);
    busy_ = false;
    if (closeRequested_) close();
}

void UtilityWindow::setRomCommandsEnabled(bool enabled) {
    for (QAction* action : ui_.disabledWhileBusy) action->setEnabled(enabled);
}

void UtilityWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        closeRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace corv::comp
