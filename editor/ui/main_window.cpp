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

#include "editor/logic/editor_texts.h"
#include "editor/logic/scroll_keys.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/key_dispatcher.h"
#include "editor/ui/list_data_window.h"
#include "editor/ui/live_check_wiring.h"
#include "editor/ui/script_file_watcher.h"
#include "editor/ui/script_memo.h"
#include "editor/ui/text_editor_window.h"
#include "editor/ui/video_box.h"
#include "editor/ui/wrap_commands.h"

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

MainWindow::MainWindow(dialogs::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      session_(std::make_unique<EditorSession>(std::filesystem::current_path())) {
    setObjectName(QStringLiteral("myForm"));
    setWindowTitle(QString::fromLatin1(kMainCaption));
    setFocusPolicy(Qt::StrongFocus);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    setFont(font);

    ui_.video = new VideoBox(*session_, this);
    setCentralWidget(ui_.video);
    ui_.statusBar = new QStatusBar(this);
    ui_.statusBar->setObjectName(QStringLiteral("StatusBar1"));
    ui_.statusBar->setSizeGripEnabled(false);
    ui_.statusBar->setFixedHeight(kStatusBarHeight);
    // The panels draw their own bevels; the bar's extra frame and margins would cut the line
    // status short in a window only 320 pixels wide.
    ui_.statusBar->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    ui_.statusBar->setContentsMargins(0, 0, 0, 0);
    // The panels sit edge to edge in one row: the bar's own spacing between its items would take
    // the room the line panel needs for its last figure.
    auto* panels = new QWidget(ui_.statusBar);
    // The free stand-in for the window font is wider than the font the panels were measured
    // for; a pixel smaller, "Offset: 7E00CE | PTR: 0CEC -> 7E0CEC" fits its 200 pixels.
    QFont panelFont = font;
    panelFont.setPixelSize(kPanelFontPixels);
    auto* panelRow = new QHBoxLayout(panels);
    panelRow->setContentsMargins(0, 0, 0, 0);
    panelRow->setSpacing(0);
    ui_.offsetPanel = AddPanel(panels, "StatusPanel0", kInitialOffsetStatus, panelFont);
    ui_.offsetPanel->setFixedWidth(kOffsetPanelWidth);
    ui_.linePanel = AddPanel(panels, "StatusPanel1", kInitialLineStatus, panelFont);
    ui_.linePanel->setMinimumWidth(kLinePanelMinimumWidth);
    panelRow->addWidget(ui_.offsetPanel);
    panelRow->addWidget(ui_.linePanel, 1);
    ui_.statusBar->addWidget(panels, 1);
    setStatusBar(ui_.statusBar);
    // The insertion keeps its working list itself; the box is kept, hidden, under its name.
    ui_.pointerList = new QListWidget(this);
    ui_.pointerList->setObjectName(QStringLiteral("ptrBox"));
    ui_.pointerList->setFixedWidth(kPtrBoxWidth);
    ui_.pointerList->hide();

    buildMenu();
    dispatcher_ = std::make_unique<KeyDispatcher>(menuBar(), this);
    qApp->installEventFilter(dispatcher_.get());

    defaultClient_ = {preview::kMinScreenWidth, preview::kMinScreenHeight + kStatusBarHeight};
    move(kInitialLeft, kInitialTop);
    setClientSize(defaultClient_);
    syncChecks();

    createCompanions();
    LiveCheckParts parts;
    parts.window = this;
    parts.linePanel = ui_.linePanel;
    parts.video = ui_.video;
    parts.editMenu = ui_.editMenu;
    parts.viewMenu = ui_.viewMenu;
    parts.listData = ui_.listData;
    parts.textEditor = ui_.textEditor;
    parts.insertProgress = ui_.insertProgress;
    parts.busy = [this] { return busy_; };
    parts.chooseString = [this] { chooseString(ChoiceSender::User); };
    live_ = new LiveCheckWiring(*session_, parts, dialogs_, this);
    ui_.textEditor->memo().setPasteFilter([this](const QString& pasted) { return substitutePasted(pasted); });
    for (QAction* item : live_->readingTheBlock()) ui_.disabledWhileBusy.push_back(item);
    scriptWatcher_ = new ScriptFileWatcher(this);
    connect(scriptWatcher_, &ScriptFileWatcher::mayHaveChanged, this, &MainWindow::checkScriptOnDisk);
    wrap_ = new WrapCommands(ui_.editMenu, ui_.viewMenu, ui_.textEditor, [this] {
        // The box the live checks measure, so that wrapped text passes them.
        check::BoxMetrics box;
        box.variableWidth = session_->settings().variableWidth;
        return check::BoxWrapper(box, project_.wrapOptions(), session_->table().characterMap());
    }, this);
    for (QAction* item : wrap_->changingTheScript()) ui_.disabledWhileBusy.push_back(item);
    session_->setRunning(true);
}

QString MainWindow::substitutePasted(const QString& pasted) {
    const script::SubstitutedText out =
        script::SubstituteUtf8(pasted.toStdString(), project_.substitutions(), session_->table().characterMap());
    if (out.count > 0) ui_.linePanel->setText(QString::fromStdString(PastedWithSubstitutions(out.count)));
    return QString::fromStdString(out.utf8);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(dispatcher_.get());
    deleteCompanions();
}

// --- File menu ---------------------------------------------------------------------------------

void MainWindow::openRomFile() {
    // A ROM opened by hand leaves the project; a cancelled or unreadable one does not.
    const project::EditorState state = editorState();
    const RomOpenStep step = session_->openRom(dialogs_);
    if (project_.leftBy(step)) {
        project_.close(state, dialogs_);
        dispatcher_->setMode(project_.keys());
    }
    openSteps(step, [this] { return session_->loadDataFile(dialogs_); });
    // A ROM opened may hold other bytes at another place: its block is checked again.
    live_->blockChosen();
}

void MainWindow::openWithFiles(const std::filesystem::path& rom, const std::filesystem::path& dataFile) {
    openSteps(session_->openRomFile(rom, dialogs_),
              [this, dataFile] { return session_->loadDataFileFrom(dataFile, dialogs_); });
}

void MainWindow::openWithRom(const std::filesystem::path& rom) {
    openSteps(session_->openRomFile(rom, dialogs_), [this] { return session_->loadDataFile(dialogs_); });
}

void MainWindow::openSteps(RomOpenStep step, const std::function<std::optional<DataFileShown>()>& loadDataFile) {
    ui_.video->showScreenChanges();
    if (step != RomOpenStep::Opened) return;
    applyDataFile(loadDataFile());
    if (ui_.listData->blockCount() == 0) return;
    ui_.listData->selectBlock(0);
    ui_.listData->focusBlockList();
    chooseBlock();
}

void MainWindow::openDataFile() {
    applyDataFile(session_->loadDataFile(dialogs_));
    live_->blockChosen();
}

void MainWindow::applyDataFile(const std::optional<DataFileShown>& shown) {
    if (!shown) return;
    syncChecks();
    for (const script::SettingOperation& operation : shown->viewOperations) {
        QWidget* window = companion(operation.view);
        if (operation.value) {
            showWindow(window);
        } else {
            window->hide();
        }
    }
    setWindowTitle(QString::fromStdString(shown->caption));
    ui_.listData->setBlocks(shown->blockLines);
    chooseBlock();
}

void MainWindow::saveText() {
    session_->saveText(script(), dialogs_);
    live_->scriptSaved();
}

void MainWindow::saveRom() {
    if (!runInProject(RomCommand::SaveRom)) session_->saveRom(dialogs_);
}

void MainWindow::exitProgram() { close(); }

// --- Edit menu ---------------------------------------------------------------------------------

void MainWindow::insertText() {
    if (runInProject(RomCommand::Insert)) return;
    InsertionLog log;
    runBusy([this, &log] { log = session_->insertText(script(), *ui_.insertProgress, dialogs_); });
    live_->insertionRan(log);
}

void MainWindow::patchRom() {
    if (!runInProject(RomCommand::Patch)) {
        session_->patchRom(dialogs_);
        ui_.video->showScreenChanges();
    }
    // A ROM patched may hold other bytes at another place.
    live_->blockChosen();
}

void MainWindow::loadTable() {
    session_->loadTable(dialogs_);
    live_->blockChosen();
}

void MainWindow::insertCompression() {
    if (!runInProject(RomCommand::InsertCompression)) session_->insertCompression(dialogs_);
    // The dictionary area takes room from the blocks after it.
    live_->blockChosen();
}

void MainWindow::fitHarderWhenOver() {
    session_->setFitHarderWhenOver(ui_.fitHarder->isChecked());
    live_->blockChosen();
}

// --- View menu ---------------------------------------------------------------------------------

void MainWindow::toggleTranslation() {
    script::DataFileSettings& settings = session_->settings();
    settings.showTranslation = !settings.showTranslation;
    syncChecks();
    chooseString(ChoiceSender::User);
}

void MainWindow::toggleHideCodes() {
    session_->settings().hideCodes = !session_->settings().hideCodes;
    refreshBothViews();
}

void MainWindow::toggleVariableWidth() {
    session_->settings().variableWidth = !session_->settings().variableWidth;
    refreshBothViews();
    live_->blockChosen();
}

void MainWindow::chooseBoxLook() {
    const QObject* item = sender();
    script::DataFileSettings& settings = session_->settings();
    if (item == ui_.boxBlue) settings.colour = script::TextBoxColour::Blue;
    if (item == ui_.boxGreen) settings.colour = script::TextBoxColour::Green;
    if (item == ui_.boxRed) settings.colour = script::TextBoxColour::Red;
    if (item == ui_.boxGradient) settings.style = script::TextBoxStyle::Gradient;
    if (item == ui_.boxSolid) settings.style = script::TextBoxStyle::Solid;
    refreshBothViews();
}

// --- Program menu ------------------------------------------------------------------------------

void MainWindow::dumpBlock() { session_->dumpDecompressed(dialogs_); }

// --- Window menu -------------------------------------------------------------------------------

void MainWindow::restoreDefaultSize() {
    if (isMaximized()) showNormal();
    setClientSize(defaultClient_);
    placeCompanions(KanaTextPlace::BelowMain);
}

void MainWindow::zoomTwice() {
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

void MainWindow::chooseBlock() {
    const auto row = ui_.listData->selectedBlock();
    if (!session_->romLoaded() || !row) return;
    if (!session_->chooseBlock(static_cast<size_t>(*row), script(), dialogs_)) return;
    scriptWatcher_->watch(session_->index().scriptPath());
    ui_.listData->setStrings(session_->index().stringLines());
    chooseString(ChoiceSender::Program);
    live_->blockChosen();
    ui_.listData->focusBlockList();
}

void MainWindow::chooseString(ChoiceSender sender) {
    const auto row = ui_.listData->selectedString();
    if (!session_->romLoaded() || !row) return;
    // Typing in the Text Editor keeps the views where the translator scrolled them.
    const bool resetScroll = QApplication::activeWindow() != ui_.textEditor;
    const auto shown = session_->chooseString(static_cast<unsigned>(*row), script(), resetScroll);
    if (!shown) return;
    const ScriptFollow follow = FollowFor(sender);
    if (shown->choice.caret && follow.moveCaret) script().setCaret(*shown->choice.caret);
    if (shown->choice.matchLine && follow.scrollToEntry) {
        script().scrollLines(*shown->choice.matchLine - script().firstVisibleLine());
    }
    showNewString(shown->newString, sender == ChoiceSender::TextChanged);
    syncChecks();
    showStringNumber(static_cast<unsigned>(*row));
    ui_.offsetPanel->setText(QString::fromStdString(shown->choice.offsetStatus));
    ui_.linePanel->setText(QString::fromStdString(session_->lineStatus()));
    ui_.video->showScreenChanges();
    if (sender == ChoiceSender::User) ui_.listData->focusStringList();
}

void MainWindow::checkScriptOnDisk() {
    if (busy_) {
        scriptCheckWaiting_ = true;
        return;
    }
    if (session_->checkScriptOnDisk(script(), dialogs_) != EditorSession::ScriptReload::Reloaded) return;
    // The list keeps the string chosen; choosing it again puts the caret on its entry.
    chooseString(ChoiceSender::Program);
    live_->blockChosen();
    ui_.insertProgress->addLogLine("; " + session_->index().scriptPath().filename().string() + kScriptReloadedSuffix);
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
    ui_.linePanel->setText(QString::fromStdString(session_->lineStatus()));
}

void MainWindow::refreshBothViews() {
    showNewString(session_->refreshViews());
    syncChecks();
    ui_.video->showScreenChanges();
}

void MainWindow::syncChecks() {
    const script::DataFileSettings& settings = session_->settings();
    ui_.showTranslation->setChecked(settings.showTranslation);
    ui_.hideCodes->setChecked(settings.hideCodes);
    ui_.variableWidth->setChecked(settings.variableWidth);
    ui_.boxBlue->setChecked(settings.colour == script::TextBoxColour::Blue);
    ui_.boxGreen->setChecked(settings.colour == script::TextBoxColour::Green);
    ui_.boxRed->setChecked(settings.colour == script::TextBoxColour::Red);
    ui_.boxGradient->setChecked(settings.style == script::TextBoxStyle::Gradient);
    ui_.boxSolid->setChecked(settings.style == script::TextBoxStyle::Solid);
}

void MainWindow::showWindow(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::runBusy(const std::function<void()>& command) {
    const auto setAllowed = [this](bool allowed) {
        for (QAction* action : ui_.disabledWhileBusy) action->setEnabled(allowed);
        // Choosing a block replaces the script, typing changes it, and a string choice would draw
        // from the block the insertion is laying out.
        ui_.listData->setEnabled(allowed);
        ui_.textEditor->setEnabled(allowed);
    };
    busy_ = true;
    setAllowed(false);
    command();
    setAllowed(true);
    busy_ = false;
    if (scriptCheckWaiting_) {
        scriptCheckWaiting_ = false;
        checkScriptOnDisk();
    }
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
    closeProject();
    session_->setRunning(false);
    closeCompanions();
    event->accept();
}

}  // namespace corv::editor
