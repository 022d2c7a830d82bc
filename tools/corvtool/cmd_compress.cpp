// corvtool compress ROM ADDRESS LIMIT IN: compresses a file into the ROM in place of a block, as
// the utility's recompression does for one listing line, and saves the ROM file only on success.

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <vector>

#include "command.h"
#include "core/block_encoder.h"
#include "core/block_format.h"
#include "core/rom_image.h"
#include "rom_argument.h"

namespace corv::tool {
namespace {

constexpr int kExitTooLarge = 1;
constexpr int kExitInvalidBlock = 2;

int runCompress(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 4) {
        err << "corvtool compress: expected ROM ADDRESS LIMIT IN\n";
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
        err << "corvtool compress: cannot read " << args[3] << '\n';
        return kExitUsage;
    }
    if (input->size() > core::kMaxBlockFileSize) {
        err << "corvtool compress: " << args[3] << " holds " << input->size() << " bytes, more than the "
            << core::kMaxBlockFileSize << " a block can hold\n";
        return kExitUsage;
    }
    core::RomImage rom;
    if (!OpenGameRom(rom, args[0], "compress", err)) return kExitUsage;

    // The compressor reads past the data (odd lengths, the last group): those bytes read as zero.
    std::vector<uint8_t> source(core::kBlockHalfSize + 2, 0);
    std::copy(input->begin(), input->end(), source.begin());
    const uint32_t length = static_cast<uint32_t>(input->size());
    const std::string name = std::filesystem::path(args[3]).filename().string();

    const uint32_t result = core::CompressBlock(rom.data(), address, limit, length, source);
    if (result == core::kCompressBadHeader) {
        out << "Error: Invalid data block. [ " << name << " ] \n";
        return kExitInvalidBlock;
    }
    if (core::IsTooLarge(result)) {
        out << "Error: Data size too large to recompress. [ " << name << " ] [ " << core::ExcessBytes(result)
            << " BYTES over ]\n";
        return kExitTooLarge;
    }
    if (result == core::kCompressReadBackFailed) {
        out << "Error: Recompressed data did not read back correctly. Block left unchanged. [ " << name << " ] \n";
        return kExitTooLarge;
    }
    rom.setModified(true);
    if (core::SaveRomFile(rom) != core::RomSaveResult::Saved) {
        err << "corvtool compress: cannot save " << args[0] << "; the file was left as it was\n";
        return kExitUsage;
    }
    out << "Success: Data was recompressed completely! [ " << name << " ] \n";
    return kExitOk;
}

}  // namespace

extern const Command kCompressCommand{
    "compress", "ROM ADDRESS LIMIT IN",
    "compress IN into the block at ADDRESS (24-bit), its room ending at ROM offset LIMIT (hex); saves only on "
    "success (exit 0 written, 1 too large, 2 invalid block, 3 other failure)",
    runCompress};

}  // namespace corv::tool
