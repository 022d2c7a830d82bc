// The main window's side of its companion windows: their creation in the fixed order, the
// signals they send, and the commands that act on them.

#include <QApplication>
#include <QListWidget>

#include "editor/logic/kana_dump_command.h"
#include "editor/ui/companion_window.h"
#include "editor/ui/hex_data_window.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/kana_dump_window.h"
#include "editor/ui/kana_text_window.h"
#include "editor/ui/list_data_window.h"
#include "editor/ui/live_check_wiring.h"
#include "editor/ui/main_window.h"
#include "editor/ui/text_editor_window.h"
#include "editor/ui/video_box.h"
#include "preview/glyph.h"

namespace corv::editor {

void MainWindow::createCompanions() {
    ui_.textEditor = new TextEditorWindow();
    ui_.hexData = new HexDataWindow();
    ui_.kanaText = new KanaTextWindow();
    ui_.listData = new ListDataWindow();
    ui_.insertProgress = new InsertProgressWindow();
    ui_.kanaDump = new KanaDumpWindow();

    HexDataWindow::Sources sources;
    sources.romLoaded = [this] { return session_->romLoaded(); };
    sources.displayTranslated = [this] { return session_->settings().showTranslation; };
    sources.gameFontCell = [this](uint16_t code) {
        return preview::GameFontCell(session_->rom().data(), session_->gameFont(), code);
    };
    ui_.hexData->setSources(std::move(sources));

    // The quiet string choice repaints the preview first; then the live checks follow the text.
    connect(ui_.textEditor, &TextEditorWindow::scriptChanged, this, [this] {
        chooseString(ChoiceSender::TextChanged);
        live_->scriptChanged();
    });
    connect(ui_.textEditor, &TextEditorWindow::resized, this, [this] { chooseString(ChoiceSender::EditorResized); });
    // A click reports its row before the list's selection has followed the current row.
    connect(ui_.listData, &ListDataWindow::blockClicked, this, [this](int row) {
        if (busy_) return;
        ui_.listData->selectBlock(row);
        chooseBlock();
    });
    connect(ui_.listData, &ListDataWindow::stringClicked, this, [this](int row) {
        ui_.listData->selectString(row);
        chooseString(ChoiceSender::User);
    });
}

void MainWindow::closeCompanions() {
    for (QWidget* window : std::initializer_list<QWidget*>{ui_.textEditor, ui_.hexData, ui_.kanaText, ui_.listData,
                                                           ui_.insertProgress, ui_.kanaDump}) {
        window->close();
    }
}

void MainWindow::deleteCompanions() {
    delete ui_.kanaDump;
    delete ui_.insertProgress;
    delete ui_.listData;
    delete ui_.kanaText;
    delete ui_.hexData;
    delete ui_.textEditor;
}

QWidget* MainWindow::companion(script::DataFileView view) const {
    switch (view) {
    case script::DataFileView::ScriptText:
        return ui_.textEditor;
    case script::DataFileView::HexData:
        return ui_.hexData;
    case script::DataFileView::KanaText:
        return ui_.kanaText;
    }
    return ui_.textEditor;
}

void MainWindow::showTextEditor() { showWindow(ui_.textEditor); }
void MainWindow::showHexData() { showWindow(ui_.hexData); }
void MainWindow::showKanaText() { showWindow(ui_.kanaText); }
void MainWindow::showListData() { showWindow(ui_.listData); }

void MainWindow::showStringNumber(unsigned index) { ui_.kanaText->showStringNumber(index); }

void MainWindow::placeCompanions(KanaTextPlace kana) {
    if (!ui_.textEditor || !ui_.listData || !ui_.kanaText) return;
    MainWindowState state;
    const QRect frame = frameGeometry();
    state.frame = {{frame.left(), frame.top()}, {frame.width(), frame.height()}};
    state.running = session_->running();
    state.minimised = isMinimized();
    state.maximised = isMaximized();
    const QRect textEditor = ui_.textEditor->frameGeometry();
    const QRect listData = ui_.listData->frameGeometry();
    const auto placement = PlaceCompanions(state, {textEditor.width(), textEditor.height()},
                                           {listData.width(), listData.height()}, kana);
    if (!placement) return;
    ui_.textEditor->move(placement->textEditor.left, placement->textEditor.top);
    ui_.listData->move(placement->listData.left, placement->listData.top);
    ui_.kanaText->move(placement->kanaText.left, placement->kanaText.top);
}

void MainWindow::showWindowSet() {
    show();
    ui_.textEditor->show();
    ui_.listData->show();
}

script::ScriptText& MainWindow::script() { return ui_.textEditor->script(); }

void MainWindow::showNewString(const std::optional<script::ResolvedString>& resolved, bool typing) {
    if (!resolved) {
        if (!typing && session_->romLoaded()) {
            ui_.hexData->showAgain();
            ui_.kanaText->showAgain();
        }
        return;
    }
    ui_.hexData->loadString(*resolved);
    ui_.kanaText->loadKana(*resolved, session_->codeMaps());
}

void MainWindow::setTextEditorOnTop() {
    // QAction toggles its own mark when triggered; the menu's mark is the state.
    ui_.textEditor->setStayOnTop(ui_.textEditorOnTop->isChecked());
    SetStayOnTop(ui_.kanaText, ui_.textEditorOnTop->isChecked());
}

namespace {

KanaDumpSource DumpSource(const EditorSession& session) {
    KanaDumpSource source;
    source.romLoaded = session.romLoaded();
    source.startDirectory = session.startDirectory();
    source.block = session.index().block();
    source.stringCount = session.index().stringCount();
    source.inserted = session.currentBlockInserted();
    source.maps = &session.codeMaps();
    return source;
}

}  // namespace

void MainWindow::dumpKana() { DumpKanaToFile(dialogs_, DumpSource(*session_), ui_.kanaText->lineWrap()); }

void MainWindow::viewKanaDump() { ui_.kanaDump->viewDump(DumpSource(*session_), ui_.kanaText->lineWrap()); }

}  // namespace corv::editor
