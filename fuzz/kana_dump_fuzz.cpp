// Kana decoding and the kana dump of a block.
//
// Input: a flag byte (bit 0: the block carries its inserted mark; bit 1: a data file follows,
// ended by a zero byte, whose code table replaces the demo's), then the decompressed block. The
// block is as long as the input, so a string ends at the input's end at the latest.

#include <algorithm>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "script/script_text.h"
#include "script/sjis.h"
#include "script/string_decoder.h"
#include "script/text_block.h"

using namespace corv;

namespace {

// Entries read back from the dump are checked for the first strings only: each lookup searches
// the dump from its start.
constexpr unsigned kReadBackStrings = 4;

const script::CodeMaps& demoMaps() {
    static const auto maps = [] {
        auto loaded = std::make_unique<script::CodeMaps>();
        (void)script::ParseBlockDataFile(fuzz::Demo().blockDataFile, *loaded);
        return loaded;
    }();
    return *maps;
}

// Texts that hold ".STRING" or ".ENDS" themselves would be read as entry lines.
CORV_FUZZ_UNTRACED bool looksLikeEntryLines(std::string_view dump, unsigned count) {
    std::string upper(dump);
    std::ranges::transform(upper, upper.begin(), [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    size_t expected = 0;
    for (size_t at = upper.find(".STRING"); at != std::string::npos; at = upper.find(".STRING", at + 1)) ++expected;
    for (size_t at = upper.find(".ENDS"); at != std::string::npos; at = upper.find(".ENDS", at + 1)) ++expected;
    return expected != 2 * size_t{count};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputCursor input({data, size});
    const uint8_t flags = input.u8();
    const bool inserted = (flags & 1) != 0;
    const bool ownDataFile = (flags & 2) != 0;
    static const auto ownMaps = std::make_unique<script::CodeMaps>();
    std::span<const uint8_t> block = input.rest();
    if (ownDataFile) {
        const auto parts = fuzz::SplitParts(block, 2);
        ownMaps->reset();
        (void)script::ParseBlockDataFile(parts[0], *ownMaps);
        block = block.subspan(block.size() - parts[1].size());
    }
    const script::CodeMaps& maps = ownDataFile ? *ownMaps : demoMaps();

    const unsigned count = script::CountStringRecords(block).value_or(0);
    const std::string dump = script::KanaDump(block, count, inserted, maps);
    fuzz::Require(fuzz::IsValidUtf8(script::ShiftJisToUtf8(dump)), "the dump shows as valid UTF-8");

    // Through the demo's code table no text looks like an entry line, so the dump reads back as
    // a script whose entries hold the decoded lines.
    if (ownDataFile || inserted || looksLikeEntryLines(dump, count)) return 0;
    script::MemoryScriptText script(dump);
    for (unsigned i = 0; i < std::min(count, kReadBackStrings); ++i) {
        const auto entry = script::LookupEntry(script, static_cast<int>(i));
        fuzz::Require(entry.has_value(), "every string has its entry in the dump");
        const script::ResolvedString resolved = script::ResolveString(block, i, false);
        const std::vector<std::string> expected =
            resolved.kind == script::ResolvedKind::GameString
                ? script::KanaTextLines(script::DecodeGameStringToText(resolved.string, maps))
                : std::vector<std::string>{script::kNonTextMessage};
        fuzz::Require(*entry == expected, "an entry of the dump reads back as the string's lines");
    }
    return 0;
}
