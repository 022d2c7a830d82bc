#pragma once
// What the editor's preview shows for one chosen string, without the editor: the game font and
// block taken from the ROM, the translated stream from the string's script entry, both boxes
// drawn the way choosing the string draws them. Used by corvtool's picture output and by tests.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "preview/preview_screen.h"
#include "preview/text_box_renderer.h"
#include "script/block_data_file.h"
#include "script/script_text.h"

namespace corv::preview {

// The game font: the block at 24-bit address 0x060000, decompressed (its w0 bytes). Empty when
// its header fails its check or lies beyond the ROM.
[[nodiscard]] std::vector<uint8_t> LoadGameFont(std::span<const uint8_t> romData);

// The translated preview of string `stringIndex`: its script entry (found the way the editor
// finds it) encoded into the preview byte stream. std::nullopt when the script has no entry for
// it. Moves the script's caret like the editor's quiet search. Characters are written through
// `characters` (the table file's character map).
[[nodiscard]] std::optional<std::vector<uint8_t>> EncodeEntryPreview(script::ScriptText& script,
                                                                     unsigned stringIndex,
                                                                     const script::CharacterMap& characters);

struct StringPreviewInput {
    std::span<const uint8_t> romData;
    std::span<const uint8_t> gameFont;
    std::span<const uint8_t> block;  // the decompressed block (64 KiB)
    uint32_t blockIndex = 0;         // position in the block list, for the inserted mark
    unsigned stringIndex = 0;
    // The translated stream; std::nullopt when the string has no script entry (the lower box is
    // then not drawn).
    std::optional<std::span<const uint8_t>> previewBytes;
    const script::CharacterMap* characters = nullptr;  // what each of its bytes shows; null: itself
    // Scroll offsets (rows, multiples of 16) the views are moved to after the choice.
    int kanaScroll = 0;
    int asciiScroll = 0;
};

// Chooses the string on `screen` as the editor does after a data file load: with no format set
// the load's own first drawing has installed the defaults, so they are installed here first.
// Views that are scrolled are drawn again at their offsets, as the scroll keys do.
void RenderStringPreview(PreviewScreen& screen, const StringPreviewInput& input, PreviewOptions options,
                         script::FormatSettings format);

}  // namespace corv::preview
