#pragma once
// The editor session as the page uses it: the session of the desktop editor (editor/logic),
// its dialogs answered by the page and its script held in memory, with results turned into
// JavaScript values. The files it reads and writes live in the module's file system (FS), where
// the page puts the translator's files and takes the written ones from.
//
// Only what the page shows crosses here; every rule stays in the session.

#include <emscripten/val.h>

#include <cstdint>
#include <string>
#include <vector>

#include "editor/logic/editor_session.h"
#include "editor/logic/hex_view.h"
#include "editor/logic/live_checks.h"
#include "editor/logic/script_search.h"
#include "patches/crc32.h"
#include "script/script_text.h"
#include "web/page_dialogs.h"

namespace corv::web {

class PageEditor {
public:
    // `startFolder`: where the file dialogs start. `dialogs`: the page's answers (PageDialogs).
    PageEditor(const std::string& startFolder, emscripten::val dialogs);

    // Open ROM File with the file given (title check, copier-header rule, font); the messages
    // of a failure go to the dialogs.
    editor::RomOpenStep openRom(const std::string& path);
    // 0 or 512: the copier header of the ROM loaded.
    [[nodiscard]] unsigned romHeaderSize() const { return session_.rom().headerSize(); }

    // Load Text Block Data File with the file given: {blockLines: [...], caption}, or null when
    // it cannot be read (message shown).
    emscripten::val loadDataFile(const std::string& path);

    // Load Table File with the file given: false when it cannot be loaded (message shown). The
    // checks count dictionary words from the next block chosen on.
    bool loadTable(const std::string& path);

    // Chooses block `n` of the list and loads its script: {stringCount, scriptLoad,
    // terminatorFound}, or null when no ROM is loaded or `n` is not listed.
    emscripten::val chooseBlock(unsigned n);

    // Chooses string `i` and draws both boxes: {entryFound, offsetStatus, kanaCaption} and, when
    // the string is new to the Kana Text window, kanaText (its text as UTF-8, CR LF line
    // breaks); null when nothing can be drawn.
    emscripten::val chooseString(unsigned i);

    // The preview screen: {width, height, pixels}, pixels a copy of its 5-6-5 bitmap as a
    // Uint16Array, row after row.
    [[nodiscard]] emscripten::val screen() const;

    // The current block's script as the page shows it: each Latin-1 byte one character.
    [[nodiscard]] std::wstring scriptText() const;
    // The translator's text for the current block's script, each character one Latin-1 byte,
    // checked again where it changed: {accepted: true}, or {accepted: false, offset, character}
    // naming the first character a script cannot hold (past U+00FF), the script left as it was.
    // The script is written to its file only by a save.
    emscripten::val setScriptText(const std::wstring& text);

    // The live checks of the current block, null without one: {room, roomNote, progress,
    // strings: [{number, state, tooltip}], problems: [{string, severity, message}]}, worded as
    // the desktop's panels, List Data's lines and Problems window word them.
    [[nodiscard]] emscripten::val checks() const;

    // --- Find and Replace (editor/logic/script_search.h) --------------------------------------
    // `options`: {matchCase, wholeWord, backwards, fromStart, selectionStart, selectionEnd}, each
    // optional. The search starts where the page's selection ends (backwards: where it starts),
    // from the start (backwards: the end) with fromStart; without a selection given, from the
    // match found or replaced last. Offsets are those of scriptText(); a find text with a
    // character past U+00FF matches nothing, and a replacement's such characters are left out,
    // as when typed.
    //
    // find: {found: true, start, length} (the match is now the selection), or {found: false,
    // message} worded as the desktop's.
    emscripten::val find(const std::wstring& text, const emscripten::val& options);
    // The desktop's Replace: the selection is replaced when it holds a match, then the next match
    // is found: {replaced: 0 or 1, found, start, length} or {replaced, found: false, message}.
    emscripten::val replace(const std::wstring& text, const std::wstring& replacement, const emscripten::val& options);
    // Every match at once (direction and start aside), as one change: {replaced: n, message},
    // n = 0 when there is none. The caret stays by the text it was in.
    emscripten::val replaceAll(const std::wstring& text, const std::wstring& replacement,
                               const emscripten::val& options);

    // --- Hex Data ------------------------------------------------------------------------------
    // What the Hex Data window shows of the string chosen last: {caption, byteMode, text,
    // rows: [[{text, colour, background}]]} (colours "#rrggbb"), a row for every 16 bytes of the
    // string's copy, `text` the rows' cells joined by spaces, rows by "\n"; null before a string
    // was drawn.
    [[nodiscard]] emscripten::val hexData();

    // --- Save Text File ------------------------------------------------------------------------
    // Writes the script to the current block's script file as the desktop editor saves it (the
    // questions of a file changed meanwhile go to the dialogs): {ok, message, bytes}, bytes the
    // file as written (Uint8Array) when ok, message the desktop's ("... was saved successfully!"
    // or why not).
    emscripten::val saveScript();
    // The current block's script file name ("00D40000.txt"), empty before a block is chosen.
    [[nodiscard]] std::string scriptFileName() const;

    // --- Insert, the ROM image and its patches ----------------------------------------------
    // The desktop's Insert of the current block into the ROM in memory (a block is written only
    // once it decodes back to its data): {ok, log: [...], messages: [...], room}: the insertion's
    // log with the room line before its outcome, the message boxes' texts, and the room panel of
    // the block as it now stands. The ROM file is not written. In a project (openProject) the
    // original ROM is only read: Insert builds the project, as on the desktop, and gives
    // buildProject's result.
    emscripten::val insertBlock();
    // The ROM as it now is, copier header included (Uint8Array); null without a ROM and while it
    // is still the ROM as opened, which the page never hands out.
    [[nodiscard]] emscripten::val romImage() const;
    // The patch from the ROM as it was opened to romImage(), each checked by applying it in
    // memory: IPS of the whole files, BPS of the ROM data without a copier header (as a project
    // build makes them); null without a ROM or when no patch gives the image.
    [[nodiscard]] emscripten::val makeIps() const;
    [[nodiscard]] emscripten::val makeBps() const;

    // --- Projects ------------------------------------------------------------------------------
    // Open Project on `folder` (holding corvane-project.toml and the files it names, put into the
    // FS by the page): its original ROM with its scripts folder, its table and its data file, as
    // the desktop editor opens them: {blockLines, caption} as loadDataFile gives them, or null
    // (message shown). openRom leaves the project.
    emscripten::val openProject(const std::string& folder);
    // Builds the project in `folder` as the desktop editor's Build Project and corvtool build do,
    // writing its outputs there: {ok, lines: [...], messages: [...], outputs: [{name, path}]}:
    // the build's log, the message boxes' texts and the files written (name the file name, path
    // in the FS), outputs empty unless ok. On the project opened, the script being edited is
    // saved first, as on the desktop; on another folder the build reads its scripts as they are.
    emscripten::val buildProject(const std::string& folder);
    // --- The page's lists and navigation keys ---------------------------------------------------
    // List Data's string lines of the current block ("String# 7    "), empty without one.
    [[nodiscard]] emscripten::val stringLines() const;
    // The opening line of the entry the last string choice found in the script, -1 without one.
    [[nodiscard]] int entryLine() const { return session_.index().matchLine(); }
    // Next Untranslated String (F3), Previous Untranslated String (Shift+F3) and Next Problem (F4)
    // from string `current` (-1: none chosen): the string to choose, or null when there is none.
    [[nodiscard]] emscripten::val nextUntranslated(int current) const;
    [[nodiscard]] emscripten::val previousUntranslated(int current) const;
    [[nodiscard]] emscripten::val nextProblem(int current) const;
    // Go to String's answer as a string number of the current block, or null.
    [[nodiscard]] emscripten::val stringNumberOf(const std::string& answer) const;
    // The CRC-32 of the ROM's data after its copier header, as read: the page keeps typed text
    // under it, so a headered copy of the same game finds the same text.
    [[nodiscard]] uint32_t romChecksum() const { return patches::Crc32(session_.rom().data()); }
    // setScriptText with the text as its UTF-16 code units (a Uint16Array): a JavaScript string
    // crosses as std::wstring one character at a time, too slow for every key in a long script.
    emscripten::val setScriptUnits(const emscripten::val& units);
    // setScriptUnits for one typed change: the characters [start, end) of scriptText() become
    // `units`, the rest of the script does not cross. The refused character's offset is one of
    // the whole script; {accepted: false, offset: -1} when [start, end) is not in the script (the
    // page then sends the whole text), the script left as it was.
    emscripten::val replaceScriptUnits(unsigned start, unsigned end, const emscripten::val& units);
    // checks() without the Problems rows and with only the strings whose state or findings the
    // last change touched in `strings` (all of them right after a block choice), so a key press
    // costs what it changed; problemRows() gives the Problems rows when the page shows them anew.
    [[nodiscard]] emscripten::val changedChecks() const;
    [[nodiscard]] emscripten::val problemRows() const;
    // Remove Empty Line of the Problems window for string `string`: the empty line its entry ends
    // with as {start, length} of scriptText(), or null when it has none. The page makes the cut
    // as an edit of its own (one step to undo).
    [[nodiscard]] emscripten::val emptyLineCut(unsigned string) const;

private:
    // The script becomes `bytes`, checked again, as if typed.
    void changeScript(std::string bytes);
    // After the script changed: modified, checked again where it changed.
    void scriptChanged();
    // Where a search starts and the selection it starts from.
    [[nodiscard]] size_t searchFrom(const emscripten::val& options) const;
    [[nodiscard]] editor::TextMatch selection(const emscripten::val& options) const;

    PageDialogs dialogs_;
    script::MemoryScriptText script_;
    editor::EditorSession session_;
    editor::LiveChecks checks_;
    editor::HexView hexView_;
    editor::TextMatch selection_;        // the match found or replaced last
    std::vector<uint8_t> openedRom_;     // the ROM file as opened: what the patches start from
};

}  // namespace corv::web
