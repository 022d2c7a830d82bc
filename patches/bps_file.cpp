#include "patches/bps_file.h"

#include <algorithm>

#include "core/rom_image.h"
#include "patches/crc32.h"

namespace corv::patches {
namespace {

// Runs the actions over `source`, which the caller has matched to the patch's source checksum.
BpsFileApplication applyTo(std::span<const uint8_t> patch, const BpsHeader& header, std::span<const uint8_t> source,
                           BpsMadeFor madeFor) {
    BpsFileApplication application;
    application.header = header;
    application.madeFor = madeFor;
    application.status = RunBpsActions(patch, header, source, application.image);
    if (application.status == BpsStatus::Applied && Crc32(application.image) != header.targetCrc) {
        application.status = BpsStatus::WrongTarget;
    }
    if (application.status != BpsStatus::Applied) application.image.clear();
    return application;
}

bool matches(uint64_t size, uint32_t crc, uint64_t wantedSize, uint32_t wantedCrc) {
    return size == wantedSize && crc == wantedCrc;
}

}  // namespace

std::vector<std::vector<uint8_t>> KnownCopierHeaders(uint64_t romDataSize) {
    std::vector<std::vector<uint8_t>> headers;
    headers.emplace_back(core::kCopierHeaderSize, 0);
    const uint64_t blocks = romDataSize / 0x2000;
    // The mode byte: nothing set, or SRAM off, HiROM mapping, or both.
    for (const uint8_t mode : {uint8_t{0x00}, uint8_t{0x0C}, uint8_t{0x30}, uint8_t{0x3C}}) {
        for (const bool fileId : {false, true}) {
            std::vector<uint8_t> header(core::kCopierHeaderSize, 0);
            header[0] = static_cast<uint8_t>(blocks);
            header[1] = static_cast<uint8_t>(blocks >> 8);
            header[2] = mode;
            if (fileId) {
                header[8] = 0xAA;
                header[9] = 0xBB;
                header[10] = 0x04;
            }
            headers.push_back(std::move(header));
        }
    }
    return headers;
}

BpsFileApplication ApplyBpsToFile(std::span<const uint8_t> fileImage, uint32_t headerSize,
                                  std::span<const uint8_t> patch) {
    BpsFileApplication refused;
    const BpsRead read = ReadBpsPatch(patch);
    refused.status = read.status;
    refused.header = read.header;
    if (read.status != BpsStatus::Applied) return refused;
    const BpsHeader& header = read.header;

    const uint32_t fileCrc = Crc32(fileImage);
    if (matches(fileImage.size(), fileCrc, header.sourceSize, header.sourceCrc)) {
        return applyTo(patch, header, fileImage, BpsMadeFor::ThisFile);
    }
    const std::span<const uint8_t> data = fileImage.subspan(std::min<size_t>(headerSize, fileImage.size()));
    const uint32_t dataCrc = headerSize ? Crc32(data) : fileCrc;
    if (headerSize != 0 && matches(data.size(), dataCrc, header.sourceSize, header.sourceCrc)) {
        BpsFileApplication applied = applyTo(patch, header, data, BpsMadeFor::RomWithoutHeader);
        if (applied.status == BpsStatus::Applied) {
            applied.image.insert(applied.image.begin(), fileImage.begin(), fileImage.begin() + headerSize);
        }
        return applied;
    }
    if (headerSize == 0 && header.sourceSize == data.size() + core::kCopierHeaderSize) {
        for (const std::vector<uint8_t>& copier : KnownCopierHeaders(data.size())) {
            if (Crc32Concat(Crc32(copier), dataCrc, data.size()) != header.sourceCrc) continue;
            std::vector<uint8_t> source = copier;
            source.insert(source.end(), data.begin(), data.end());
            BpsFileApplication applied = applyTo(patch, header, source, BpsMadeFor::RomWithHeader);
            if (applied.status == BpsStatus::Applied) {
                if (applied.image.size() < core::kCopierHeaderSize) {
                    applied.status = BpsStatus::BadAction;  // no header to leave out again
                    applied.image.clear();
                } else {
                    applied.image.erase(applied.image.begin(), applied.image.begin() + core::kCopierHeaderSize);
                }
            }
            return applied;
        }
    }
    refused.status = BpsStatus::WrongSource;
    refused.fileCrc = fileCrc;
    refused.dataCrc = dataCrc;
    const uint32_t target = header.targetCrc;
    refused.alreadyPatched = (fileImage.size() == header.targetSize && fileCrc == target) ||
                             (headerSize != 0 && data.size() == header.targetSize && dataCrc == target);
    return refused;
}

}  // namespace corv::patches
