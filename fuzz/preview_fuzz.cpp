// The text box preview of one string, drawn from an arbitrary data file, script and block with
// the demo ROM's font.
//
// Input: the string index, a byte of scroll offsets (low nibble kana, high nibble ASCII, in
// lines of 16 rows), then the data file, a zero byte, the script, a zero byte and the
// decompressed block. The block is as long as the input, so the string walk ends at the input's
// end at the latest, as it ends at the block's end in the editor.

#include <algorithm>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "preview/preview_screen.h"
#include "preview/string_preview.h"
#include "script/block_data_file.h"
#include "script/script_text.h"

using namespace corv;

namespace {

const std::vector<uint8_t>& demoFont() {
    static const std::vector<uint8_t> font = preview::LoadGameFont(fuzz::Demo().rom);
    return font;
}

bool samePicture(const preview::PreviewScreen& a, const preview::PreviewScreen& b) {
    const auto bytes = [](std::span<const preview::Pixel> pixels) {
        return std::span(reinterpret_cast<const uint8_t*>(pixels.data()), pixels.size_bytes());
    };
    return fuzz::SameBytes(bytes(a.bitmap()), bytes(b.bitmap()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const unsigned stringIndex = input.u8();
    const uint8_t scroll = input.u8();
    const auto parts = fuzz::SplitParts(input.rest(), 3);

    // The renderer reads no code table: entries may pile up across inputs.
    static const auto maps = std::make_unique<script::CodeMaps>();
    const script::BlockDataLoad load = script::ParseBlockDataFile(parts[0], *maps);
    script::DataFileSettings settings;
    script::ApplySettings(settings, load.operations);
    const preview::PreviewOptions options = preview::PreviewOptionsOf(settings);

    script::MemoryScriptText script(parts[1]);
    const std::optional<std::vector<uint8_t>> preview = preview::EncodeEntryPreview(script, stringIndex, script::CharacterMap{});
    const auto block = std::span(reinterpret_cast<const uint8_t*>(parts[2].data()), parts[2].size());

    preview::StringPreviewInput request;
    request.romData = fuzz::Demo().rom;
    request.gameFont = demoFont();
    request.block = block;
    request.stringIndex = stringIndex;
    if (preview) request.previewBytes = std::span<const uint8_t>(*preview);
    request.kanaScroll = 16 * (scroll & 0x0F);
    request.asciiScroll = 16 * (scroll >> 4);

    // What an earlier string drew must not show through: the screen that drew the previous input
    // gives the same picture as a new one. Without a block nothing is drawn, and without a script
    // entry the lower box is left as it was, so only the other strings redraw the whole picture.
    static preview::PreviewScreen used;
    preview::RenderStringPreview(used, request, options, load.format);
    if (!preview || block.empty()) return 0;
    // A copy of a never used screen is a new one, made without filling its layers again.
    static const preview::PreviewScreen blank;
    static preview::PreviewScreen fresh;
    fresh = blank;
    preview::RenderStringPreview(fresh, request, options, load.format);
    fuzz::Require(samePicture(used, fresh), "a string draws the same on a used screen as on a new one");
    return 0;
}
