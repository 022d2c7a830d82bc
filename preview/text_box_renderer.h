#pragma once
// The two simulated text boxes: the kana view (upper box, the game's own string drawn with the
// game font) and the ASCII view (lower box, the translation drawn with the built-in font).
//
// The renderer draws into a PreviewScreen that the caller owns and shows. It reads the menu
// check marks and the text box format that the block data file set up; a draw pass may change
// them the way the editor's own drawing does (see drawPass and redraw).

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "preview/preview_screen.h"
#include "script/block_data_file.h"
#include "script/string_decoder.h"

namespace corv::preview {

// Box layout on the screen (pixels).
inline constexpr unsigned kFrameLeft = 8;
inline constexpr unsigned kKanaFrameTop = 8;
inline constexpr unsigned kAsciiFrameTop = 136;
inline constexpr unsigned kFrameTileRows = 14;
inline constexpr unsigned kKanaFrameColumns = 38;
inline constexpr unsigned kAsciiFrameColumns = 29;
inline constexpr unsigned kTextWindowLeft = 16;
inline constexpr unsigned kTextWindowRows = 96;
inline constexpr uint16_t kKanaBoxWidth = 304;
inline constexpr int kAsciiWrapColumn = kAsciiFrameColumns * 8 - 16;  // 216

// Gradient boxes lose one step of intensity every this many pixel rows.
inline constexpr unsigned kGradientRowsPerStep = (kFrameTileRows * 8) / 31;  // 3

// What the passes read besides the settings. Spans are borrowed for the call only.
struct PreviewSources {
    std::span<const uint8_t> romData;       // the ROM data after any copier header; empty: no ROM
    std::span<const uint8_t> gameFont;      // the decompressed font block
    std::span<const uint8_t> block;         // the decompressed current block (64 KiB); empty: none
    std::span<const uint8_t> previewBytes;  // the preview byte buffer (the translated 8-bit stream)
    bool dataFileLoaded = false;
    unsigned stringIndex = 0;               // current string index
    uint32_t blockIndex = 0;                // current block index, for the inserted mark
};

// The format installed by an untranslated pass that finds no format set (box width 0).
void InstallDefaultFormat(script::FormatSettings& format);

// The box interior colour of pixel row `row` (0 at the frame's top) for the chosen colour and
// style: full intensity when solid, fading by one step every three rows when a gradient.
[[nodiscard]] Pixel BoxColour(const script::MenuStates& menus, unsigned row);

class TextBoxRenderer {
public:
    // Called by every untranslated pass with the string it resolved (a message for records that
    // cannot be shown; see ResolvedString::messageFlag), for the hex and kana windows.
    using StringHook = std::function<void(const script::ResolvedString&)>;

    explicit TextBoxRenderer(PreviewScreen& screen) : screen_(screen) {}

    void setStringHook(StringHook hook) { hook_ = std::move(hook); }

    // One box: the untranslated pass while menus.displayTranslated is clear, the translated one
    // while it is set. `rows` x `columns` is the glyph size of top-level glyphs. Draws nothing
    // without a ROM, a block or a loaded data file. An untranslated pass that finds box width 0
    // installs the default format and draws nothing; otherwise it sets the box width to 304.
    void drawPass(const PreviewSources& sources, script::MenuStates& menus, script::FormatSettings& format,
                  unsigned rows, unsigned columns);

    // Both boxes with the format's glyph size: untranslated, then translated; `displayTranslated`
    // is clear afterwards. Run after a change of codes shown, width routine, box colour or style,
    // or scroll position.
    void redraw(const PreviewSources& sources, script::MenuStates& menus, script::FormatSettings& format);

    // What choosing a string draws: the untranslated pass with the format's glyph size and, when
    // the string's script entry was found (its bytes in sources.previewBytes), the translated pass
    // with 16 x 8 glyphs. `displayTranslated` is clear afterwards.
    void drawStringSelection(const PreviewSources& sources, script::MenuStates& menus,
                             script::FormatSettings& format, bool entryFound);

    // The text pointer of the last text record an untranslated pass drew (for the status bar).
    [[nodiscard]] std::optional<uint16_t> textPointer() const { return textPointer_; }

private:
    struct Pass;

    // Clears the pass's text layer and the frame map; cursor at the top left, text colour.
    void startPass(TextLayer& layer);
    void untranslatedPass(const PreviewSources& sources, const script::MenuStates& menus,
                          script::FormatSettings& format, unsigned rows, unsigned columns);
    void translatedPass(const PreviewSources& sources, const script::MenuStates& menus, unsigned rows,
                        unsigned columns);
    void runSteps(const Pass& pass, std::span<const script::PreviewStep> steps, bool labelMode);
    void runLabel(const Pass& pass, std::span<const uint8_t> stream, uint8_t colourIndex);
    void drawFrame(const script::MenuStates& menus, unsigned frameTop, unsigned columns);
    void overlayText(const TextLayer& layer, unsigned frameTop);

    PreviewScreen& screen_;
    StringHook hook_;
    std::optional<uint16_t> textPointer_;
    // Drawing state of the pass in progress.
    int x_ = 0;
    int y_ = 0;
    uint8_t colourIndex_ = kTextIndex;
};

}  // namespace corv::preview
