#pragma once
// What the Hex Data and Kana Text windows show: the string of the last ROM-text drawing. Each
// keystroke in the Text Editor draws the same string again; loading both windows again with
// what they already show costs more than the rest of the keystroke, so the session hands the
// string on only when this says it changed.

#include <cstdint>

#include "script/string_decoder.h"

namespace corv::editor {

class ShownString {
public:
    // True when `resolved` differs from the string shown last, or the windows' other sources
    // changed since (see forget); it is then taken as the one shown.
    bool replace(const script::ResolvedString& resolved);
    // The ROM, its font, the code maps or the current block's bytes may have changed: the next
    // string is new whatever it is.
    void forget() { shown_ = false; }

private:
    bool shown_ = false;
    script::ResolvedKind kind_ = script::ResolvedKind::NonText;
    uint16_t textPointer_ = 0;
};

}  // namespace corv::editor
