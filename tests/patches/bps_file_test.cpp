// BPS patches applied to ROM files across the copier header: made for the file as it is, for
// its data without the header (header kept, whatever it holds), for the data behind a known
// header the file lacks; refused for any other file, naming both checksums, and when the file
// already is the patch's result.

#include <gtest/gtest.h>

#include <random>

#include "patches/bps_create.h"
#include "patches/bps_file.h"
#include "patches/crc32.h"
#include "patches/patch_messages.h"

namespace corv::patches {
namespace {

struct Pair {
    std::vector<uint8_t> data;     // ROM data, no header
    std::vector<uint8_t> changed;  // the same with changes
};

Pair makePair() {
    std::mt19937 random(34);
    Pair pair;
    pair.data.resize(0x8000);
    for (auto& b : pair.data) b = uint8_t(random() % 5 == 0 ? random() : 0);
    pair.changed = pair.data;
    for (size_t i = 0x1000; i < 0x1100; ++i) pair.changed[i] = uint8_t(i);
    pair.changed.resize(0xA000, 0xEE);  // grown by whole KiB
    return pair;
}

std::vector<uint8_t> joined(const std::vector<uint8_t>& header, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file = header;
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

TEST(BpsAcrossTheHeader, EachWayAPatchAndAFileCanStand) {
    const Pair pair = makePair();
    const std::vector<uint8_t> ownHeader(512, 0xAB);  // a header no tool writes: only kept, never matched
    const std::vector<uint8_t> zeroHeader(512, 0);
    const std::vector<uint8_t> forData = CreateBpsPatch(pair.data, pair.changed).patch;
    const std::vector<uint8_t> forHeadered =
        CreateBpsPatch(joined(zeroHeader, pair.data), joined(zeroHeader, pair.changed)).patch;
    const std::vector<uint8_t> swcHeader = KnownCopierHeaders(pair.data.size()).back();
    const std::vector<uint8_t> forSwc =
        CreateBpsPatch(joined(swcHeader, pair.data), joined(swcHeader, pair.changed)).patch;
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        uint32_t headerSize;
        const std::vector<uint8_t>& patch;
        BpsMadeFor madeFor;
        std::vector<uint8_t> result;
    } cases[] = {
        {"unheadered patch, unheadered ROM", pair.data, 0, forData, BpsMadeFor::ThisFile, pair.changed},
        {"headered patch, the same headered ROM", joined(zeroHeader, pair.data), 512, forHeadered, BpsMadeFor::ThisFile,
         joined(zeroHeader, pair.changed)},
        {"unheadered patch, headered ROM: the header is kept", joined(ownHeader, pair.data), 512, forData,
         BpsMadeFor::RomWithoutHeader, joined(ownHeader, pair.changed)},
        {"headered patch, unheadered ROM: no header is added", pair.data, 0, forHeadered, BpsMadeFor::RomWithHeader,
         pair.changed},
        {"a patch for a ROM with a copier's own header", pair.data, 0, forSwc, BpsMadeFor::RomWithHeader, pair.changed},
    };
    for (const auto& c : cases) {
        const BpsFileApplication applied = ApplyBpsToFile(c.file, c.headerSize, c.patch);
        EXPECT_EQ(applied.status, BpsStatus::Applied) << c.name;
        EXPECT_EQ(applied.madeFor, c.madeFor) << c.name;
        EXPECT_EQ(applied.image, c.result) << c.name;
    }
}

TEST(BpsAcrossTheHeader, AnyOtherFileIsRefusedNamingBothChecksums) {
    const Pair pair = makePair();
    const std::vector<uint8_t> forData = CreateBpsPatch(pair.data, pair.changed).patch;
    std::vector<uint8_t> oneByteOff = pair.data;
    oneByteOff[0x4000] ^= 1;
    const BpsFileApplication plain = ApplyBpsToFile(oneByteOff, 0, forData);
    EXPECT_EQ(plain.status, BpsStatus::WrongSource);
    EXPECT_TRUE(plain.image.empty());
    EXPECT_FALSE(plain.alreadyPatched);
    EXPECT_EQ(plain.fileCrc, Crc32(oneByteOff));
    char expected[96];
    std::snprintf(expected, sizeof expected, "this patch is for a ROM whose CRC32 is %08X; yours is %08X",
                  unsigned(Crc32(pair.data)), unsigned(Crc32(oneByteOff)));
    EXPECT_EQ(WrongRomText(plain, 0), expected);

    const std::vector<uint8_t> headeredOff = joined(std::vector<uint8_t>(512, 0), oneByteOff);
    const BpsFileApplication headered = ApplyBpsToFile(headeredOff, 512, forData);
    EXPECT_EQ(headered.status, BpsStatus::WrongSource);
    EXPECT_EQ(headered.dataCrc, Crc32(oneByteOff));
    EXPECT_NE(WrongRomText(headered, 512).find(" without its 512-byte copier header)"), std::string::npos);

    // A patch for the headered file whose header bytes are not these, and one for a header no
    // tool writes on a file that has none, cannot be checked: refused.
    const std::vector<uint8_t> forOwnHeader =
        CreateBpsPatch(joined(std::vector<uint8_t>(512, 0xAB), pair.data), pair.changed).patch;
    EXPECT_EQ(ApplyBpsToFile(joined(std::vector<uint8_t>(512, 0), pair.data), 512, forOwnHeader).status,
              BpsStatus::WrongSource);
    EXPECT_EQ(ApplyBpsToFile(pair.data, 0, forOwnHeader).status, BpsStatus::WrongSource);

    // Applied once already, with or without the header.
    EXPECT_TRUE(ApplyBpsToFile(pair.changed, 0, forData).alreadyPatched);
    EXPECT_TRUE(ApplyBpsToFile(joined(std::vector<uint8_t>(512, 7), pair.changed), 512, forData).alreadyPatched);
}

}  // namespace
}  // namespace corv::patches
