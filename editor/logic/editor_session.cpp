#include "editor/logic/editor_session.h"

#include <algorithm>
#include <system_error>

#include "editor/logic/editor_texts.h"
#include "preview/string_preview.h"
#include "script/script_file.h"
#include "script/string_decoder.h"

namespace corv::editor {

namespace fs = std::filesystem;

namespace {

// A string without a script entry has no translation to draw; what the lower box showed before
// belongs to another string, so the box is left empty, as on a fresh screen.
void ClearAsciiBox(preview::PreviewScreen& screen) {
    constexpr unsigned kTile = 8;
    const unsigned bottom = std::min(screen.height(), preview::kAsciiFrameTop + preview::kFrameTileRows * kTile);
    for (unsigned y = preview::kAsciiFrameTop; y < bottom; ++y) {
        const std::span<preview::Pixel> row = screen.bitmapRow(y);
        const size_t end = std::min<size_t>(row.size(), preview::kFrameLeft + preview::kAsciiFrameColumns * kTile);
        std::fill(row.begin() + preview::kFrameLeft, row.begin() + static_cast<std::ptrdiff_t>(end), preview::Pixel{0});
    }
}

}  // namespace

// Asked by the string index before another block's script replaces unsaved changes.
class EditorSession::UnsavedScriptQuestion final : public editor::UnsavedScriptHandler {
public:
    UnsavedScriptQuestion(EditorSession& session, script::ScriptText& script, ui::Dialogs& dialogs)
        : session_(session), script_(script), dialogs_(dialogs) {}

    void unsavedScript(const fs::path& currentPath) override {
        if (dialogs_.askYesNo(kBlockChangeCaption, kBlockChangeQuestion)) {
            session_.writeScript(script_, currentPath, dialogs_);
        }
    }

private:
    EditorSession& session_;
    script::ScriptText& script_;
    ui::Dialogs& dialogs_;
};

EditorSession::EditorSession(fs::path startDirectory, unsigned screenWidth, unsigned screenHeight)
    : startDirectory_(std::move(startDirectory)),
      maps_(std::make_unique<script::CodeMaps>()),
      index_(std::make_unique<editor::StringIndex>()),
      screen_(std::make_unique<preview::PreviewScreen>(screenWidth, screenHeight)),
      renderer_(std::make_unique<preview::TextBoxRenderer>(*screen_)),
      insertionScratch_(script::kPreviewByteBufferSize, 0) {}

EditorSession::~EditorSession() = default;

RomOpenStep EditorSession::openRom(ui::Dialogs& dialogs) {
    const auto chosen = dialogs.openFile({kOpenRomTitle, startDirectory_, {}, kOpenRomFilter});
    if (!chosen) return RomOpenStep::Cancelled;
    lastOpenFolder_ = chosen->parent_path();
    return openRomFile(*chosen, dialogs);
}

RomOpenStep EditorSession::openRomFile(const fs::path& path, ui::Dialogs& dialogs) {
    ++revision_;
    switch (core::OpenRomFile(rom_, path)) {
    case core::RomOpenResult::CannotOpen:
        // The previous ROM stays loaded, so its script files stay where they were.
        dialogs.message(kCannotOpenRom);
        return RomOpenStep::CannotOpen;
    case core::RomOpenResult::WrongTitle:
        gameFont_.clear();
        dialogs.message(kWrongRom);
        return RomOpenStep::WrongTitle;
    case core::RomOpenResult::Opened: break;
    }
    // The script files live beside the ROM, whatever folder the program was started in.
    dumpsDirectory_ = fs::absolute(path).parent_path() / "Dumps";
    std::error_code ignored;
    fs::create_directory(dumpsDirectory_, ignored);
    gameFont_ = preview::LoadGameFont(rom_.data());
    return RomOpenStep::Opened;
}

std::optional<DataFileShown> EditorSession::loadDataFile(ui::Dialogs& dialogs) {
    // The data file dialog is the only one that keeps the folder the open dialog last showed:
    // right after a ROM was chosen that is the ROM's folder, where its data file usually is.
    const fs::path& folder = lastOpenFolder_.empty() ? startDirectory_ : lastOpenFolder_;
    const auto chosen = dialogs.openFile({kOpenDataFileTitle, folder, {}, kOpenDataFileFilter});
    if (!chosen) return std::nullopt;
    lastOpenFolder_ = chosen->parent_path();
    return loadDataFileFrom(*chosen, dialogs);
}

std::optional<DataFileShown> EditorSession::loadDataFileFrom(const fs::path& path, ui::Dialogs& dialogs) {
    auto load = script::LoadBlockDataFile(path, *maps_, format_);
    if (!load) {
        dialogs.message(kCannotOpenDataFile);
        return std::nullopt;
    }
    ++revision_;
    // The menu commands a directive runs draw nothing while the load is under way, so replaying
    // their check marks is all they leave behind.
    dataFileLoaded_ = false;
    script::ApplyOperations(menus_, load->operations);
    format_ = load->format;
    index_->setBlocks(load->blocks);
    dataFileLoaded_ = true;

    DataFileShown shown;
    shown.caption = load->caption.empty() ? script::DataFileCaption(path) : load->caption;
    for (const script::BlockEntry& block : load->blocks) shown.blockLines.push_back(block.listLine);
    for (const script::EditorOperation& operation : load->operations) {
        if (operation.kind == script::EditorOperation::Kind::ShowWindow) shown.windowOperations.push_back(operation);
    }
    return shown;
}

bool EditorSession::writeScript(script::ScriptText& script, const fs::path& path, ui::Dialogs& dialogs) {
    if (!script::SaveScriptFile(path, script.text())) {
        dialogs.message(kCannotSaveTextPrefix + path.string());
        return false;
    }
    dialogs.message("\"" + path.filename().string() + kTextSavedSuffix);
    script.setModified(false);
    return true;
}

void EditorSession::saveText(script::ScriptText& script, ui::Dialogs& dialogs) {
    // Before the first block is chosen there is no script file to write to.
    if (index_->scriptPath().empty()) return;
    writeScript(script, index_->scriptPath(), dialogs);
}

void EditorSession::saveRom(ui::Dialogs& dialogs) {
    switch (core::SaveRomFile(rom_)) {
    case core::RomSaveResult::NoRom: return;
    case core::RomSaveResult::CannotWrite: dialogs.message(kCannotSaveRom); return;
    case core::RomSaveResult::Saved:
        if (running_) dialogs.message(kRomSaved);
        return;
    }
}

bool EditorSession::askBeforeClosing(script::ScriptText& script, ui::Dialogs& dialogs) {
    if (script.modified() && dialogs.askYesNo(kCloseTextCaption, kCloseTextQuestion)) {
        // A Yes that saves nothing would lose the text: the window stays open instead.
        if (index_->scriptPath().empty()) {
            dialogs.message(std::string(kCannotSaveTextPrefix) + kNoBlockChosen);
            return false;
        }
        if (!writeScript(script, index_->scriptPath(), dialogs)) return false;
    }
    if (rom_.modified() && dialogs.askYesNo(kCloseRomCaption, kCloseRomQuestion)) saveRom(dialogs);
    return true;
}

std::optional<editor::BlockChoice> EditorSession::chooseBlock(size_t n, script::ScriptText& script,
                                                              ui::Dialogs& dialogs) {
    ++revision_;
    UnsavedScriptQuestion question(*this, script, dialogs);
    return index_->chooseBlock(rom_, n, dumpsDirectory_, script, question);
}

std::optional<editor::StringChoice> EditorSession::chooseString(unsigned i, script::ScriptText& script, bool quiet,
                                                                bool resetScroll) {
    if (!rom_.loaded()) return std::nullopt;
    auto choice = index_->chooseString(i, script, quiet);
    if (!choice) return std::nullopt;
    if (resetScroll) {
        screen_->kanaLayer().setScrollOffset(0);
        screen_->asciiLayer().setScrollOffset(0);
    }
    // A data file without .FORMAT leaves no box width; drawing would then only install the
    // defaults and leave the upper box empty until the next choice, so install them first.
    if (format_.boxWidth == 0) preview::InstallDefaultFormat(format_);
    entryShown_ = choice->matchLine.has_value();
    renderer_->drawStringSelection(sources(), menus_, format_, entryShown_);
    if (!entryShown_) ClearAsciiBox(*screen_);
    return choice;
}

void EditorSession::refreshViews() {
    if (format_.boxWidth == 0) preview::InstallDefaultFormat(format_);
    renderer_->redraw(sources(), menus_, format_);
}

std::string EditorSession::lineStatus() const {
    return editor::LineStatusText(static_cast<int>(screen_->kanaLayer().scrollOffset()),
                                  static_cast<int>(screen_->asciiLayer().scrollOffset()));
}

bool EditorSession::currentBlockInserted() const {
    const auto block = index_->currentBlock();
    return rom_.loaded() && block && script::BlockIsInserted(rom_.data(), static_cast<uint32_t>(*block));
}

void EditorSession::setStringHook(preview::TextBoxRenderer::StringHook hook) {
    renderer_->setStringHook(std::move(hook));
}

preview::PreviewSources EditorSession::sources() const {
    preview::PreviewSources sources;
    if (rom_.loaded()) sources.romData = rom_.data();
    sources.gameFont = gameFont_;
    if (index_->hasBlock()) sources.block = index_->block();
    // Without an entry for the chosen string the buffer still holds the last string's
    // translation; redrawing it under this string would show a translation it does not have.
    if (entryShown_) sources.previewBytes = index_->previewBytes();
    sources.dataFileLoaded = dataFileLoaded_;
    sources.stringIndex = static_cast<unsigned>(index_->currentString());
    sources.blockIndex = static_cast<uint32_t>(index_->currentBlock().value_or(0));
    return sources;
}

}  // namespace corv::editor
