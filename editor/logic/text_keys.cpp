#include "editor/logic/text_keys.h"

namespace corv::editor {

TextKey TextKeyOf(KeyChord chord) {
    if (!chord.control || chord.alt || chord.meta) return TextKey::None;
    if (chord.shift) return chord.letter == 'Z' ? TextKey::Redo : TextKey::None;
    switch (chord.letter) {
        case 'C': return TextKey::Copy;
        case 'X': return TextKey::Cut;
        case 'V': return TextKey::Paste;
        case 'A': return TextKey::SelectAll;
        case 'Z': return TextKey::Undo;
        case 'Y': return TextKey::Redo;
        default: return TextKey::None;
    }
}

bool KeyEditsText(EditorMode mode, bool focusInEditableText, KeyChord chord) {
    return mode == EditorMode::Project && focusInEditableText && TextKeyOf(chord) != TextKey::None;
}

}  // namespace corv::editor
