#pragma once
// Fixtures for the utility's tests: a throw-away folder, and a small ROM built in memory with
// the game's title and hand-made blocks and pointer-table entries.

#include "support/block_test_rom.h"
#include "support/temp_folder.h"
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "core/block_format.h"
#include "core/byte_order.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace corv::comp::testing {

using TempFolder = corv::testing::TempFolder;

inline void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
}

inline std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A FIFO at `path`: opening it for reading waits until something opens it for writing.
inline bool makeFifo(const std::filesystem::path& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

// Runs `call` on a thread of its own and waits a few seconds for it. A call still blocked in
// opening the FIFO `fifo` is then released by opening the FIFO's other end, so that a call
// which waits for a writer fails its test instead of hanging it. True when it finished in time.
template <class Call>
bool finishesWithoutAWriter(const std::filesystem::path& fifo, Call call) {
    std::future<void> done = std::async(std::launch::async, std::move(call));
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
        done.get();
        return true;
    }
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    done.get();
    return false;
}

// Gives a file or folder a mode for the length of a scope and puts the old one back, so that
// a failed check still leaves a folder the test can remove.
class ModeForScope {
public:
    ModeForScope(std::filesystem::path path, std::filesystem::perms mode)
        : path_(std::move(path)), old_(std::filesystem::status(path_).permissions()) {
        std::filesystem::permissions(path_, mode);
    }
    ~ModeForScope() {
        std::error_code ignored;
        std::filesystem::permissions(path_, old_, ignored);
    }
    ModeForScope(const ModeForScope&) = delete;
    ModeForScope& operator=(const ModeForScope&) = delete;

private:
    std::filesystem::path path_;
    std::filesystem::perms old_;
};

inline constexpr std::filesystem::perms kReadOnly =
    std::filesystem::perms::owner_read | std::filesystem::perms::group_read | std::filesystem::perms::others_read;
// Read and enter, but no new entries.
inline constexpr std::filesystem::perms kClosedFolder = kReadOnly | std::filesystem::perms::owner_exec |
                                                        std::filesystem::perms::group_exec |
                                                        std::filesystem::perms::others_exec;

inline size_t entriesIn(const std::filesystem::path& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

inline std::string hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// ROM data (no copier header) with "CORVANE" at 0xFFC0.
class TestRom : public corv::testing::TestRom {
public:
    explicit TestRom(size_t size = 0x110000) : corv::testing::TestRom(size) {
        const std::string title = "CORVANE";
        std::copy(title.begin(), title.end(), data.begin() + 0xFFC0);
    }

    // Pointer-table entry `index` of the table at `tableOffset`: low word, bank byte, one more byte.
    void putEntry(uint32_t tableOffset, uint32_t index, uint32_t address) {
        const uint32_t at = tableOffset + 4 * index;
        core::writeLe16(data, at, static_cast<uint16_t>(address & 0xFFFF));
        data[at + 2] = static_cast<uint8_t>(address >> 16);
        data[at + 3] = 0x5A;  // ignored by the walk
    }

    // A header (valid unless told otherwise) and its dictionary; the cursor moves to the stream.
    TestRom& header(uint32_t offset, uint16_t length, uint16_t groups, std::initializer_list<uint16_t> dictionary = {},
                    bool valid = true) {
        putHeader(offset, length, dictionary, groups, valid);
        return *this;
    }
    TestRom& word16(uint16_t value) {
        word(value);
        return *this;
    }
    TestRom& byte(uint8_t value) {
        corv::testing::TestRom::byte(value);
        return *this;
    }

    // One group of eight literals: a block of `length` (w0) whose stream yields exactly `words`.
    // Returns the offset after the stream.
    uint32_t literalBlock(uint32_t offset, const std::vector<uint16_t>& words, uint16_t length = 16) {
        header(offset, length, 1).word16(0x0000);
        for (uint16_t w : words) word16(w);
        return cursor;
    }

    [[nodiscard]] std::vector<uint8_t> withCopierHeader() const {
        std::vector<uint8_t> file(0x200, 0);
        file.insert(file.end(), data.begin(), data.end());
        return file;
    }
};

inline std::vector<uint8_t> bytesOfWords(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) {
        bytes.push_back(static_cast<uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    return bytes;
}

}  // namespace corv::comp::testing
