#pragma once
// What the fuzz harnesses share: the demo game built once, the splitting of an input into its
// parts, and the check that stops the run when a property does not hold.
//
// Every harness defines LLVMFuzzerTestOneInput. Built with -DCORV_FUZZ=ON it links against
// libFuzzer; otherwise replay_main.cpp drives it over stored inputs, so CTest replays the
// corpus and the regressions with the normal compiler.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "tools/demo/demo_game.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

// The harnesses' own checks are not code under test: without coverage tracing they cost a run
// little, and the fuzzer's feedback comes from the libraries alone.
#if defined(__clang__)
#define CORV_FUZZ_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define CORV_FUZZ_UNTRACED
#endif

namespace corv::fuzz {

// Aborts with `what` on standard error when `condition` is false, so that libFuzzer keeps the
// input and the replay test fails.
void Require(bool condition, const char* what);

// The demo game, built on first use and kept for the whole run.
[[nodiscard]] const demo::DemoGame& Demo();

// The ROM data the bps harness patches, and its seeds are made for: 16 KiB of the demo ROM
// from the font block on.
[[nodiscard]] std::span<const uint8_t> BpsSourceData();

// The first `count` - 1 parts of `data` end at a zero byte each; the last part is the rest.
// Missing parts are empty.
[[nodiscard]] std::vector<std::string_view> SplitParts(std::span<const uint8_t> data, size_t count);

// Takes an input apart from the front: bytes, little-endian numbers, the rest.
class InputCursor {
public:
    explicit InputCursor(std::span<const uint8_t> data) : data_(data) {}
    [[nodiscard]] uint8_t u8() { return at_ < data_.size() ? data_[at_++] : 0; }
    [[nodiscard]] uint32_t u16() { return u8() | uint32_t{u8()} << 8; }
    [[nodiscard]] uint32_t u24() { return u16() | uint32_t{u8()} << 16; }
    [[nodiscard]] std::span<const uint8_t> take(size_t count);
    [[nodiscard]] std::span<const uint8_t> rest() { return take(data_.size() - at_); }
    [[nodiscard]] bool empty() const { return at_ >= data_.size(); }

private:
    std::span<const uint8_t> data_;
    size_t at_ = 0;
};

[[nodiscard]] bool IsValidUtf8(std::string_view text);

// Whole images compared and restored with the C library, whose calls the sanitizers check once
// per call instead of once per byte.
[[nodiscard]] bool SameBytes(std::span<const uint8_t> a, std::span<const uint8_t> b);
void CopyBytes(std::span<const uint8_t> from, std::span<uint8_t> to);

// Where the listing harness keeps the demo's unpacked data area; its seeds name files there.
// Shared by every run, so it stays behind in the temporary directory.
[[nodiscard]] std::filesystem::path ListingFolder();

// A folder of this process's own in memory (or the temporary directory), made on first use.
[[nodiscard]] const std::filesystem::path& ScratchFolder();

[[nodiscard]] inline std::string_view AsText(std::span<const uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace corv::fuzz
