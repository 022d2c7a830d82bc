#pragma once
// The two simulated text boxes: the kana view (upper box, the game's own string drawn with the
// game font) and the ASCII view (lower box, the translation drawn with the built-in font).
//
// The renderer draws into a PreviewScreen that the caller owns and shows. It takes the options
// and the string to draw as values; only the text box format's box width may change, the way the
// game's own drawing sets it (see redraw).

#include <cstdint>
#include <optional>
#include <span>

#include "preview/preview_screen.h"
#include "script/block_data_file.h"
#include "script/character_map.h"
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

// How both boxes are drawn. Taken by value: drawing never changes the choices.
struct PreviewOptions {
    script::TextBoxColour colour = script::TextBoxColour::Blue;
    script::TextBoxStyle style = script::TextBoxStyle::Gradient;
    bool hideCodes = false;
    bool variableWidth = false;
    friend bool operator==(const PreviewOptions&, const PreviewOptions&) = default;
};

// The options a data file's settings give.
[[nodiscard]] PreviewOptions PreviewOptionsOf(const script::DataFileSettings& settings);

// What the passes read besides the options. Spans are borrowed for the call only.
struct PreviewSources {
    std::span<const uint8_t> romData;       // the ROM data after any copier header; empty: no ROM
    std::span<const uint8_t> gameFont;      // the decompressed font block
    // The upper box's string, resolved by the caller; std::nullopt: nothing to draw (no block
    // chosen or no data file loaded).
    std::optional<script::ResolvedString> romText;
    std::span<const uint8_t> previewBytes;  // the translated 8-bit stream of the lower box
    // The character each byte of that stream shows (the table file's character map); null: the
    // byte's own.
    const script::CharacterMap* characters = nullptr;
};

// The format installed by an untranslated pass that finds no format set (box width 0).
void InstallDefaultFormat(script::FormatSettings& format);

// The box interior colour of pixel row `row` (0 at the frame's top) for the chosen colour and
// style: full intensity when solid, fading by one step every three rows when a gradient.
[[nodiscard]] Pixel BoxColour(const PreviewOptions& options, unsigned row);

// Glyph size of the translated pass that choosing a string draws.
inline constexpr unsigned kSelectionGlyphRows = 16;
inline constexpr unsigned kSelectionGlyphColumns = 8;

class TextBoxRenderer {
public:
    explicit TextBoxRenderer(PreviewScreen& screen) : screen_(screen) {}

    // Both boxes with the format's glyph size: untranslated, then translated. Run after a change
    // of codes shown, width routine, box colour or style, or scroll position. Draws nothing
    // without a ROM or a string. A format without a box width (0) gets the defaults installed
    // and only the lower box is drawn; otherwise the upper box's drawing sets the width to 304.
    void redraw(const PreviewSources& sources, PreviewOptions options, script::FormatSettings& format);

    // What choosing a string draws: the untranslated pass with the format's glyph size and, when
    // the string's script entry was found (its bytes in sources.previewBytes), the translated pass
    // with 16 x 8 glyphs.
    void drawStringSelection(const PreviewSources& sources, PreviewOptions options,
                             script::FormatSettings& format, bool entryFound);

private:
    struct Pass;

    // One box, `rows` x `columns` the glyph size of top-level glyphs (see redraw for what a
    // missing format does).
    void drawPass(const PreviewSources& sources, const PreviewOptions& options, bool translated,
                  script::FormatSettings& format, unsigned rows, unsigned columns);
    // Clears the pass's text layer and the frame map; cursor at the top left, text colour.
    void startPass(TextLayer& layer);
    void untranslatedPass(const PreviewSources& sources, const PreviewOptions& options, unsigned rows,
                          unsigned columns);
    void translatedPass(const PreviewSources& sources, const PreviewOptions& options, unsigned rows,
                        unsigned columns);
    void runSteps(const Pass& pass, std::span<const script::PreviewStep> steps, bool labelMode);
    void runLabel(const Pass& pass, std::span<const uint8_t> stream, uint8_t colourIndex);
    void drawFrame(const PreviewOptions& options, unsigned frameTop, unsigned columns);
    void overlayText(const TextLayer& layer, unsigned frameTop);

    PreviewScreen& screen_;
    // Drawing state of the pass in progress.
    int x_ = 0;
    int y_ = 0;
    uint8_t colourIndex_ = kTextIndex;
};

}  // namespace corv::preview
