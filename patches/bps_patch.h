#pragma once
// Applying a BPS patch (bps_format.h) to a source file. Everything is checked before a result
// is handed back: the patch's own CRC-32 (a damaged or cut-short download), the source's size
// and CRC-32 (the wrong ROM), every action's bounds, that the actions fill the target exactly,
// and the target's CRC-32. A failed check returns no bytes, so nothing can replace a file with
// a half-made or wrong result.

#include <cstdint>
#include <span>
#include <vector>

namespace corv::patches {

enum class BpsStatus {
    Applied,
    NotBps,       // the file does not start with "BPS1"
    Truncated,    // too short for a header and a footer, or the header runs into the footer
    Damaged,      // the patch's own CRC-32 does not match its bytes: damaged or cut short
    TooLarge,     // the source or target size is past kBpsLargestFile
    WrongSource,  // the source's size or CRC-32 is not that of the file the patch was made for
    BadAction,    // an action reads or writes out of bounds, a number runs into the footer, or
                  // the actions do not fill the target exactly
    WrongTarget,  // the result's CRC-32 is not the one the patch gives: nothing is returned
};

struct BpsHeader {
    uint64_t sourceSize = 0;
    uint64_t targetSize = 0;
    size_t metadataStart = 0;  // offset of the metadata in the patch
    size_t metadataSize = 0;
    size_t actionsStart = 0;   // offset of the first action
    uint32_t sourceCrc = 0;
    uint32_t targetCrc = 0;
    uint32_t patchCrc = 0;
};

struct BpsRead {
    BpsStatus status = BpsStatus::Applied;  // Applied: the header and footer are whole and the patch's CRC matches
    BpsHeader header;
};

// Reads the header and footer and checks the patch's own CRC-32: Applied, NotBps, Truncated,
// Damaged or TooLarge.
[[nodiscard]] BpsRead ReadBpsPatch(std::span<const uint8_t> patch);

// Runs the actions of a patch that ReadBpsPatch accepted over `source` (which need not be the
// source the patch names: its checksums are not looked at) into `target`, which grows to the
// target size. Applied or BadAction; on BadAction `target` holds nothing of use.
[[nodiscard]] BpsStatus RunBpsActions(std::span<const uint8_t> patch, const BpsHeader& header,
                                      std::span<const uint8_t> source, std::vector<uint8_t>& target);

struct BpsApplication {
    BpsStatus status = BpsStatus::Applied;
    BpsHeader header;             // as read, when the status is past TooLarge
    std::vector<uint8_t> target;  // Applied only; empty otherwise
};

// The whole application with every check above, in that order.
[[nodiscard]] BpsApplication ApplyBpsPatch(std::span<const uint8_t> source, std::span<const uint8_t> patch);

}  // namespace corv::patches
