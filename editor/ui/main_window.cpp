#include "editor/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QResizeEvent>
#include <QStatusBar>

#include "editor/logic/busy_commands.h"
#include "editor/logic/editor_texts.h"
#include "editor/logic/scroll_keys.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/key_dispatcher.h"
#include "editor/ui/list_data_window.h"
#include "editor/ui/live_check_wiring.h"
#include "editor/ui/text_editor_window.h"
#include "editor/ui/video_box.h"

namespace corv::editor {

namespace {

constexpr int kInitialLeft = 4;
constexpr int kInitialTop = 3;
constexpr int kStatusBarHeight = 19;
constexpr int kOffsetPanelWidth = 200;
constexpr int kLinePanelMinimumWidth = 50;
constexpr int kPanelFontPixels = 10;
constexpr int kPtrBoxWidth = 104;

QLabel* AddPanel(QWidget* bar, const char* name, const char* text, const QFont& font) {
    auto* panel = new QLabel(QString::fromLatin1(text), bar);
    panel->setObjectName(QString::fromLatin1(name));
    // Set on the panel itself: under the bar's style sheet a font set on a parent is not inherited.
    panel->setFont(font);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    return panel;
}

ScrollKey ScrollKeyOf(int key) {
    if (key == Qt::Key_Up) return ScrollKey::Up;
    if (key == Qt::Key_Down) return ScrollKey::Down;
    return ScrollKey::Other;
}

}  // namespace

MainWindow::MainWindow(ui::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      session_(std::make_unique<EditorSession>(std::filesystem::current_path())) {
    setObjectName(QStringLiteral("myForm"));
    setWindowTitle(QString::fromLatin1(kMainCaption));
    setFocusPolicy(Qt::StrongFocus);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    setFont(font);

    Video = new VideoBox(*session_, this);
    setCentralWidget(Video);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(kStatusBarHeight);
    // The panels draw their own bevels; the bar's extra frame and margins would cut the line
    // status short in a window only 320 pixels wide.
    StatusBar1->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    StatusBar1->setContentsMargins(0, 0, 0, 0);
    // The panels sit edge to edge in one row: the bar's own spacing between its items would take
    // the room the line panel needs for its last figure.
    auto* panels = new QWidget(StatusBar1);
    // The free stand-in for the window font is wider than the font the panels were measured
    // for; a pixel smaller, "Offset: 7E00CE | PTR: 0CEC -> 7E0CEC" fits its 200 pixels.
    QFont panelFont = font;
    panelFont.setPixelSize(kPanelFontPixels);
    auto* panelRow = new QHBoxLayout(panels);
    panelRow->setContentsMargins(0, 0, 0, 0);
    panelRow->setSpacing(0);
    statusPanel0 = AddPanel(panels, "StatusPanel0", kInitialOffsetStatus, panelFont);
    statusPanel0->setFixedWidth(kOffsetPanelWidth);
    statusPanel1 = AddPanel(panels, "StatusPanel1", kInitialLineStatus, panelFont);
    statusPanel1->setMinimumWidth(kLinePanelMinimumWidth);
    panelRow->addWidget(statusPanel0);
    panelRow->addWidget(statusPanel1, 1);
    StatusBar1->addWidget(panels, 1);
    setStatusBar(StatusBar1);
    // The insertion keeps its working list itself; the box is kept, hidden, under its name.
    ptrBox = new QListWidget(this);
    ptrBox->setObjectName(QStringLiteral("ptrBox"));
    ptrBox->setFixedWidth(kPtrBoxWidth);
    ptrBox->hide();

    buildMenu();
    dispatcher_ = std::make_unique<KeyDispatcher>(menuBar(), this);
    qApp->installEventFilter(dispatcher_.get());

    defaultClient_ = {preview::kMinScreenWidth, preview::kMinScreenHeight + kStatusBarHeight};
    move(kInitialLeft, kInitialTop);
    setClientSize(defaultClient_);
    syncChecks();

    session_->setStringHook([this](const script::ResolvedString& resolved) { showString(resolved); });
    createCompanions();
    live_ = new LiveCheckWiring(*this, dialogs_);
    session_->setRunning(true);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(dispatcher_.get());
    deleteCompanions();
}

// --- File menu ---------------------------------------------------------------------------------

void MainWindow::OpenBinaryTextData1Click() {
    openSteps(session_->openRom(dialogs_), [this] { return session_->loadDataFile(dialogs_); });
}

void MainWindow::openWithFiles(const std::filesystem::path& rom, const std::filesystem::path& dataFile) {
    openSteps(session_->openRomFile(rom, dialogs_),
              [this, dataFile] { return session_->loadDataFileFrom(dataFile, dialogs_); });
}

void MainWindow::openSteps(RomOpenStep step, const std::function<std::optional<DataFileShown>()>& loadDataFile) {
    Video->update();
    if (step != RomOpenStep::Opened) return;
    applyDataFile(loadDataFile());
    if (cmForm->bList->count() == 0) return;
    cmForm->selectBlock(0);
    cmForm->focusBlockList();
    bListClick();
}

void MainWindow::LoadDataFileClick() { applyDataFile(session_->loadDataFile(dialogs_)); }

void MainWindow::applyDataFile(const std::optional<DataFileShown>& shown) {
    if (!shown) return;
    syncChecks();
    for (const script::EditorOperation& operation : shown->windowOperations) {
        QWidget* window = companion(operation.window);
        if (operation.value) {
            showWindow(window);
        } else {
            window->hide();
        }
    }
    setWindowTitle(QString::fromStdString(shown->caption));
    cmForm->setBlocks(shown->blockLines);
    bListClick();
}

void MainWindow::SaveTextFile1Click() { session_->saveText(script(), dialogs_); }

void MainWindow::SaveRomFile1Click() { session_->saveRom(dialogs_); }

void MainWindow::Exit1Click() { close(); }

// --- Edit menu ---------------------------------------------------------------------------------

void MainWindow::Insert1Click() {
    runBusy([this] { session_->insertText(script(), *InsertForm, dialogs_); });
}

void MainWindow::PATCHRomFile1Click() {
    session_->patchRom(dialogs_);
    Video->update();
}

void MainWindow::LoadTableFile1Click() { session_->loadTable(dialogs_); }

void MainWindow::InsertCOMPRESSIONintoROM1Click() { session_->insertCompression(dialogs_); }

void MainWindow::FitHarderWhenOver1Click() { session_->setFitHarderWhenOver(FitHarderWhenOver1->isChecked()); }

// --- View menu ---------------------------------------------------------------------------------

void MainWindow::DTTClick() {
    script::MenuStates& menus = session_->menus();
    menus.displayTranslated = !menus.displayTranslated;
    syncChecks();
    pListClick(ChoiceSender::User);
}

void MainWindow::HideCodesClick() {
    session_->menus().hideCodes = !session_->menus().hideCodes;
    refreshBothViews();
}

void MainWindow::UseVWFRoutine1Click() {
    session_->menus().useVwf = !session_->menus().useVwf;
    refreshBothViews();
}

void MainWindow::Red1Click() {
    const QObject* item = sender();
    script::MenuStates& menus = session_->menus();
    if (item == Blue1) menus.colour = script::MenuItem::Blue;
    if (item == Green1) menus.colour = script::MenuItem::Green;
    if (item == Red1) menus.colour = script::MenuItem::Red;
    if (item == Gradient1) menus.style = script::MenuItem::Gradient;
    if (item == Solid1) menus.style = script::MenuItem::Solid;
    refreshBothViews();
}

// --- Program menu ------------------------------------------------------------------------------

void MainWindow::DumpMemory1Click() { session_->dumpDecompressed(dialogs_); }

// --- Window menu -------------------------------------------------------------------------------

void MainWindow::DefaultWindowSize1Click() {
    if (isMaximized()) showNormal();
    setClientSize(defaultClient_);
    placeCompanions(KanaTextPlace::BelowMain);
}

void MainWindow::Zoominx21Click() {
    if (isMaximized()) showNormal();
    setClientSize(ZoomedClientSize(defaultClient_));
    placeCompanions(KanaTextPlace::BelowListData);
}

void MainWindow::setClientSize(WindowSize client) {
    // Qt counts the menu bar into the window's client area; the paint box and the status bar
    // share what is below it.
    commandedSize_ = QSize(client.width, client.height + menuBar()->sizeHint().height());
    resize(commandedSize_);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Only the user's resizes move the companions: not Qt's own resize at the first show (the
    // companions keep their start-up places), and not the window system confirming, later and on
    // its own, a size the Window menu set and placed the companions for already.
    if (!event->spontaneous()) return;
    if (event->size() == commandedSize_) {
        commandedSize_ = QSize();
        return;
    }
    placeCompanions(KanaTextPlace::BelowMain);
}

// --- Block and string choice -------------------------------------------------------------------

void MainWindow::bListClick() {
    const auto row = cmForm->selectedBlock();
    if (!session_->romLoaded() || !row) return;
    if (!session_->chooseBlock(static_cast<size_t>(*row), script(), dialogs_)) return;
    cmForm->setStrings(session_->index().stringLines());
    pListClick(ChoiceSender::Program);
    live_->blockChosen();
    cmForm->focusBlockList();
}

void MainWindow::pListClick(ChoiceSender sender) {
    const auto row = cmForm->selectedString();
    if (!session_->romLoaded() || !row) return;
    // Typing in the Text Editor keeps the views where the translator scrolled them.
    const bool resetScroll = QApplication::activeWindow() != TxtForm;
    const auto choice = session_->chooseString(static_cast<unsigned>(*row), script(),
                                               sender == ChoiceSender::TextChanged, resetScroll);
    if (!choice) return;
    syncChecks();
    showStringNumber(static_cast<unsigned>(*row));
    statusPanel0->setText(QString::fromStdString(choice->offsetStatus));
    statusPanel1->setText(QString::fromStdString(session_->lineStatus()));
    Video->update();
    if (sender == ChoiceSender::User) cmForm->focusStringList();
}

// --- Keys, views and closing -------------------------------------------------------------------

void MainWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (busy_) return;  // the views would redraw from the block the insertion is rewriting
    preview::PreviewScreen& screen = session_->screen();
    ScrollOffsets offsets{screen.kanaLayer().scrollOffset(), screen.asciiLayer().scrollOffset()};
    const ScrollModifiers modifiers{event->modifiers().testFlag(Qt::ShiftModifier),
                                    event->modifiers().testFlag(Qt::ControlModifier)};
    if (ApplyScrollKey(ScrollKeyOf(event->key()), modifiers, offsets) == ScrollKeyOutcome::Swallowed) return;
    screen.kanaLayer().setScrollOffset(static_cast<int>(offsets.kana));
    screen.asciiLayer().setScrollOffset(static_cast<int>(offsets.ascii));
    refreshBothViews();
    statusPanel1->setText(QString::fromStdString(session_->lineStatus()));
}

void MainWindow::refreshBothViews() {
    session_->refreshViews();
    syncChecks();
    Video->update();
}

void MainWindow::syncChecks() {
    const script::MenuStates& menus = session_->menus();
    DTT->setChecked(menus.displayTranslated);
    HideCodes->setChecked(menus.hideCodes);
    UseVWFRoutine1->setChecked(menus.useVwf);
    Blue1->setChecked(menus.colour == script::MenuItem::Blue);
    Green1->setChecked(menus.colour == script::MenuItem::Green);
    Red1->setChecked(menus.colour == script::MenuItem::Red);
    Gradient1->setChecked(menus.style == script::MenuItem::Gradient);
    Solid1->setChecked(menus.style == script::MenuItem::Solid);
}

void MainWindow::showWindow(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::runBusy(const std::function<void()>& command) {
    const auto setAllowed = [this](bool allowed) {
        for (QAction* action : findChildren<QAction*>()) {
            const std::string name = action->objectName().toStdString();
            if (DisabledWhileBusy(name) || ReadsTheBlockBeingRewritten(name)) action->setEnabled(allowed);
        }
        // Choosing a block replaces the script, typing changes it, and a string choice would draw
        // from the block the insertion is laying out.
        cmForm->setEnabled(allowed);
        TxtForm->setEnabled(allowed);
    };
    busy_ = true;
    setAllowed(false);
    command();
    setAllowed(true);
    busy_ = false;
    if (closeRequested_) {
        closeRequested_ = false;
        close();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        // The long command lets events through; the window closes once it has ended.
        closeRequested_ = true;
        event->ignore();
        return;
    }
    if (!session_->askBeforeClosing(script(), dialogs_)) {
        event->ignore();
        return;
    }
    session_->setRunning(false);
    closeCompanions();
    event->accept();
}

}  // namespace corv::editor
