#pragma once
// The editor session as the page uses it: the session of the desktop editor (editor/logic),
// its dialogs answered by the page and its script held in memory, with results turned into
// JavaScript values. The files it reads and writes live in the module's file system (FS), where
// the page puts the translator's files and takes the written ones from.
//
// Only what the page shows crosses here; every rule stays in the session.

#include <emscripten/val.h>

#include <string>

#include "editor/logic/editor_session.h"
#include "editor/logic/live_checks.h"
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
    // checks() without the Problems rows and with only the strings whose state or findings the
    // last change touched in `strings` (all of them right after a block choice), so a key press
    // costs what it changed; problemRows() gives the Problems rows when the page shows them anew.
    [[nodiscard]] emscripten::val changedChecks() const;
    [[nodiscard]] emscripten::val problemRows() const;

private:
    PageDialogs dialogs_;
    script::MemoryScriptText script_;
    editor::EditorSession session_;
    editor::LiveChecks checks_;
};

}  // namespace corv::web
