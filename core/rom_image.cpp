#include "rom_image.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace corv::core {

bool HasGameTitle(std::span<const uint8_t> romData) {
    if (romData.size() < kTitleOffset + kGameTitle.size()) return false;
    return std::equal(kGameTitle.begin(), kGameTitle.end(), romData.begin() + kTitleOffset,
                      [](char expected, uint8_t actual) { return static_cast<uint8_t>(expected) == actual; });
}

RomImage::RomImage(std::vector<uint8_t> fileBytes, std::filesystem::path path)
    : file_(std::move(fileBytes)), headerSize_(CopierHeaderSize(file_.size())), path_(std::move(path)),
      loaded_(true) {
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
    // A folder opens as a stream on some systems and reports a nonsense length.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length < 0) return std::nullopt;
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (length > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), length)) return std::nullopt;
    return bytes;
}

RomOpenResult OpenRomFile(RomImage& image, const std::filesystem::path& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) return RomOpenResult::CannotOpen;
    RomImage opened(std::move(*bytes), path);
    if (!HasGameTitle(opened.data())) {
        image.release();
        image.setPath(path);
        return RomOpenResult::WrongTitle;
    }
    image = std::move(opened);
    return RomOpenResult::Opened;
}

bool WriteFileSafely(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    // Write beside the target and rename over it only once every byte is on disk, so a full disk
    // or a lost permission never leaves a half-written ROM behind.
    std::filesystem::path temporary = path;
    temporary += ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    // Keep the permissions the file had; a new file simply keeps the defaults.
    const auto previous = std::filesystem::status(path, error);
    if (!error && std::filesystem::exists(previous)) {
        std::filesystem::permissions(temporary, previous.permissions(), error);
    }
    error.clear();
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

RomSaveResult SaveRomFile(RomImage& image) {
    if (!image.loaded() || image.path().empty()) return RomSaveResult::NoRom;
    if (!WriteFileSafely(image.path(), image.fileBytes())) return RomSaveResult::CannotWrite;
    image.setModified(false);
    return RomSaveResult::Saved;
}

}  // namespace corv::core
