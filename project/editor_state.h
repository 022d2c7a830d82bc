#pragma once
// What the editor shows again when it opens a project: the values of the project file's [editor]
// table, which the project file holds and editor_table.h reads and writes.

#include <cstdint>
#include <optional>

#include "core/block_encoder.h"

namespace corv::project {

struct EditorState {
    std::optional<uint32_t> block;     // the address of the last block, as its .BLOCK line gives it
    std::optional<unsigned> string;    // the last string of that block
    std::optional<bool> problemsShown; // the Problems window was open
    std::optional<bool> markOverflow;  // View > Mark Overflow
    std::optional<int> fontSize;       // the Text Editor's font, in pixels
    std::optional<bool> wrapWhileTyping;  // View > Wrap While Typing
    // Edit > Fit Harder When Over: not a key of the table but the project's own `compressor`
    // key (when the file has it), which the builds read; the editor writes it back with the table.
    std::optional<core::Compressor> compressor;
    bool operator==(const EditorState&) const = default;
};

// The smallest and largest Text Editor font size the table keeps; other values are not read.
inline constexpr int kMinEditorFontSize = 6;
inline constexpr int kMaxEditorFontSize = 72;

}  // namespace corv::project
