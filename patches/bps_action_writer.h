#pragma once
// Writes the actions of a BPS patch as the creator chooses them: it keeps the two copy positions
// the reader keeps, turns each copy's start into the signed move from there, and joins an action
// to the one before when it simply continues it (one longer action costs fewer bytes).

#include <cstdint>
#include <span>
#include <vector>

#include "patches/bps_create.h"
#include "patches/bps_format.h"

namespace corv::patches {

// An action's word, and the signed number that moves a copy's read position to `from`.
[[nodiscard]] constexpr uint64_t BpsActionWord(BpsAction kind, uint64_t length) {
    return (length - 1) << 2 | static_cast<uint64_t>(kind);
}
[[nodiscard]] constexpr uint64_t BpsMoveNumber(uint64_t position, uint64_t from) {
    return from >= position ? (from - position) << 1 : (position - from) << 1 | 1;
}
// Their sizes in bytes, what the creator weighs.
[[nodiscard]] constexpr uint32_t BpsActionWordSize(BpsAction kind, uint64_t length) {
    return static_cast<uint32_t>(BpsNumberSize(BpsActionWord(kind, length)));
}
[[nodiscard]] constexpr uint32_t BpsMoveSize(uint64_t position, uint64_t from) {
    return static_cast<uint32_t>(BpsNumberSize(BpsMoveNumber(position, from)));
}

class BpsActionWriter {
public:
    // `target` gives the bytes of TargetRead; `out` receives the actions after what it holds.
    BpsActionWriter(std::span<const uint8_t> target, std::vector<uint8_t>& out, BpsActionCounts& counts)
        : target_(target), out_(out), counts_(counts) {}

    // The next `length` target bytes; `from` is the read position of a copy.
    void add(BpsAction kind, uint64_t length, uint64_t from = 0);
    // Writes the action still held back. Call once after the last add.
    void finish();

    [[nodiscard]] uint64_t output() const { return output_ + pending_.length; }
    // The copy positions as the reader will have them after everything added so far.
    [[nodiscard]] uint64_t sourceCopy() const;
    [[nodiscard]] uint64_t targetCopy() const;

private:
    struct Action {
        BpsAction kind = BpsAction::SourceRead;
        uint64_t length = 0;
        uint64_t from = 0;
    };
    void write(const Action& action);

    std::span<const uint8_t> target_;
    std::vector<uint8_t>& out_;
    BpsActionCounts& counts_;
    Action pending_;
    uint64_t output_ = 0;      // target bytes of the actions written
    uint64_t sourceCopy_ = 0;  // the reader's positions after the actions written
    uint64_t targetCopy_ = 0;
};

}  // namespace corv::patches
