#include "preview/string_preview.h"

#include <memory>

#include "core/block_decoder.h"
#include "preview/text_box_renderer.h"
#include "script/preview_encoder.h"
#include "script/script_file.h"
#include "script/string_decoder.h"

namespace corv::preview {
namespace {

constexpr uint32_t kGameFontAddress = 0x060000;

}  // namespace

std::vector<uint8_t> LoadGameFont(std::span<const uint8_t> romData) {
    auto buffer = std::make_unique<core::BlockBuffer>();
    if (core::DecompressBlock(romData, kGameFontAddress, *buffer) == core::kBadBlockHeader) {
        return {};
    }
    const uint16_t length = core::DecompressedLength(*buffer);
    return std::vector<uint8_t>(buffer->begin(), buffer->begin() + length);
}

std::optional<std::vector<uint8_t>> EncodeEntryPreview(script::ScriptText& script, unsigned stringIndex,
                                                       const script::CharacterMap& characters) {
    const auto match = script::FindInScript(script, script::EntrySearchText(static_cast<int>(stringIndex)), true);
    if (!match) {
        return std::nullopt;
    }
    const script::EntryCopy entry = script::CopyEntry(script, *match);
    std::vector<uint8_t> bytes(script::kPreviewBufferSize, 0);
    const size_t length = script::EncodePreview(entry.lines, bytes, characters);
    bytes.resize(length + 1);  // the stream and the 0 byte after it
    return bytes;
}

void RenderStringPreview(PreviewScreen& screen, const StringPreviewInput& input, PreviewOptions options,
                         script::FormatSettings format) {
    if (format.boxWidth == 0) {
        InstallDefaultFormat(format);
    }
    PreviewSources sources;
    sources.romData = input.romData;
    sources.gameFont = input.gameFont;
    if (!input.block.empty()) {
        sources.romText = script::ResolveString(input.block, input.stringIndex,
                                                script::BlockIsInserted(input.romData, input.blockIndex));
    }
    sources.previewBytes = input.previewBytes.value_or(std::span<const uint8_t>{});
    sources.characters = input.characters;

    TextBoxRenderer renderer(screen);
    screen.kanaLayer().setScrollOffset(0);
    screen.asciiLayer().setScrollOffset(0);
    renderer.drawStringSelection(sources, options, format, input.previewBytes.has_value());
    if (input.kanaScroll != 0 || input.asciiScroll != 0) {
        screen.kanaLayer().setScrollOffset(input.kanaScroll);
        screen.asciiLayer().setScrollOffset(input.asciiScroll);
        if (!input.previewBytes) {
            // The scroll keys redraw both boxes; without an entry the lower one shows no text.
            sources.previewBytes = {};
        }
        renderer.redraw(sources, options, format);
    }
}

}  // namespace corv::preview
