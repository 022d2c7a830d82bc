#pragma once
// The main window's keys: Shift or Ctrl with an arrow scrolls one of the two preview views by a
// line; any other key with Shift or Ctrl is swallowed; a key without either redraws both views.

#include <cstdint>

namespace corv::editor {

enum class ScrollKey : uint8_t { Up, Down, Other };

struct ScrollModifiers {
    bool shift = false;
    bool control = false;  // Alt is not looked at
};

enum class ScrollKeyOutcome : uint8_t {
    Swallowed,  // the key goes no further and nothing is redrawn
    Redraw,     // both views are drawn again and the line status rewritten
};

// The two views' scroll offsets in pixel rows: multiples of 16 from 0 to 672.
struct ScrollOffsets {
    unsigned kana = 0;
    unsigned ascii = 0;
    friend bool operator==(const ScrollOffsets&, const ScrollOffsets&) = default;
};

// Applies one key to `offsets`. Ctrl picks the ASCII view (also with Shift), Shift alone the
// kana view. Up stops at 0; Down stops where the 96-row window reaches row 768.
[[nodiscard]] ScrollKeyOutcome ApplyScrollKey(ScrollKey key, ScrollModifiers modifiers, ScrollOffsets& offsets);

}  // namespace corv::editor
