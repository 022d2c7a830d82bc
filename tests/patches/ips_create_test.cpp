// Creating IPS patches: round trips through the project's own patcher on random file pairs,
// with and without a copier header, with runs, growth and shrinking; exact patch sizes; and no
// record at the offset that reads as the end marker.

#include <gtest/gtest.h>

#include <random>

#include "core/byte_order.h"
#include "patches/ips_create.h"
#include "patches/ips_patch.h"

namespace corv::patches {
namespace {

std::vector<uint8_t> applied(std::vector<uint8_t> original, const IpsCreation& creation) {
    EXPECT_EQ(ApplyIpsPatch(original, creation.patch), IpsStatus::Applied);
    return original;
}

// The offsets of the patch's records.
std::vector<uint32_t> recordOffsets(const std::vector<uint8_t>& patch) {
    std::vector<uint32_t> offsets;
    size_t p = 5;
    while (p + 3 <= patch.size()) {
        const uint32_t offset = uint32_t(patch[p]) << 16 | uint32_t(patch[p + 1]) << 8 | patch[p + 2];
        if (offset == kIpsEndMarker) break;
        offsets.push_back(offset);
        const size_t size = size_t(patch[p + 3]) << 8 | patch[p + 4];
        p += 5 + (size == 0 ? 3 : size);
    }
    return offsets;
}

TEST(IpsCreate, RandomPairsRoundTripThroughThePatcher) {
    std::mt19937 random(2026);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const size_t header = round % 2 == 0 ? 512 : 0;
        std::vector<uint8_t> original(header + 1000 + random() % 60000);
        for (auto& byte : original) byte = static_cast<uint8_t>(random() % 4 == 0 ? random() : 0);
        std::vector<uint8_t> modified = original;
        for (int edits = int(random() % 40); edits > 0; --edits) {
            const size_t at = random() % modified.size();
            const size_t length = std::min<size_t>(1 + random() % 300, modified.size() - at);
            const bool asRun = random() % 2 == 0;
            const auto value = static_cast<uint8_t>(random());
            for (size_t i = at; i < at + length; ++i) modified[i] = asRun ? value : static_cast<uint8_t>(random());
        }
        switch (round % 3) {
        case 0: modified.resize(modified.size() + random() % 70000, static_cast<uint8_t>(random() % 2)); break;
        case 1: modified.resize(modified.size() - random() % (modified.size() / 2)); break;
        default: break;
        }
        const IpsCreation creation = CreateIpsPatch(original, modified);
        ASSERT_EQ(creation.status, IpsCreateStatus::Created);
        ASSERT_EQ(applied(original, creation), modified);
    }
}

TEST(IpsCreate, PatchSizes) {
    const std::vector<uint8_t> original(1000, 0x11);
    EXPECT_EQ(CreateIpsPatch(original, original).patch, (std::vector<uint8_t>{'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F'}));

    std::vector<uint8_t> oneByte = original;
    oneByte[700] = 0x22;
    EXPECT_EQ(CreateIpsPatch(original, oneByte).patch.size(), 5u + 5 + 1 + 3);

    std::vector<uint8_t> run = original;
    std::fill(run.begin() + 100, run.begin() + 400, 0x33);
    const IpsCreation runPatch = CreateIpsPatch(original, run);
    EXPECT_EQ(runPatch.patch.size(), 5u + 8 + 3);
    EXPECT_EQ(runPatch.runRecords, 1u);

    // Two changes three bytes apart go into one record.
    std::vector<uint8_t> close = original;
    close[10] = 1;
    close[14] = 2;
    EXPECT_EQ(CreateIpsPatch(original, close).records, 1u);

    // Shrinking needs no record, only the length after "EOF".
    const std::vector<uint8_t> shorter(original.begin(), original.begin() + 600);
    const IpsCreation cut = CreateIpsPatch(original, shorter);
    EXPECT_EQ(cut.patch.size(), 5u + 3 + 3);
    EXPECT_EQ(applied(original, cut), shorter);
}

TEST(IpsCreate, ARunBetweenTwoRunsIsARunRecord) {
    // 10 x 01, 30 x 00, 10 x 8B, 30 x 00, 20 x 01 over 100 x 01: three runs, 5 + 3 * 8 + 3 bytes,
    // where a literal for the 8B bytes would take 39.
    const std::vector<uint8_t> original(100, 0x01);
    std::vector<uint8_t> modified(original);
    std::fill(modified.begin() + 10, modified.begin() + 40, 0x00);
    std::fill(modified.begin() + 40, modified.begin() + 50, 0x8B);
    std::fill(modified.begin() + 50, modified.begin() + 80, 0x00);
    const IpsCreation creation = CreateIpsPatch(original, modified);
    EXPECT_EQ(creation.patch.size(), 32u);
    EXPECT_EQ(creation.runRecords, 3u);
    EXPECT_EQ(applied(original, creation), modified);

    // Short equal stretches inside changed text stay in the literal: a run would cost more.
    std::vector<uint8_t> text(original);
    const uint8_t bytes[] = {'a', 'b', 0, 0, 0, 'c', 'd'};
    std::copy(std::begin(bytes), std::end(bytes), text.begin() + 20);
    EXPECT_EQ(CreateIpsPatch(original, text).patch.size(), 5u + 5 + 7 + 3);
}

TEST(IpsCreate, NoRecordStartsAtTheEndMarkerOffset) {
    const std::vector<uint8_t> original(kIpsEndMarker + 100, 0);
    std::vector<uint8_t> single = original;
    single[kIpsEndMarker] = 0x44;
    std::vector<uint8_t> run = original;
    std::fill(run.begin() + kIpsEndMarker, run.begin() + kIpsEndMarker + 50, 0x55);
    for (const auto& modified : {single, run}) {
        const IpsCreation creation = CreateIpsPatch(original, modified);
        for (uint32_t offset : recordOffsets(creation.patch)) EXPECT_NE(offset, kIpsEndMarker);
        EXPECT_EQ(applied(original, creation), modified);
    }
}

TEST(IpsCreate, TargetsBeyondTheOffsetRangeAreRefused) {
    const std::vector<uint8_t> original(16);
    const std::vector<uint8_t> huge(kIpsLargestTarget + 1);
    EXPECT_EQ(CreateIpsPatch(original, huge).status, IpsCreateStatus::TooLarge);
    EXPECT_EQ(CreateCheckedIpsPatch(original, huge).status, IpsCreateStatus::TooLarge);
}

TEST(IpsCreate, TheCheckedPatchIsThePatchThatGivesTheTarget) {
    // A shorter target too: the patch then carries the length after "EOF".
    const std::vector<uint8_t> original(0x300, 0x11);
    std::vector<uint8_t> modified(0x280, 0x11);
    modified[0x10] = 0x99;
    const IpsCreation checked = CreateCheckedIpsPatch(original, modified);
    ASSERT_EQ(checked.status, IpsCreateStatus::Created);
    EXPECT_EQ(checked.patch, CreateIpsPatch(original, modified).patch);
    EXPECT_EQ(applied(original, checked), modified);
}

}  // namespace
}  // namespace corv::patches
