#include "editor/logic/shown_string.h"

namespace corv::editor {

bool ShownString::replace(const script::ResolvedString& resolved) {
    // Until the next forget() the block and the code maps are unchanged, so the kind and the text
    // pointer decide what the windows show (a record without text shows its message).
    const uint16_t pointer = resolved.kind == script::ResolvedKind::GameString ? resolved.textPointer : 0;
    if (shown_ && kind_ == resolved.kind && textPointer_ == pointer) return false;
    shown_ = true;
    kind_ = resolved.kind;
    textPointer_ = pointer;
    return true;
}

}  // namespace corv::editor
