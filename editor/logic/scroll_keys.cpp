#include "editor/logic/scroll_keys.h"

#include "preview/preview_screen.h"
#include "preview/text_box_renderer.h"

namespace corv::editor {

ScrollKeyOutcome ApplyScrollKey(ScrollKey key, ScrollModifiers modifiers, ScrollOffsets& offsets) {
    if (!modifiers.control && !modifiers.shift) return ScrollKeyOutcome::Redraw;
    unsigned& offset = modifiers.control ? offsets.ascii : offsets.kana;
    switch (key) {
    case ScrollKey::Up:
        if (offset == 0) return ScrollKeyOutcome::Swallowed;
        offset -= preview::kScrollStep;
        return ScrollKeyOutcome::Redraw;
    case ScrollKey::Down:
        if (offset + preview::kTextWindowRows >= preview::kLayerRows) return ScrollKeyOutcome::Swallowed;
        offset += preview::kScrollStep;
        return ScrollKeyOutcome::Redraw;
    case ScrollKey::Other: break;
    }
    return ScrollKeyOutcome::Swallowed;
}

}  // namespace corv::editor
