#include "core/rom_image.h"

#include "core/file_read.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <system_error>
#include <utility>

namespace corv::core {

bool HasGameTitle(std::span<const uint8_t> romData) {
    if (romData.size() < kTitleOffset + kGameTitle.size()) return false;
    return std::equal(kGameTitle.begin(), kGameTitle.end(), romData.begin() + kTitleOffset,
                      [](char expected, uint8_t actual) { return static_cast<uint8_t>(expected) == actual; });
}

RomImage::RomImage(std::vector<uint8_t> fileBytes, std::filesystem::path path)
    : file_(std::move(fileBytes)), headerSize_(CopierHeaderSize(file_.size())), path_(std::move(path)),
      diskFingerprint_(ContentFingerprint(file_)), loaded_(true) {
    // A file shorter than its header rule claims keeps no header, so data() stays a valid view.
    if (file_.size() < headerSize_) headerSize_ = 0;
}

void RomImage::replaceFileBytes(std::vector<uint8_t> fileBytes) {
    file_ = std::move(fileBytes);
    if (file_.size() < headerSize_) headerSize_ = 0;
    loaded_ = true;
}

void RomImage::release() {
    file_.clear();
    file_.shrink_to_fit();
    headerSize_ = 0;
    modified_ = false;
    loaded_ = false;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
    FileRead read = ReadBoundedFile(path, kNoReadLimit);
    if (read.status != FileReadStatus::Read) return std::nullopt;
    return std::move(read.bytes);
}

RomOpenResult OpenRomFile(RomImage& image, const std::filesystem::path& path) {
    FileRead read = ReadBoundedFile(path, kLargestRomFile);
    if (read.status == FileReadStatus::TooLarge) return RomOpenResult::TooLarge;
    if (read.status != FileReadStatus::Read) return RomOpenResult::CannotOpen;
    RomImage opened(std::move(read.bytes), path);
    if (!HasGameTitle(opened.data())) {
        image.release();
        image.setPath(path);
        return RomOpenResult::WrongTitle;
    }
    image = std::move(opened);
    return RomOpenResult::Opened;
}

RomSaveOutcome SaveRomFile(RomImage& image, const SaveOptions& options) {
    RomSaveOutcome outcome;
    if (!image.loaded() || image.path().empty()) return outcome;
    outcome.save = WriteFileSafely(image.path(), image.fileBytes(), options);
    if (!outcome.save.ok()) {
        outcome.result = RomSaveResult::CannotWrite;
        return outcome;
    }
    image.setModified(false);
    image.setDiskFingerprint(ContentFingerprint(image.fileBytes()));
    outcome.result = RomSaveResult::Saved;
    return outcome;
}

RomSaveOutcome SaveHeldRomFile(RomImage& image, std::chrono::milliseconds lockWait,
                               const std::function<bool()>& overwriteChanged) {
    if (!image.loaded() || image.path().empty()) return {};
    const FileLock lock = FileLock::acquire(image.path(), lockWait);
    if (lock.status() == LockStatus::TimedOut || lock.status() == LockStatus::Failed) {
        RomSaveOutcome outcome;
        outcome.result = RomSaveResult::Busy;
        outcome.lock = lock.status();
        outcome.lockError = lock.error();
        return outcome;
    }
    // A file that is gone or unreadable holds no one's work; the save itself reports it.
    const auto onDisk = ReadWholeFile(image.path());
    if (onDisk && ContentFingerprint(*onDisk) != image.diskFingerprint() && !overwriteChanged()) {
        RomSaveOutcome outcome;
        outcome.result = RomSaveResult::KeptOnDisk;
        return outcome;
    }
    return SaveRomFile(image);
}

uint64_t ContentFingerprint(std::span<const uint8_t> bytes) {
    return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace corv::core
