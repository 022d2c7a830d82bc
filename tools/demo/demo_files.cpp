#include "tools/demo/demo_files.h"

#include <cstdio>
#include <utility>

#include "core/rom_image.h"
#include "tools/demo/demo_charset.h"

namespace corv::demo {
namespace {

std::string hex(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The code map key of a character code: its low byte (first in the stream) times 256 plus
// its high byte.
unsigned streamKey(uint16_t code) { return static_cast<unsigned>(((code & 0xFF) << 8) | (code >> 8)); }

}  // namespace

std::map<uint8_t, std::string> DemoDictionaryWords() {
    const char* words[] = {"the",   "you",   "and",   "that",   "with",    "have",  "this",
                           "what",  "your",  "there", "here",   "sword",   "magic", "castle",
                           "king",  "water", "right", "come",   "village", "back",  "of the"};
    std::map<uint8_t, std::string> slots;
    uint8_t slot = 0;
    for (const char* word : words) slots.emplace(slot++, word);
    return slots;
}

std::string MakeBlockDataFile(const DemoGame& game) {
    std::string f;
    f += "// CORVANE text block data file\n";
    f += "// Lines that are no directive are comments.\n\n";
    f += ".textbox .color.blue .gradient\n";
    f += ".FORMAT 38 16 8 1 8 0 1 2 3\n";
    f += ".Font 060000\n";
    f += ".VWF ON\n";
    f += ".CONTROLCODES SHOW\n";
    f += ".TextWindow show\n";
    f += ".HexWindow show\n";
    f += ".KanaWindow show\n\n";
    f += "// text blocks, in the order of the text pointer table\n";
    for (int index : game.textBlocks) {
        f += ".BLOCK " + hex("%06X", game.blocks[static_cast<size_t>(index)].address) + "\n";
    }
    f += "\n.TABLE\n";
    f += "// keys are the bytes of a game word in stream order: code 0031 is stored as 31 00\n";
    for (const CharacterEntry& entry : DemoCharacters()) {
        f += hex("%04X", streamKey(entry.code)) + "=" + entry.written + "\n";
    }
    f += "// codes the game leaves without text\n";
    f += ".NULL16 " + hex("$%04X", streamKey(kFirstRangeOnlyCode)) + " to " +
         hex("$%04X", streamKey(static_cast<uint16_t>(kFirstRangeOnlyCode + kRangeOnlyCount - 1))) + "\n";
    f += "// the 8-bit half, read by nothing that decodes game text\n";
    f += "41=A\n42=B\n43=C\n";
    f += ".NULL $80 - $8F\n";
    f += ".ENDTABLE\n\n";
    f += ".COLORTABLE\n";
    f += ".NULL16=$03\n";
    f += ".NULL=4\n";
    f += hex("%04X", streamKey(kFirstKanaCode)) + "=$0C\n";
    f += hex("%04X", streamKey(kSpaceCode)) + "=x0A\n";
    f += "41=12\n";
    f += ".ENDCOLOR\n";
    return f;
}

std::string MakeTableFile(const DemoGame& game) {
    std::string f = "# CORVANE dictionary: code 01nn, then the word\n";
    for (const auto& [slot, word] : game.dictionaryWords) f += hex("01%02X", slot) + "=" + word + "\n";
    f += "# single characters and short runs\n";
    f += "20= \n41=A\n42=B\n8A=ka\n";
    return f;
}

core::SaveResult WriteDemoFiles(const DemoGame& game, const std::filesystem::path& dir) {
    std::vector<uint8_t> headered(kCopierHeaderBytes, 0);
    headered.insert(headered.end(), game.rom.begin(), game.rom.end());
    const auto text = [](const std::string& s) {
        return std::span(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    };
    const std::pair<const char*, std::span<const uint8_t>> files[] = {
        {kRomFileName, game.rom},
        {kHeaderedRomFileName, headered},
        {kBlockDataFileName, text(game.blockDataFile)},
        {kTableFileName, text(game.tableFile)},
    };
    for (const auto& [name, bytes] : files) {
        if (core::SaveResult saved = core::WriteFileSafely(dir / name, bytes); !saved) return saved;
    }
    return {};
}

}  // namespace corv::demo
