#pragma once
// What the Hex Data and Kana Text windows show: the string of the last ROM-text drawing. Each
// keystroke in the Text Editor draws the same string again; loading both windows again with
// what they already show costs more than the rest of the keystroke, so the main window loads
// them only when this says the string changed.

#include <cstdint>

#include "script/string_decoder.h"

namespace corv::editor {

class ShownString {
public:
    // True when `resolved`, drawn from the session at `revision` (see EditorSession::revision),
    // differs from the string shown last; it is then taken as the one shown.
    bool replace(const script::ResolvedString& resolved, uint64_t revision);

private:
    bool shown_ = false;
    script::ResolvedKind kind_ = script::ResolvedKind::NonText;
    uint16_t textPointer_ = 0;
    uint64_t revision_ = 0;
};

}  // namespace corv::editor
