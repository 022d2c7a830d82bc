// corvtool kana ROM DATAFILE ADDRESS: prints the kana dump of one block, the entries the
// editor's "Dump Kana to a file" writes for it, converted to UTF-8 for the terminal.

#include <algorithm>
#include <memory>
#include <ostream>

#include "tools/corvtool/command.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "tools/corvtool/rom_argument.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/sjis.h"
#include "script/string_decoder.h"
#include "script/text_block.h"

namespace corv::tool {
namespace {

int runKana(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "corvtool kana: expected ROM DATAFILE ADDRESS\n";
        return kExitUsage;
    }
    uint32_t address = 0;
    if (!ParseAddressArgument(args[2], "kana", err, address)) return kExitUsage;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "kana", err)) return kExitBadInput;
    auto maps = std::make_unique<script::CodeMaps>();
    const auto load = script::LoadBlockDataFile(args[1], *maps);
    if (!load) {
        FileError(err, "kana", args[1]) << "cannot read this block data file\n";
        return kExitBadInput;
    }

    // The inserted mark is kept per position in the block list; a block the list does not name
    // cannot carry one.
    if (!script::ListedBlockIndex(load->blocks, address)) {
        err << "corvtool kana: note: block " << HexWord(address) << " is not listed in " << args[1]
            << "; its inserted mark is not checked\n";
    }
    const auto block = OpenTextBlock(rom, *load, args[1], address, script::BlockListing::Optional, "kana", err);
    if (!block) return kExitBadInput;
    out << script::ShiftJisToUtf8(script::KanaDump(block->bytes(), block->info.stringCount, block->inserted, *maps));
    return kExitOk;
}

}  // namespace

extern const Command kKanaCommand{
    "kana", "ROM DATAFILE ADDRESS",
    "print the kana dump of the text block at ADDRESS (hex), decoded through DATAFILE's code table, as UTF-8",
    runKana};

}  // namespace corv::tool
