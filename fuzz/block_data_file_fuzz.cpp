// The block data file with its code and colour tables, read from a file as the editor reads it.
//
// Input: the data file's bytes.

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "script/block_data_file.h"

using namespace corv;

namespace {

// "[$%02X]" of every code, made once: a range line may make every entry generated.
const std::vector<std::string>& bracketedCodes() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> made;
        for (unsigned code = 0; code < 0x10000; ++code) {
            char text[16];
            std::snprintf(text, sizeof text, "[$%02X]", code);
            made.emplace_back(text);
        }
        return made;
    }();
    return texts;
}

// An entry gives the decoder either no text (length 0: never filled, or made by a range line or
// an empty entry, whose text is then its code in brackets) or exactly its text.
CORV_FUZZ_UNTRACED void checkEntry(const script::CodeEntry& entry, unsigned code) {
    if (entry.length != 0) {
        fuzz::Require(entry.length == entry.text.size(), "an entry's length is its text's length");
        return;
    }
    if (!entry.generated) {
        fuzz::Require(entry.text.empty(), "an entry without length or generated text has no text");
        return;
    }
    // Compared by hand: the C library's comparison costs a sanitizer check per call, 65,536 a run.
    const std::string& expected = bracketedCodes()[code];
    bool same = entry.text.size() == expected.size();
    for (size_t i = 0; same && i < expected.size(); ++i) same = entry.text[i] == expected[i];
    fuzz::Require(same, "a generated entry without length holds its code in brackets");
}

CORV_FUZZ_UNTRACED void checkEveryEntry(const script::CodeMaps& maps) {
    const auto bytes = maps.byteMap();
    const auto words = maps.wordMap();
    for (unsigned code = 0; code < bytes.size(); ++code) checkEntry(bytes[code], code);
    for (unsigned code = 0; code < words.size(); ++code) checkEntry(words[code], code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = fuzz::ScratchFolder() / "fuzz.txt";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    // The maps are not emptied between loads, in the editor as here: whatever earlier inputs
    // left, a load must keep every entry whole.
    static const auto maps = std::make_unique<script::CodeMaps>();
    const std::optional<script::BlockDataLoad> load = script::LoadBlockDataFile(path, *maps);
    fuzz::Require(load.has_value(), "a written data file loads");

    fuzz::Require(load->blocks.size() <= script::kMaxBlocks, "at most 4096 blocks");
    for (const script::BlockEntry& block : load->blocks) {
        char line[32];
        std::snprintf(line, sizeof line, "Block %X", block.address);
        fuzz::Require(block.listLine == line, "each block is listed by its address");
    }
    checkEveryEntry(*maps);
    return 0;
}
