// Writes the seed corpus of every harness into OUT/<harness>/, made from the demo game, so that
// the repository holds no binary inputs: fuzz_seed_corpus OUT

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "comp/area_walk.h"
#include "core/block_decoder.h"
#include "project/po_text.h"
#include "project/project_file.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/text_block.h"
#include "fuzz/fuzz_support.h"
#include "patches/bps_create.h"
#include "tools/demo/demo_game.h"

using namespace corv;

namespace {

using Bytes = std::string;  // inputs are byte strings; std::string keeps the building short

class Corpus {
public:
    explicit Corpus(std::filesystem::path root) : root_(std::move(root)) {}
    // Adds one input of `harness`; false when it cannot be written.
    bool add(const std::string& harness, const Bytes& input) {
        const auto folder = root_ / harness;
        std::filesystem::create_directories(folder);
        char name[32];
        std::snprintf(name, sizeof name, "seed_%03d", count_[harness]++);
        std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
        file.write(input.data(), static_cast<std::streamsize>(input.size()));
        ok_ = ok_ && static_cast<bool>(file.flush());
        return ok_;
    }
    [[nodiscard]] bool ok() const { return ok_; }

private:
    std::filesystem::path root_;
    std::map<std::string, int> count_;
    bool ok_ = true;
};

Bytes u24(uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF), static_cast<char>((value >> 16) & 0xFF)};
}

Bytes slice(const std::vector<uint8_t>& bytes, size_t from, size_t length) {
    from = std::min(from, bytes.size());
    length = std::min(length, bytes.size() - from);
    return {reinterpret_cast<const char*>(bytes.data()) + from, length};
}

const char kZero = '\0';

// The decompressed text blocks of the demo, cut to `limit` bytes.
std::vector<Bytes> textBlocks(const demo::DemoGame& game, size_t limit) {
    std::vector<Bytes> blocks;
    for (int index : game.textBlocks) blocks.push_back(slice(game.blocks.at(static_cast<size_t>(index)).data, 0, limit));
    return blocks;
}

// A script with a translation for each of `count` strings: `longer` ones use every kind of code.
Bytes translatedScript(unsigned count, bool longer = true) {
    Bytes script = "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n";
    for (unsigned i = 0; i < count; ++i) {
        script += ".STRING " + std::to_string(i) +
                  (longer ? "\nHello, [PLAYER]![KEY]\nthe end of the day[PAUSE$1E]\n" : "\nHi the[$F200]\n") + ".ENDS\n\n";
    }
    return script;
}

// The dictionary cascades that once grew without end or were read in the wrong order.
Bytes cascadeTable() {
    Bytes table;
    for (unsigned slot = 0; slot < 0x20; ++slot) {
        char line[16];
        std::snprintf(line, sizeof line, "01%02X=0\n", slot);
        table += line;
    }
    return table + "0140=]x\n0141=x[\n";
}

void romSeeds(Corpus& corpus, const demo::DemoGame& game) {
    corpus.add("rom_open", Bytes(1, '\x00'));
    corpus.add("rom_open", Bytes(1, '\x01'));
    corpus.add("rom_open", Bytes(1, '\x00') + u24(0xFFC0) + '\x07' + "CORVANX");
    corpus.add("rom_open", Bytes(1, '\x00') + u24(demo::kFontAddress) + '\x02' + "\xFF\xFF");
    corpus.add("rom_open", Bytes(1, '\x03') + u24(0x70000));
    for (const demo::DemoBlock& block : game.blocks) {
        if (block.kind == demo::BlockKind::Graphics && &block != &game.blocks.front()) continue;
        corpus.add("block_decode", u24(0) + slice(game.rom, block.romOffset, std::min<size_t>(block.end - block.romOffset, 0x4000)));
        if (block.kind != demo::BlockKind::BadCheck) corpus.add("compressor", Bytes(16, kZero) + slice(block.data, 0, 0x1000));
        if (block.kind == demo::BlockKind::Text) corpus.add("maximiser", slice(block.data, 0, 0x4000));
    }
    corpus.add("compressor", Bytes(16, '\x01') + Bytes(33, 'a'));
    corpus.add("maximiser", Bytes(65534, 'a'));
}

void textSeeds(Corpus& corpus, const demo::DemoGame& game) {
    corpus.add("table_file", game.tableFile);
    corpus.add("table_file", cascadeTable() + "8A=ab\n8A=a\n018A=the\nFF8A=and\n123=abc\nG1=x\n");
    corpus.add("block_data_file", game.blockDataFile);
    corpus.add("block_data_file", ".TABLE\n4=C\n.NULL - - 8\n7F00=A\n.NULL16 $7F00 to $7F00\n8A=\\x41x\\x42\n.ENDTABLE\n"
                                  ".COLORTABLE\n.NULL16=$03\n0013=7\n.ENDCOLOR\n");

    auto maps = std::make_unique<script::CodeMaps>();
    (void)script::ParseBlockDataFile(game.blockDataFile, *maps);
    for (const Bytes& block : textBlocks(game, 0x4000)) {
        corpus.add("kana_dump", Bytes(1, '\x00') + block);
        corpus.add("preview", Bytes("\x00\x00", 2) + game.blockDataFile + kZero + translatedScript(4) + kZero + block);
        const auto bytes = std::span(reinterpret_cast<const uint8_t*>(block.data()), block.size());
        const unsigned count = script::CountStringRecords(bytes).value_or(0);
        corpus.add("script_file", game.tableFile + kZero + script::KanaDump(bytes, count, false, *maps));
    }
    corpus.add("kana_dump", Bytes(1, '\x03') + game.blockDataFile + kZero + textBlocks(game, 0x1000).front());
    corpus.add("preview", Bytes("\x01\x21", 2) + ".FORMAT 0\n.CONTROLCODES HIDE\n" + kZero + translatedScript(2) + kZero +
                              textBlocks(game, 0x2000).back());
    corpus.add("script_file", game.tableFile + kZero + translatedScript(8));
    corpus.add("script_file", cascadeTable() + kZero + ".STRING 0\n0\n.ENDS\n.STRING 1\n]xx\nxx[\n.ENDS\n");
}

void insertionSeeds(Corpus& corpus, const demo::DemoGame& game) {
    for (size_t i = 0; i < game.textBlocks.size(); ++i) {
        const demo::DemoBlock& block = game.blocks.at(static_cast<size_t>(game.textBlocks[i]));
        for (bool longer : {false, true}) {
            corpus.add("insertion", Bytes(1, static_cast<char>(i)) + game.tableFile + kZero +
                                        translatedScript(static_cast<unsigned>(block.records.size()), longer));
        }
    }
    // The end of the block's room searched for, as before the block was chosen.
    corpus.add("insertion", Bytes(1, '\x80') + game.tableFile + kZero + translatedScript(4, false));
}

void patchSeeds(Corpus& corpus) {
    corpus.add("ips", Bytes("\x00\x80", 2) + "PATCH" + Bytes("\x00\x01\x00\x00\x03", 5) + "abc" + "EOF" + "PATCH" +
                          Bytes("\x01\x00\x00\x00\x00\x00\x10\x7A", 8) + "EOF");
    corpus.add("ips", Bytes("\x01\xFF", 2) + "PATCH" + Bytes("\x01\x00\x00\x00\x02", 5) + "xy" + "EOF");
    corpus.add("ips", Bytes("\x02\x00", 2) + "PATCH" + Bytes("\x00\xFF\xC0\x00\x02", 5) + "xy" + "EOF" + u24(0x8000));
    corpus.add("ips", Bytes("\x00\x40", 2) + "PATCH" + Bytes("\x45\x4F\x45\x00\x01", 5) + "z");
}

// Patches of edits of the bps harness's source, made by the creator, with each kind of flags.
void bpsSeeds(Corpus& corpus) {
    const std::span<const uint8_t> source = fuzz::BpsSourceData();
    std::vector<uint8_t> edited(source.begin(), source.end());
    std::fill(edited.begin() + 0x100, edited.begin() + 0x180, 0x00);             // a run
    std::copy(source.begin() + 0x2000, source.begin() + 0x2100, edited.begin() + 0x800);  // moved
    edited.insert(edited.begin() + 0x1000, {'n', 'e', 'w'});                    // shifted
    edited.resize(edited.size() + 0x400, 0xEE);                                  // grown
    const std::vector<uint8_t> patch = patches::CreateBpsPatch(source, edited).patch;
    const Bytes bytes(reinterpret_cast<const char*>(patch.data()), patch.size());
    for (const char flags : {'\x00', '\x01', '\x02', '\x16', '\x1F'}) corpus.add("bps", Bytes(1, flags) + bytes);
    std::vector<uint8_t> shrunk(source.begin(), source.begin() + 0x1800);
    const std::vector<uint8_t> cut = patches::CreateBpsPatch(source, shrunk).patch;
    corpus.add("bps", Bytes(1, '\x06') + Bytes(reinterpret_cast<const char*>(cut.data()), cut.size()));
    // Hand-made: a TargetCopy run and copies moved both ways, its checksums left to the flags.
    corpus.add("bps", Bytes(1, '\x16') + "BPS1" + Bytes("\x80\x8A\x80", 3) + Bytes("\x81\x41\x8F\x80\x86\x82\x8E\x83", 8) +
                          Bytes(12, kZero));
}

void utilitySeeds(Corpus& corpus, const demo::DemoGame& game) {
    for (const auto* table : {&game.graphicsTable, &game.dataTable, &game.textTable}) {
        const auto area = static_cast<char>(table == &game.graphicsTable ? 0 : table == &game.dataTable ? 1 : 2);
        corpus.add("area_walk", Bytes(1, area) + slice(game.rom, table->offset, 0x10000));
    }
    Bytes listing;
    const std::string folder = comp::AreaDirectory(fuzz::ListingFolder(), comp::Area::Data).string();
    for (size_t i = 0; i < game.dataTable.entries.size(); ++i) {
        const int index = game.dataTable.entries[i].block;
        if (index < 0) continue;
        const demo::DemoBlock& block = game.blocks.at(static_cast<size_t>(index));
        char line[128];
        std::snprintf(line, sizeof line, ".COMP %s/%s  %08X  %08X\n", folder.c_str(),
                      comp::BlockFileName(static_cast<uint32_t>(i)).c_str(), block.romOffset, block.end);
        listing += line;
        // The same block with more room than the game gave it, so that it fits again.
        std::snprintf(line, sizeof line, ".COMP %s/%s  %08X  %08X\n", folder.c_str(),
                      comp::BlockFileName(static_cast<uint32_t>(i)).c_str(), block.romOffset, block.end + 0x2000);
        listing += line;
    }
    corpus.add("listing", listing);
    corpus.add("listing", ".INVALID_DATA 000C0040\n.comp " + folder + "/corv_001.dat 0x10 0X20 ; note\n.COMP missing.dat 1 2\n");
}

void projectSeeds(Corpus& corpus) {
    const project::ProjectFileSettings settings{"game/corvane.smc", "game/corvane.txt", "game/corvane.tbl", "Dumps",
                                                "build/t.smc", "build/t.ips"};
    const Bytes plain = project::ProjectFileText(settings);
    corpus.add("project_file", plain);
    corpus.add("project_file", plain + "allow_outside = true\n[blocks.D40000]\nskip = true\n[blocks.545c00]\n"
                                       "[editor]\nblock = \"D40000\"\nstring = 3\nmark_overflow = false\n");
    corpus.add("project_file", "rom = \"\"\"a\nb\"\"\"\ndata_file = 'x'\ntable = \"t\\u0000\"\npatches = [ 'a', # c [[\n 'b' ]\n"
                               "output = { rom = 'r', ips = 'i' }\n\"k\\u001B[2J\" = 1\n");
    corpus.add("project_file", plain + "x = " + Bytes(17, '[') + Bytes(17, ']') + "\n[a.b.c.d.e.f.g.h.i.j.k.l.m.n.o.p]\n");
    corpus.add("project_file", plain + "[[list.of]]\nq.r.s = {t.u = [1.5, 2026-01-01T00:00:00.5]}\n");
    // The patch formats and the release table, with a title that tries to break the read-me's lines.
    Bytes formats = plain;
    formats.replace(formats.find("[output]\n"), 9, "[output]\nformats = ['bps', 'ips', 'ips']\nbps = 'b.bps'\n");
    corpus.add("project_file", formats + "[release]\ntitle = \"T\\nCRC32 0\"\nversion = '1.0'\ndir = 'rel'\n");
}

void poSeeds(Corpus& corpus) {
    std::vector<project::PoMessage> messages;
    for (unsigned n = 0; n < 20; ++n) {
        project::PoMessage message;
        message.notes = {"box: 216 pixels wide, 6 rows"};
        message.context = "BLOCK 545C00 STRING " + std::to_string(n);
        message.id = "kana " + std::to_string(n);
        message.str = n % 3 == 0 ? "" : "Hello [PLAYER]\nline two[KEY]";
        messages.push_back(std::move(message));
    }
    const Bytes file = project::FormatPoFile(messages);
    corpus.add("po_import", file);
    const Bytes header = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    const auto entry = [](const Bytes& context, const Bytes& str) {
        return "msgctxt \"" + context + "\"\nmsgid \"x\"\nmsgstr \"" + str + "\"\n\n";
    };
    corpus.add("po_import", header + entry("BLOCK 545C00 STRING 0", "Hi\\n.ENDS\\n\\n.STRING 3\\nInjected"));
    corpus.add("po_import", header + entry("BLOCK 545C00 STRING 1", "  .ends  ") + entry("BLOCK D40000 STRING 2", "a\\tb"));
    corpus.add("po_import", header + entry("BLOCK 545C00 STRING 2", "ab\\0cd") + entry("BLOCK 545C00 STRING 4", "x\\ry"));
    corpus.add("po_import", header + "#, fuzzy\n" + entry("BLOCK 145C00 STRING 5", "caf\xC3\xA9 [YES-NO][$0102][$0304]") +
                                "msgctxt \"BLOCK 545C00 STRING 6\"\nmsgid \"a\"\nmsgid_plural \"b\"\n"
                                "msgstr[0] \"one\"\nmsgstr[1] \"two\"\n");
    corpus.add("po_import", "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n" +
                                entry("BLOCK 545C00 STRING 7", "caf\xE9"));
    corpus.add("po_import", header + entry("BLOCK 545C00 STRING 8", "   ") + entry("BLOCK 545C00 STRING 9", "\\n\\nend\\n"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_corpus OUT\n");
        return 2;
    }
    const demo::DemoGame game = demo::BuildDemoGame();
    Corpus corpus(argv[1]);
    romSeeds(corpus, game);
    textSeeds(corpus, game);
    insertionSeeds(corpus, game);
    patchSeeds(corpus);
    bpsSeeds(corpus);
    utilitySeeds(corpus, game);
    projectSeeds(corpus);
    poSeeds(corpus);
    if (!corpus.ok()) {
        std::fprintf(stderr, "fuzz_seed_corpus: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
