#pragma once
// The text blocks of the demo game: 64-byte string records, then the strings and the data of
// the other records, laid out in record order behind the table's terminator.

#include <cstdint>
#include <string>

#include "tools/demo/demo_game.h"
#include "tools/demo/demo_random.h"

namespace corv::demo {

inline constexpr uint16_t kTextRecordType = 2;
inline constexpr uint32_t kRecordSize = 64;
inline constexpr uint16_t kStringEnd = 0xFFFF;

struct TextBlockPlan {
    std::string name;
    uint32_t records = 0;
    // 0: strings of ordinary length; otherwise the strings are lengthened so the block comes
    // out near this many bytes.
    uint32_t targetBytes = 0;
    // The block's first strings are the special cases: every control code, an empty string,
    // two clear-window codes, the player's name, and a text record sharing its pointer.
    bool withSpecialStrings = false;
};

// A text block with its records and data filled in (kind Text; not yet compressed or placed).
[[nodiscard]] DemoBlock BuildTextBlock(const TextBlockPlan& plan, DemoRandom& random);

}  // namespace corv::demo
