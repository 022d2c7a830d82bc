#pragma once
// The ROM file held in memory, with the copier-header rule and the internal title check.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/file_lock.h"
#include "core/file_save.h"

namespace corv::core {

inline constexpr uint32_t kCopierHeaderSize = 512;
inline constexpr uint32_t kTitleOffset = 0xFFC0;
inline constexpr std::string_view kGameTitle = "CORVANE";
// The largest file this game can be: 8 MiB of ROM, the most a HiROM cartridge can map
// (extended to banks 40-7D), and a copier header. A larger file is refused before it is read.
inline constexpr uint64_t kLargestRomData = 0x800000;
inline constexpr uint64_t kLargestRomFile = kLargestRomData + kCopierHeaderSize;

// A file carries a 512-byte copier header exactly when bit 9 (0x200) of its length is set.
[[nodiscard]] constexpr uint32_t CopierHeaderSize(uint64_t fileSize) {
    return (fileSize & 0x200) ? kCopierHeaderSize : 0;
}

// True when the 7 bytes at ROM offset 0xFFC0 read "CORVANE" (case-sensitive); false when the
// data is too short to hold them.
[[nodiscard]] bool HasGameTitle(std::span<const uint8_t> romData);

class RomImage {
public:
    RomImage() = default;
    // Takes a whole file image (copier header included); the header size follows the rule above.
    RomImage(std::vector<uint8_t> fileBytes, std::filesystem::path path);

    [[nodiscard]] bool loaded() const { return loaded_; }
    // Whole file length, header included.
    [[nodiscard]] uint32_t size() const { return static_cast<uint32_t>(file_.size()); }
    [[nodiscard]] uint32_t headerSize() const { return headerSize_; }
    // ROM data length: size() - headerSize().
    [[nodiscard]] uint32_t dataSize() const { return size() - headerSize_; }
    // The ROM data after the copier header; every ROM offset indexes this view.
    [[nodiscard]] std::span<uint8_t> data() { return std::span(file_).subspan(headerSize_); }
    [[nodiscard]] std::span<const uint8_t> data() const { return std::span(file_).subspan(headerSize_); }
    // The file image as read, copier header included.
    [[nodiscard]] std::span<const uint8_t> fileBytes() const { return file_; }

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    void setPath(std::filesystem::path path) { path_ = std::move(path); }

    [[nodiscard]] bool modified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    // A fingerprint of the bytes the file held when this image was read or last saved, to tell
    // whether another program has changed the file since.
    [[nodiscard]] uint64_t diskFingerprint() const { return diskFingerprint_; }
    void setDiskFingerprint(uint64_t fingerprint) { diskFingerprint_ = fingerprint; }

    // Replaces the file image (a patched one) keeping the header size the image had.
    void replaceFileBytes(std::vector<uint8_t> fileBytes);
    // Drops the image: afterwards no ROM is loaded. The path stays.
    void release();

private:
    std::vector<uint8_t> file_;
    uint32_t headerSize_ = 0;
    std::filesystem::path path_;
    uint64_t diskFingerprint_ = 0;
    bool modified_ = false;
    bool loaded_ = false;
};

// The fingerprint diskFingerprint() keeps, of a whole file's bytes.
[[nodiscard]] uint64_t ContentFingerprint(std::span<const uint8_t> bytes);

enum class RomOpenResult {
    Opened,
    CannotOpen,   // the file could not be read: the previous image and path are kept
    WrongTitle,   // no "CORVANE" at 0xFFC0 (or the file is too short): no ROM is loaded afterwards
    TooLarge,     // larger than kLargestRomFile: refused unread, the previous image and path are kept
};

// Opens a ROM file into `image`. On WrongTitle the image is released but its path names the
// chosen file; on CannotOpen and TooLarge nothing changes. The modified flag is not touched on success
// beyond what a fresh image has (clear).
[[nodiscard]] RomOpenResult OpenRomFile(RomImage& image, const std::filesystem::path& path);

enum class RomSaveResult {
    Saved,
    NoRom,         // nothing loaded: nothing written
    CannotWrite,   // the file could not be replaced (`save` says why): the old file is intact
                   // (unless save.replaced), the modified flag stays
    Busy,          // another process holds the file's lock (`lock`, `lockError`): nothing written
    KeptOnDisk,    // the file changed on disk and the caller chose to keep it: nothing written
};

struct RomSaveOutcome {
    RomSaveResult result = RomSaveResult::NoRom;
    SaveResult save;                             // for CannotWrite
    LockStatus lock = LockStatus::Unavailable;   // for Busy
    int lockError = 0;                           // for Busy
};

// Writes the whole image (header included) back to its path with WriteFileSafely, so a failed
// save never destroys the ROM file. Clears the modified flag on success. The caller holds the
// file's lock when it read the file under it (corvtool's commands); this takes no lock.
[[nodiscard]] RomSaveOutcome SaveRomFile(RomImage& image, const SaveOptions& options = {});

// The save of a program that keeps the ROM in memory between commands: takes the file's lock
// (waiting at most `lockWait`), and when the file no longer holds what was read or last saved
// (another program saved it meanwhile) asks `overwriteChanged`, with the lock still held, whether
// to replace it anyway; on No nothing is written (KeptOnDisk).
// How long the windowed programs wait for the lock: a command-line command on the ROM takes
// a second or two; longer means something holds it for good.
inline constexpr std::chrono::milliseconds kHeldRomLockWait{10000};
[[nodiscard]] RomSaveOutcome SaveHeldRomFile(RomImage& image, std::chrono::milliseconds lockWait,
                                             const std::function<bool()>& overwriteChanged);

// Reads a whole regular file; std::nullopt when it cannot be opened or read, or is no regular
// file (see file_read.h for a read with a limit).
[[nodiscard]] std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

}  // namespace corv::core
