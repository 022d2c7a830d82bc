#pragma once
// The ROM file held in memory, with the copier-header rule and the internal title check.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace corv::core {

inline constexpr uint32_t kCopierHeaderSize = 512;
inline constexpr uint32_t kTitleOffset = 0xFFC0;
inline constexpr std::string_view kGameTitle = "CORVANE";

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

    // Replaces the file image (a patched one) keeping the header size the image had.
    void replaceFileBytes(std::vector<uint8_t> fileBytes);
    // Drops the image: afterwards no ROM is loaded. The path stays.
    void release();

private:
    std::vector<uint8_t> file_;
    uint32_t headerSize_ = 0;
    std::filesystem::path path_;
    bool modified_ = false;
    bool loaded_ = false;
};

enum class RomOpenResult {
    Opened,
    CannotOpen,   // the file could not be read: the previous image and path are kept
    WrongTitle,   // no "CORVANE" at 0xFFC0 (or the file is too short): no ROM is loaded afterwards
};

// Opens a ROM file into `image`. On WrongTitle the image is released but its path names the
// chosen file; on CannotOpen nothing changes. The modified flag is not touched on success
// beyond what a fresh image has (clear).
[[nodiscard]] RomOpenResult OpenRomFile(RomImage& image, const std::filesystem::path& path);

enum class RomSaveResult {
    Saved,
    NoRom,        // nothing loaded: nothing written
    CannotWrite,  // the file could not be replaced: the old file is intact, the modified flag stays
};

// Writes the whole image (header included) back to its path with WriteFileSafely, so a failed
// save never destroys the ROM file. Clears the modified flag on success.
[[nodiscard]] RomSaveResult SaveRomFile(RomImage& image);

// Reads a whole file; std::nullopt when it cannot be opened or read.
[[nodiscard]] std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

// Replaces `path` with `bytes` through a temporary file beside it and a rename; false on any
// failure, in which case the previous file is left as it was. When `path` is a symbolic link,
// the file it names is replaced and the link stays as it is.
[[nodiscard]] bool WriteFileSafely(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// Replaces several files as WriteFileSafely does each, with one sync of the disk for all instead
// of one per file: every file is written beside its target, all are synced, then each is renamed
// over its target. When one cannot be written none is replaced; a failed rename leaves that one
// file as it was (and the files renamed before it replaced) and gives false.
struct FileContents {
    std::filesystem::path path;
    std::span<const uint8_t> bytes;
};
[[nodiscard]] bool WriteFilesSafely(std::span<const FileContents> files);

}  // namespace corv::core
