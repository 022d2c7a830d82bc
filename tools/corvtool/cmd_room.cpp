// corvtool room ROM DATAFILE: for every block the data file lists, its room in the ROM, its
// decompressed length, the size the compressor gives its unchanged contents and the headroom
// left for a translation (and, for a block over or tight, the size the maximising compressor
// gives and the headroom it leaves, as --maximise would); and the self-check that decompressing that recompression gives the
// block's bytes back. Nothing is written.
//
// With --endblocks it prints instead, for every block, its .BLOCK line and the .ENDBLOCK line
// that holds the end of its room as this ROM has it: pasted into the data file before the first
// insertion, they keep each block's room from shrinking with the insertions.
//
// Exit codes: 0 every block passed; 1 a block fails its header check or its round trip;
// 2 an input cannot be read; 3 usage.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>
#include <vector>

#include "tools/corvtool/check_inputs.h"
#include "tools/corvtool/check_report.h"
#include "tools/corvtool/command.h"
#include "script/string_decoder.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/block_encoder.h"
#include "check/block_check.h"

namespace corv::tool {
namespace {

struct BlockRoom {
    uint32_t room = 0;
    uint16_t length = 0;
    uint64_t compressed = 0;
};

std::string line(const char* format, auto... values) {
    char text[200];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// Recompresses the block into a copy of the ROM, without a room limit, and decompresses it
// from there: true when the block's bytes come back.
bool roundTrips(std::span<const uint8_t> romData, uint32_t address, const core::BlockBuffer& block, uint16_t length) {
    std::vector<uint8_t> scratch(romData.begin(), romData.end());
    const auto size = static_cast<uint32_t>(scratch.size());
    if (core::CompressBlock(scratch, address, size, length, std::span<const uint8_t>(block)) != core::kCompressWritten) {
        return false;
    }
    auto again = std::make_unique<core::BlockBuffer>();
    if (core::DecompressBlock(scratch, address, *again) == core::kBadBlockHeader) return false;
    return core::DecompressedLength(*again) == length &&
           std::equal(block.begin(), block.begin() + length, again->begin());
}

// The .ENDBLOCK lines measured from this ROM, each under its .BLOCK line, for the data file.
// Taken from a ROM whose blocks were inserted they give the inserted data's ends, so the
// blocks that carry their mark are named in a comment line.
int printEndBlocks(const CheckInputs& inputs, std::ostream& out) {
    const std::span<const uint8_t> romData = inputs.rom.data();
    auto buffer = std::make_unique<core::BlockBuffer>();
    size_t failed = 0;
    for (size_t n = 0; n < inputs.dataFile.blocks.size(); ++n) {
        const script::BlockEntry& entry = inputs.dataFile.blocks[n];
        const uint32_t end = core::DecompressBlock(romData, entry.address, *buffer);
        out << line(".BLOCK %X\n", unsigned(entry.address));
        if (end == core::kBadBlockHeader) {
            out << line("// the header at ROM offset %06X fails its check: no .ENDBLOCK\n",
                        unsigned(core::AddressToRomOffset(entry.address)));
            ++failed;
            continue;
        }
        if (script::BlockIsInserted(romData, uint32_t(n))) {
            out << "// this block carries its inserted mark: measure from the original ROM\n";
        }
        out << line(".ENDBLOCK $%06X\n", unsigned(std::max(end, entry.endOfRoom.value_or(0))));
    }
    return failed == 0 ? kExitOk : kExitDoesNotFit;
}

int runRoom(const std::vector<std::string>& allArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    bool endBlocks = false;
    for (const std::string& arg : allArgs) {
        if (arg == "--endblocks") {
            endBlocks = true;
        } else if (arg.starts_with("--")) {
            err << "corvtool room: unknown option " << arg << '\n';
            return kExitUsage;
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() != 2) {
        err << "corvtool room: expected ROM DATAFILE [--endblocks]\n";
        return kExitUsage;
    }
    CheckInputs inputs;
    if (!LoadRomAndDataFile(inputs, args[0], args[1], "room", err)) return kExitBadInput;
    if (endBlocks) return printEndBlocks(inputs, out);
    const std::span<const uint8_t> romData = inputs.rom.data();
    std::vector<std::string> notes;

    out << "block     room    length  compressed  headroom  maximised  headroom  round trip\n";
    size_t failed = 0;
    auto buffer = std::make_unique<core::BlockBuffer>();
    for (size_t n = 0; n < inputs.dataFile.blocks.size(); ++n) {
        const script::BlockEntry& entry = inputs.dataFile.blocks[n];
        uint32_t end = core::DecompressBlock(romData, entry.address, *buffer);
        if (end != core::kBadBlockHeader) end = std::max(end, entry.endOfRoom.value_or(0));
        if (end == core::kBadBlockHeader) {
            out << line("%-8X  the header at ROM offset %06X fails its check\n", unsigned(entry.address),
                        unsigned(core::AddressToRomOffset(entry.address)));
            ++failed;
            continue;
        }
        BlockRoom room;
        room.length = core::DecompressedLength(*buffer);
        const core::CompressionMeasure measure = core::MeasureBlockCompression(
            romData, entry.address, end, room.length, std::span<const uint8_t>(*buffer));
        const bool passes = roundTrips(romData, entry.address, *buffer, room.length);
        if (!passes) ++failed;
        std::string maximised = line("%9s  %8s", "-", "-");
        if (check::OverOrTight(measure.needed, measure.room)) {
            const core::CompressionMeasure harder =
                core::MeasureBlockCompression(romData, entry.address, end, room.length,
                                              std::span<const uint8_t>(*buffer), core::Compressor::Maximising);
            maximised = line("%9u  %8lld", unsigned(harder.needed),
                             static_cast<long long>(int64_t(harder.room) - int64_t(harder.needed)));
        }
        out << line("%-8X  %6u  %6u  %10u  %8lld  %s  %s\n", unsigned(entry.address), unsigned(measure.room),
                    unsigned(room.length), unsigned(measure.needed),
                    static_cast<long long>(int64_t(measure.room) - int64_t(measure.needed)), maximised.c_str(),
                    passes ? "ok" : "FAILED");
        if (!entry.endOfRoom && script::BlockIsInserted(romData, uint32_t(n))) {
            notes.push_back(DescribeRoomFromLastInsertion(entry.address, int64_t(measure.room)));
        }
    }
    out << inputs.dataFile.blocks.size() << " block(s), " << failed << " failed\n";
    for (const std::string& note : notes) out << note << '\n';
    return failed == 0 ? kExitOk : kExitDoesNotFit;
}

}  // namespace

extern const Command kRoomCommand{
    "room", "ROM DATAFILE [--endblocks]",
    "list every block of DATAFILE with its room, length, recompressed size and headroom (for a block over or "
    "within a sixteenth of its room also with --maximise), and check that each recompression decompresses back "
    "to the block; exit 1 when a block fails; --endblocks prints the .ENDBLOCK lines measured from ROM for "
    "the data file",
    runRoom};

}  // namespace corv::tool
