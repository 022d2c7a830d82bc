#include "editor/logic/editor_session.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "editor/logic/editor_texts.h"
#include "core/file_read.h"
#include "core/save_failure_text.h"
#include "project/project_lock.h"
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

fs::path RomBackupPath(const fs::path& rom) {
    fs::path backup = rom;
    backup += ".bak";
    return backup;
}

std::string DataFileCaption(const fs::path& path) {
    return std::string(kMainCaption) + " - [" + path.filename().string() + " ]";
}

// Asked by the string index before another block's script replaces unsaved changes.
class EditorSession::UnsavedScriptQuestion final : public editor::UnsavedScriptHandler {
public:
    UnsavedScriptQuestion(EditorSession& session, script::ScriptText& script, dialogs::Dialogs& dialogs)
        : session_(session), script_(script), dialogs_(dialogs) {}

    void unsavedScript(const fs::path& currentPath) override {
        if (dialogs_.askYesNo(kBlockChangeCaption, kBlockChangeQuestion)) {
            session_.writeScript(script_, currentPath, dialogs_);
        }
    }

private:
    EditorSession& session_;
    script::ScriptText& script_;
    dialogs::Dialogs& dialogs_;
};

EditorSession::EditorSession(fs::path startDirectory, unsigned screenWidth, unsigned screenHeight)
    : startDirectory_(std::move(startDirectory)),
      maps_(std::make_unique<script::CodeMaps>()),
      index_(std::make_unique<editor::StringIndex>()),
      screen_(std::make_unique<preview::PreviewScreen>(screenWidth, screenHeight)),
      renderer_(std::make_unique<preview::TextBoxRenderer>(*screen_)),
      insertionScratch_(script::kPreviewByteBufferSize, 0) {}

EditorSession::~EditorSession() = default;

RomOpenStep EditorSession::openRom(dialogs::Dialogs& dialogs) {
    const auto chosen = dialogs.openFile({kOpenRomTitle, startDirectory_, {}, kOpenRomFilter});
    if (!chosen) return RomOpenStep::Cancelled;
    lastOpenFolder_ = chosen->parent_path();
    return openRomFile(*chosen, dialogs);
}

RomOpenStep EditorSession::openRomFile(const fs::path& path, dialogs::Dialogs& dialogs,
                                       const std::optional<fs::path>& scriptsFolder) {
    shownString_.forget();
    switch (core::OpenRomFile(rom_, path)) {
    case core::RomOpenResult::CannotOpen:
    case core::RomOpenResult::TooLarge:  // larger than the game can be: refused unread
        // The previous ROM stays loaded, so its script files stay where they were.
        dialogs.message(kCannotOpenRom);
        return RomOpenStep::CannotOpen;
    case core::RomOpenResult::WrongTitle:
        index_->forgetMeasuredRooms();
        gameFont_.clear();
        dialogs.message(kWrongRom);
        return RomOpenStep::WrongTitle;
    case core::RomOpenResult::Opened: break;
    }
    index_->forgetMeasuredRooms();
    backupKept_ = false;
    projectFolder_.reset();  // a project sets its folder after opening its original
    // The script files live beside the ROM, whatever folder the program was started in.
    dumpsDirectory_ = scriptsFolder ? fs::absolute(*scriptsFolder) : fs::absolute(path).parent_path() / "Dumps";
    std::error_code ignored;
    if (scriptsFolder) {
        fs::create_directories(dumpsDirectory_, ignored);
    } else {
        fs::create_directory(dumpsDirectory_, ignored);
    }
    gameFont_ = preview::LoadGameFont(rom_.data());
    return RomOpenStep::Opened;
}

std::optional<DataFileShown> EditorSession::loadDataFile(dialogs::Dialogs& dialogs) {
    // The data file dialog is the only one that keeps the folder the open dialog last showed:
    // right after a ROM was chosen that is the ROM's folder, where its data file usually is.
    const fs::path& folder = lastOpenFolder_.empty() ? startDirectory_ : lastOpenFolder_;
    const auto chosen = dialogs.openFile({kOpenDataFileTitle, folder, {}, kOpenDataFileFilter});
    if (!chosen) return std::nullopt;
    lastOpenFolder_ = chosen->parent_path();
    return loadDataFileFrom(*chosen, dialogs);
}

std::optional<DataFileShown> EditorSession::loadDataFileFrom(const fs::path& path, dialogs::Dialogs& dialogs) {
    auto load = script::LoadBlockDataFile(path, *maps_, format_);
    if (!load) {
        dialogs.message(kCannotOpenDataFile);
        return std::nullopt;
    }
    shownString_.forget();
    // The menu commands a directive runs draw nothing while the load is under way, so replaying
    // their check marks is all they leave behind.
    dataFileLoaded_ = false;
    script::ApplySettings(settings_, load->operations);
    format_ = load->format;
    index_->setBlocks(load->blocks);
    dataFileLoaded_ = true;

    DataFileShown shown;
    shown.caption = DataFileCaption(path);
    for (const script::BlockEntry& block : load->blocks) shown.blockLines.push_back(block.listLine);
    for (const script::SettingOperation& operation : load->operations) {
        if (operation.kind == script::SettingOperation::Kind::ShowView) shown.viewOperations.push_back(operation);
    }
    return shown;
}

bool EditorSession::writeScript(script::ScriptText& script, const fs::path& path, dialogs::Dialogs& dialogs,
                                bool tell, bool lockHeld) {
    // Held from the comparison to the write, so no import can come between them.
    core::FileLock lock;
    if (projectFolder_ && !lockHeld) {
        lock = project::LockProject(*projectFolder_, core::kHeldRomLockWait);
        if (lock.status() != core::LockStatus::Locked) {
            dialogs.message(kCannotSaveTextPrefix + path.string() + "\n" +
                            core::LockFailureReason(lock.status(), lock.error(),
                                                    project::ProjectLockFile(*projectFolder_)));
            return false;
        }
    }
    const std::string quoted = "\"" + path.filename().string() + "\"";
    if (scriptOnDisk_.changed(path) &&
        !dialogs.askYesNo(kScriptChangedCaption, quoted + kScriptChangedSaveQuestion)) {
        return false;
    }
    if (const core::SaveResult saved = script::SaveScriptFile(path, script.text()); !saved) {
        dialogs.message(kCannotSaveTextPrefix + path.string() + "\n" + core::SaveFailureReason(saved));
        return false;
    }
    scriptOnDisk_.remember(path);
    if (tell) dialogs.message("\"" + path.filename().string() + kTextSavedSuffix);
    script.setModified(false);
    return true;
}

bool EditorSession::saveScriptForBuild(script::ScriptText& script, dialogs::Dialogs& dialogs) {
    if (!index_->hasBlock() || index_->scriptPath().empty() || !script.modified()) return true;
    return writeScript(script, index_->scriptPath(), dialogs, false, true);
}

EditorSession::ScriptReload EditorSession::checkScriptOnDisk(script::ScriptText& script, dialogs::Dialogs& dialogs) {
    const fs::path& path = index_->scriptPath();
    if (path.empty()) return ScriptReload::Unchanged;
    switch (ActionForScriptOnDisk(scriptOnDisk_.changedAndNotDeclined(path), script.modified())) {
    case ScriptDiskAction::Nothing: return ScriptReload::Unchanged;
    case ScriptDiskAction::Ask:
        if (!dialogs.askYesNo(kScriptChangedCaption,
                              "\"" + path.filename().string() + "\"" + kScriptChangedLoadQuestion)) {
            scriptOnDisk_.declineCurrent();
            return ScriptReload::Kept;
        }
        break;
    case ScriptDiskAction::Reload: break;
    }
    const std::optional<std::string> text = script::LoadScriptFile(path);
    // A file gone or unreadable leaves the text the editor has, to be saved again.
    if (!text) return ScriptReload::Unchanged;
    script.setText(*text);
    script.setModified(false);
    scriptOnDisk_.remember(path);
    return ScriptReload::Reloaded;
}

bool EditorSession::saveText(script::ScriptText& script, dialogs::Dialogs& dialogs) {
    // Before the first block is chosen there is no script file to write to.
    if (index_->scriptPath().empty()) return false;
    return writeScript(script, index_->scriptPath(), dialogs);
}

void EditorSession::saveRom(dialogs::Dialogs& dialogs) {
    if (rom_.loaded() && !backupKept_) {
        // One key must never destroy the only copy of a ROM: the file as it is before the first
        // save goes beside it. A file no longer there has nothing to keep.
        const fs::path backup = RomBackupPath(rom_.path());
        const core::FileRead before = core::ReadBoundedFile(rom_.path(), core::kLargestRomFile);
        const bool gone = before.status == core::FileReadStatus::CannotRead && before.error == ENOENT;
        if (!gone && before.status != core::FileReadStatus::Read) {
            dialogs.message(std::string(kCannotSaveRom) + "\n" + kBackupNotReadPrefix + rom_.path().string());
            return;
        }
        if (!gone) {
            if (const core::SaveResult kept = core::WriteFileSafely(backup, before.bytes); !kept) {
                dialogs.message(std::string(kCannotSaveRom) + "\n" + kBackupNotWrittenPrefix + backup.string() + ": " +
                                core::SaveFailureReason(kept));
                return;
            }
        }
        backupKept_ = true;
    }
    // Asked with the file's lock held, so nothing else can save it while the user decides.
    const core::RomSaveOutcome saved = core::SaveHeldRomFile(
        rom_, core::kHeldRomLockWait, [&] { return dialogs.askYesNo(kRomChangedCaption, kRomChangedQuestion); });
    // The message keeps its known first line; the system's reason follows on the next.
    switch (saved.result) {
    case core::RomSaveResult::NoRom:
    case core::RomSaveResult::KeptOnDisk: return;
    case core::RomSaveResult::Busy:
        dialogs.message(std::string(kCannotSaveRom) + "\n" +
                        core::LockFailureReason(saved.lock, saved.lockError, rom_.path()));
        return;
    case core::RomSaveResult::CannotWrite:
        dialogs.message(std::string(kCannotSaveRom) + "\n" + core::SaveFailureReason(saved.save));
        return;
    case core::RomSaveResult::Saved:
        if (running_) dialogs.message(kRomSaved);
        return;
    }
}

bool EditorSession::askBeforeClosing(script::ScriptText& script, dialogs::Dialogs& dialogs) {
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
                                                              dialogs::Dialogs& dialogs) {
    shownString_.forget();
    UnsavedScriptQuestion question(*this, script, dialogs);
    auto choice = index_->chooseBlock(rom_, n, dumpsDirectory_, script, question, projectFolder_.has_value());
    if (choice) scriptOnDisk_.remember(index_->scriptPath());
    return choice;
}

std::optional<ShownChoice> EditorSession::chooseString(unsigned i, const script::ScriptText& script,
                                                       bool resetScroll) {
    if (!rom_.loaded()) return std::nullopt;
    auto choice = index_->chooseString(i, script, table_.characterMap());
    if (!choice) return std::nullopt;
    if (resetScroll) {
        screen_->kanaLayer().setScrollOffset(0);
        screen_->asciiLayer().setScrollOffset(0);
    }
    // A data file without .FORMAT leaves no box width; drawing would then only install the
    // defaults and leave the upper box empty until the next choice, so install them first.
    if (format_.boxWidth == 0) preview::InstallDefaultFormat(format_);
    entryShown_ = choice->matchLine.has_value();
    const preview::PreviewSources drawn = sources();
    renderer_->drawStringSelection(drawn, preview::PreviewOptionsOf(settings_), format_, entryShown_);
    settings_.showTranslation = false;  // every drawing of the boxes leaves the translated mark clear
    if (!entryShown_) ClearAsciiBox(*screen_);
    return ShownChoice{std::move(*choice), newlyShown(drawn)};
}

std::optional<script::ResolvedString> EditorSession::refreshViews() {
    if (format_.boxWidth == 0) preview::InstallDefaultFormat(format_);
    const preview::PreviewSources drawn = sources();
    renderer_->redraw(drawn, preview::PreviewOptionsOf(settings_), format_);
    settings_.showTranslation = false;
    return newlyShown(drawn);
}

std::optional<script::ResolvedString> EditorSession::newlyShown(const preview::PreviewSources& drawn) {
    // Only a drawing that drew the upper box shows a string.
    if (drawn.romData.empty() || !drawn.romText) return std::nullopt;
    if (!shownString_.replace(*drawn.romText)) return std::nullopt;
    return drawn.romText;
}

std::string EditorSession::lineStatus() const {
    return editor::LineStatusText(static_cast<int>(screen_->kanaLayer().scrollOffset()),
                                  static_cast<int>(screen_->asciiLayer().scrollOffset()));
}

bool EditorSession::currentBlockInserted() const {
    const auto block = index_->currentBlock();
    return rom_.loaded() && block && script::BlockIsInserted(rom_.data(), static_cast<uint32_t>(*block));
}

preview::PreviewSources EditorSession::sources() const {
    preview::PreviewSources sources;
    if (rom_.loaded()) sources.romData = rom_.data();
    sources.gameFont = gameFont_;
    // The string is resolved once here; the drawing and the hex and kana windows share it.
    if (index_->hasBlock() && dataFileLoaded_) {
        sources.romText = script::ResolveString(index_->block(), static_cast<unsigned>(index_->currentString()),
                                                currentBlockInserted());
    }
    // Without an entry for the chosen string the buffer still holds the last string's
    // translation; redrawing it under this string would show a translation it does not have.
    if (entryShown_) sources.previewBytes = index_->previewBytes();
    sources.characters = &table_.characterMap();
    return sources;
}

}  // namespace corv::editor
