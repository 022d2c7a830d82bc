// Creating BPS patches: exact sizes where the cheapest patch is plain, round trips of random
// pairs of ROM-like files (changed, moved, repeated, grown, cut, empty), and the creator's
// patches never larger than the IPS of the same pair where the pair is a ROM and its edit.

#include <gtest/gtest.h>

#include <random>

#include "patches/bps_create.h"
#include "patches/bps_patch.h"
#include "patches/ips_create.h"

namespace corv::patches {
namespace {

std::vector<uint8_t> romLike(std::mt19937& random, size_t size) {
    std::vector<uint8_t> bytes;
    while (bytes.size() < size) {
        const size_t length = std::min<size_t>(size - bytes.size(), 1 + random() % 700);
        switch (random() % 3) {
        case 0: bytes.insert(bytes.end(), length, uint8_t(random())); break;
        case 1:
            if (!bytes.empty()) {
                const size_t from = random() % bytes.size();
                const size_t n = std::min(length, bytes.size() - from);
                for (size_t i = 0; i < n; ++i) bytes.push_back(bytes[from + i]);
                break;
            }
            [[fallthrough]];
        default:
            for (size_t i = 0; i < length; ++i) bytes.push_back(uint8_t(random()));
        }
    }
    return bytes;
}

BpsCreation roundTrip(const std::vector<uint8_t>& source, const std::vector<uint8_t>& target) {
    BpsCreation created = CreateCheckedBpsPatch(source, target);
    EXPECT_EQ(created.status, BpsCreateStatus::Created);
    const BpsApplication applied = ApplyBpsPatch(source, created.patch);
    EXPECT_EQ(applied.status, BpsStatus::Applied);
    EXPECT_EQ(applied.target, target);
    const BpsActionCounts& a = created.actions;
    EXPECT_EQ(a.sourceReadBytes + a.targetReadBytes + a.sourceCopyBytes + a.targetCopyBytes, target.size());
    return created;
}

TEST(BpsCreate, PlainPairsGetTheirCheapestPatchExactly) {
    std::mt19937 random(31);
    const std::vector<uint8_t> rom = romLike(random, 0x10000);
    // "BPS1", sizes 3 + 3 + 1, one SourceRead of 3 bytes, footer 12.
    EXPECT_EQ(roundTrip(rom, rom).patch.size(), 26u);
    // SourceRead (2), TargetRead of one byte (2), SourceRead (3).
    std::vector<uint8_t> oneByte = rom;
    oneByte[1000] ^= 0x5A;
    EXPECT_EQ(roundTrip(rom, oneByte).patch.size(), 30u);
    // From nothing, a run: sizes 1 + 2 + 1, TargetRead of one byte (2), TargetCopy of 999 from it (2 + 1).
    EXPECT_EQ(roundTrip({}, std::vector<uint8_t>(1000, 'z')).patch.size(), 25u);
    // Bytes put in: the run comes from a run of the source, then the rest is one SourceCopy from
    // its place (words 3 + 2, 3, moves 3, 3).
    std::vector<uint8_t> shifted = rom;
    shifted.insert(shifted.begin() + 0x8000, 37, 0x55);
    EXPECT_EQ(roundTrip(rom, shifted).patch.size(), 37u);
    // Empty files.
    EXPECT_EQ(roundTrip({}, {}).patch.size(), 19u);
    EXPECT_EQ(roundTrip(rom, {}).patch.size(), 21u);
}

TEST(BpsCreate, RandomPairsOfRomLikeFilesRoundTrip) {
    std::mt19937 random(20261209);
    size_t bpsTotal = 0;
    size_t ipsTotal = 0;
    for (int pair = 0; pair < 60; ++pair) {
        const std::vector<uint8_t> source = romLike(random, 1024 * (1 + random() % 96));
        std::vector<uint8_t> target = source;
        const int edits = 1 + int(random() % 25);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % (target.size() + 1);
            const size_t length = 1 + random() % 500;
            switch (random() % 5) {
            case 0:  // new bytes
                for (size_t k = at; k < std::min(target.size(), at + length); ++k) target[k] = uint8_t(random());
                break;
            case 1: {  // bytes of the source moved here
                const size_t from = random() % source.size();
                const size_t n = std::min(length, source.size() - from);
                target.insert(target.begin() + long(at), source.begin() + long(from), source.begin() + long(from + n));
                break;
            }
            case 2: target.insert(target.begin() + long(at), length, uint8_t(random())); break;  // a run
            case 3:  // bytes taken out
                target.erase(target.begin() + long(at), target.begin() + long(std::min(target.size(), at + length)));
                break;
            default: {  // bytes written earlier repeated
                if (at == 0) break;
                const size_t from = random() % at;
                const std::vector<uint8_t> copy(target.begin() + long(from),
                                                target.begin() + long(std::min(at, from + length)));
                target.insert(target.begin() + long(at), copy.begin(), copy.end());
            }
            }
        }
        if (pair % 7 == 0) target.resize(target.size() + 4096 * (1 + random() % 3), 0);  // grown
        if (pair % 11 == 0) target.resize(target.size() / 3);                          // cut
        SCOPED_TRACE(pair);
        const BpsCreation created = roundTrip(source, target);
        // Against the IPS patch of the same pair: a BPS patch carries 15 bytes more of sizes and
        // checksums and words for the stretches kept, so a few spans of new bytes cost it a little
        // more; moved and repeated data cost it far less.
        const IpsCreation ips = CreateIpsPatch(source, target);
        EXPECT_LE(created.patch.size(), ips.patch.size() + 32);
        bpsTotal += created.patch.size();
        ipsTotal += ips.patch.size();
    }
    EXPECT_LT(bpsTotal * 2, ipsTotal);
}

TEST(BpsCreate, UnrelatedFilesCostLittleMoreThanTheTarget) {
    std::mt19937 random(7);
    std::vector<uint8_t> source(0x20000), target(0x30000);
    for (auto& b : source) b = uint8_t(random());
    for (auto& b : target) b = uint8_t(random());
    const BpsCreation created = roundTrip(source, target);
    EXPECT_LE(created.patch.size(), target.size() + 64);
}

}  // namespace
}  // namespace corv::patches
