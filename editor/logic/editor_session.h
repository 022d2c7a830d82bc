#pragma once
// Everything the script editor holds between two events, without a window: the ROM image, the
// game font, the block data file's code maps, format and menu states, the table file, the
// current block and string, the preview screen, and the editor's folders and flags.
//
// Each command of the main window's menu has a method here. Methods ask and tell the user only
// through dialogs::Dialogs, read and write the script through script::ScriptText, and return what the
// window has to show (lists, captions, window visibilities); they never touch a widget.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/rom_image.h"
#include "dialogs/dialogs.h"
#include "preview/preview_screen.h"
#include "preview/text_box_renderer.h"
#include "script/block_data_file.h"
#include "insert/insertion.h"
#include "script/script_text.h"
#include "editor/logic/outcome_last_log.h"
#include "editor/logic/script_on_disk.h"
#include "editor/logic/shown_string.h"
#include "editor/logic/string_index.h"
#include "script/table_file.h"

namespace corv::editor {

enum class RomOpenStep {
    Cancelled,   // the dialog was cancelled: nothing changed
    CannotOpen,  // the file could not be read: the previous ROM stays (message shown)
    WrongTitle,  // not the game's ROM: no ROM is loaded now (message shown)
    Opened,      // the ROM and its font are loaded; the data file load comes next
};

// What a data file load leaves for the window to show.
struct DataFileShown {
    std::vector<std::string> blockLines;  // the lines of the block list, in order
    // View visibility changes (ShowView) in file order, to be replayed as they come.
    std::vector<script::SettingOperation> viewOperations;
    std::string caption;                  // the main window's new caption
};

// "Script Editor: Corvane - [<file name> ]": the main window's caption after a data file load.
[[nodiscard]] std::string DataFileCaption(const std::filesystem::path& path);

// Where the first Save Rom File of a ROM keeps the file as it was: NAME.bak beside it
// ("corvane.smc.bak"), replacing an older backup.
[[nodiscard]] std::filesystem::path RomBackupPath(const std::filesystem::path& rom);

// What a string choice leaves for the windows.
struct ShownChoice {
    editor::StringChoice choice;
    // The string the upper box shows, when the Hex Data and Kana Text windows do not show it yet.
    std::optional<script::ResolvedString> newString;
};

class EditorSession {
public:
    // `startDirectory` is where the file dialogs start (the working directory at start-up).
    // The preview screen gets the paint box's size at start-up (at least 320 x 256).
    explicit EditorSession(std::filesystem::path startDirectory, unsigned screenWidth = preview::kMinScreenWidth,
                           unsigned screenHeight = preview::kMinScreenHeight);
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // --- File menu ---------------------------------------------------------------------------
    // Open ROM File up to the data file load: asks for the ROM, reads it, checks its title, reads
    // the font and points the dumps directory at the ROM's folder (created when missing). A file
    // that cannot be read or is another game's leaves the dumps directory as it was.
    RomOpenStep openRom(dialogs::Dialogs& dialogs);
    // The same with a file given, without the dialog (command line). With `scriptsFolder` the
    // script files live there (a project's) instead of in Dumps beside the ROM.
    RomOpenStep openRomFile(const std::filesystem::path& path, dialogs::Dialogs& dialogs,
                            const std::optional<std::filesystem::path>& scriptsFolder = std::nullopt);

    // Load Text Block Data File: asks for the file and loads it; std::nullopt when cancelled or
    // unreadable (message shown; nothing changed). The block list and tables are rebuilt, the
    // menu states replayed and the loaded flag set; the caller then shows the result and chooses
    // the first block.
    std::optional<DataFileShown> loadDataFile(dialogs::Dialogs& dialogs);
    std::optional<DataFileShown> loadDataFileFrom(const std::filesystem::path& path, dialogs::Dialogs& dialogs);

    // Save Text File: writes `script` to the current block's script file and tells so. False
    // when nothing was written (no block chosen, refused or failed: message shown).
    bool saveText(script::ScriptText& script, dialogs::Dialogs& dialogs);
    // Save Rom File: writes the image back to its file (a success message only while running).
    // The first save of each ROM opened keeps the file as it was in RomBackupPath() first; when
    // that cannot be written, nothing is saved (message shown).
    void saveRom(dialogs::Dialogs& dialogs);
    // The questions of closing the main window, in order: unsaved script, unsaved ROM. False
    // when the script was to be saved and could not be (no block chosen, or the write failed):
    // the window then stays open, with the text.
    bool askBeforeClosing(script::ScriptText& script, dialogs::Dialogs& dialogs);

    // --- The script file on disk -------------------------------------------------------------
    // In a translation project every save of a script takes the project's lock (the one
    // corvtool import-po and build take); std::nullopt when the editor is opened on a ROM.
    void setProjectFolder(std::optional<std::filesystem::path> folder) { projectFolder_ = std::move(folder); }
    [[nodiscard]] const std::optional<std::filesystem::path>& projectFolder() const { return projectFolder_; }
    // Compares the current block's script file with the bytes last loaded or saved. Changed and
    // no unsaved edits: loaded again into `script`. Changed with unsaved edits: the user is asked
    // whether to load it and drop them; No keeps the text (and the next save asks again).
    enum class ScriptReload : uint8_t { Unchanged, Reloaded, Kept };
    ScriptReload checkScriptOnDisk(script::ScriptText& script, dialogs::Dialogs& dialogs);
    // Writes the current block's script for a build, which holds the project's lock already:
    // asks first when the file changed on disk. False when it was not written (refused or failed,
    // message shown); true also when there was nothing to write.
    bool saveScriptForBuild(script::ScriptText& script, dialogs::Dialogs& dialogs);

    // --- Edit menu ---------------------------------------------------------------------------
    // Logs one line per error the translation checks find, after the insertion's own lines and
    // before its outcome, which ends the log between its two rules; says where that outcome
    // stands, for the lines the window adds about the insertion.
    InsertionLog insertText(script::ScriptText& script, insert::InsertionProgress& progress, dialogs::Dialogs& dialogs);
    // Fit Harder When Over (off at start): a block the standard compressor leaves over its room
    // is tried with the maximising one, and the log says which compressor wrote it.
    void setFitHarderWhenOver(bool on) { fitHarderWhenOver_ = on; }
    [[nodiscard]] bool fitHarderWhenOver() const { return fitHarderWhenOver_; }
    void patchRom(dialogs::Dialogs& dialogs);
    void loadTable(dialogs::Dialogs& dialogs);
    // The same with the file given; false when it cannot be loaded (message shown).
    bool loadTableFrom(const std::filesystem::path& path, dialogs::Dialogs& dialogs);
    void insertCompression(dialogs::Dialogs& dialogs);

    // --- Program menu ------------------------------------------------------------------------
    // Du&mp DECOMPRESSED BINARY Data: the current block's decompressed bytes to a chosen file.
    void dumpDecompressed(dialogs::Dialogs& dialogs);

    // --- Block and string choice -------------------------------------------------------------
    // Chooses block `n` of the list (asking about an unsaved script first) and loads its script
    // into `script`. std::nullopt when no ROM is loaded or `n` is not listed.
    std::optional<editor::BlockChoice> chooseBlock(size_t n, script::ScriptText& script, dialogs::Dialogs& dialogs);
    // Chooses string `i` and draws it. `resetScroll` is false while the Text Editor is the active
    // window, so typing keeps the views where they are. The script is only read: the choice says
    // where its entry is, and the caller moves the caret and the view as its rules say. The
    // translated mark is clear afterwards.
    std::optional<ShownChoice> chooseString(unsigned i, const script::ScriptText& script, bool resetScroll);
    // Draws both views again (ROM text, then translation); the translated mark is clear
    // afterwards, as after a string choice. Returns the string drawn when the Hex
    // Data and Kana Text windows do not show it yet.
    std::optional<script::ResolvedString> refreshViews();
    // "Line {Kana, Ascii}: k, a" for the two views' current scroll offsets.
    [[nodiscard]] std::string lineStatus() const;

    // --- State -------------------------------------------------------------------------------
    [[nodiscard]] const core::RomImage& rom() const { return rom_; }
    [[nodiscard]] bool romLoaded() const { return rom_.loaded(); }
    [[nodiscard]] const editor::StringIndex& index() const { return *index_; }
    [[nodiscard]] const preview::PreviewScreen& screen() const { return *screen_; }
    [[nodiscard]] preview::PreviewScreen& screen() { return *screen_; }
    [[nodiscard]] const std::vector<uint8_t>& gameFont() const { return gameFont_; }
    [[nodiscard]] const script::CodeMaps& codeMaps() const { return *maps_; }
    [[nodiscard]] const script::TableFile& table() const { return table_; }
    [[nodiscard]] const script::FormatSettings& format() const { return format_; }
    // The preview settings and view visibilities the menu shows, as the data files and the
    // menu commands left them.
    [[nodiscard]] script::DataFileSettings& settings() { return settings_; }
    [[nodiscard]] const script::DataFileSettings& settings() const { return settings_; }
    [[nodiscard]] bool dataFileLoaded() const { return dataFileLoaded_; }
    [[nodiscard]] const std::filesystem::path& startDirectory() const { return startDirectory_; }
    [[nodiscard]] const std::filesystem::path& dumpsDirectory() const { return dumpsDirectory_; }
    // Whether the current block carries its inserted mark in the ROM.
    [[nodiscard]] bool currentBlockInserted() const;

    // Set from the end of start-up to the end of closing; the ROM save reports success only then.
    [[nodiscard]] bool running() const { return running_; }
    void setRunning(bool running) { running_ = running; }

private:
    // The insertion log's lines for the errors the translation checks find in `script`.
    [[nodiscard]] std::vector<std::string> checkErrorLines(const insert::InsertionBlock& insertion, uint32_t endOfRoom,
                                                           script::ScriptText& script) const;
    class UnsavedScriptQuestion;
    [[nodiscard]] preview::PreviewSources sources() const;
    // The string the newest drawing showed, when it is new to the Hex Data and Kana Text windows.
    [[nodiscard]] std::optional<script::ResolvedString> newlyShown(const preview::PreviewSources& drawn);
    // Writes `script` to `path`: with the project's lock unless `lockHeld`, after asking when
    // the file changed on disk since it was loaded or saved; tells of success when `tell`.
    bool writeScript(script::ScriptText& script, const std::filesystem::path& path, dialogs::Dialogs& dialogs,
                     bool tell = true, bool lockHeld = false);

    std::filesystem::path startDirectory_;
    std::filesystem::path dumpsDirectory_;
    std::filesystem::path lastOpenFolder_;
    std::optional<std::filesystem::path> projectFolder_;
    ScriptOnDisk scriptOnDisk_;  // folder of the file last chosen in an open dialog
    core::RomImage rom_;
    std::vector<uint8_t> gameFont_;
    std::unique_ptr<script::CodeMaps> maps_;
    std::unique_ptr<editor::StringIndex> index_;
    script::TableFile table_;
    script::FormatSettings format_;
    script::DataFileSettings settings_;
    std::unique_ptr<preview::PreviewScreen> screen_;
    std::unique_ptr<preview::TextBoxRenderer> renderer_;
    std::vector<uint8_t> insertionScratch_;
    // What the hex and kana windows show; forgotten by any command that may change the ROM and
    // its font, the code maps or the current block's bytes, which they read besides the string.
    editor::ShownString shownString_;
    bool entryShown_ = false;  // the chosen string's script entry was found and encoded
    bool dataFileLoaded_ = false;
    bool running_ = false;
    bool fitHarderWhenOver_ = false;
    bool backupKept_ = false;  // the opened ROM's file has its backup of this session
};

}  // namespace corv::editor
