// corvtool decompress ROM ADDRESS OUT: writes the decompressed bytes of one block, exactly what
// the editor's dump command writes after that block was chosen.

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <ostream>

#include "command.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "rom_argument.h"

namespace corv::tool {
namespace {

constexpr int kExitBadHeader = 1;

int runDecompress(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "corvtool decompress: expected ROM ADDRESS OUT\n";
        return kExitUsage;
    }
    uint32_t address = 0;
    if (!ParseAddressArgument(args[1], "decompress", err, address)) return kExitUsage;
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "decompress", err)) return kExitUsage;

    auto buffer = std::make_unique<core::BlockBuffer>();
    const uint32_t end = core::DecompressBlock(rom.data(), address, *buffer);
    if (end == core::kBadBlockHeader) {
        err << "corvtool decompress: the block header at ROM offset "
            << HexWord(core::AddressToRomOffset(address)) << " fails its check\n";
        return kExitBadHeader;
    }
    const uint16_t length = core::DecompressedLength(*buffer);
    if (!core::DumpDecompressedBlock(*buffer, length, args[2])) {
        err << "corvtool decompress: cannot write " << args[2] << '\n';
        return kExitUsage;
    }
    out << HexWord(end) << ' ' << length << '\n';
    return kExitOk;
}

}  // namespace

extern const Command kDecompressCommand{
    "decompress", "ROM ADDRESS OUT",
    "write the decompressed bytes of the block at ADDRESS (24-bit, hex) to OUT; prints the end offset and length",
    runDecompress};

}  // namespace corv::tool
