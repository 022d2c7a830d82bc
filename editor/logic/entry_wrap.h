#pragma once
// The editor's wrap commands on the script text (check/script_wrap.h does the wrapping, the same
// as corvtool wrap): Wrap String to Box takes the entry the caret is in, Wrap Block to Box every
// entry, and Wrap While Typing the entry being typed. Each gives one stretch of the text and what
// takes its place, so that the editor makes it one edit (one undo step), and the caret's place
// after it, kept in the word it was in.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "check/box_wrap.h"

namespace corv::editor {

struct WrapEdit {
    size_t start = 0;
    size_t length = 0;        // of the stretch in the old text
    std::string replacement;  // the stretch as it becomes
    size_t caret = 0;         // where the caret goes in the new text
};

// Every entry of the script wrapped; std::nullopt when nothing changes.
[[nodiscard]] std::optional<WrapEdit> WrapBlockEdit(std::string_view text, size_t caret, check::BoxWrapper& wrapper);

// The entry whose lines (".STRING n" to ".ENDS") hold `position` wrapped; std::nullopt when the
// position is in no closed entry or nothing changes.
[[nodiscard]] std::optional<WrapEdit> WrapEntryEdit(std::string_view text, size_t position, size_t caret,
                                                    check::BoxWrapper& wrapper);

}  // namespace corv::editor
