#pragma once
// The demo game: a synthetic HiROM cartridge titled CORVANE, built in memory with a fixed seed,
// with its block data file and table file. Everything the builder placed is described here, so
// tests can take a DemoGame as the ground truth for what the ROM holds.
//
// ROM map (ROM offsets, no copier header; 2 MiB):
//   0x009BDB  character tile table: 4 bytes per character code c (top tile, bottom tile, LE)
//   0x00FFC0  internal header, title "CORVANE"
//   0x030000  graphics pointer table, 322 entries (to 0x030508)
//   0x040000  graphics blocks; the font block at 0x060000
//   0x0C0000  data pointer table, 16 entries; data blocks behind it
//   0x100000  text pointer table, 233 entries (to 0x1003A4); one text block behind it
//   0x134B00  dictionary area, left free (zero) up to 0x136000
//   0x140000  the other text blocks
//   last 256 bytes 0xFF, so that no block carries an inserted mark
// Pointer table entries are 4 bytes: low 16 bits of the 24-bit address (LE), bank byte, one
// ignored byte. Entries with a bank below 0x40 point to nothing.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/file_save.h"

namespace corv::demo {

inline constexpr char kRomFileName[] = "corvane.smc";
inline constexpr char kHeaderedRomFileName[] = "corvane_headered.smc";
inline constexpr char kBlockDataFileName[] = "corvane.txt";
inline constexpr char kTableFileName[] = "corvane.tbl";

inline constexpr uint32_t kRomSize = 0x200000;
inline constexpr uint32_t kCopierHeaderBytes = 512;
inline constexpr uint32_t kFontAddress = 0x060000;
inline constexpr uint32_t kCharacterTileTableOffset = 0x9BDB;
inline constexpr uint32_t kCharacterTileTableCodes = 0x100;  // codes 0x00-0xFF have entries
inline constexpr uint32_t kGraphicsTableOffset = 0x30000;
inline constexpr uint32_t kGraphicsTableEntries = 322;
inline constexpr uint32_t kDataTableOffset = 0xC0000;
inline constexpr uint32_t kDataTableEntries = 16;
inline constexpr uint32_t kTextTableOffset = 0x100000;
inline constexpr uint32_t kTextTableEntries = 233;
inline constexpr uint32_t kDictionaryAreaStart = 0x134B00;
inline constexpr uint32_t kDictionaryAreaEnd = 0x136000;
inline constexpr uint32_t kFilledTailBytes = 256;

enum class BlockKind {
    Font,      // the game font at 0x060000: 8x8 2bpp tiles
    Graphics,  // other tile data
    Data,      // game data tables
    Text,      // string records and strings
    BadCheck,  // a data block whose check word is off by one: its header fails the check
};

// One 64-byte string record of a text block and what its pointer leads to.
struct DemoRecord {
    uint16_t type = 0;          // word 1: 2 for a text record
    uint16_t textPointer = 0;   // word 7: byte offset into the decompressed block
    bool sharesPointer = false; // a text record pointing at the string of the record before it
    // Text records: the string's 16-bit words, the end mark 0xFFFF included, and the text the
    // decoder must make of them through the block data file's 16-bit code map: Shift-JIS bytes
    // for characters, the bracketed forms for control codes, CR LF for line breaks, "[$%04X]"
    // for characters without text (no entry, or only a .NULL16 range line).
    std::vector<uint16_t> words;
    std::string text;
    // Records of other types: the bytes at their pointer, up to the next record's pointer (the
    // last one up to the end of the block).
    std::vector<uint8_t> data;
};

struct DemoBlock {
    BlockKind kind = BlockKind::Data;
    std::string name;
    uint32_t address = 0;    // 24-bit address as the pointer tables (and .BLOCK lines) give it
    uint32_t romOffset = 0;  // where the header starts
    // ROM offset after the last group (what the decompressor returns). For blocks that are text,
    // the stream carries padding groups after the real ones, so a re-laid-out block has room.
    uint32_t end = 0;
    std::vector<uint8_t> data;          // the decompressed bytes, exactly w0 of them
    std::vector<uint16_t> dictionary;   // the block's dictionary words
    uint16_t groups = 0;                // w2, padding included
    uint16_t paddingGroups = 0;         // groups after the data's own ones (zero literals)
    std::vector<DemoRecord> records;    // text blocks only, in record order

    [[nodiscard]] bool isText() const { return kind == BlockKind::Text; }
};

// One entry of a pointer table as written.
struct DemoTableEntry {
    uint32_t address = 0;  // the 24-bit address the entry holds
    int block = -1;        // index into DemoGame::blocks, -1 when the entry is skipped (bank < 0x40)
};

struct DemoPointerTable {
    uint32_t offset = 0;
    std::vector<DemoTableEntry> entries;
};

struct DemoGame {
    std::vector<uint8_t> rom;        // kRomSize bytes, no copier header
    std::vector<DemoBlock> blocks;   // every block placed, the bad one included
    std::vector<int> textBlocks;     // indexes into blocks, in the order of the .BLOCK lines
    int fontBlock = -1;
    DemoPointerTable graphicsTable;
    DemoPointerTable dataTable;
    DemoPointerTable textTable;

    // Character code -> the Shift-JIS bytes its .TABLE entry decodes to. Codes missing here
    // decode to "[$%04X]".
    std::map<uint16_t, std::string> characters;
    // Codes that strings use without a table entry; rangeOnlyCodes of them are covered by a
    // .NULL16 range line.
    std::vector<uint16_t> unmappedCodes;
    std::vector<uint16_t> rangeOnlyCodes;
    // Table file dictionary: slot (low byte of the 01nn code) -> word.
    std::map<uint8_t, std::string> dictionaryWords;

    std::string blockDataFile;  // the contents of corvane.txt (Shift-JIS bytes in its table)
    std::string tableFile;      // the contents of corvane.tbl

    [[nodiscard]] const DemoBlock& font() const { return blocks.at(static_cast<size_t>(fontBlock)); }
};

// Builds the demo game. Deterministic: every call gives the same bytes.
[[nodiscard]] DemoGame BuildDemoGame();

// The demo's own text blocks, and the most a larger demo can have.
inline constexpr unsigned kDemoTextBlocks = 7;
inline constexpr unsigned kMaxDemoTextBlocks = 500;
inline constexpr uint32_t kLargeRomSize = 0x400000;
// A larger demo keeps the bytes where the inserted marks of its blocks would be clear of marks.
inline constexpr uint32_t kLargeMarkBytes = 512;

// The demo game with `textBlocks` text blocks (kDemoTextBlocks to kMaxDemoTextBlocks): the
// demo's own, then smaller ones of the same kind behind them, on a ROM of 4 MiB (kLargeRomSize)
// when 2 MiB cannot hold them. The last kLargeMarkBytes bytes of a larger demo read as no block's
// inserted mark. With kDemoTextBlocks it is BuildDemoGame().
[[nodiscard]] DemoGame BuildDemoGame(unsigned textBlocks);

// Writes corvane.smc (the ROM), corvane_headered.smc (a 512-byte zero copier header and the same
// ROM), corvane.txt and corvane.tbl into the existing folder `dir`; stops at the first failure.
[[nodiscard]] core::SaveResult WriteDemoFiles(const DemoGame& game, const std::filesystem::path& dir);

// The readable text of a game string (words up to and including 0xFFFF) as the decoder gives it
// through the demo's code table.
[[nodiscard]] std::string DecodeDemoString(const std::vector<uint16_t>& words,
                                           const std::map<uint16_t, std::string>& characters);

}  // namespace corv::demo
