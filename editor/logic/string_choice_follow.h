#pragma once
// Where the Text Editor's caret and view go after a string choice found the string's entry. The
// search itself only reads the script; these rules decide what the translator sees move.

namespace corv::editor {

// Who asks for a string choice.
enum class ChoiceSender {
    Program,        // the program itself: a block choice, a data file load
    TextChanged,    // a change of the script text (typing, deleting, pasting, undo)
    EditorResized,  // the Text Editor was resized
    User,           // the user's click in the string list or a menu command
};

struct ScriptFollow {
    bool moveCaret = false;      // the caret goes to the entry's opening, the selection empties
    bool scrollToEntry = false;  // the entry's opening line becomes the first line in view
};

// Typing leaves caret and view where they are; a resize brings the entry into view but keeps the
// caret; any other choice moves both to the entry.
[[nodiscard]] ScriptFollow FollowFor(ChoiceSender sender);

}  // namespace corv::editor
