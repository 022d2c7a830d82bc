#pragma once
// A small fixed-seed generator: the standard distributions differ between libraries, and the
// demo game must come out byte-identical everywhere.

#include <cstdint>

namespace corv::demo {

class DemoRandom {
public:
    explicit DemoRandom(uint64_t seed) : state_(seed) {}

    // splitmix64
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high] (the tiny modulo bias does not matter here).
    uint32_t between(uint32_t low, uint32_t high) {
        return low + static_cast<uint32_t>(next() % (uint64_t{high} - low + 1));
    }
    // True with probability percent / 100.
    bool chance(uint32_t percent) { return between(0, 99) < percent; }

private:
    uint64_t state_;
};

}  // namespace corv::demo
