#pragma once
// Who gets the platform's text-editing keys (Ctrl+C, X, V, A, Z, Y and Ctrl+Shift+Z): the menu or
// the text that has the keyboard focus.
//
// Opened on a ROM the editor keeps the menu's old keys: Ctrl+C, X, V and A run their menu items
// wherever they are pressed. In a translation project, where those items save nothing the
// translator has not asked for anyway, the keys edit the text they are pressed in, as in any
// other program; everywhere else (the preview, the lists, the read-only windows) the menu keeps
// them. Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z carry no menu item, so they edit text in both modes.

#include <cstdint>

namespace corv::editor {

enum class EditorMode : uint8_t { Rom, Project };

enum class TextKey : uint8_t { None, Copy, Cut, Paste, SelectAll, Undo, Redo };

// A key press as the dispatcher sees it: the letter ('A' to 'Z' in upper case, 0 for any other
// key) and the modifiers held.
struct KeyChord {
    char letter = 0;
    bool control = false;
    bool shift = false;
    bool alt = false;
    bool meta = false;
};

// The text-editing meaning of `chord`, TextKey::None for every other key. Ctrl+Y and Ctrl+Shift+Z
// both redo; any Alt or Meta, or Shift with another letter, makes the chord no text key.
[[nodiscard]] TextKey TextKeyOf(KeyChord chord);

// True when `chord`, pressed while the keyboard focus is in a text the user edits (or not), goes
// to that text instead of the menu.
[[nodiscard]] bool KeyEditsText(EditorMode mode, bool focusInEditableText, KeyChord chord);

}  // namespace corv::editor
