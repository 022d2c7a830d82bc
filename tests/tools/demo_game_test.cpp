// The demo game holds what its description says: blocks where the pointer tables point, text
// blocks in the string record layout, a font that draws through the character tile table, and
// data files that match the ROM.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "tools/block_stream_walk.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "core/rom_image.h"
#include "tools/demo/demo_charset.h"
#include "tools/demo/demo_game.h"

namespace {

using namespace corv::demo;

const DemoGame& game() {
    static const DemoGame built = BuildDemoGame();
    return built;
}

uint16_t le16(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

TEST(DemoGame, IsDeterministic) {
    const DemoGame again = BuildDemoGame();
    EXPECT_EQ(again.rom, game().rom);
    EXPECT_EQ(again.blockDataFile, game().blockDataFile);
    EXPECT_EQ(again.tableFile, game().tableFile);
}

TEST(DemoGame, RomHasTitleSizeAndFilledTail) {
    const auto& rom = game().rom;
    ASSERT_EQ(rom.size(), kRomSize);
    EXPECT_TRUE(corv::core::HasGameTitle(rom));
    EXPECT_EQ(std::string(rom.begin() + 0xFFC0, rom.begin() + 0xFFC7), "CORVANE");
    EXPECT_TRUE(std::all_of(rom.end() - kFilledTailBytes, rom.end(), [](uint8_t b) { return b == 0xFF; }));
    // No text block reads as inserted: the mark of block k is the byte at size - 1 - k equal to k.
    for (size_t k = 0; k < game().textBlocks.size(); ++k) EXPECT_NE(rom[rom.size() - 1 - k], k);
    EXPECT_TRUE(std::all_of(rom.begin() + kDictionaryAreaStart, rom.begin() + kDictionaryAreaEnd,
                            [](uint8_t b) { return b == 0; }));
}

TEST(DemoGame, EveryBlockDecompressesToItsDataExceptTheBadOne) {
    auto buffer = std::make_unique<corv::core::BlockBuffer>();
    int bad = 0;
    for (const DemoBlock& block : game().blocks) {
        const uint32_t end = corv::core::DecompressBlock(game().rom, block.address, *buffer);
        EXPECT_EQ(block.romOffset, corv::core::AddressToRomOffset(block.address)) << block.name;
        if (block.kind == BlockKind::BadCheck) {
            ++bad;
            EXPECT_EQ(end, corv::core::kBadBlockHeader);
            continue;
        }
        ASSERT_EQ(end, block.end) << block.name;
        ASSERT_EQ(corv::core::DecompressedLength(*buffer), block.data.size()) << block.name;
        EXPECT_TRUE(std::equal(block.data.begin(), block.data.end(), buffer->begin())) << block.name;
    }
    EXPECT_EQ(bad, 1);
}

TEST(DemoGame, BlocksDoNotOverlapEachOtherOrTheFixedAreas) {
    std::vector<std::pair<uint32_t, uint32_t>> areas = {
        {kCharacterTileTableOffset, kCharacterTileTableOffset + 4 * kCharacterTileTableCodes},
        {0xFFC0, 0x10000},
        {kGraphicsTableOffset, kGraphicsTableOffset + 4 * kGraphicsTableEntries},
        {kDataTableOffset, kDataTableOffset + 4 * kDataTableEntries},
        {kTextTableOffset, kTextTableOffset + 4 * kTextTableEntries},
        {kDictionaryAreaStart, kDictionaryAreaEnd},
        {kRomSize - kFilledTailBytes, kRomSize}};
    for (const DemoBlock& block : game().blocks) areas.emplace_back(block.romOffset, block.end);
    std::sort(areas.begin(), areas.end());
    for (size_t i = 1; i < areas.size(); ++i) {
        EXPECT_LT(areas[i - 1].second, areas[i].first)  // a gap, not just no overlap
            << std::hex << areas[i - 1].first << " and " << areas[i].first;
    }
}

TEST(DemoGame, PointerTablesPointWhereTheDescriptionSays) {
    const auto& rom = game().rom;
    const auto check = [&](const DemoPointerTable& table, uint32_t offset, uint32_t entries) {
        ASSERT_EQ(table.offset, offset);
        ASSERT_EQ(table.entries.size(), entries);
        for (uint32_t i = 0; i < entries; ++i) {
            const size_t at = offset + 4 * size_t{i};
            const uint32_t address = le16(rom, at) | (uint32_t{rom[at + 2]} << 16);
            const DemoTableEntry& entry = table.entries[i];
            EXPECT_EQ(address, entry.address) << "entry " << i;
            const bool taken = (rom[at + 2] & 0xC0) != 0;
            EXPECT_EQ(taken, entry.block >= 0) << "entry " << i;
            if (entry.block >= 0) {
                const DemoBlock& block = game().blocks[static_cast<size_t>(entry.block)];
                EXPECT_EQ(corv::core::AddressToRomOffset(address), block.romOffset) << "entry " << i;
            }
        }
    };
    check(game().graphicsTable, 0x30000, 322);
    check(game().dataTable, 0xC0000, 16);
    check(game().textTable, 0x100000, 233);

    // Data area: blocks behind entries 0, 1 and 3, the bad one behind entry 2, the rest skipped.
    const auto& data = game().dataTable.entries;
    for (int i : {0, 1, 3}) EXPECT_EQ(game().blocks[static_cast<size_t>(data[i].block)].kind, BlockKind::Data);
    EXPECT_EQ(game().blocks[static_cast<size_t>(data[2].block)].kind, BlockKind::BadCheck);
    for (size_t i = 4; i < data.size(); ++i) EXPECT_EQ(data[i].block, -1);

    // The text table lists the text blocks in .BLOCK order; the graphics table holds the font.
    std::vector<int> listed;
    for (const DemoTableEntry& entry : game().textTable.entries) {
        if (entry.block >= 0) listed.push_back(entry.block);
    }
    EXPECT_EQ(listed, game().textBlocks);
    EXPECT_EQ(game().graphicsTable.entries[0].block, game().fontBlock);
    EXPECT_EQ(game().font().address & 0x3FFFFF, kFontAddress);
}

TEST(DemoGame, FontDrawsGlyphsThroughTheCharacterTileTable) {
    const auto& rom = game().rom;
    const auto& tiles = game().font().data;
    // Rows of plane 1 of the two tiles of code c.
    const auto glyph = [&](uint16_t code) {
        std::vector<uint8_t> rows;
        for (int half = 0; half < 2; ++half) {
            const uint16_t tile = le16(rom, kCharacterTileTableOffset + 4 * size_t{code} + 2 * half);
            for (int r = 0; r < 8; ++r) rows.push_back(tiles.at(size_t{tile} * 16 + 2 * r + 1));
        }
        return rows;
    };
    // 'A': apex, sides, crossbar.
    const auto a = glyph(kFirstLetterCode);
    EXPECT_EQ(a[4], 0x20);   // ..#..
    EXPECT_EQ(a[5], 0x50);   // .#.#.
    EXPECT_EQ(a[9], 0xF8);   // #####
    EXPECT_EQ(a[12], 0x88);  // #...#
    EXPECT_EQ(a[0] | a[1] | a[2] | a[3] | a[13] | a[14] | a[15], 0);
    // Kana ro is a box; ni is two bars; the space is blank.
    const auto ro = glyph(kFirstKanaCode + 42);
    EXPECT_EQ(ro[4], 0xFE);
    EXPECT_EQ(ro[6], 0x82);
    EXPECT_EQ(ro[10], 0xFE);
    const auto ni = glyph(kFirstKanaCode + 21);
    EXPECT_EQ(ni[4], 0x7C);
    EXPECT_EQ(ni[11], 0xFE);
    const auto space = glyph(kSpaceCode);
    EXPECT_TRUE(std::all_of(space.begin(), space.end(), [](uint8_t b) { return b == 0; }));
    // Every character with a table entry draws something, and distinct characters differ.
    std::set<std::vector<uint8_t>> shapes;
    for (const CharacterEntry& entry : DemoCharacters()) {
        if (entry.code == kSpaceCode) continue;
        const auto rows = glyph(entry.code);
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](uint8_t b) { return b != 0; })) << entry.code;
        shapes.insert(rows);
    }
    EXPECT_EQ(shapes.size(), DemoCharacters().size() - 1);
}

TEST(DemoGame, TextBlocksFollowTheStringRecordLayout) {
    ASSERT_GE(game().textBlocks.size(), 6u);
    for (int index : game().textBlocks) {
        const DemoBlock& block = game().blocks[static_cast<size_t>(index)];
        const auto& data = block.data;
        const size_t n = block.records.size();
        EXPECT_GE(n, 20u) << block.name;
        EXPECT_LE(n, 300u) << block.name;
        EXPECT_EQ(le16(data, 64 * n), 0xFFFF) << block.name;
        for (size_t k = 0; k < n; ++k) {
            const DemoRecord& record = block.records[k];
            EXPECT_NE(le16(data, 64 * k), 0xFFFF);
            EXPECT_EQ(le16(data, 64 * k + 2), record.type);
            EXPECT_EQ(le16(data, 64 * k + 14), record.textPointer);
            EXPECT_GE(record.textPointer, 64 * (n + 1));
            if (record.type == 2) {
                ASSERT_FALSE(record.words.empty());
                EXPECT_EQ(record.words.back(), 0xFFFF);
                for (size_t i = 0; i < record.words.size(); ++i) {
                    ASSERT_EQ(le16(data, record.textPointer + 2 * i), record.words[i]) << block.name << " " << k;
                }
            } else {
                // The data runs up to the next record's pointer, or the end of the block.
                const size_t next = k + 1 < n ? block.records[k + 1].textPointer : data.size();
                ASSERT_GT(next, record.textPointer) << block.name << " " << k;
                EXPECT_EQ(next - record.textPointer, record.data.size()) << block.name << " " << k;
                EXPECT_TRUE(std::equal(record.data.begin(), record.data.end(), data.begin() + record.textPointer));
            }
            if (k > 0) {
                EXPECT_GE(record.textPointer, block.records[k - 1].textPointer);
            }
            if (record.sharesPointer) {
                EXPECT_EQ(record.type, 2);
                EXPECT_EQ(block.records[k - 1].type, 2);
                EXPECT_EQ(record.textPointer, block.records[k - 1].textPointer);
            }
        }
    }
}

TEST(DemoGame, TextBlocksCoverTheCasesTheEditorMustHandle) {
    std::set<unsigned> kinds;
    bool empty = false, twoClears = false, player = false, longLine = false, shared = false, nonText = false;
    bool rangeOnly = false, noEntry = false;
    size_t largest = 0;
    for (int index : game().textBlocks) {
        const DemoBlock& block = game().blocks[static_cast<size_t>(index)];
        largest = std::max(largest, block.data.size());
        for (const DemoRecord& record : block.records) {
            shared |= record.sharesPointer;
            nonText |= record.type != 2;
            if (record.type != 2) continue;
            empty |= record.words.size() == 1;
            int clears = 0;
            size_t line = 0;
            for (size_t i = 0; i + 1 < record.words.size(); ++i) {
                const uint16_t w = record.words[i];
                const unsigned kind = w >> 8;
                if (kind >= 0xF0 && kind <= 0xFD) {
                    kinds.insert(kind);
                    clears += kind == 0xFC;
                    player |= kind == 0xF4;
                    if (kind == 0xF9) i += 2;
                    if (kind == 0xFC || kind == 0xFD) line = 0;
                } else {
                    longLine |= ++line > 36;
                    rangeOnly |= std::count(game().rangeOnlyCodes.begin(), game().rangeOnlyCodes.end(), w) > 0;
                    noEntry |= w >= kFirstUnmappedCode && w < kFirstUnmappedCode + kUnmappedCount;
                }
            }
            twoClears |= clears >= 2;
        }
    }
    for (unsigned kind = 0xF0; kind <= 0xFD; ++kind) {
        EXPECT_TRUE(kinds.count(kind)) << std::hex << kind;
    }
    EXPECT_TRUE(empty);
    EXPECT_TRUE(twoClears);
    EXPECT_TRUE(player);
    EXPECT_TRUE(longLine);
    EXPECT_TRUE(shared);
    EXPECT_TRUE(nonText);
    EXPECT_TRUE(rangeOnly);
    EXPECT_TRUE(noEntry);
    EXPECT_GT(largest, 56u * 1024);
    EXPECT_LT(largest, 63u * 1024);
}

TEST(DemoGame, DecodedTextFollowsTheControlCodeForms) {
    const auto& chars = game().characters;
    EXPECT_EQ(DecodeDemoString({0xF100, 0xF105, 0xFFFF}, chars), "[Pause$00][Pause$05]");
    EXPECT_EQ(DecodeDemoString({0xF900, 0x1234, 0x5678, 0xFFFF}, chars), "[Yes-No][$1234][$5678]");
    EXPECT_EQ(DecodeDemoString({0xFFFF}, chars), "");
    EXPECT_EQ(DecodeDemoString({0xFE12, 0xFFFF}, chars), "[$FE12]");
    EXPECT_EQ(DecodeDemoString({0xFC00, 0xFD00, 0xF2AB, 0xFA01, 0xFFFF}, chars), "[ClrWin]\r\n\r\n[$F200][$FA00]");
    EXPECT_EQ(DecodeDemoString({kFirstLetterCode, kFirstRangeOnlyCode, kFirstUnmappedCode, kWideStopCode, 0xFFFF}, chars),
              "A[$0070][$0080]\x81\x42");

    // Record 0 of the first block opens with fade-in and sound, and ends with the question.
    const DemoRecord& first = game().blocks[static_cast<size_t>(game().textBlocks[0])].records[0];
    EXPECT_EQ(first.text.rfind("[FadeIn][SFX]", 0), 0u);
    EXPECT_NE(first.text.find("[Pause$05][Player][MEM_Num][MEM_Text]\r\n"), std::string::npos);
    EXPECT_NE(first.text.find("[$F200][$FA00][FixTextBox][Key][ClrWin]\r\n"), std::string::npos);
    EXPECT_NE(first.text.find("\r\n[Yes-No][$1234][$5678][FadeOut]"), std::string::npos);
}

TEST(DemoGame, BlockDataFileListsTheTextBlocksAndTheCodeTable) {
    const std::string& file = game().blockDataFile;
    std::istringstream lines(file);
    std::vector<uint32_t> blocks;
    std::string line;
    bool inTable = false;
    std::set<std::string> tableLines;
    while (std::getline(lines, line)) {
        if (line.rfind(".BLOCK ", 0) == 0) blocks.push_back(static_cast<uint32_t>(std::stoul(line.substr(7), nullptr, 16)));
        if (line == ".TABLE") inTable = true;
        else if (line == ".ENDTABLE") inTable = false;
        else if (inTable) tableLines.insert(line);
    }
    ASSERT_EQ(blocks.size(), game().textBlocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i], game().blocks[static_cast<size_t>(game().textBlocks[i])].address);
    }
    EXPECT_NE(file.find("\n.FORMAT 38 16 8 1 8 0 1 2 3\n"), std::string::npos);
    EXPECT_NE(file.find("\n.textbox .color.blue .gradient\n"), std::string::npos);
    // Keys are the game word's bytes in stream order: code 0x0030 (kana a) is key 3000.
    EXPECT_TRUE(tableLines.count("3000=\xB1"));
    EXPECT_TRUE(tableLines.count("0C00=A"));
    EXPECT_TRUE(tableLines.count("6700=\\x81_\\x42_"));
    EXPECT_TRUE(tableLines.count(".NULL16 $7000 to $7F00"));
    for (uint16_t code : game().unmappedCodes) EXPECT_EQ(game().characters.count(code), 0u);
    // The table file holds the dictionary words.
    EXPECT_NE(game().tableFile.find("\n0100=the\n"), std::string::npos);
    EXPECT_NE(game().tableFile.find("\n0101=you\n"), std::string::npos);
}

// The editor's compressor knows no dictionary; a text block must still fit back into its room.
TEST(DemoGame, ProductionCompressorFitsEveryTextBlockIntoItsRoom) {
    for (int index : game().textBlocks) {
        const DemoBlock& block = game().blocks[static_cast<size_t>(index)];
        std::vector<uint8_t> rom = game().rom;
        std::vector<uint8_t> source(0x10002, 0);
        std::copy(block.data.begin(), block.data.end(), source.begin());
        const uint32_t result = corv::core::CompressBlock(rom, block.address, block.end,
                                                          static_cast<uint32_t>(block.data.size()), source);
        EXPECT_EQ(result, corv::core::kCompressWritten) << block.name << " over by " << (result >> 16);
        const uint32_t stream = block.end - block.romOffset - 8 - 2 * static_cast<uint32_t>(block.dictionary.size());
        if (block.data.size() < 32 * 1024) {
            EXPECT_GE(stream, block.data.size() * 45 / 32 + 64) << block.name;
        }
        // The padding's output stays inside the 64 KiB output area, clear of the data.
        const auto counts = corv::testing::WalkBlockStream(game().rom, block.romOffset);
        EXPECT_GE(counts.produced, block.data.size()) << block.name;
        EXPECT_LT(counts.produced, 0x10000u) << block.name;
    }
}

}  // namespace
