#include "core/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace corv::core {

int OpenForBoundedRead(const std::filesystem::path& path) {
    // O_NONBLOCK: opening a FIFO without a writer must not wait for one.
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
}

FileRead ReadBoundedFile(const std::filesystem::path& path, uint64_t limit) {
    const int fd = OpenForBoundedRead(path);
    if (fd < 0) {
        FileRead result;
        result.error = errno;
        return result;
    }
    FileRead result = ReadBoundedDescriptor(fd, limit);
    ::close(fd);
    return result;
}

FileRead ReadBoundedDescriptor(int fd, uint64_t limit) {
    FileRead result;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.error = errno;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = FileReadStatus::NotAFile;
        return result;
    }
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size > limit) {
        result.status = FileReadStatus::TooLarge;
        result.size = size;
        return result;
    }
    // One byte more than the limit allows tells a file that grew past it while being read.
    const uint64_t most = limit == kNoReadLimit ? limit : limit + 1;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() >= most) break;
            bytes.resize(static_cast<size_t>(std::min<uint64_t>(most, bytes.size() + 4096)));
        }
        const ssize_t got = ::pread(fd, bytes.data() + filled, bytes.size() - filled, static_cast<off_t>(filled));
        if (got < 0) {
            if (errno == EINTR) continue;
            result.error = errno;
            return result;
        }
        if (got == 0) break;
        filled += static_cast<size_t>(got);
    }
    if (filled > limit) {
        result.status = FileReadStatus::TooLarge;
        result.size = filled;
        return result;
    }
    bytes.resize(filled);
    result.status = FileReadStatus::Read;
    result.bytes = std::move(bytes);
    return result;
}

}  // namespace corv::core
