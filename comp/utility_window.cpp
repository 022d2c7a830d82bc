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

UtilityWindow::UtilityWindow(ui::Dialogs& dialogs, QWidget* parent) : QMainWindow(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("cmForm"));
    setWindowTitle(QStringLiteral("Compression Utility: Corvane"));
    setFont(sansFont(11));
    move(8, 61);
    resize(290, 279);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFont(sansFont(12));
    ListBox1->setItemDelegate(new FixedRowDelegate(ListBox1));
    ListBox1->setUniformItemSizes(true);
    setCentralWidget(ListBox1);

    buildMenu();

    std::error_code error;
    state_.startDirectory = std::filesystem::current_path(error);
}

UtilityWindow::~UtilityWindow() = default;

void UtilityWindow::buildMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    OpenROMFile1 = File1->addAction(QStringLiteral("&Open ROM File"), this, &UtilityWindow::OpenROMFile1Click);
    OpenROMFile1->setObjectName(QStringLiteral("OpenROMFile1"));
    OpenROMFile1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveROMFile1 = File1->addAction(QStringLiteral("&Save ROM File"), this, &UtilityWindow::SaveROMFile1Click);
    SaveROMFile1->setObjectName(QStringLiteral("SaveROMFile1"));
    SaveROMFile1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    File1->addSeparator();
    Exit1 = File1->addAction(QStringLiteral("E&xit "), this, &UtilityWindow::Exit1Click);
    Exit1->setObjectName(QStringLiteral("Exit1"));
    Exit1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));

    Edit1 = menuBar()->addMenu(QStringLiteral("&Edit"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    DecompressBlock1 = Edit1->addMenu(QStringLiteral("Decompress Block..."));
    DecompressBlock1->setObjectName(QStringLiteral("DecompressBlock1"));
    const struct {
        QAction** action;
        const char* name;
        const char* caption;
        Area area;
    } areas[] = {
        {&Graphics1, "Graphics1", "Graphics - $30200", Area::Graphics},
        {&Data1, "Data1", "Data - $C0200", Area::Data},
        {&Text1, "Text1", "Text - $100200", Area::Text},
    };
    for (const auto& item : areas) {
        QAction* action = DecompressBlock1->addAction(QString::fromLatin1(item.caption), this, &UtilityWindow::Graphics1Click);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setData(static_cast<int>(item.area));
        *item.action = action;
    }
    RecompressBlock1 = Edit1->addAction(QStringLiteral("Recompress Block..."), this, &UtilityWindow::RecompressBlock1Click);
    RecompressBlock1->setObjectName(QStringLiteral("RecompressBlock1"));

    about::AddHelpMenu(*menuBar(), dialogs_,
                       about::AboutText("CorvComp", "Decompresses the block areas of the CORVANE ROM into files "
                                                    "and recompresses edited files back into it."));
}

void UtilityWindow::showLines(bool clearFirst, const std::vector<std::string>& lines) {
    if (clearFirst) ListBox1->clear();
    for (const std::string& line : lines) ListBox1->addItem(QString::fromStdString(line));
}

void UtilityWindow::OpenROMFile1Click() {
    const auto chosen = dialogs_.openFile({"", state_.startDirectory, "", kRomFilter});
    if (chosen) openRomFile(*chosen);
}

void UtilityWindow::openRomFile(const std::filesystem::path& rom) {
    const OpenRomOutcome outcome = openRom(state_, rom);
    if (outcome.message) dialogs_.message(*outcome.message);
    if (outcome.status == OpenRomStatus::OutOfMemory) close();
}

void UtilityWindow::SaveROMFile1Click() {
    const SaveRomOutcome outcome = saveRom(state_, [this] {
        return dialogs_.askYesNo(std::string(kRomChangedCaption), std::string(kRomChangedQuestion));
    });
    if (outcome.message) dialogs_.message(*outcome.message);
}

void UtilityWindow::Exit1Click() {
    if (busy_) return;
    state_.releaseRom();
    close();
}

void UtilityWindow::Graphics1Click() {
    const auto* action = qobject_cast<QAction*>(sender());
    if (action == nullptr) return;
    const std::optional<Area> area = areaFromTag(action->data().toInt());
    if (!area || !state_.romLoaded()) return;
    const ListOutcome outcome = decompressArea(state_, *area);
    showLines(outcome.listCleared, outcome.lines);
    if (outcome.message) dialogs_.message(*outcome.message);
}

void UtilityWindow::RecompressBlock1Click() {
    if (!state_.romLoaded() || busy_) return;
    const auto chosen = dialogs_.openFile({"", state_.startDirectory, "", kListingFilter});
    if (!chosen) return;
    std::optional<std::ifstream> listing = openListing(*chosen);
    if (!listing) {
        dialogs_.message(std::string(kCannotOpenListing));
        return;
    }
    ListBox1->clear();

    // Events are let through between lines so the list repaints. Meanwhile nothing may take
    // the ROM away from under the listing: Open and Exit are disabled, a close is held back
    // until the end, and a second listing cannot start inside this one.
    busy_ = true;
    setRomCommandsEnabled(false);
    recompressListing(state_, *listing, [this](const LineResult& result) {
        if (result.entry) ListBox1->addItem(QString::fromStdString(result.entry->line));
        if (result.letEventsThrough) QCoreApplication::processEvents();
    });
    setRomCommandsEnabled(true);
    busy_ = false;
    if (closeRequested_) close();
}

void UtilityWindow::setRomCommandsEnabled(bool enabled) {
    OpenROMFile1->setEnabled(enabled);
    Exit1->setEnabled(enabled);
    RecompressBlock1->setEnabled(enabled);
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
