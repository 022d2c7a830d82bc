// Assembles the demo ROM: builds every block, compresses it with the game-style encoder,
// places it, and writes the pointer tables, the character tile table and the header.

#include "tools/demo/demo_game.h"

#include <algorithm>
#include <stdexcept>

#include "core/byte_order.h"
#include "tools/demo/demo_charset.h"
#include "tools/demo/demo_files.h"
#include "tools/demo/demo_font.h"
#include "tools/demo/demo_random.h"
#include "tools/demo/demo_text.h"
#include "tools/demo/game_encoder.h"

namespace corv::demo {
namespace {

constexpr uint64_t kSeed = 0x434F5256414E45;  // "CORVANE"
constexpr uint32_t kBlockGap = 0x40;           // free bytes left after every block at least
constexpr uint32_t kHiRomBank = 0xC00000;      // the fast mirror the game's pointers use
constexpr uint32_t kSlowBank = 0x400000;
constexpr uint8_t kIgnoredEntryByte = 0x7F;    // the fourth byte of a pointer entry carries nothing

// Keeps track of what lies where, so that no block overlaps another one or a fixed area.
class RomLayout {
public:
    explicit RomLayout(std::vector<uint8_t>& rom) : rom_(rom) {}

    void reserve(uint32_t start, uint32_t end) {
        for (const auto& [s, e] : used_) {
            if (start < e && s < end) throw std::logic_error("demo ROM layout overlaps itself");
        }
        if (end > rom_.size()) throw std::logic_error("demo ROM layout runs past the ROM");
        used_.emplace_back(start, end);
    }

    // Writes an encoded block at `offset`; returns the offset after its stream.
    uint32_t put(uint32_t offset, const std::vector<uint8_t>& bytes) {
        const uint32_t end = offset + static_cast<uint32_t>(bytes.size());
        reserve(offset, end + kBlockGap);
        std::copy(bytes.begin(), bytes.end(), rom_.begin() + offset);
        return end;
    }

private:
    std::vector<uint8_t>& rom_;
    std::vector<std::pair<uint32_t, uint32_t>> used_;
};

uint32_t alignUp(uint32_t value, uint32_t to) { return (value + to - 1) / to * to; }

// --- the non-text blocks ---------------------------------------------------------------------

std::vector<uint8_t> fontBlockData(const DemoFont& font) { return font.tiles; }

// Tiles with simple geometric patterns (icons of the game's menus).
std::vector<uint8_t> iconTiles(DemoRandom& random) {
    std::vector<uint8_t> tiles;
    for (int t = 0; t < 48; ++t) {
        const int pattern = t % 6;
        for (int r = 0; r < 8; ++r) {
            uint8_t plane0 = 0;
            uint8_t plane1 = 0;
            switch (pattern) {
            case 0: plane0 = static_cast<uint8_t>(0x80 >> r); plane1 = static_cast<uint8_t>(0x01 << r); break;
            case 1: plane0 = (r % 2) ? 0xAA : 0x55; plane1 = plane0; break;
            case 2: plane0 = (r == 0 || r == 7) ? 0xFF : 0x81; break;
            case 3: plane1 = static_cast<uint8_t>(0xFF << (r % 8)); break;
            case 4: plane0 = 0x3C; plane1 = (r > 1 && r < 6) ? 0x7E : 0x18; break;
            default: plane0 = static_cast<uint8_t>(random.between(0, 255)); plane1 = plane0 & 0xF0; break;
            }
            tiles.push_back(plane0);
            tiles.push_back(plane1);
        }
    }
    return tiles;
}

// A window frame: corners, edges and a filled centre, repeated for four palettes.
std::vector<uint8_t> frameTiles() {
    std::vector<uint8_t> tiles;
    for (int set = 0; set < 4; ++set) {
        for (int t = 0; t < 9; ++t) {
            for (int r = 0; r < 8; ++r) {
                const bool top = t < 3 && r == 0;
                const bool bottom = t >= 6 && r == 7;
                uint8_t row = (top || bottom) ? 0xFF : 0x00;
                if (t % 3 == 0) row |= 0x80;
                if (t % 3 == 2) row |= 0x01;
                tiles.push_back(static_cast<uint8_t>(set & 1 ? row : 0));
                tiles.push_back(static_cast<uint8_t>(set & 2 ? row : ~row));
            }
        }
    }
    return tiles;
}

// Monster statistics: 64 entries of 16 bytes (hit points, attack, defence, ... as words).
std::vector<uint8_t> monsterTable(DemoRandom& random) {
    std::vector<uint8_t> data(64 * 16, 0);
    for (size_t m = 0; m < 64; ++m) {
        const uint16_t level = static_cast<uint16_t>(1 + m / 2);
        const uint16_t fields[8] = {static_cast<uint16_t>(level * 12 + random.between(0, 9)),
                                    static_cast<uint16_t>(level * 3),
                                    static_cast<uint16_t>(level * 2 + random.between(0, 3)),
                                    static_cast<uint16_t>(random.between(0, 3)),
                                    static_cast<uint16_t>(level * 5),
                                    static_cast<uint16_t>(level * 7),
                                    0,
                                    static_cast<uint16_t>(m % 8)};
        for (size_t f = 0; f < 8; ++f) core::writeLe16(data, m * 16 + f * 2, fields[f]);
    }
    return data;
}

// Item names (six character codes each) with prices.
std::vector<uint8_t> itemTable(DemoRandom& random) {
    std::vector<uint8_t> data;
    for (int item = 0; item < 80; ++item) {
        for (int c = 0; c < 6; ++c) {
            const uint16_t code = c < 4 ? static_cast<uint16_t>(kFirstKanaCode + random.between(0, kKanaCount - 1))
                                        : kSpaceCode;
            data.push_back(static_cast<uint8_t>(code & 0xFF));
            data.push_back(static_cast<uint8_t>(code >> 8));
        }
        const uint16_t price = static_cast<uint16_t>(10 * random.between(1, 500));
        data.push_back(static_cast<uint8_t>(price & 0xFF));
        data.push_back(static_cast<uint8_t>(price >> 8));
        data.push_back(static_cast<uint8_t>(item % 5));
        data.push_back(0);
    }
    return data;
}

// A 64 x 32 tile map of 16-bit entries: long runs of ground with scattered features.
std::vector<uint8_t> mapData(DemoRandom& random) {
    std::vector<uint8_t> data;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            uint16_t tile = (y < 4) ? 0x0010 : 0x0021;
            if (random.chance(5)) tile = static_cast<uint16_t>(0x0040 + random.between(0, 15));
            if (x == 0 || x == 63) tile = 0x0008;
            data.push_back(static_cast<uint8_t>(tile & 0xFF));
            data.push_back(static_cast<uint8_t>(tile >> 8));
        }
    }
    return data;
}

// --- assembly -----------------------------------------------------------------------------

struct Builder {
    DemoGame game;
    RomLayout layout{game.rom};

    Builder() { game.rom.assign(kRomSize, 0); }

    // Encodes `block.data`, writes it at `offset` and records it; returns its index.
    int place(DemoBlock block, uint32_t offset, uint32_t bank, const GameEncoderOptions& options) {
        const GameEncodedBlock encoded = EncodeGameBlock(block.data, options);
        return placeEncoded(std::move(block), offset, bank, encoded);
    }

    int placeEncoded(DemoBlock block, uint32_t offset, uint32_t bank, const GameEncodedBlock& encoded) {
        block.romOffset = offset;
        block.address = offset | bank;
        block.end = layout.put(offset, encoded.bytes);
        block.dictionary = encoded.dictionary;
        block.groups = encoded.groups;
        block.paddingGroups = encoded.paddingGroups;
        game.blocks.push_back(std::move(block));
        return static_cast<int>(game.blocks.size() - 1);
    }

    int placeData(BlockKind kind, std::string name, std::vector<uint8_t> data, uint32_t offset, uint32_t bank,
                  uint32_t dictionaryWords) {
        DemoBlock block;
        block.kind = kind;
        block.name = std::move(name);
        block.data = std::move(data);
        GameEncoderOptions options;
        options.dictionaryWords = dictionaryWords;
        return place(std::move(block), offset, bank, options);
    }

    void writeTable(DemoPointerTable& table, uint32_t offset, uint32_t entries,
                    const std::vector<std::pair<uint32_t, DemoTableEntry>>& filled) {
        table.offset = offset;
        table.entries.assign(entries, DemoTableEntry{});
        for (const auto& [index, entry] : filled) table.entries[index] = entry;
        layout.reserve(offset, offset + 4 * entries);
        for (uint32_t i = 0; i < entries; ++i) {
            const uint32_t address = table.entries[i].address;
            const size_t at = offset + 4 * size_t{i};
            core::writeLe16(game.rom, at, static_cast<uint16_t>(address & 0xFFFF));
            game.rom[at + 2] = static_cast<uint8_t>(address >> 16);
            game.rom[at + 3] = address != 0 ? kIgnoredEntryByte : 0;
        }
    }

    DemoTableEntry entryFor(int block) const {
        return {game.blocks[static_cast<size_t>(block)].address, block};
    }
};

// Text blocks get a stream at least 1.25 times what their bytes would take as plain literal
// groups (9 bytes per 8), so that the editor's compressor, which knows no dictionary, has room
// to put a re-laid-out block back; the output area limits this for the largest block.
GameEncoderOptions textOptions(size_t length) {
    GameEncoderOptions options;
    options.dictionaryWords = 24;
    options.minimumStreamBytes = static_cast<uint32_t>(length * 45 / 32 + 64);
    return options;
}

void writeHeader(std::vector<uint8_t>& rom) {
    const char title[] = "CORVANE              ";  // 21 bytes, blank-padded
    std::copy(title, title + 21, rom.begin() + 0xFFC0);
    rom[0xFFD5] = 0x31;  // HiROM, fast
    rom[0xFFD6] = 0x00;  // ROM only
    rom[0xFFD7] = rom.size() > kRomSize ? 0x0C : 0x0B;  // 2 or 4 MiB
    rom[0xFFD8] = 0x00;  // no save RAM
    rom[0xFFD9] = 0x00;
    rom[0xFFDA] = 0x33;
    rom[0xFFDB] = 0x00;
    core::writeLe16(rom, 0xFFFC, 0x8000);  // reset vector
    // Checksum over the whole image with the complement/checksum pair counted as FFFF 0000.
    core::writeLe16(rom, 0xFFDC, 0xFFFF);
    core::writeLe16(rom, 0xFFDE, 0x0000);
    uint32_t sum = 0;
    for (uint8_t b : rom) sum += b;
    core::writeLe16(rom, 0xFFDC, static_cast<uint16_t>(~sum & 0xFFFF));
    core::writeLe16(rom, 0xFFDE, static_cast<uint16_t>(sum & 0xFFFF));
}

// The text blocks of a larger demo behind the demo's own, from `offset` on: past 2 MiB the ROM
// grows to 4 MiB, whose last kLargeMarkBytes bytes stay clear for the inserted marks.
void placeExtraTextBlocks(Builder& b, unsigned count, uint32_t offset, DemoRandom& random) {
    const uint32_t sizes[] = {24, 48, 20, 36, 30};
    uint32_t limit = kRomSize - kFilledTailBytes;
    for (unsigned i = 0; i < count; ++i) {
        DemoBlock block = BuildTextBlock({"extra-" + std::to_string(i + 1), sizes[i % std::size(sizes)], 0, false}, random);
        for (DemoRecord& record : block.records) {
            if (record.type == kTextRecordType) record.text = DecodeDemoString(record.words, b.game.characters);
        }
        const GameEncodedBlock encoded = EncodeGameBlock(block.data, textOptions(block.data.size()));
        if (offset + encoded.bytes.size() + kBlockGap > limit) {
            if (limit > kRomSize) throw std::logic_error("demo ROM too small for its text blocks");
            b.game.rom.resize(kLargeRomSize, 0);
            b.layout.reserve(kLargeRomSize - kLargeMarkBytes, kLargeRomSize);
            limit = kLargeRomSize - kLargeMarkBytes;
            offset = kRomSize;
        }
        const int index = b.placeEncoded(std::move(block), offset, kHiRomBank, encoded);
        b.game.textBlocks.push_back(index);
        offset = alignUp(b.game.blocks[static_cast<size_t>(index)].end + kBlockGap + 0x100, 0x100);
    }
}

}  // namespace

DemoGame BuildDemoGame() { return BuildDemoGame(kDemoTextBlocks); }

DemoGame BuildDemoGame(unsigned textBlockCount) {
    if (textBlockCount < kDemoTextBlocks || textBlockCount > kMaxDemoTextBlocks) {
        throw std::invalid_argument("demo text block count out of range");
    }
    Builder b;
    DemoGame& game = b.game;
    DemoRandom random(kSeed);

    for (const CharacterEntry& entry : DemoCharacters()) game.characters.emplace(entry.code, entry.sjis);
    for (uint16_t i = 0; i < kRangeOnlyCount; ++i) game.rangeOnlyCodes.push_back(static_cast<uint16_t>(kFirstRangeOnlyCode + i));
    game.unmappedCodes = game.rangeOnlyCodes;
    for (uint16_t i = 0; i < kUnmappedCount; ++i) game.unmappedCodes.push_back(static_cast<uint16_t>(kFirstUnmappedCode + i));

    // Fixed areas.
    b.layout.reserve(kCharacterTileTableOffset, kCharacterTileTableOffset + 4 * kCharacterTileTableCodes);
    b.layout.reserve(0xFFB0, 0x10000);
    b.layout.reserve(kDictionaryAreaStart, kDictionaryAreaEnd);
    b.layout.reserve(kRomSize - kFilledTailBytes, kRomSize);

    // The font and its character tile table.
    const DemoFont font = BuildDemoFont();
    for (uint32_t c = 0; c < kCharacterTileTableCodes; ++c) {
        core::writeLe16(game.rom, kCharacterTileTableOffset + 4 * c, font.tileOfCode[c][0]);
        core::writeLe16(game.rom, kCharacterTileTableOffset + 4 * c + 2, font.tileOfCode[c][1]);
    }
    game.fontBlock = b.placeData(BlockKind::Font, "font", fontBlockData(font), kFontAddress, kHiRomBank, 16);
    const int icons = b.placeData(BlockKind::Graphics, "icons", iconTiles(random), 0x040000, kSlowBank, 12);
    const int frame = b.placeData(BlockKind::Graphics, "frame", frameTiles(), 0x048000, kHiRomBank, 8);

    // Data blocks behind their table; the third entry's block fails its check.
    const int monsters = b.placeData(BlockKind::Data, "monsters", monsterTable(random), 0x0C1000, kHiRomBank, 16);
    const int items = b.placeData(BlockKind::Data, "items", itemTable(random), 0x0C2000, kSlowBank, 0);
    const int bad = b.placeData(BlockKind::BadCheck, "bad-check", mapData(random), 0x0C3000, kHiRomBank, 8);
    {
        DemoBlock& broken = game.blocks[static_cast<size_t>(bad)];
        const size_t check = broken.romOffset + 6;
        core::writeLe16(game.rom, check, static_cast<uint16_t>((game.rom[check] | (game.rom[check + 1] << 8)) + 1));
    }
    const int maps = b.placeData(BlockKind::Data, "map", mapData(random), 0x0C4000, kHiRomBank, 4);

    // Text blocks: one behind the text table, the others past the dictionary area.
    const TextBlockPlan plans[] = {
        {"events", 48, 0, true},   {"towns", 150, 0, false}, {"battle", 24, 0, false},
        {"chronicle", 280, 59000, false}, {"goods", 96, 0, false}, {"shops", 130, 0, false},
        {"ending", 20, 0, false},
    };
    const uint32_t textTableIndex[] = {0, 1, 2, 4, 5, 7, 8};
    std::vector<std::pair<uint32_t, DemoTableEntry>> textEntries;
    uint32_t offset = 0x101000;
    for (size_t i = 0; i < std::size(plans); ++i) {
        DemoBlock block = BuildTextBlock(plans[i], random);
        for (DemoRecord& record : block.records) {
            if (record.type == kTextRecordType) record.text = DecodeDemoString(record.words, game.characters);
        }
        const GameEncoderOptions options = textOptions(block.data.size());
        const uint32_t bank = i == 2 ? kSlowBank : kHiRomBank;
        const int index = b.place(std::move(block), offset, bank, options);
        game.textBlocks.push_back(index);
        textEntries.emplace_back(textTableIndex[i], b.entryFor(index));
        const uint32_t end = game.blocks[static_cast<size_t>(index)].end;
        offset = i == 0 ? 0x140000 : alignUp(end + kBlockGap + 0x100, 0x100);
    }
    // Skipped entries: bank below 0x40, also where the low bits would point at a real block.
    textEntries.emplace_back(3, DemoTableEntry{0x3F8000, -1});
    textEntries.emplace_back(6, DemoTableEntry{0x060000, -1});
    b.writeTable(game.textTable, kTextTableOffset, kTextTableEntries, textEntries);

    b.writeTable(game.dataTable, kDataTableOffset, kDataTableEntries,
                 {{0, b.entryFor(monsters)},
                  {1, b.entryFor(items)},
                  {2, b.entryFor(bad)},
                  {3, b.entryFor(maps)},
                  {6, DemoTableEntry{0x3FC100, -1}}});
    b.writeTable(game.graphicsTable, kGraphicsTableOffset, kGraphicsTableEntries,
                 {{0, b.entryFor(game.fontBlock)},
                  {2, DemoTableEntry{0x3F0000, -1}},
                  {3, b.entryFor(icons)},
                  {9, DemoTableEntry{0x040000, -1}},
                  {10, b.entryFor(frame)},
                  {321, b.entryFor(icons)}});

    placeExtraTextBlocks(b, textBlockCount - kDemoTextBlocks, offset, random);
    if (game.rom.size() == kRomSize) {
        std::fill(game.rom.end() - kFilledTailBytes, game.rom.end(), 0xFF);
    } else {
        // Byte size-1-i would be the mark of block i, which is the low byte of i.
        for (uint32_t i = 0; i < kLargeMarkBytes; ++i) game.rom[game.rom.size() - 1 - i] = static_cast<uint8_t>(i + 1);
        std::fill(game.rom.begin() + kRomSize - kFilledTailBytes, game.rom.begin() + kRomSize, 0xFF);
    }
    writeHeader(game.rom);

    game.dictionaryWords = DemoDictionaryWords();
    game.blockDataFile = MakeBlockDataFile(game);
    game.tableFile = MakeTableFile(game);
    return game;
}

}  // namespace corv::demo
