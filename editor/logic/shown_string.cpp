#include "editor/logic/shown_string.h"

namespace corv::editor {

bool ShownString::replace(const script::ResolvedString& resolved, uint64_t revision) {
    // Within one revision the block and the code maps are unchanged, so the kind and the text
    // pointer decide what the windows show (a record without text shows its message).
    const uint16_t pointer = resolved.kind == script::ResolvedKind::GameString ? resolved.textPointer : 0;
    if (shown_ && kind_ == resolved.kind && textPointer_ == pointer && revision_ == revision) return false;
    shown_ = true;
    kind_ = resolved.kind;
    textPointer_ = pointer;
    revision_ = revision;
    return true;
}

}  // namespace corv::editor
