#pragma once
// A fresh folder under the system's temporary folder, unique to this process and object, and
// removed with everything in it at the end. CTest runs test processes side by side, so no two
// tests may share a fixed path.

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

namespace corv::testing {

class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "corv-test",
                        const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
        static std::atomic<unsigned> counter{0};
        std::random_device seed;
        path_ = parent /
                (std::string(prefix) + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                 std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace corv::testing
