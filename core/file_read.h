#pragma once
// Reading a whole file that someone else may have made: only a regular file is read (a FIFO or
// a device may never end, a folder holds no bytes), and never more than the reader's limit,
// which is held against the file's size before any byte is read and again while reading (a
// file that grows meanwhile). Links are followed: where a file is read from is not the risk.

#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

namespace corv::core {

enum class FileReadStatus {
    Read,
    CannotRead,  // missing, not permitted, or a read failed: `error` holds the errno
    NotAFile,    // a folder, FIFO, device or socket: nothing was read
    TooLarge,    // larger than the limit: nothing was kept; `size` holds what was found
};

struct FileRead {
    FileReadStatus status = FileReadStatus::CannotRead;
    std::vector<uint8_t> bytes;  // Read: the whole file
    uint64_t size = 0;           // TooLarge: the size found (at least limit + 1)
    int error = 0;               // CannotRead: the errno
};

inline constexpr uint64_t kNoReadLimit = std::numeric_limits<uint64_t>::max();

// Reads the regular file `path` whole, refusing it when it holds more than `limit` bytes.
[[nodiscard]] FileRead ReadBoundedFile(const std::filesystem::path& path, uint64_t limit);

// The same from a file the caller opened (`fd`, read from its start; left open), for a reader
// that hands the very file it checked on to a library that reads it again.
[[nodiscard]] FileRead ReadBoundedDescriptor(int fd, uint64_t limit);

// Opens `path` for reading as ReadBoundedFile does (never waiting on a FIFO): the descriptor, or
// -1 with errno set.
[[nodiscard]] int OpenForBoundedRead(const std::filesystem::path& path);

}  // namespace corv::core
