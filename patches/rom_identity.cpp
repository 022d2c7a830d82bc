#include "patches/rom_identity.h"

#include <algorithm>

#include "patches/crc32.h"

namespace corv::patches {

FileIdentity IdentifyFile(std::span<const uint8_t> bytes) {
    return {bytes.size(), Crc32(bytes), Md5(bytes), Sha1(bytes)};
}

RomIdentity IdentifyRom(std::span<const uint8_t> fileImage, uint32_t headerSize) {
    RomIdentity identity;
    identity.file = IdentifyFile(fileImage);
    if (headerSize != 0) {
        identity.withoutHeader = IdentifyFile(fileImage.subspan(std::min<size_t>(headerSize, fileImage.size())));
    }
    return identity;
}

}  // namespace corv::patches
