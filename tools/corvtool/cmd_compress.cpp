// corvtool compress ROM ADDRESS LIMIT IN [--maximise]: compresses a file into the ROM in place of a
// block, as the utility's recompression does for one listing line, and saves the ROM file only on
// success. --maximise writes the smallest stream the game reads back instead of the standard one.

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <vector>

#include "tools/corvtool/command.h"
#include "comp/messages.h"
#include "core/address.h"
#include "core/block_encoder.h"
#include "core/block_format.h"
#include "core/rom_image.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

int runCompress(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> allArgs = givenArgs;
    const bool force = TakeForceOption(allArgs);
    std::vector<std::string> args;
    core::Compressor compressor = core::Compressor::Standard;
    if (!SplitCompressorOption(allArgs, "compress", err, args, compressor)) return kExitUsage;
    if (args.size() != 4) {
        err << "corvtool compress: expected ROM ADDRESS LIMIT IN [--maximise]\n";
        return kExitUsage;
    }
    uint32_t address = 0;
    uint32_t limit = 0;
    if (!ParseAddressArgument(args[1], "compress", err, address)) return kExitUsage;
    if (!ParseHexArgument(args[2], limit)) {
        err << "corvtool compress: '" << args[2] << "' is not a hexadecimal ROM offset\n";
        return kExitUsage;
    }
    const auto input = core::ReadWholeFile(args[3]);
    if (!input) {
        FileError(err, "compress", args[3]) << "cannot read this file (missing, unreadable or a folder)\n";
        return kExitBadInput;
    }
    if (input->size() > core::kMaxBlockFileSize) {
        FileError(err, "compress", args[3]) << "holds " << input->size() << " bytes, more than the "
                                            << core::kMaxBlockFileSize << " a block can hold\n";
        return kExitDoesNotFit;
    }
    const auto lock = LockGameRom(args[0], "compress", err);
    if (!lock) return kExitBadInput;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "compress", err)) return kExitBadInput;

    const uint32_t blockOffset = core::AddressToRomOffset(address);
    if (!BlockLiesInRom(rom, address, "compress", err)) return kExitBadInput;
    // The room runs from the block to LIMIT; a LIMIT before the block or past the ROM names none.
    if (limit <= blockOffset || limit > rom.dataSize()) {
        FileError(err, "compress", args[0]) << "LIMIT " << HexWord(limit) << " must lie after the block at ROM offset "
                                            << HexWord(blockOffset) << " and within the ROM's "
                                            << HexWord(rom.dataSize()) << " bytes\n";
        return kExitBadInput;
    }

    // The compressor reads past the data (odd lengths, the last group): those bytes read as zero.
    std::vector<uint8_t> source(core::kBlockHalfSize + 2, 0);
    std::copy(input->begin(), input->end(), source.begin());
    const uint32_t length = static_cast<uint32_t>(input->size());
    const std::string name = std::filesystem::path(args[3]).filename().string();

    const uint32_t result = core::CompressBlock(rom.data(), address, limit, length, source, compressor);
    if (result == core::kCompressBadHeader) {
        out << comp::InvalidBlockLine(name) << '\n';
        return kExitBadInput;
    }
    if (core::IsTooLarge(result)) {
        out << comp::TooLargeLine(name, core::ExcessBytes(result)) << '\n';
        return kExitDoesNotFit;
    }
    if (result == core::kCompressReadBackFailed) {
        out << comp::ReadBackFailedLine(name) << '\n';
        return kExitDoesNotFit;
    }
    rom.setModified(true);
    if (!SaveGameRom(rom, "compress", err, {.force = force}, &*lock)) return kExitBadInput;
    out << comp::RecompressedLine(name) << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kCompressCommand{
    "compress", "ROM ADDRESS LIMIT IN [--maximise] [--force]",
    "compress IN into the block at ADDRESS (24-bit), its room ending at ROM offset LIMIT (hex); saves only on "
    "success; --maximise writes the smallest stream the game reads back",
    runCompress};

}  // namespace corv::tool
