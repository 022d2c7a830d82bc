// The table file and the dictionary area it fills.
//
// Input: the table file's bytes.

#include <algorithm>
#include <fstream>
#include <utility>

#include "core/rom_image.h"
#include "fuzz/fuzz_support.h"
#include "insert/dictionary_area.h"
#include "script/table_file.h"

using namespace corv;

namespace {

// As in the demo game: the area may use the ROM up to 0x136000, so long words do not fit.
constexpr size_t kRomSize = 0x136000;
constexpr uint8_t kFill = 0x5A;

bool sameMaps(const script::TableFile& a, const script::TableFile& b) {
    return a.singleCharacters() == b.singleCharacters() && a.multiCharacters() == b.multiCharacters() &&
           a.dictionary() == b.dictionary();
}

// The bytes the game finds for slot k through its pointer.
void checkSlot(std::span<const uint8_t> rom, const script::TableFile& table, unsigned slot) {
    const uint32_t pointer = rom[insert::kDictionaryPointerOffset + 2 * slot] |
                             uint32_t{rom[insert::kDictionaryPointerOffset + 2 * slot + 1]} << 8;
    const uint32_t at = (insert::kDictionaryBankEnd - 0x10000) + pointer;
    const std::optional<std::string>& word = table.dictionaryWord(slot);
    // A word is written with the letters of the table's character map.
    std::string expected = !word ? std::string(7, ' ') : *word;
    if (word) {
        for (char& c : expected) c = static_cast<char>(table.characterMap().byteOf(c));
    }
    fuzz::Require(at + expected.size() < rom.size(), "a word lies inside the ROM");
    fuzz::Require(std::equal(expected.begin(), expected.end(), rom.begin() + at,
                             [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; }) &&
                      rom[at + expected.size()] == 0xFF,
                  "each pointer leads to its slot's word and an end byte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = fuzz::AsText({data, size});
    const auto path = fuzz::ScratchFolder() / "fuzz.tbl";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
    }

    // A load leaves nothing of the table before it, and reading the file adds nothing to the text.
    script::TableFile table;
    table.parse(fuzz::Demo().tableFile);
    fuzz::Require(table.load(path) == script::TableLoadResult::Loaded, "a written table file loads");
    script::TableFile parsed;
    parsed.parse(text);
    fuzz::Require(sameMaps(table, parsed), "loading the file gives the maps of its text");
    for (const auto* map : {&table.singleCharacters(), &table.multiCharacters()}) {
        for (unsigned slot = 0; slot < 256; ++slot) {
            const auto& entry = (*map)[slot];
            if (!entry) continue;
            fuzz::Require((map == &table.singleCharacters()) == (entry->size() < 2),
                          "texts under two characters are single characters");
        }
    }

    static const std::vector<uint8_t> pristine(kRomSize, kFill);
    static core::RomImage rom(pristine, "fuzz.smc");
    const insert::DictionaryAreaResult result = insert::InsertDictionaryArea(rom, table);
    const auto romData = std::as_const(rom).data();
    if (result != insert::DictionaryAreaResult::Written) {
        fuzz::Require(std::equal(romData.begin(), romData.end(), pristine.begin()), "a refusal leaves the ROM untouched");
        fuzz::Require(!rom.modified(), "a refusal leaves the modified flag");
        return 0;
    }
    fuzz::Require(rom.modified(), "a written area sets the modified flag");
    for (unsigned slot = 0; slot < insert::kDictionarySlotCount; ++slot) checkSlot(romData, table, slot);
    std::fill(rom.data().begin() + insert::kDictionaryPointerOffset, rom.data().end(), kFill);
    rom.setModified(false);
    return 0;
}
