#include "ips_patch.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/byte_order.h"

namespace corv::script {
namespace {

constexpr std::string_view kMagic = "PATCH";

struct IpsRecord {
    uint32_t offset = 0;
    uint32_t length = 0;
    std::span<const uint8_t> data;  // normal record
    uint8_t runValue = 0;           // run record (data empty)
};

// Reads every record first, so that a broken patch is refused before anything is written.
std::optional<std::vector<IpsRecord>> studyPatch(core::ByteCursor& cursor) {
    std::vector<IpsRecord> records;
    while (!cursor.atEnd()) {
        const auto offset = cursor.u24be();
        if (!offset) return std::nullopt;
        if (*offset == kIpsEndMarker) break;
        const auto size = cursor.u16be();
        if (!size) return std::nullopt;
        IpsRecord record;
        record.offset = *offset;
        if (*size != 0) {
            const auto data = cursor.bytes(*size);
            if (!data) return std::nullopt;
            record.length = *size;
            record.data = *data;
        } else {
            const auto runLength = cursor.u16be();
            const auto value = runLength ? cursor.u8() : std::nullopt;
            if (!value) return std::nullopt;
            record.length = *runLength;
            record.runValue = *value;
        }
        records.push_back(record);
    }
    return records;
}

}  // namespace

IpsStatus ApplyIpsPatch(std::vector<uint8_t>& fileImage, std::span<const uint8_t> patch) {
    core::ByteCursor cursor(patch);
    const auto magic = cursor.bytes(kMagic.size());
    if (!magic || !std::equal(magic->begin(), magic->end(), kMagic.begin())) return IpsStatus::NotPatch;
    const auto records = studyPatch(cursor);
    if (!records) return IpsStatus::Truncated;

    for (const IpsRecord& record : *records) {
        if (record.length == 0) continue;
        const size_t end = size_t{record.offset} + record.length;
        if (end > fileImage.size()) fileImage.resize(end, 0);
        const auto at = fileImage.begin() + record.offset;
        if (record.data.empty()) {
            std::fill_n(at, record.length, record.runValue);
        } else {
            std::copy(record.data.begin(), record.data.end(), at);
        }
    }
    return IpsStatus::Applied;
}

namespace {

// Applies the patches that `readPatch(i)` gives; a std::nullopt from it means the file cannot be read.
template <typename ReadPatch>
IpsOutcome applyInOrder(core::RomImage& rom, size_t count, ReadPatch readPatch) {
    IpsOutcome outcome;
    if (!rom.loaded()) {
        outcome.status = IpsStatus::NoRom;
        return outcome;
    }
    for (size_t i = 0; i < count; ++i) {
        const std::optional<std::span<const uint8_t>> patch = readPatch(i);
        IpsStatus status = IpsStatus::CannotOpen;
        std::vector<uint8_t> image;
        if (patch) {
            const auto current = rom.fileBytes();
            image.assign(current.begin(), current.end());
            status = ApplyIpsPatch(image, *patch);
        }
        if (status != IpsStatus::Applied) {
            outcome.status = status;
            outcome.failedIndex = i;
            break;
        }
        rom.replaceFileBytes(std::move(image));
        ++outcome.appliedCount;
    }
    if (outcome.appliedCount > 0) rom.setModified(true);
    return outcome;
}

}  // namespace

IpsOutcome ApplyIpsFiles(core::RomImage& rom, std::span<const std::filesystem::path> patches) {
    std::optional<std::vector<uint8_t>> bytes;
    return applyInOrder(rom, patches.size(), [&](size_t i) -> std::optional<std::span<const uint8_t>> {
        bytes = core::ReadWholeFile(patches[i]);
        if (!bytes) return std::nullopt;
        return std::span<const uint8_t>(*bytes);
    });
}

IpsOutcome ApplyIpsPatches(core::RomImage& rom, std::span<const std::vector<uint8_t>> patches) {
    return applyInOrder(rom, patches.size(), [&](size_t i) -> std::optional<std::span<const uint8_t>> {
        return std::span<const uint8_t>(patches[i]);
    });
}

std::string IpsMessage(const IpsOutcome& outcome) {
    switch (outcome.status) {
    case IpsStatus::Applied: return "Patching is complete! Remember to SAVE the changes!";
    case IpsStatus::NoRom: return {};
    case IpsStatus::CannotOpen: return "File not found or is invalid. No patching performed.";
    case IpsStatus::NotPatch: return "Not a valid \"PATCH\" file!";
    case IpsStatus::Truncated:
        return "The PATCH file ends in the middle of a record. This file was not applied.";
    }
    return {};
}

}  // namespace corv::script
