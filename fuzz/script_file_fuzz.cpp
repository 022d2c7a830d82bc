// Script files: saving and loading, the entry lookup, the script encoder with its dictionary
// step, and the preview encoding of an entry.
//
// Input: a table file, a zero byte, then the script text.

#include <memory>

#include "fuzz/fuzz_support.h"
#include "script/preview_encoder.h"
#include "script/script_encoder.h"
#include "script/script_file.h"
#include "script/script_text.h"
#include "script/table_file.h"

using namespace corv;

namespace {

// The strings looked up per input: entries of higher numbers behave the same way.
constexpr int kStringsTried = 4;

void checkPreview(script::ScriptText& script, int line, std::span<uint8_t> buffer) {
    const script::EntryCopy entry = script::CopyEntry(script, line);
    const size_t length = script::EncodePreview(entry.lines, buffer, script::CharacterMap{});
    fuzz::Require(length >= 2 && length <= 0x10000, "a preview stream ends inside its 64 KiB");
    fuzz::Require(buffer[length - 2] == 0xFF && buffer[length - 1] == 0xFF && buffer[length] == 0,
                  "a preview stream ends with FF FF and a zero byte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto parts = fuzz::SplitParts({data, size}, 2);
    script::TableFile table;
    table.parse(parts[0]);
    const std::string_view text = parts[1];

    const auto path = fuzz::ScratchFolder() / "00000000.txt";
    fuzz::Require(script::SaveScriptFile(path, text).ok(), "a script saves");
    const std::optional<std::string> loaded = script::LoadScriptFile(path);
    fuzz::Require(loaded.has_value() && *loaded == text, "a saved script reads back to the same bytes");

    static const auto output = std::make_unique<std::array<uint8_t, script::kPreviewByteBufferSize>>();
    script::MemoryScriptText script(text);
    for (int n = 0; n < kStringsTried; ++n) {
        const bool hasEntry = script::LookupEntry(script, n).has_value();
        const script::EncodeResult encoded = script::EncodeScriptString(n, script, table, *output, nullptr);
        fuzz::Require((encoded.status == script::EncodeStatus::EntryMissing) == !hasEntry,
                      "only a missing entry is reported missing");
        if (encoded.status == script::EncodeStatus::Encoded) {
            fuzz::Require(encoded.length >= 1 && (*output)[encoded.length - 1] == 0xFF, "a string ends with FF");
        }
        script.setCaret(0);
        if (const auto line = script::FindInScript(script, script::EntrySearchText(n), true)) {
            checkPreview(script, *line, *output);
        }
    }
    return 0;
}
