// corvtool decompress ROM ADDRESS OUT: writes the decompressed bytes of one block, exactly what
// the editor's dump command writes after that block was chosen.

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <ostream>

#include "tools/corvtool/command.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "tools/corvtool/rom_argument.h"

namespace corv::tool {
namespace {

int runDecompress(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = givenArgs;
    const bool force = TakeForceOption(args);
    if (args.size() != 3) {
        err << "corvtool decompress: expected ROM ADDRESS OUT\n";
        return kExitUsage;
    }
    uint32_t address = 0;
    if (!ParseAddressArgument(args[1], "decompress", err, address)) return kExitUsage;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "decompress", err)) return kExitBadInput;

    auto buffer = std::make_unique<core::BlockBuffer>();
    const auto end = DecompressNamedBlock(rom, address, *buffer, "decompress", err);
    if (!end) return kExitBadInput;
    const uint16_t length = core::DecompressedLength(*buffer);
    if (const core::SaveResult saved = core::DumpDecompressedBlock(*buffer, length, args[2], {.force = force}); !saved) {
        ReportSaveFailure(err, "decompress", args[2], saved);
        return kExitBadInput;
    }
    out << HexWord(*end) << ' ' << length << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kDecompressCommand{
    "decompress", "ROM ADDRESS OUT [--force]",
    "write the decompressed bytes of the block at ADDRESS (24-bit, hex) to OUT; prints the end offset and length",
    runDecompress};

}  // namespace corv::tool
