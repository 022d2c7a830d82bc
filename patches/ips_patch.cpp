#include "patches/ips_patch.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "core/address.h"
#include "core/block_format.h"
#include "core/byte_order.h"

namespace corv::patches {
namespace {

constexpr std::string_view kMagic = "PATCH";

struct IpsRecord {
    uint32_t offset = 0;
    uint32_t length = 0;
    std::span<const uint8_t> data;  // normal record
    uint8_t runValue = 0;           // run record (data empty)
};

// Walks the records after the magic, handing each to `visit`, then reads what follows the end
// marker: nothing, or the 3-byte length `cutTo`. Returns Applied when the patch is whole.
template <typename Visit>
IpsStatus walkRecords(core::ByteCursor cursor, Visit visit, std::optional<uint32_t>& cutTo) {
    while (true) {
        if (cursor.atEnd()) return IpsStatus::NoEndMarker;
        const auto offset = cursor.u24be();
        if (!offset) return IpsStatus::Truncated;
        if (*offset == kIpsEndMarker) break;
        const auto size = cursor.u16be();
        if (!size) return IpsStatus::Truncated;
        IpsRecord record;
        record.offset = *offset;
        if (*size != 0) {
            const auto data = cursor.bytes(*size);
            if (!data) return IpsStatus::Truncated;
            record.length = *size;
            record.data = *data;
        } else {
            const auto runLength = cursor.u16be();
            const auto value = runLength ? cursor.u8() : std::nullopt;
            if (!value) return IpsStatus::Truncated;
            record.length = *runLength;
            record.runValue = *value;
        }
        visit(record);
    }
    if (cursor.remaining() == 3) {
        cutTo = cursor.u24be();
    } else if (!cursor.atEnd()) {
        return IpsStatus::Damaged;  // records after an early end marker, or stray bytes
    }
    return IpsStatus::Applied;
}

}  // namespace

IpsStatus ApplyIpsPatch(std::vector<uint8_t>& fileImage, std::span<const uint8_t> patch) {
    core::ByteCursor cursor(patch);
    const auto magic = cursor.bytes(kMagic.size());
    if (!magic || !std::equal(magic->begin(), magic->end(), kMagic.begin())) return IpsStatus::NotPatch;

    // The whole patch is checked, and the size it grows the image to found, before anything is
    // written; then it is read again to write. Both passes are linear and keep no record list.
    size_t grownSize = fileImage.size();
    std::optional<uint32_t> cutTo;
    const IpsStatus status = walkRecords(
        cursor,
        [&](const IpsRecord& record) {
            if (record.length > 0) grownSize = std::max(grownSize, size_t{record.offset} + record.length);
        },
        cutTo);
    if (status != IpsStatus::Applied) return status;

    fileImage.resize(grownSize, 0);
    (void)walkRecords(
        cursor,
        [&](const IpsRecord& record) {
            if (record.length == 0) return;
            const auto at = fileImage.begin() + record.offset;
            if (record.data.empty()) {
                std::fill_n(at, record.length, record.runValue);
            } else {
                std::copy(record.data.begin(), record.data.end(), at);
            }
        },
        cutTo);
    if (cutTo && *cutTo < fileImage.size()) fileImage.resize(*cutTo);
    return IpsStatus::Applied;
}

IpsGameCheck CheckPatchedImage(std::span<const uint8_t> fileImage, uint32_t headerSize, bool hadTitle) {
    if (core::CopierHeaderSize(fileImage.size()) != headerSize || fileImage.size() < headerSize) {
        return IpsGameCheck::HeaderGuessChanges;
    }
    if (hadTitle && !core::HasGameTitle(fileImage.subspan(headerSize))) return IpsGameCheck::TitleOverwritten;
    return IpsGameCheck::Kept;
}

namespace {

bool headerPasses(std::span<const uint8_t> romData, uint32_t address) {
    const auto header = core::ReadBlockHeader(romData, core::AddressToRomOffset(address & 0xFFFFFF));
    return header && header->valid();
}

// Applies the patches that `readPatch(i)` gives; a std::nullopt from it means the file cannot be read.
template <typename ReadPatch>
IpsOutcome applyInOrder(core::RomImage& rom, size_t count, ReadPatch readPatch, std::span<const uint32_t> guardedBlocks) {
    IpsOutcome outcome;
    if (!rom.loaded()) {
        outcome.status = IpsStatus::NoRom;
        return outcome;
    }
    // The patches go into one working copy, which replaces the ROM once the set has been seen
    // through; so a result that would not open as the game can refuse the set as a whole.
    const bool hadTitle = core::HasGameTitle(rom.data());
    std::vector<uint32_t> passing;
    for (const uint32_t address : guardedBlocks) {
        if (headerPasses(rom.data(), address)) passing.push_back(address);
    }
    std::vector<uint8_t> image(rom.fileBytes().begin(), rom.fileBytes().end());
    for (size_t i = 0; i < count; ++i) {
        const std::optional<std::span<const uint8_t>> patch = readPatch(i);
        const IpsStatus status = patch ? ApplyIpsPatch(image, *patch) : IpsStatus::CannotOpen;
        if (status != IpsStatus::Applied) {
            outcome.status = status;
            outcome.failedIndex = i;
            break;
        }
        outcome.gameCheck = CheckPatchedImage(image, rom.headerSize(), hadTitle);
        if (outcome.gameCheck != IpsGameCheck::Kept) {
            outcome.status = IpsStatus::NotThisGame;
            outcome.failedIndex = i;
            outcome.patchedSize = image.size();
            outcome.appliedCount = 0;
            return outcome;
        }
        const std::span<const uint8_t> patchedData = std::span<const uint8_t>(image).subspan(rom.headerSize());
        for (const uint32_t address : passing) {
            if (headerPasses(patchedData, address)) continue;
            outcome.status = IpsStatus::BreaksBlock;
            outcome.failedIndex = i;
            outcome.brokenBlock = address;
            outcome.headerSize = rom.headerSize();
            outcome.appliedCount = 0;
            return outcome;
        }
        ++outcome.appliedCount;
    }
    if (outcome.appliedCount > 0) {
        rom.replaceFileBytes(std::move(image));
        rom.setModified(true);
    }
    return outcome;
}

}  // namespace

IpsOutcome ApplyIpsFiles(core::RomImage& rom, std::span<const std::filesystem::path> patches,
                         std::span<const uint32_t> guardedBlocks) {
    std::optional<std::vector<uint8_t>> bytes;
    return applyInOrder(rom, patches.size(), [&](size_t i) -> std::optional<std::span<const uint8_t>> {
        bytes = core::ReadWholeFile(patches[i]);
        if (!bytes) return std::nullopt;
        return std::span<const uint8_t>(*bytes);
    }, guardedBlocks);
}

IpsOutcome ApplyIpsPatches(core::RomImage& rom, std::span<const std::vector<uint8_t>> patches,
                           std::span<const uint32_t> guardedBlocks) {
    return applyInOrder(rom, patches.size(), [&](size_t i) -> std::optional<std::span<const uint8_t>> {
        return std::span<const uint8_t>(patches[i]);
    }, guardedBlocks);
}

std::string IpsMessage(const IpsOutcome& outcome) {
    switch (outcome.status) {
    case IpsStatus::Applied: return "Patching is complete! Remember to SAVE the changes!";
    case IpsStatus::NoRom: return {};
    case IpsStatus::CannotOpen: return "File not found or is invalid. No patching performed.";
    case IpsStatus::NotPatch: return "Not a valid \"PATCH\" file!";
    case IpsStatus::Truncated:
        return "The PATCH file ends in the middle of a record. This file was not applied.";
    case IpsStatus::NoEndMarker:
        return "The PATCH file ends without its EOF marker; it may be cut short. This file was not applied.";
    case IpsStatus::Damaged:
        return "The PATCH file has unexpected bytes after its EOF marker. This file was not applied.";
    case IpsStatus::BreaksBlock: {
        char block[16];
        std::snprintf(block, sizeof block, "%X", unsigned(outcome.brokenBlock));
        return std::string("The PATCH file breaks block ") + block +
               ": its header no longer passes its check. The patch was probably made for a ROM " +
               (outcome.headerSize == 0 ? "with" : "without") + " a 512-byte copier header. No patching performed.";
    }
    case IpsStatus::NotThisGame:
        if (outcome.gameCheck == IpsGameCheck::TitleOverwritten) {
            return "The PATCH file would overwrite the ROM's internal title, so the ROM would no longer open. "
                   "No patching performed.";
        }
        return "The PATCH file would make the ROM " + std::to_string(outcome.patchedSize) +
               " bytes long, which changes its copier header, so the ROM would no longer open. "
               "No patching performed.";
    }
    return {};
}

}  // namespace corv::patches
