#include "project/release_readme.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/rom_image.h"

namespace corv::project {
namespace {

std::string identityLine(const char* what, const patches::FileIdentity& identity) {
    char figures[64];
    std::snprintf(figures, sizeof figures, "%llu bytes, CRC32 %08X", static_cast<unsigned long long>(identity.size),
                  unsigned(identity.crc32));
    return std::string("  ") + what + "\n    " + figures + "\n    MD5   " + patches::DigestHex(identity.md5) +
           "\n    SHA-1 " + patches::DigestHex(identity.sha1) + "\n";
}

std::string identityLines(const HeaderedIdentity& identity) {
    return identityLine("Without a copier header (as dump databases list it):", identity.data) +
           identityLine(identity.headerOfZeros ? "With a 512-byte copier header of zero bytes:"
                                               : "With the 512-byte copier header the translators' ROM has:",
                        identity.withHeader);
}

}  // namespace

HeaderedIdentity IdentifyWithAndWithoutHeader(std::span<const uint8_t> fileImage, uint32_t headerSize) {
    HeaderedIdentity identity;
    const std::span<const uint8_t> data = fileImage.subspan(std::min<size_t>(headerSize, fileImage.size()));
    identity.data = patches::IdentifyFile(data);
    identity.headerOfZeros = headerSize == 0;
    if (headerSize != 0) {
        identity.withHeader = patches::IdentifyFile(fileImage);
    } else {
        std::vector<uint8_t> headered(core::kCopierHeaderSize + data.size(), 0);
        std::copy(data.begin(), data.end(), headered.begin() + core::kCopierHeaderSize);
        identity.withHeader = patches::IdentifyFile(headered);
    }
    return identity;
}

std::string ReleaseReadmeText(const ReleaseReadme& readme) {
    std::string text = readme.title + "\nVersion " + readme.version + "\n\n";
    text += "A translation patch of the SNES game CORVANE. It holds none of the game: you apply it to\n"
            "a ROM of the original game that you own.\n\nFiles\n";
    if (readme.bps) {
        text += "  " + readme.bps->name + ": BPS patch, " + std::to_string(readme.bps->size) + " bytes, the one to apply\n";
    }
    if (readme.ips) {
        text += "  " + readme.ips->name + ": IPS patch, " + std::to_string(readme.ips->size) + " bytes" +
                (readme.bps ? ", only for a patcher without BPS" : "") + "\n";
    }
    text += std::string("  ") + "README.txt: this text\n\nThe ROM the patch is for\n" + identityLines(readme.original);
    text += "\nHow to apply\n";
    text += "  1. Check your ROM against the figures above with any checksum tool (or with\n"
            "     corvtool verify YOUR.smc" +
            (readme.bps ? " --patch " + readme.bps->name : std::string()) + ").\n";
    if (readme.bps) {
        text += "  2. Apply " + readme.bps->name +
                " with any BPS patcher: a desktop or browser patcher, or an\n"
                "     emulator's soft patching (the patch beside the ROM, named as the ROM with .bps).\n"
                "     The patch carries the checksums of the ROM it is for, of the result and of itself:\n"
                "     a patcher refuses the wrong ROM or a damaged download instead of making a broken\n"
                "     game. Most patchers want the ROM without a copier header: remove a header first\n"
                "     (corvtool patch applies the patch behind it and keeps it).\n";
    }
    if (readme.ips) {
        const std::string rom = std::string("the ROM above ") + (readme.ipsForHeaderedRom ? "with" : "without") +
                                " a copier header";
        text += readme.bps ? "     Only with a patcher that has no BPS: apply " + readme.ips->name + " instead.\n"
                           : "  2. Apply " + readme.ips->name + " with any IPS patcher.\n";
        text += "     An IPS patch carries no checksum and goes onto any ROM without a word: apply it\n"
                "     only to " + rom + ", after checking it.\n";
    }
    text += "  3. Check the result against the figures below; keep the original ROM.\n";
    text += "\nThe patched ROM\n" + identityLines(readme.result);
    return text;
}

}  // namespace corv::project
