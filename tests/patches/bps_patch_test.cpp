// Applying BPS patches built by hand: the variable-length numbers at their edges, each action,
// target copies that overlap their output, every bound an action can cross, every checksum
// wrong, patches cut short, and the limits on what a patch may ask for.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "patches/bps_builder.h"
#include "core/byte_order.h"
#include "patches/bps_format.h"
#include "patches/bps_patch.h"

namespace corv::patches {
namespace {

using testing::BpsBuilder;

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

TEST(BpsNumbers, EdgesOfEachLengthEncodeReadBackAndTakeTheirBytes) {
    const struct {
        uint64_t value;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {0, {0x80}},
        {127, {0xFF}},
        {128, {0x00, 0x80}},
        {16511, {0x7F, 0xFF}},
        {16512, {0x00, 0x00, 0x80}},
        {uint64_t{1} << 32, {0x00, 0x7F, 0x7E, 0x7E, 0x8E}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> written;
        PutBpsNumber(written, c.value);
        EXPECT_EQ(written, c.bytes) << c.value;
        EXPECT_EQ(BpsNumberSize(c.value), c.bytes.size()) << c.value;
        std::vector<uint8_t> followed = c.bytes;
        followed.push_back(0x42);
        core::ByteCursor cursor(followed);
        EXPECT_EQ(ReadBpsNumber(cursor), c.value);
        EXPECT_EQ(cursor.position(), c.bytes.size()) << c.value;
        // Without its last byte the number is not there.
        core::ByteCursor cut(std::span<const uint8_t>(c.bytes).first(c.bytes.size() - 1));
        EXPECT_EQ(ReadBpsNumber(cut), std::nullopt) << c.value;
    }
    std::vector<uint8_t> largest;
    PutBpsNumber(largest, UINT64_MAX);
    core::ByteCursor cursor(largest);
    EXPECT_EQ(ReadBpsNumber(cursor), UINT64_MAX);
    // A number past 64 bits, and one that never ends, are refused.
    const std::vector<uint8_t> tooLong(10, 0x7F);
    core::ByteCursor overflow(tooLong);
    EXPECT_EQ(ReadBpsNumber(overflow), std::nullopt);
}

TEST(BpsActions, EachActionMakesItsBytes) {
    const std::vector<uint8_t> source = bytesOf("ABCDEFGH");
    const struct {
        const char* name;
        BpsBuilder patch;
        std::string target;
    } cases[] = {
        {"SourceRead", BpsBuilder(8, 3).sourceRead(3), "ABC"},
        {"SourceRead after other actions reads at the output position",
         BpsBuilder(8, 5).targetRead({'x', 'y'}).sourceRead(3), "xyCDE"},
        {"TargetRead", BpsBuilder(8, 2).targetRead({'x', 'y'}), "xy"},
        {"SourceCopy moves forward, then back from where it stopped",
         BpsBuilder(8, 4).sourceCopy(2, 5).sourceCopy(2, -7), "FGAB"},
        {"SourceCopy with no move continues", BpsBuilder(8, 4).sourceCopy(2, 1).sourceCopy(2, 0), "BCDE"},
        {"TargetCopy of what was written", BpsBuilder(8, 5).targetRead({'a', 'b'}).targetCopy(2, 0).targetCopy(1, -2),
         "ababa"},
        {"a TargetCopy overlapping its output repeats it (a run)", BpsBuilder(8, 6).targetRead({'z'}).targetCopy(5, 0),
         "zzzzzz"},
        {"a longer period", BpsBuilder(8, 7).targetRead({'1', '2', '3'}).targetCopy(4, 0), "1231231"},
        {"an empty target", BpsBuilder(8, 0), ""},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> target = bytesOf(c.target);
        const BpsApplication applied = ApplyBpsPatch(source, c.patch.finish(source, target));
        EXPECT_EQ(applied.status, BpsStatus::Applied) << c.name;
        EXPECT_EQ(applied.target, target) << c.name;
    }
}

TEST(BpsActions, MetadataIsSkipped) {
    const std::vector<uint8_t> source = bytesOf("ABCD");
    const std::vector<uint8_t> target = bytesOf("ABCD");
    const auto patch = BpsBuilder(4, 4, bytesOf("<patch author=\"us\"/>")).sourceRead(4).finish(source, target);
    const BpsApplication applied = ApplyBpsPatch(source, patch);
    EXPECT_EQ(applied.status, BpsStatus::Applied);
    EXPECT_EQ(applied.header.metadataSize, 20u);
    EXPECT_EQ(applied.target, target);
}

TEST(BpsRefusals, EveryBoundAnActionCanCrossRefusesThePatch) {
    const std::vector<uint8_t> source = bytesOf("ABCD");
    const struct {
        const char* name;
        BpsBuilder patch;
        uint64_t targetSize;
    } cases[] = {
        {"SourceRead past the source's end", BpsBuilder(4, 6).sourceRead(6), 6},
        {"SourceRead where the output has passed the source",
         BpsBuilder(4, 5).targetRead({1, 2, 3, 4}).sourceRead(1), 5},
        {"SourceCopy moved before the source", BpsBuilder(4, 1).sourceCopy(1, -1), 1},
        {"SourceCopy running past the source's end", BpsBuilder(4, 2).sourceCopy(2, 3), 2},
        {"SourceCopy moved past the source's end", BpsBuilder(4, 1).sourceCopy(1, 9), 1},
        {"TargetCopy before anything is written", BpsBuilder(4, 1).targetCopy(1, 0), 1},
        {"TargetCopy from where the output stands", BpsBuilder(4, 3).targetRead({1, 2}).targetCopy(1, 2), 3},
        {"TargetCopy moved before the target", BpsBuilder(4, 3).targetRead({1, 2}).targetCopy(1, -1), 3},
        {"an action longer than the target left", BpsBuilder(4, 2).targetRead({1, 2, 3}), 2},
        {"the actions stop short of the target", BpsBuilder(4, 5).sourceRead(3), 5},
        {"TargetRead bytes running into the footer", BpsBuilder(4, 3).number(2 << 2 | 1).raw({1, 2}), 3},
        {"an action number running into the footer", BpsBuilder(4, 1).raw({0x00}), 1},
        {"a copy without its move", BpsBuilder(4, 1).number(2), 1},
        {"a move past 64 bits", BpsBuilder(4, 1).number(2).raw(std::vector<uint8_t>(10, 0x7F)), 1},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> target(c.targetSize, 1);  // its checksum is never reached
        const BpsApplication applied = ApplyBpsPatch(source, c.patch.finish(source, target));
        EXPECT_EQ(applied.status, BpsStatus::BadAction) << c.name;
        EXPECT_TRUE(applied.target.empty()) << c.name;
    }
}

TEST(BpsRefusals, EveryChecksumWrongAndAWrongSourceSize) {
    const std::vector<uint8_t> source = bytesOf("ABCDEFGH");
    const std::vector<uint8_t> target = bytesOf("ABXDEFGH");
    const BpsBuilder patch = BpsBuilder(8, 8).sourceRead(2).targetRead({'X'}).sourceRead(5);
    ASSERT_EQ(ApplyBpsPatch(source, patch.finish(source, target)).status, BpsStatus::Applied);
    EXPECT_EQ(ApplyBpsPatch(source, patch.finish(source, target, 0)).status, BpsStatus::WrongSource);
    EXPECT_EQ(ApplyBpsPatch(source, patch.finish(source, target, 1)).status, BpsStatus::WrongTarget);
    EXPECT_EQ(ApplyBpsPatch(source, patch.finish(source, target, 2)).status, BpsStatus::Damaged);
    // The source's checksum right but its size not.
    const std::vector<uint8_t> longer = bytesOf("ABCDEFGHI");
    EXPECT_EQ(ApplyBpsPatch(longer, patch.finish(longer, target)).status, BpsStatus::WrongSource);
    // The wrong file given: its checksum does not match.
    EXPECT_EQ(ApplyBpsPatch(target, patch.finish(source, target)).status, BpsStatus::WrongSource);
    for (int wrong = 0; wrong < 3; ++wrong) {
        EXPECT_TRUE(ApplyBpsPatch(source, patch.finish(source, target, wrong)).target.empty());
    }
}

TEST(BpsRefusals, EveryPrefixOfAPatchIsRefused) {
    const std::vector<uint8_t> source = bytesOf("ABCDEFGHIJKLMNOP");
    const std::vector<uint8_t> target = bytesOf("ABCDxyzHIJKLMNOPPPPP");
    const auto patch = BpsBuilder(16, 20)
                           .sourceRead(4)
                           .targetRead({'x', 'y', 'z'})
                           .sourceCopy(9, 7)
                           .targetCopy(4, 15)
                           .finish(source, target);
    ASSERT_EQ(ApplyBpsPatch(source, patch).status, BpsStatus::Applied);
    ASSERT_EQ(ApplyBpsPatch(source, patch).target, target);
    for (size_t size = 0; size < patch.size(); ++size) {
        const BpsApplication applied = ApplyBpsPatch(source, std::span(patch).first(size));
        const BpsStatus expected = size < 4 ? BpsStatus::NotBps : size < 19 ? BpsStatus::Truncated : BpsStatus::Damaged;
        EXPECT_EQ(applied.status, expected) << size;
        EXPECT_TRUE(applied.target.empty());
    }
    std::vector<uint8_t> renamed = patch;
    renamed[3] = '2';
    EXPECT_EQ(ApplyBpsPatch(source, renamed).status, BpsStatus::NotBps);
}

TEST(BpsRefusals, SizesPastTheLimitAndAHeaderRunningIntoTheFooter) {
    const std::vector<uint8_t> none;
    EXPECT_EQ(ReadBpsPatch(BpsBuilder(0, kBpsLargestFile + 1).finish(none, none)).status, BpsStatus::TooLarge);
    EXPECT_EQ(ReadBpsPatch(BpsBuilder(kBpsLargestFile + 1, 0).finish(none, none)).status, BpsStatus::TooLarge);
    EXPECT_EQ(ReadBpsPatch(BpsBuilder(0, kBpsLargestFile).finish(none, none)).status, BpsStatus::Applied);
    // Metadata longer than the patch holds.
    auto longMetadata = BpsBuilder(0, 0, bytesOf("abc")).finish(none, none);
    longMetadata[6] = 0x80 | 50;
    std::vector<uint8_t> fixed(longMetadata.begin(), longMetadata.end() - 4);
    const uint32_t crc = BpsBuilder::crc(fixed);
    for (int i = 0; i < 4; ++i) fixed.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    EXPECT_EQ(ReadBpsPatch(fixed).status, BpsStatus::Truncated);
}

}  // namespace
}  // namespace corv::patches
