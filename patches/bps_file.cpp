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

std::optional<BpsSourceMatch> FindBpsSource(std::span<const uint8_t> fileImage, uint32_t headerSize,
                                            const BpsHeader& header) {
    if (matches(fileImage.size(), Crc32(fileImage), header.sourceSize, header.sourceCrc)) {
        return BpsSourceMatch{BpsMadeFor::ThisFile, {}};
    }
    const std::span<const uint8_t> data = fileImage.subspan(std::min<size_t>(headerSize, fileImage.size()));
    if (headerSize != 0) {
        if (matches(data.size(), Crc32(data), header.sourceSize, header.sourceCrc)) {
            return BpsSourceMatch{BpsMadeFor::RomWithoutHeader, {}};
        }
        return std::nullopt;
    }
    if (header.sourceSize != data.size() + core::kCopierHeaderSize) return std::nullopt;
    const uint32_t dataCrc = Crc32(data);
    for (std::vector<uint8_t>& copier : KnownCopierHeaders(data.size())) {
        if (Crc32Concat(Crc32(copier), dataCrc, data.size()) == header.sourceCrc) {
            return BpsSourceMatch{BpsMadeFor::RomWithHeader, std::move(copier)};
        }
    }
    return std::nullopt;
}

bool IsBpsTarget(std::span<const uint8_t> fileImage, uint32_t headerSize, const BpsHeader& header) {
    const std::span<const uint8_t> data = fileImage.subspan(std::min<size_t>(headerSize, fileImage.size()));
    return matches(fileImage.size(), Crc32(fileImage), header.targetSize, header.targetCrc) ||
           (headerSize != 0 && matches(data.size(), Crc32(data), header.targetSize, header.targetCrc));
}

BpsFileApplication ApplyBpsToFile(std::span<const uint8_t> fileImage, uint32_t headerSize,
                                  std::span<const uint8_t> patch) {
    BpsFileApplication refused;
    const BpsRead read = ReadBpsPatch(patch);
    refused.status = read.status;
    refused.header = read.header;
    if (read.status != BpsStatus::Applied) return refused;
    const BpsHeader& header = read.header;
    const std::span<const uint8_t> data = fileImage.subspan(std::min<size_t>(headerSize, fileImage.size()));

    const std::optional<BpsSourceMatch> source = FindBpsSource(fileImage, headerSize, header);
    if (!source) {
        refused.status = BpsStatus::WrongSource;
        refused.fileCrc = Crc32(fileImage);
        refused.dataCrc = Crc32(data);
        refused.alreadyPatched = IsBpsTarget(fileImage, headerSize, header);
        return refused;
    }
    switch (source->madeFor) {
    case BpsMadeFor::ThisFile: return applyTo(patch, header, fileImage, BpsMadeFor::ThisFile);
    case BpsMadeFor::RomWithoutHeader: {
        BpsFileApplication applied = applyTo(patch, header, data, BpsMadeFor::RomWithoutHeader);
        if (applied.status == BpsStatus::Applied) {
            applied.image.insert(applied.image.begin(), fileImage.begin(), fileImage.begin() + headerSize);
        }
        return applied;
    }
    case BpsMadeFor::RomWithHeader: {
        std::vector<uint8_t> headered = source->copierHeader;
        headered.insert(headered.end(), data.begin(), data.end());
        BpsFileApplication applied = applyTo(patch, header, headered, BpsMadeFor::RomWithHeader);
        if (applied.status != BpsStatus::Applied) return applied;
        if (applied.image.size() < core::kCopierHeaderSize) {
            applied.status = BpsStatus::BadAction;  // no header to leave out again
            applied.image.clear();
            return applied;
        }
        applied.image.erase(applied.image.begin(), applied.image.begin() + core::kCopierHeaderSize);
        return applied;
    }
    }
    return refused;
}

}  // namespace corv::patches
