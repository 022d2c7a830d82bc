#include "preview/text_box_renderer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "core/byte_order.h"
#include "preview/frame_tiles.h"
#include "preview/glyph.h"

namespace corv::preview {
namespace {

using script::PreviewStep;
using script::StepKind;

constexpr unsigned kLabelRows = kSelectionGlyphRows;
constexpr unsigned kLabelColumns = kSelectionGlyphColumns;
constexpr unsigned kLineHeight = 16;  // a wrapped line, and a line break inside a label
constexpr unsigned kBoxPixelRows = kFrameTileRows * 8;

std::span<const uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Copies the non-zero pixels of `source` onto `target`, four at a time: a 16-bit lane of a
// 64-bit word is non-zero exactly when adding 0x7FFF to its low 15 bits, or its own top bit,
// sets bit 15.
void OverlayRow(std::span<const Pixel> source, std::span<Pixel> target) {
    constexpr uint64_t kLow15 = 0x7FFF7FFF7FFF7FFFull;
    constexpr uint64_t kTop = 0x8000800080008000ull;
    size_t x = 0;
    for (; x + 4 <= source.size(); x += 4) {
        uint64_t s;
        uint64_t t;
        std::memcpy(&s, &source[x], sizeof s);
        std::memcpy(&t, &target[x], sizeof t);
        const uint64_t nonZero = (((s & kLow15) + kLow15) | s) & kTop;
        const uint64_t mask = (nonZero >> 15) * 0xFFFF;
        t = (t & ~mask) | s;
        std::memcpy(&target[x], &t, sizeof t);
    }
    for (; x < source.size(); ++x) {
        if (source[x] != 0) {
            target[x] = source[x];
        }
    }
}

int NextLine(int y, unsigned height) { return static_cast<int>((static_cast<unsigned>(y) + height) % kLayerRows); }

}  // namespace

void InstallDefaultFormat(script::FormatSettings& format) {
    format.boxWidth = 144;
    // Glyph height 16, glyph width 16, then fields 4 to 9.
    format.bytes = {16, 16, 1, 16, 0, 1, 2, 3};
}

PreviewOptions PreviewOptionsOf(const script::DataFileSettings& settings) {
    return {settings.colour, settings.style, settings.hideCodes, settings.variableWidth};
}

Pixel BoxColour(const PreviewOptions& options, unsigned row) {
    const unsigned shift = options.colour == script::TextBoxColour::Red     ? 11
                           : options.colour == script::TextBoxColour::Green ? 5
                                                                            : 0;
    if (options.style == script::TextBoxStyle::Solid) {
        return static_cast<Pixel>(31u << shift);
    }
    const unsigned steps = row / kGradientRowsPerStep;
    const unsigned intensity = steps >= 31 ? 0 : 31 - steps;
    return static_cast<Pixel>(intensity << shift);
}

// How the pass in progress draws its glyphs.
struct TextBoxRenderer::Pass {
    TextLayer& layer;
    std::span<const uint8_t> romData;
    std::span<const uint8_t> gameFont;
    bool translated;  // 8-bit centred glyphs from the built-in font, not game characters
    int wrapColumn;   // a line wraps once x reaches this
    unsigned rows;    // top-level glyph size
    unsigned columns;
    bool hideCodes;
    bool useVwf;
    const script::CharacterMap* characters;  // translated pass: what each byte shows
};

void TextBoxRenderer::drawPass(const PreviewSources& sources, const PreviewOptions& options, bool translated,
                               script::FormatSettings& format, unsigned rows, unsigned columns) {
    if (sources.romData.empty() || !sources.romText) {
        return;
    }
    if (format.boxWidth == 0) {
        InstallDefaultFormat(format);
        return;
    }
    if (translated) {
        translatedPass(sources, options, rows, columns);
    } else {
        format.boxWidth = kKanaBoxWidth;
        untranslatedPass(sources, options, rows, columns);
    }
}

void TextBoxRenderer::redraw(const PreviewSources& sources, PreviewOptions options, script::FormatSettings& format) {
    drawPass(sources, options, false, format, format.glyphHeight(), format.glyphWidth());
    drawPass(sources, options, true, format, format.glyphHeight(), format.glyphWidth());
}

void TextBoxRenderer::drawStringSelection(const PreviewSources& sources, PreviewOptions options,
                                          script::FormatSettings& format, bool entryFound) {
    drawPass(sources, options, false, format, format.glyphHeight(), format.glyphWidth());
    if (entryFound) {
        drawPass(sources, options, true, format, kLabelRows, kLabelColumns);
    }
}

void TextBoxRenderer::startPass(TextLayer& layer) {
    layer.clear();
    screen_.frameMap().clear();
    colourIndex_ = kTextIndex;
    x_ = 0;
    y_ = 0;
}

void TextBoxRenderer::untranslatedPass(const PreviewSources& sources, const PreviewOptions& options, unsigned rows,
                                       unsigned columns) {
    TextLayer& layer = screen_.kanaLayer();
    startPass(layer);

    screen_.clearFrameLayer();
    const script::ResolvedString& resolved = *sources.romText;
    const Pass pass{layer, sources.romData, sources.gameFont, false, static_cast<int>(kKanaBoxWidth) - 16,
                    rows, columns, options.hideCodes, options.variableWidth, nullptr};
    if (resolved.messageFlag()) {
        runLabel(pass, Bytes(script::MessageStream(resolved.message())), kTextIndex);
    } else {
        const auto steps = script::DecodeGameStringForPreview(resolved.string, options.hideCodes);
        runSteps(pass, steps, false);
    }
    drawFrame(options, kKanaFrameTop, kKanaFrameColumns);
    overlayText(layer, kKanaFrameTop);
}

void TextBoxRenderer::translatedPass(const PreviewSources& sources, const PreviewOptions& options, unsigned rows,
                                     unsigned columns) {
    TextLayer& layer = screen_.asciiLayer();
    startPass(layer);

    // The frame layer keeps the upper box that the untranslated pass laid out.
    const Pass pass{layer, sources.romData, sources.gameFont, true, kAsciiWrapColumn,
                    rows, columns, options.hideCodes, options.variableWidth, sources.characters};
    const auto steps = script::DecodeByteStreamForPreview(sources.previewBytes, options.hideCodes);
    runSteps(pass, steps, false);
    drawFrame(options, kAsciiFrameTop, kAsciiFrameColumns);
    overlayText(layer, kAsciiFrameTop);
}

void TextBoxRenderer::runSteps(const Pass& pass, std::span<const PreviewStep> steps, bool labelMode) {
    const Pixel colour = Palette()[colourIndex_];
    for (const PreviewStep& step : steps) {
        switch (step.kind) {
        case StepKind::Glyph: {
            GlyphCell cell;
            unsigned rows = pass.rows;
            unsigned columns = pass.columns;
            if (labelMode) {
                cell = TranslationCell(static_cast<uint8_t>(step.code));
                rows = kLabelRows;
                columns = kLabelColumns;
            } else if (pass.translated) {
                const auto byte = static_cast<uint8_t>(step.code);
                cell = CentreCell(pass.characters != nullptr ? ShownCell(byte, *pass.characters) : TranslationCell(byte),
                                  columns);
            } else {
                cell = GameFontCell(pass.romData, pass.gameFont, step.code);
            }
            const unsigned measured = DrawCell(pass.layer, cell, x_, y_, rows, columns, colour);
            x_ = AdvanceAfter(x_, measured, pass.useVwf || labelMode);
            if (x_ >= pass.wrapColumn) {
                x_ = 0;
                y_ = NextLine(y_, kLineHeight);
            }
            break;
        }
        case StepKind::Label:
            runLabel(pass, Bytes(step.label), step.playerColour ? kPlayerIndex : kLabelIndex);
            break;
        case StepKind::LineBreak:
            x_ = 0;
            y_ = NextLine(y_, labelMode ? kLineHeight : pass.rows);
            break;
        case StepKind::End:
            return;
        }
    }
}

void TextBoxRenderer::runLabel(const Pass& pass, std::span<const uint8_t> stream, uint8_t colourIndex) {
    const uint8_t saved = colourIndex_;
    colourIndex_ = colourIndex;
    const auto steps = script::DecodeByteStreamForPreview(stream, pass.hideCodes);
    runSteps(pass, steps, true);
    colourIndex_ = saved;
}

void TextBoxRenderer::drawFrame(const PreviewOptions& options, unsigned frameTop, unsigned columns) {
    FrameMap& map = screen_.frameMap();
    map.rows = kFrameTileRows;
    map.columns = columns;
    for (unsigned r = 0; r < kFrameTileRows; ++r) {
        const bool top = r == 0;
        const bool bottom = r == kFrameTileRows - 1;
        const uint8_t left = top ? kTileTopLeft : bottom ? kTileBottomLeft : kTileLeft;
        const uint8_t middle = top ? kTileTop : bottom ? kTileBottom : kTileInterior;
        const uint8_t right = top ? kTileTopRight : bottom ? kTileBottomRight : kTileRight;
        map.at(r, 0) = left;
        for (unsigned c = 1; c + 1 < columns; ++c) {
            map.at(r, c) = middle;
        }
        map.at(r, columns - 1) = right;
    }

    // Tiles are copied with their interior key pixels already in the box colour of their pixel
    // row: the same picture as laying the tiles out and then replacing the key colour over the
    // box area, in one walk. Each pixel row of the nine tiles is coloured once per box row.
    const auto& tiles = FrameTiles();
    for (unsigned r = 0; r < map.rows; ++r) {
        for (unsigned ty = 0; ty < kTileSize; ++ty) {
            const unsigned boxRow = 8 * r + ty;
            const Pixel fill = BoxColour(options, boxRow);
            std::array<std::array<Pixel, kTileSize>, kFrameTileCount> coloured;
            for (unsigned id = 0; id < kFrameTileCount; ++id) {
                for (unsigned tx = 0; tx < kTileSize; ++tx) {
                    const Pixel pixel = tiles[id][ty * kTileSize + tx];
                    coloured[id][tx] = pixel == kInteriorKey ? fill : pixel;
                }
            }
            const auto line = screen_.frameRow(frameTop + boxRow).subspan(kFrameLeft);
            for (unsigned c = 0; c < map.columns; ++c) {
                const unsigned id = map.at(r, c) % 16u;
                if (id < kFrameTileCount) {  // only the nine frame tiles exist
                    std::copy(coloured[id].begin(), coloured[id].end(), line.begin() + 8 * c);
                }
            }
        }
    }

    for (unsigned row = frameTop; row < frameTop + kBoxPixelRows; ++row) {
        const auto source = std::as_const(screen_).frameRow(row);
        std::copy(source.begin(), source.end(), screen_.bitmapRow(row).begin());
    }
}

void TextBoxRenderer::overlayText(const TextLayer& layer, unsigned frameTop) {
    for (unsigned i = 0; i < kTextWindowRows; ++i) {
        const unsigned layerRow = layer.scrollOffset() + i;
        if (!layer.rowWritten(layerRow)) {
            continue;  // an untouched row is all 0: nothing shows through
        }
        const auto source = layer.row(layerRow).first(layer.rowLength());
        auto target = screen_.bitmapRow(frameTop + 8 + i).subspan(kTextWindowLeft, layer.rowLength());
        OverlayRow(source, target);
    }
}

}  // namespace corv::preview
