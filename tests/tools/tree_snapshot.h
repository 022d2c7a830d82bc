#pragma once
// Every entry of a folder tree as it stands on the disk (links not followed): its kind, and for a
// file its size and a checksum of its bytes, for refusal tests that must leave everything as it was.

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace corv::testing {

using TreeSnapshot = std::map<std::string, std::string>;  // path below the root -> what is there

inline std::string entryState(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return "missing";
    if (S_ISLNK(info.st_mode)) return "link to " + std::filesystem::read_symlink(path).string();
    if (S_ISDIR(info.st_mode)) return "folder";
    if (!S_ISREG(info.st_mode)) return "special";
    // A file far past any the tools write (a sparse stand-in for a huge ROM) by its size and time.
    if (info.st_size > (64 << 20)) {
        return "large file of " + std::to_string(info.st_size) + " bytes, changed " + std::to_string(info.st_mtim.tv_sec) +
               "." + std::to_string(info.st_mtim.tv_nsec);
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001B3ull;
    return "file of " + std::to_string(bytes.size()) + " bytes, checksum " + std::to_string(hash) + ", mode " +
           std::to_string(info.st_mode & 07777);
}

inline TreeSnapshot SnapshotTree(const std::filesystem::path& root) {
    TreeSnapshot snapshot;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        snapshot[std::filesystem::relative(it->path(), root).string()] = entryState(it->path());
    }
    return snapshot;
}

}  // namespace corv::testing
