// IPS patches: record kinds, growth, copier header, end marker, refused patches, several files,
// and a round trip through a small patch creator over random image pairs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/rom_image.h"
#include "patches/ips_patch.h"
#include "patches/patch_messages.h"
#include "patches/rom_patcher.h"
#include "support/temp_folder.h"

namespace corv::patches {
namespace {

using ::testing::ElementsAre;

// Builds patch bytes record by record.
class PatchBuilder {
public:
    PatchBuilder() { bytes_ = {'P', 'A', 'T', 'C', 'H'}; }
    PatchBuilder& record(uint32_t offset, std::vector<uint8_t> data) {
        put24(offset);
        put16(static_cast<uint16_t>(data.size()));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    PatchBuilder& run(uint32_t offset, uint16_t length, uint8_t value) {
        put24(offset);
        put16(0);
        put16(length);
        bytes_.push_back(value);
        return *this;
    }
    PatchBuilder& end() {
        bytes_.insert(bytes_.end(), {'E', 'O', 'F'});
        return *this;
    }
    PatchBuilder& raw(std::vector<uint8_t> extra) {
        bytes_.insert(bytes_.end(), extra.begin(), extra.end());
        return *this;
    }
    [[nodiscard]] std::vector<uint8_t> bytes() const { return bytes_; }

private:
    void put24(uint32_t v) {
        bytes_.insert(bytes_.end(), {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    }
    void put16(uint16_t v) { bytes_.insert(bytes_.end(), {uint8_t(v >> 8), uint8_t(v)}); }
    std::vector<uint8_t> bytes_;
};

std::vector<std::vector<uint8_t>> onePatch(std::vector<uint8_t> patch) { return {std::move(patch)}; }

std::vector<uint8_t> applyPatch(std::vector<uint8_t> image, const std::vector<uint8_t>& patch,
                           IpsStatus expected = IpsStatus::Applied) {
    EXPECT_EQ(ApplyIpsPatch(image, patch), expected);
    return image;
}

TEST(IpsRecords, NormalAndRunRecords) {
    const std::vector<uint8_t> image(8, 0x11);
    const auto patch = PatchBuilder().record(1, {0xA1, 0xA2}).run(4, 3, 0x77).end().bytes();
    EXPECT_THAT(applyPatch(image, patch), ElementsAre(0x11, 0xA1, 0xA2, 0x11, 0x77, 0x77, 0x77, 0x11));
}

TEST(IpsRecords, ZeroLengthRunWritesNothing) {
    const std::vector<uint8_t> image(4, 0x11);
    EXPECT_THAT(applyPatch(image, PatchBuilder().run(1, 0, 0x99).end().bytes()), ElementsAre(0x11, 0x11, 0x11, 0x11));
    EXPECT_EQ(applyPatch(image, PatchBuilder().run(100, 0, 0x99).end().bytes()).size(), 4u);
}

TEST(IpsRecords, WritingPastTheEndGrowsWithZeros) {
    const std::vector<uint8_t> image(3, 0x11);
    EXPECT_THAT(applyPatch(image, PatchBuilder().record(6, {0xB1}).end().bytes()),
                ElementsAre(0x11, 0x11, 0x11, 0, 0, 0, 0xB1));
    EXPECT_THAT(applyPatch(image, PatchBuilder().run(4, 2, 0xC1).end().bytes()), ElementsAre(0x11, 0x11, 0x11, 0, 0xC1, 0xC1));
}

TEST(IpsRefusals, PatchesCutShortOrDamagedAfterTheEndMarkerAreRefusedWhole) {
    const std::vector<uint8_t> image(4, 0x11);
    const auto expectRefused = [&](const std::vector<uint8_t>& patch, IpsStatus status) {
        EXPECT_THAT(applyPatch(image, patch, status), ElementsAre(0x11, 0x11, 0x11, 0x11));
    };
    // Cut at a record boundary, before the end marker.
    expectRefused(PatchBuilder().record(0, {0xA0}).record(3, {0xA3}).bytes(), IpsStatus::NoEndMarker);
    expectRefused(PatchBuilder().bytes(), IpsStatus::NoEndMarker);
    expectRefused(PatchBuilder().record(0, {0xA0}).raw({'E', 'O'}).bytes(), IpsStatus::Truncated);
    // Records after an early end marker, and stray bytes that are no length.
    expectRefused(PatchBuilder().record(0, {0xA0}).end().record(1, {0xA1}).bytes(), IpsStatus::Damaged);
    for (const std::vector<uint8_t>& tail : std::vector<std::vector<uint8_t>>{{0}, {0, 0}, {0, 0, 2, 0}}) {
        expectRefused(PatchBuilder().record(0, {0xA0}).end().raw(tail).bytes(), IpsStatus::Damaged);
    }
    PatchOutcome cut;
    cut.status = PatchStatus::IpsRefused;
    cut.ips = IpsStatus::NoEndMarker;
    EXPECT_NE(PatchMessage(cut).find("EOF"), std::string::npos);
}

TEST(IpsRecords, ThreeBytesAfterTheEndMarkerCutTheFileToThatLength) {
    const std::vector<uint8_t> image(6, 0x11);
    EXPECT_THAT(applyPatch(image, PatchBuilder().record(0, {0xA0}).end().raw({0, 0, 3}).bytes()),
                ElementsAre(0xA0, 0x11, 0x11));
    // A length beyond the patched image leaves it as long as the records made it.
    EXPECT_THAT(applyPatch(image, PatchBuilder().record(6, {0xA6}).end().raw({0, 0, 9}).bytes()),
                ElementsAre(0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0xA6));
    EXPECT_THAT(applyPatch(image, PatchBuilder().end().raw({0, 0, 0}).bytes()), ElementsAre());
}

TEST(IpsRefusals, TruncatedLastRecordRefusesTheWholeFile) {
    const std::vector<uint8_t> image(4, 0x11);
    const auto good = PatchBuilder().record(0, {0xA0});
    // Cut inside the data, the size, the offset, the run length and the run value.
    for (const std::vector<uint8_t>& tail : std::vector<std::vector<uint8_t>>{
             {0, 0, 2, 0, 2, 0xB2}, {0, 0, 2, 0}, {0, 0}, {0, 0, 2, 0, 0, 0}, {0, 0, 2, 0, 0, 0, 5}}) {
        auto patch = good;
        EXPECT_THAT(applyPatch(image, patch.raw(tail).bytes(), IpsStatus::Truncated), ElementsAre(0x11, 0x11, 0x11, 0x11));
    }
}

TEST(IpsRefusals, MagicIsCaseSensitive) {
    std::vector<uint8_t> patch = PatchBuilder().record(0, {1}).end().bytes();
    patch[0] = 'p';
    EXPECT_THAT(applyPatch({0x11}, patch, IpsStatus::NotPatch), ElementsAre(0x11));
    EXPECT_THAT(applyPatch({0x11}, {'P', 'A', 'T'}, IpsStatus::NotPatch), ElementsAre(0x11));
}

core::RomImage headeredRom() {
    std::vector<uint8_t> file(512 + 2048, 0x11);
    std::fill(file.begin(), file.begin() + 512, 0x00);
    core::RomImage rom(std::move(file), "ips_test.smc");
    EXPECT_EQ(rom.headerSize(), 512u);
    return rom;
}

TEST(IpsRom, OffsetsCountTheCopierHeader) {
    core::RomImage rom = headeredRom();
    const PatchOutcome outcome = ApplyPatches(rom, onePatch(PatchBuilder().record(512, {0xAB}).end().bytes()));
    EXPECT_EQ(outcome.status, PatchStatus::Applied);
    EXPECT_EQ(rom.data()[0], 0xAB);
    EXPECT_EQ(rom.fileBytes()[511], 0x00);
    EXPECT_TRUE(rom.modified());
    EXPECT_EQ(PatchMessage(outcome), "Patching is complete! Remember to SAVE the changes!");
}

TEST(IpsRom, GrowthKeepsTheHeaderSizeAndMovesTheDataEnd) {
    core::RomImage rom = headeredRom();
    const uint32_t newSize = 512 + 4096;
    ASSERT_EQ(ApplyPatches(rom, onePatch(PatchBuilder().record(newSize - 1, {0x5A}).end().bytes())).status,
              PatchStatus::Applied);
    EXPECT_EQ(rom.size(), newSize);
    EXPECT_EQ(rom.headerSize(), 512u);  // even though the new size has bit 9 clear
    EXPECT_EQ(rom.dataSize(), 4096u);
    EXPECT_EQ(rom.data()[rom.dataSize() - 1], 0x5A);
    EXPECT_EQ(rom.data()[2048], 0x00);
}

TEST(IpsRom, SeveralFilesApplyInOrder) {
    core::RomImage rom = headeredRom();
    const std::vector<std::vector<uint8_t>> patches = {
        PatchBuilder().record(512, {1, 2, 3}).end().bytes(),
        PatchBuilder().record(513, {9}).end().bytes(),
    };
    const PatchOutcome outcome = ApplyPatches(rom, patches);
    EXPECT_EQ(outcome.status, PatchStatus::Applied);
    EXPECT_EQ(outcome.appliedCount, 2u);
    EXPECT_THAT(std::vector<uint8_t>(rom.data().begin(), rom.data().begin() + 3), ElementsAre(1, 9, 3));
}

TEST(IpsRom, LaterFailureKeepsEarlierFilesAndSetsModified) {
    core::RomImage rom = headeredRom();
    const std::vector<std::vector<uint8_t>> patches = {
        PatchBuilder().record(512, {1}).end().bytes(),
        PatchBuilder().record(513, {2}).raw({0, 0}).bytes(),  // cut short
        PatchBuilder().record(514, {3}).end().bytes(),
    };
    const PatchOutcome outcome = ApplyPatches(rom, patches);
    EXPECT_EQ(outcome.status, PatchStatus::IpsRefused);
    EXPECT_EQ(outcome.ips, IpsStatus::Truncated);
    EXPECT_EQ(outcome.failedIndex, 1u);
    EXPECT_EQ(outcome.appliedCount, 1u);
    EXPECT_THAT(std::vector<uint8_t>(rom.data().begin(), rom.data().begin() + 3), ElementsAre(1, 0x11, 0x11));
    EXPECT_TRUE(rom.modified());
}

// ROM data with the game's title, and a copier header.
core::RomImage titledRom() {
    std::vector<uint8_t> file(512 + 0x10000, 0x11);
    std::copy(core::kGameTitle.begin(), core::kGameTitle.end(), file.begin() + 512 + core::kTitleOffset);
    return core::RomImage(std::move(file), "titled.smc");
}

TEST(IpsRom, ASetWhoseResultWouldNoLongerOpenIsRefusedBeforeAnythingIsApplied) {
    const auto refused = [](const std::vector<std::vector<uint8_t>>& patches, IpsGameCheck why, const char* words) {
        core::RomImage rom = titledRom();
        const std::vector<uint8_t> before(rom.fileBytes().begin(), rom.fileBytes().end());
        const PatchOutcome outcome = ApplyPatches(rom, patches);
        EXPECT_EQ(outcome.status, PatchStatus::NotThisGame);
        EXPECT_EQ(outcome.gameCheck, why);
        EXPECT_EQ(outcome.failedIndex, patches.size() - 1);
        EXPECT_EQ(outcome.appliedCount, 0u);
        EXPECT_NE(PatchMessage(outcome).find(words), std::string::npos) << PatchMessage(outcome);
        EXPECT_FALSE(rom.modified());
        EXPECT_EQ(std::vector<uint8_t>(rom.fileBytes().begin(), rom.fileBytes().end()), before);
    };
    const auto fine = PatchBuilder().record(512, {1}).end().bytes();
    const uint32_t title = 512 + core::kTitleOffset;
    refused({fine, PatchBuilder().record(title + 6, {'e'}).end().bytes()}, IpsGameCheck::TitleOverwritten, "title");
    // Growth by 512 bytes, and a cut by 512 bytes, each flip the copier-header guess.
    const uint32_t size = 512 + 0x10000;
    refused({fine, PatchBuilder().record(size + 511, {1}).end().bytes()}, IpsGameCheck::HeaderGuessChanges,
            std::to_string(size + 512).c_str());
    refused({PatchBuilder().end().raw({0x01, 0x00, 0x00}).bytes()}, IpsGameCheck::HeaderGuessChanges, "copier header");

    // Writing the title's own bytes, and growing by a whole KiB, keep the game.
    core::RomImage rom = titledRom();
    EXPECT_EQ(ApplyPatches(rom, onePatch(PatchBuilder().record(title, {'C', 'O'}).record(size + 1023, {7}).end().bytes()))
                  .status,
              PatchStatus::Applied);
    EXPECT_EQ(rom.size(), size + 1024);
}

TEST(IpsRom, FirstFileFailingChangesNothing) {
    core::RomImage rom = headeredRom();
    const std::vector<uint8_t> before(rom.fileBytes().begin(), rom.fileBytes().end());
    std::vector<uint8_t> bad = PatchBuilder().record(512, {1}).end().bytes();
    bad[4] = 'X';
    const PatchOutcome outcome = ApplyPatches(rom, onePatch(bad));
    EXPECT_EQ(outcome.status, PatchStatus::NotAPatch);
    EXPECT_EQ(PatchMessage(outcome), "Not a valid \"PATCH\" file!");
    EXPECT_FALSE(rom.modified());
    EXPECT_EQ(std::vector<uint8_t>(rom.fileBytes().begin(), rom.fileBytes().end()), before);
}

TEST(IpsRom, FilesFromDiskAndMissingFile) {
    const corv::testing::TempFolder folder;
    const std::filesystem::path& dir = folder.path();
    const auto patch = PatchBuilder().record(512, {0xEE}).end().bytes();
    {
        std::ofstream file(dir / "one.ips", std::ios::binary);
        file.write(reinterpret_cast<const char*>(patch.data()), std::streamsize(patch.size()));
    }
    core::RomImage rom = headeredRom();
    const std::vector<std::filesystem::path> paths = {dir / "one.ips", dir / "missing.ips"};
    const PatchOutcome outcome = ApplyPatchFiles(rom, paths);
    EXPECT_EQ(outcome.status, PatchStatus::CannotOpen);
    EXPECT_EQ(outcome.failedIndex, 1u);
    EXPECT_EQ(PatchMessage(outcome), "File not found or is invalid. No patching performed.");
    EXPECT_EQ(rom.data()[0], 0xEE);
    EXPECT_TRUE(rom.modified());
    // No temporary file is left in the working directory.
    EXPECT_FALSE(std::filesystem::exists("__temp__.qqq"));
}

TEST(IpsRom, NoRomDoesNothing) {
    core::RomImage rom;
    EXPECT_EQ(ApplyPatches(rom, onePatch(PatchBuilder().end().bytes())).status, PatchStatus::NoRom);
}

// ---- Round trip through a patch creator -------------------------------------------------

// Diffs `source` into `target` (which must be at least as long): every differing span becomes
// records of at most 0xFFFF bytes, runs of 8 or more equal bytes become run records. A record
// that would start at the end-marker offset starts one byte earlier instead.
std::vector<uint8_t> CreatePatch(const std::vector<uint8_t>& source, const std::vector<uint8_t>& target) {
    PatchBuilder patch;
    const auto differs = [&](size_t i) {
        if (i >= source.size()) return target[i] != 0 || i + 1 == target.size();  // growth fills zeros
        return source[i] != target[i];
    };
    size_t i = 0;
    while (i < target.size()) {
        if (!differs(i)) {
            ++i;
            continue;
        }
        size_t start = i;
        size_t end = i;
        while (end < target.size() && differs(end) && end - start < 0xFFFE) ++end;
        if (start == kIpsEndMarker) --start;
        size_t p = start;
        while (p < end) {
            size_t runEnd = p;
            while (runEnd < end && target[runEnd] == target[p] && runEnd - p < 0xFFFF) ++runEnd;
            if (runEnd - p >= 8 && p != kIpsEndMarker) {
                patch.run(uint32_t(p), uint16_t(runEnd - p), target[p]);
                p = runEnd;
                continue;
            }
            // A literal stretch up to the next long run.
            size_t q = p;
            while (q < end) {
                size_t r = q;
                while (r < end && target[r] == target[q]) ++r;
                if (r - q >= 8 && q != kIpsEndMarker) break;
                q = r;
            }
            if (p == kIpsEndMarker) {
                // Cannot start here: take the byte before into this record.
                --p;
            }
            patch.record(uint32_t(p), std::vector<uint8_t>(target.begin() + long(p), target.begin() + long(q)));
            p = q;
        }
        i = end;
    }
    return patch.end().bytes();
}

TEST(IpsRoundTrip, CreatedPatchesReproduceRandomTargets) {
    std::mt19937 random(20261208);
    for (int pair = 0; pair < 300; ++pair) {
        const bool headered = pair % 2 == 1;
        const size_t dataSize = 1024 * (1 + random() % 64);
        std::vector<uint8_t> source(dataSize + (headered ? 512 : 0));
        for (auto& b : source) b = uint8_t(random() % 4 == 0 ? 0 : random());
        std::vector<uint8_t> target = source;
        if (random() % 3 == 0) target.resize(target.size() + 1024 * (random() % 5), 0);  // header guess kept
        const int edits = int(random() % 20);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % target.size();
            const size_t length = std::min<size_t>(target.size() - at, 1 + random() % 300);
            const bool run = random() % 2 == 0;
            const uint8_t value = uint8_t(random());
            for (size_t k = 0; k < length; ++k) target[at + k] = run ? value : uint8_t(random());
        }
        core::RomImage rom(source, "round_trip.smc");
        ASSERT_EQ(rom.headerSize(), headered ? 512u : 0u);
        const PatchOutcome outcome = ApplyPatches(rom, onePatch(CreatePatch(source, target)));
        ASSERT_EQ(outcome.status, PatchStatus::Applied) << "pair " << pair;
        ASSERT_TRUE(std::equal(rom.fileBytes().begin(), rom.fileBytes().end(), target.begin(), target.end()))
            << "pair " << pair;
        ASSERT_EQ(rom.headerSize(), headered ? 512u : 0u);
    }
}

TEST(IpsRoundTrip, DifferenceAtTheEndMarkerOffset) {
    std::vector<uint8_t> source(kIpsEndMarker + 0x100, 0x33);
    std::vector<uint8_t> target = source;
    target[kIpsEndMarker] = 0x44;
    target[kIpsEndMarker + 1] = 0x45;
    const std::vector<uint8_t> patch = CreatePatch(source, target);
    // One record from the byte before the marker offset: offset, size 3 and three bytes.
    EXPECT_EQ(patch.size(), 5u + 3 + 2 + 3 + 3);
    std::vector<uint8_t> image = source;
    ASSERT_EQ(ApplyIpsPatch(image, patch), IpsStatus::Applied);
    EXPECT_EQ(image, target);

    // A run starting there is moved one byte earlier the same way.
    std::vector<uint8_t> runTarget = source;
    std::fill_n(runTarget.begin() + kIpsEndMarker, 40, 0x99);
    image = source;
    ASSERT_EQ(ApplyIpsPatch(image, CreatePatch(source, runTarget)), IpsStatus::Applied);
    EXPECT_EQ(image, runTarget);
}

// A ROM with one valid block header at ROM offset 0x100 (address C00100), with or without a
// copier header.
core::RomImage romWithBlock(uint32_t headerSize) {
    std::vector<uint8_t> file(headerSize + 0x1000, 0x11);
    const uint8_t header[] = {0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0xEF, 0xFF};  // 16 + 0 + 1 + 0xFFEF
    std::copy(std::begin(header), std::end(header), file.begin() + headerSize + 0x100);
    return core::RomImage(std::move(file), "block.smc");
}

TEST(IpsRom, APatchThatBreaksAGuardedBlockHeaderIsRefusedNamingTheCopierHeader) {
    const std::vector<uint32_t> guarded = {0xC00100};
    // Made for the unheadered ROM: it rewrites the header with another valid one.
    const auto patch = PatchBuilder().record(0x100, {0x20, 0x00, 0x00, 0x00, 0x01, 0x00, 0xDF, 0xFF}).end().bytes();
    core::RomImage unheadered = romWithBlock(0);
    EXPECT_EQ(ApplyPatches(unheadered, onePatch(patch), guarded).status, PatchStatus::Applied);

    // On the headered ROM it lands 512 bytes early, ahead of the header: the header is intact, so
    // the patch goes in; one aimed at the header with its own header offset breaks it.
    core::RomImage headered = romWithBlock(512);
    const std::vector<uint8_t> before(headered.fileBytes().begin(), headered.fileBytes().end());
    const auto breaking = PatchBuilder().record(0x100 + 512 + 6, {0x00}).end().bytes();
    const PatchOutcome outcome = ApplyPatches(headered, onePatch(breaking), guarded);
    EXPECT_EQ(outcome.status, PatchStatus::BreaksBlock);
    EXPECT_EQ(outcome.brokenBlock, 0xC00100u);
    EXPECT_EQ(outcome.appliedCount, 0u);
    EXPECT_FALSE(headered.modified());
    EXPECT_EQ(std::vector<uint8_t>(headered.fileBytes().begin(), headered.fileBytes().end()), before);
    EXPECT_EQ(PatchMessage(outcome), "The PATCH file breaks block C00100: its header no longer passes its check. The "
                                   "patch was probably made for a ROM without a 512-byte copier header. No patching "
                                   "performed.");
    core::RomImage plain = romWithBlock(0);
    const PatchOutcome other = ApplyPatches(plain, onePatch(PatchBuilder().record(0x106, {0}).end().bytes()), guarded);
    EXPECT_NE(PatchMessage(other).find("for a ROM with a 512-byte"), std::string::npos);

    // Unguarded, and a header that failed before the patch, change nothing in the verdict.
    core::RomImage unguarded = romWithBlock(512);
    EXPECT_EQ(ApplyPatches(unguarded, onePatch(breaking)).status, PatchStatus::Applied);
    core::RomImage broken = romWithBlock(0);
    const std::vector<uint32_t> nothingThere = {0xC00200};
    EXPECT_EQ(ApplyPatches(broken, onePatch(PatchBuilder().record(0x206, {5}).end().bytes()), nothingThere).status,
              PatchStatus::Applied);
}

}  // namespace
}  // namespace corv::patches
