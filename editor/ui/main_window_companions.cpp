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
#include "editor/ui/main_window.h"
#include "editor/ui/text_editor_window.h"
#include "editor/ui/video_box.h"
#include "preview/glyph.h"

namespace corv::editor {

void MainWindow::createCompanions() {
    TxtForm = new TextEditorWindow();
    HexForm = new HexDataWindow();
    KanaForm = new KanaTextWindow();
    cmForm = new ListDataWindow();
    InsertForm = new InsertProgressWindow();
    viewKana = new KanaDumpWindow();

    HexDataWindow::Sources sources;
    sources.romLoaded = [this] { return session_->romLoaded(); };
    sources.displayTranslated = [this] { return session_->settings().showTranslation; };
    sources.gameFontCell = [this](uint16_t code) {
        return preview::GameFontCell(session_->rom().data(), session_->gameFont(), code);
    };
    HexForm->setSources(std::move(sources));

    connect(TxtForm, &TextEditorWindow::scriptChanged, this, [this] { pListClick(ChoiceSender::TextChanged); });
    connect(TxtForm, &TextEditorWindow::resized, this, [this] { pListClick(ChoiceSender::EditorResized); });
    // A click reports its row before the list's selection has followed the current row.
    connect(cmForm, &ListDataWindow::blockClicked, this, [this](int row) {
        if (busy_) return;
        cmForm->selectBlock(row);
        bListClick();
    });
    connect(cmForm, &ListDataWindow::stringClicked, this, [this](int row) {
        cmForm->selectString(row);
        pListClick(ChoiceSender::User);
    });
}

void MainWindow::closeCompanions() {
    for (QWidget* window : std::initializer_list<QWidget*>{TxtForm, HexForm, KanaForm, cmForm, InsertForm, viewKana}) {
        window->close();
    }
}

void MainWindow::deleteCompanions() {
    delete viewKana;
    delete InsertForm;
    delete cmForm;
    delete KanaForm;
    delete HexForm;
    delete TxtForm;
}

QWidget* MainWindow::companion(script::DataFileView view) const {
    switch (view) {
    case script::DataFileView::ScriptText: return TxtForm;
    case script::DataFileView::HexData: return HexForm;
    case script::DataFileView::KanaText: return KanaForm;
    }
    return TxtForm;
}

void MainWindow::DisplayTextEditor1Click() { showWindow(TxtForm); }
void MainWindow::ViewHexData1Click() { showWindow(HexForm); }
void MainWindow::DisplayKanaTextDump1Click() { showWindow(KanaForm); }
void MainWindow::DecompresstoFiles1Click() { showWindow(cmForm); }

void MainWindow::showStringNumber(unsigned index) { KanaForm->showStringNumber(index); }

void MainWindow::placeCompanions(KanaTextPlace kana) {
    if (!TxtForm || !cmForm || !KanaForm) return;
    MainWindowState state;
    const QRect frame = frameGeometry();
    state.frame = {{frame.left(), frame.top()}, {frame.width(), frame.height()}};
    state.running = session_->running();
    state.minimised = isMinimized();
    state.maximised = isMaximized();
    const QRect textEditor = TxtForm->frameGeometry();
    const QRect listData = cmForm->frameGeometry();
    const auto placement = PlaceCompanions(state, {textEditor.width(), textEditor.height()},
                                           {listData.width(), listData.height()}, kana);
    if (!placement) return;
    TxtForm->move(placement->textEditor.left, placement->textEditor.top);
    cmForm->move(placement->listData.left, placement->listData.top);
    KanaForm->move(placement->kanaText.left, placement->kanaText.top);
}

void MainWindow::showWindowSet() {
    show();
    TxtForm->show();
    cmForm->show();
}

script::ScriptText& MainWindow::script() { return TxtForm->script(); }

void MainWindow::showNewString(const std::optional<script::ResolvedString>& resolved) {
    if (!resolved) return;
    HexForm->loadString(*resolved);
    KanaForm->loadKana(*resolved, session_->codeMaps());
}

void MainWindow::TEOnTopClick() {
    // QAction toggles its own mark when triggered; the menu's mark is the state.
    TxtForm->setStayOnTop(TEOnTop->isChecked());
    SetStayOnTop(KanaForm, TEOnTop->isChecked());
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

void MainWindow::DumpKanatoafile1Click() { DumpKanaToFile(dialogs_, DumpSource(*session_), KanaForm->lineWrap()); }

void MainWindow::ViewKanaDump1Click() { viewKana->viewDump(DumpSource(*session_), KanaForm->lineWrap()); }

}  // namespace corv::editor
