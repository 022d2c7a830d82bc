#include "core/rom_image.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

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

namespace {

// The file a save replaces: through symbolic links (chains too) to the file they name, so that
// a link keeps pointing at the new contents instead of being replaced by a plain file. A link
// may name a file that does not exist yet; std::nullopt for a loop of links.
std::optional<std::filesystem::path> replacedFile(std::filesystem::path path) {
    constexpr int kMaxLinks = 40;  // as many as the system itself follows
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path;
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) return std::nullopt;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return std::nullopt;
}

// Writes all bytes and, when `sync`, forces them to the disk before the file is closed.
bool writeAndSync(const std::filesystem::path& path, std::span<const uint8_t> bytes, bool sync = true) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
#if __has_include(<unistd.h>)
    if (sync) ok = ::fsync(::fileno(file)) == 0 && ok;
#endif
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

// Renames the written `temporary` over `target`, keeping the permissions the target had.
bool renameOver(const std::filesystem::path& temporary, const std::filesystem::path& target) {
    std::error_code error, ignored;
    const auto previous = std::filesystem::status(target, error);
    if (!error && std::filesystem::exists(previous)) {
        std::filesystem::permissions(temporary, previous.permissions(), error);
    }
    error.clear();
    std::filesystem::rename(temporary, target, error);
    if (error) std::filesystem::remove(temporary, ignored);
    return !error;
}

}  // namespace

bool WriteFilesSafely(std::span<const FileContents> files) {
    std::vector<std::filesystem::path> targets;
    for (const FileContents& file : files) {
        const auto resolved = replacedFile(file.path);
        if (!resolved) return false;
        targets.push_back(*resolved);
    }
    const auto temporaryOf = [](std::filesystem::path target) { return target += ".saving"; };
    std::error_code ignored;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!writeAndSync(temporaryOf(targets[i]), files[i].bytes, false)) {
            for (size_t k = 0; k <= i; ++k) std::filesystem::remove(temporaryOf(targets[k]), ignored);
            return false;
        }
    }
    // One sync for all of them: every new file is on disk before the first one replaces its old one.
#if __has_include(<unistd.h>)
    ::sync();
#endif
    bool ok = true;
    for (size_t i = 0; i < files.size(); ++i) ok = renameOver(temporaryOf(targets[i]), targets[i]) && ok;
    return ok;
}

bool WriteFileSafely(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    // Write beside the file and rename over it only once every byte is on disk, so a full disk
    // or a lost permission never leaves a half-written file behind.
    const std::optional<std::filesystem::path> resolved = replacedFile(path);
    if (!resolved) return false;
    const std::filesystem::path& target = *resolved;
    std::filesystem::path temporary = target;
    temporary += ".saving";
    std::error_code ignored;
    if (!writeAndSync(temporary, bytes)) {
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    std::error_code error;
    // Keep the permissions the file had; a new file simply keeps the defaults.
    const auto previous = std::filesystem::status(target, error);
    if (!error && std::filesystem::exists(previous)) {
        std::filesystem::permissions(temporary, previous.permissions(), error);
    }
    error.clear();
    std::filesystem::rename(temporary, target, error);
    if (error) {
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
