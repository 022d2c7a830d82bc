#include "patches/rom_patcher.h"

#include <algorithm>
#include <system_error>

#include "patches/block_guard.h"
#include "patches/bps_format.h"

namespace corv::patches {
namespace {

constexpr std::string_view kIpsMagic = "PATCH";

bool startsWith(std::span<const uint8_t> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
}

// Whether the IPS patch, applied to `image` with its copier header taken away (or a blank one
// added), would leave every watched block passing: then it was made for that other ROM.
bool passesWithOtherHeader(std::span<const uint8_t> image, uint32_t headerSize, std::span<const uint8_t> patch,
                           const BlockGuard& guard) {
    std::vector<uint8_t> other;
    if (headerSize != 0) {
        other.assign(image.begin() + headerSize, image.end());
    } else {
        other.assign(core::kCopierHeaderSize, 0);
        other.insert(other.end(), image.begin(), image.end());
    }
    if (ApplyIpsPatch(other, patch) != IpsStatus::Applied) return false;
    const size_t otherHeader = headerSize != 0 ? 0 : core::kCopierHeaderSize;
    if (other.size() < otherHeader) return false;
    return !guard.firstBroken(std::span<const uint8_t>(other).subspan(otherHeader));
}

// One patch applied to the working `image`: the outcome's refusal fields are filled on failure.
bool applyOne(std::vector<uint8_t>& image, uint32_t headerSize, std::span<const uint8_t> patch, size_t index,
              PatchOutcome& outcome) {
    const std::optional<PatchFormat> format = PatchFormatOf(patch);
    if (!format) {
        outcome.status = PatchStatus::NotAPatch;
        return false;
    }
    outcome.format = *format;
    if (*format == PatchFormat::Ips) {
        outcome.ips = ApplyIpsPatch(image, patch);
        if (outcome.ips == IpsStatus::Applied) return true;
        outcome.status = PatchStatus::IpsRefused;
        return false;
    }
    BpsFileApplication applied = ApplyBpsToFile(image, headerSize, patch);
    if (applied.status != BpsStatus::Applied) {
        outcome.status = PatchStatus::BpsRefused;
        outcome.bps = std::move(applied);
        return false;
    }
    if (applied.madeFor != BpsMadeFor::ThisFile) outcome.crossings.push_back({index, applied.madeFor});
    image = std::move(applied.image);
    return true;
}

// Applies the patches that `readPatch(i)` gives; a std::nullopt from it means the file cannot be read.
template <typename ReadPatch>
PatchOutcome applyInOrder(core::RomImage& rom, size_t count, ReadPatch readPatch, std::span<const uint32_t> listed) {
    PatchOutcome outcome;
    if (!rom.loaded()) {
        outcome.status = PatchStatus::NoRom;
        return outcome;
    }
    const uint32_t headerSize = rom.headerSize();
    outcome.headerSize = headerSize;
    const bool hadTitle = core::HasGameTitle(rom.data());
    const BlockGuard guard(rom.data(), listed);
    std::vector<uint8_t> image(rom.fileBytes().begin(), rom.fileBytes().end());
    const auto refuseAll = [&](PatchStatus status, size_t index) {
        outcome.status = status;
        outcome.failedIndex = index;
        outcome.appliedCount = 0;
        outcome.crossings.clear();
        return outcome;
    };
    for (size_t i = 0; i < count; ++i) {
        const std::optional<std::span<const uint8_t>> patch = readPatch(i);
        if (!patch) {
            outcome.status = PatchStatus::CannotOpen;
            outcome.failedIndex = i;
            break;
        }
        std::vector<uint8_t> before;
        if (PatchFormatOf(*patch) == PatchFormat::Ips) before = image;  // for the other-header trial
        if (!applyOne(image, headerSize, *patch, i, outcome)) {
            outcome.failedIndex = i;
            break;
        }
        outcome.gameCheck = CheckPatchedImage(image, headerSize, hadTitle);
        if (outcome.gameCheck != IpsGameCheck::Kept) {
            outcome.patchedSize = image.size();
            return refuseAll(PatchStatus::NotThisGame, i);
        }
        if (const auto broken = guard.firstBroken(std::span<const uint8_t>(image).subspan(headerSize))) {
            outcome.brokenBlock = *broken;
            outcome.madeForOtherHeader = outcome.format == PatchFormat::Ips &&
                                         passesWithOtherHeader(before, headerSize, *patch, guard);
            return refuseAll(PatchStatus::BreaksBlock, i);
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

std::optional<PatchFormat> PatchFormatOf(std::span<const uint8_t> patch) {
    if (startsWith(patch, kIpsMagic)) return PatchFormat::Ips;
    if (startsWith(patch, kBpsMagic)) return PatchFormat::Bps;
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> ReadPatchFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kLargestPatchFile) return std::nullopt;
    auto bytes = core::ReadWholeFile(path);
    if (!bytes || bytes->size() > kLargestPatchFile) return std::nullopt;
    return bytes;
}

PatchOutcome ApplyPatchFiles(core::RomImage& rom, std::span<const std::filesystem::path> patches,
                             std::span<const uint32_t> listedBlocks) {
    std::optional<std::vector<uint8_t>> bytes;
    return applyInOrder(rom, patches.size(), [&](size_t i) -> std::optional<std::span<const uint8_t>> {
        bytes = ReadPatchFile(patches[i]);
        if (!bytes) return std::nullopt;
        return std::span<const uint8_t>(*bytes);
    }, listedBlocks);
}

PatchOutcome ApplyPatches(core::RomImage& rom, std::span<const std::vector<uint8_t>> patches,
                          std::span<const uint32_t> listedBlocks) {
    return applyInOrder(rom, patches.size(), [&](size_t i) -> std::optional<std::span<const uint8_t>> {
        return std::span<const uint8_t>(patches[i]);
    }, listedBlocks);
}

}  // namespace corv::patches
