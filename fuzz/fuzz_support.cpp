#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include "support/temp_folder.h"

namespace corv::fuzz {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

const demo::DemoGame& Demo() {
    static const demo::DemoGame game = demo::BuildDemoGame();
    return game;
}

std::span<const uint8_t> BpsSourceData() { return std::span(Demo().rom).subspan(demo::kFontAddress, 0x4000); }

}  // namespace corv::fuzz

// libFuzzer calls this once before the first input: building the demo game here keeps its
// seconds under sanitizers out of the first input's time limit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)corv::fuzz::Demo();
    return 0;
}

namespace corv::fuzz {

std::vector<std::string_view> SplitParts(std::span<const uint8_t> data, size_t count) {
    std::vector<std::string_view> parts;
    std::string_view rest = AsText(data);
    while (parts.size() + 1 < count) {
        const size_t zero = rest.find('\0');
        if (zero == std::string_view::npos) {
            parts.push_back(rest);
            rest = {};
            continue;
        }
        parts.push_back(rest.substr(0, zero));
        rest.remove_prefix(zero + 1);
    }
    parts.push_back(rest);
    return parts;
}

std::span<const uint8_t> InputCursor::take(size_t count) {
    const size_t available = data_.size() - std::min(at_, data_.size());
    const size_t taken = std::min(count, available);
    const auto part = data_.subspan(std::min(at_, data_.size()), taken);
    at_ += taken;
    return part;
}

bool SameBytes(std::span<const uint8_t> a, std::span<const uint8_t> b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

void CopyBytes(std::span<const uint8_t> from, std::span<uint8_t> to) {
    Require(from.size() == to.size(), "a restored image keeps its size");
    if (!from.empty()) std::memcpy(to.data(), from.data(), from.size());
}

CORV_FUZZ_UNTRACED bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        uint32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = value << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        const uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (value < smallest || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

namespace {

// Files written per input go to memory where the system offers it: a save's flush to disk would
// cost more than the rest of the run.
std::filesystem::path memoryBackedTemp() {
    std::error_code ignored;
    if (std::filesystem::is_directory("/dev/shm", ignored)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

}  // namespace

std::filesystem::path ListingFolder() { return std::filesystem::temp_directory_path() / "corv_fuzz_listing"; }

const std::filesystem::path& ScratchFolder() {
    static const testing::TempFolder folder("corv_fuzz", memoryBackedTemp());
    return folder.path();
}

}  // namespace corv::fuzz
