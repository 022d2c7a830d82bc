// Sets of IPS and BPS patches applied to a ROM whose graphics table lists a block: the format
// told by content, every listed block watched without being named, a block a patch moves
// followed to its new place, the copier header named only when the patch fits the other kind of
// ROM, files that are no patch, and the BPS results that would not open.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "core/area_tables.h"
#include "patches/bps_create.h"
#include "patches/patch_messages.h"
#include "patches/rom_patcher.h"
#include "support/temp_folder.h"

namespace corv::patches {
namespace {

constexpr uint32_t kBlock = 0x20000;  // ROM offset of the listed block; address C20000
constexpr uint32_t kGraphicsTable = 0x30000;

std::vector<uint8_t> ips(uint32_t offset, std::vector<uint8_t> data) {
    std::vector<uint8_t> patch = {'P', 'A', 'T', 'C', 'H', uint8_t(offset >> 16), uint8_t(offset >> 8), uint8_t(offset),
                                  0, uint8_t(data.size())};
    patch.insert(patch.end(), data.begin(), data.end());
    patch.insert(patch.end(), {'E', 'O', 'F'});
    return patch;
}

void putHeader(std::vector<uint8_t>& data, uint32_t at, uint16_t length) {
    const uint16_t check = uint16_t(0x10000 - ((length + 1) & 0xFFFF));  // length + 0 + 1 groups + check = 0
    const uint8_t words[] = {uint8_t(length), uint8_t(length >> 8), 0, 0, 1, 0, uint8_t(check), uint8_t(check >> 8)};
    std::copy(std::begin(words), std::end(words), data.begin() + at);
}

// 256 KiB of ROM data titled as the game, its graphics table's first entry pointing to a block
// whose header passes, the second to one whose header fails; with or without a copier header.
core::RomImage tableRom(uint32_t headerSize) {
    std::vector<uint8_t> data(0x40000, 0x11);
    std::copy(core::kGameTitle.begin(), core::kGameTitle.end(), data.begin() + core::kTitleOffset);
    std::fill(data.begin() + kGraphicsTable, data.begin() + kGraphicsTable + 0x508, 0);
    putHeader(data, kBlock, 16);
    const uint8_t entries[] = {0x00, 0x00, 0xC2, 0x00, 0x00, 0x80, 0xC2, 0x00};  // C20000, C28000
    std::copy(std::begin(entries), std::end(entries), data.begin() + kGraphicsTable);
    std::vector<uint8_t> file(headerSize, 0);
    file.insert(file.end(), data.begin(), data.end());
    return core::RomImage(std::move(file), "table.smc");
}

std::vector<uint8_t> bytes(const core::RomImage& rom) { return {rom.fileBytes().begin(), rom.fileBytes().end()}; }

TEST(PatchSets, EveryBlockOfTheAreaTablesIsWatchedAndTheHeaderNamedOnlyWhenThePatchFitsTheOtherRom) {
    // One patch with a record at the block's check word for either kind of ROM.
    std::vector<uint8_t> bothOffsets = ips(kBlock + 6, {0x5A});
    const std::vector<uint8_t> second = ips(kBlock + 512 + 6, {0x5A});
    bothOffsets.erase(bothOffsets.end() - 3, bothOffsets.end());
    bothOffsets.insert(bothOffsets.end(), second.begin() + 5, second.end());
    const struct {
        const char* name;
        uint32_t headerSize;
        std::vector<std::vector<uint8_t>> patches;
        PatchStatus status;
        bool otherHeader;
    } cases[] = {
        {"the check word changed", 0, {ips(kBlock + 6, {0x5A})}, PatchStatus::BreaksBlock, true},
        {"made for the unheadered ROM, on the headered one", 512, {ips(kBlock + 6, {0x00, 0x00})},
         PatchStatus::Applied, false},
        {"made for the headered ROM, on the unheadered one", 0, {ips(kBlock + 512 + 6, {0x5A})},
         PatchStatus::Applied, false},
        {"aimed at the headered ROM's block, on it", 512, {ips(kBlock + 512 + 6, {0x5A})},
         PatchStatus::BreaksBlock, true},
        {"breaking it on both kinds of ROM", 512, {bothOffsets}, PatchStatus::BreaksBlock, false},
        {"the entry taken away", 0, {ips(kGraphicsTable + 2, {0x00})}, PatchStatus::BreaksBlock, true},
        {"a block that failed before is not watched", 0, {ips(0x28006, {0x77})}, PatchStatus::Applied, false},
    };
    for (const auto& c : cases) {
        core::RomImage rom = tableRom(c.headerSize);
        const std::vector<uint8_t> before = bytes(rom);
        const PatchOutcome outcome = ApplyPatches(rom, c.patches);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        if (c.status != PatchStatus::BreaksBlock) continue;
        EXPECT_EQ(outcome.brokenBlock, 0xC20000u) << c.name;
        EXPECT_EQ(outcome.madeForOtherHeader, c.otherHeader) << c.name;
        EXPECT_EQ(bytes(rom), before) << c.name;
        EXPECT_FALSE(rom.modified()) << c.name;
        const std::string message = PatchMessage(outcome);
        EXPECT_EQ(message.find("The PATCH file breaks block C20000: its header no longer passes its check."), 0u);
        EXPECT_EQ(message.find("copier header") != std::string::npos, c.otherHeader) << message;
    }
}

TEST(PatchSets, APatchThatMovesABlockAndItsEntryIsFollowed) {
    core::RomImage rom = tableRom(0);
    std::vector<uint8_t> moved(8, 0);
    putHeader(moved, 0, 16);
    const std::vector<std::vector<uint8_t>> set = {
        ips(0x21000, moved),                   // the block at its new place
        ips(kGraphicsTable, {0x00, 0x10}),     // the entry pointing there: C21000
        ips(kBlock, std::vector<uint8_t>(8, 0xFF)),  // the old place reused
    };
    EXPECT_EQ(ApplyPatches(rom, set).status, PatchStatus::Applied);
    // Without the entry moved, the old place's header is broken.
    core::RomImage other = tableRom(0);
    EXPECT_EQ(ApplyPatches(other, {{set[0], set[2]}}).status, PatchStatus::BreaksBlock);
}

TEST(PatchSets, FormatsAreToldByContentAndBpsResultsAreCheckedLikeTheRest) {
    const corv::testing::TempFolder folder;
    core::RomImage rom = tableRom(512);
    const std::vector<uint8_t> first = ips(512 + 0x100, {1, 2, 3});
    core::RomImage afterFirst = tableRom(512);
    ASSERT_EQ(ApplyPatches(afterFirst, {{first}}).status, PatchStatus::Applied);
    std::vector<uint8_t> target(afterFirst.data().begin(), afterFirst.data().end());
    target[0x200] = 9;
    const std::vector<uint8_t> second = CreateBpsPatch(afterFirst.data(), target).patch;
    // Each under the other's name.
    const auto write = [&](const char* name, const std::vector<uint8_t>& patch) {
        std::ofstream(folder.path() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(patch.data()), std::streamsize(patch.size()));
    };
    write("code.bps", first);
    write("text.ips", second);
    const std::vector<std::filesystem::path> files = {folder.path() / "code.bps", folder.path() / "text.ips"};
    const PatchOutcome outcome = ApplyPatchFiles(rom, files);
    EXPECT_EQ(outcome.status, PatchStatus::Applied);
    EXPECT_EQ(outcome.appliedCount, 2u);
    ASSERT_EQ(outcome.crossings.size(), 1u);
    EXPECT_EQ(outcome.crossings[0].index, 1u);
    EXPECT_EQ(outcome.crossings[0].madeFor, BpsMadeFor::RomWithoutHeader);
    EXPECT_EQ(std::vector<uint8_t>(rom.data().begin(), rom.data().end()), target);
    EXPECT_EQ(rom.headerSize(), 512u);
    EXPECT_EQ(PatchMessage(outcome).find(HeaderCrossingNote(BpsMadeFor::RomWithoutHeader) + "\n"), 0u);

    // A BPS result that breaks a block: refused, and the header is not blamed.
    core::RomImage again = tableRom(0);
    const std::vector<uint8_t> fromPlain(again.data().begin(), again.data().end());
    std::vector<uint8_t> broken = fromPlain;
    broken[kBlock + 6] ^= 1;
    const PatchOutcome refused = ApplyPatches(again, {{CreateBpsPatch(fromPlain, broken).patch}});
    EXPECT_EQ(refused.status, PatchStatus::BreaksBlock);
    EXPECT_EQ(PatchMessage(refused), "The BPS file breaks block C20000: its header no longer passes its check. No "
                                     "patching performed.");

    // A BPS result 512 bytes longer would read as having a copier header.
    std::vector<uint8_t> longer = fromPlain;
    longer.resize(longer.size() + 512, 0);
    const PatchOutcome grown = ApplyPatches(again, {{CreateBpsPatch(fromPlain, longer).patch}});
    EXPECT_EQ(grown.status, PatchStatus::NotThisGame);
    EXPECT_EQ(PatchMessage(grown).find("The BPS file would make the ROM 262656 bytes long"), 0u) << PatchMessage(grown);
    EXPECT_EQ(std::vector<uint8_t>(again.data().begin(), again.data().end()), fromPlain);
}

TEST(PatchSets, FilesThatAreNoPatchOrCannotBeReadAreRefused) {
    const corv::testing::TempFolder folder;
    const auto dir = folder.path();
    std::ofstream(dir / "notes.txt") << "PATCHES for the game";
    std::ofstream(dir / "bps.txt") << "BPS2 is not a format";
    ASSERT_EQ(::mkfifo((dir / "pipe.ips").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.ips");
    std::ofstream(dir / "huge.bps").put('B');
    std::filesystem::resize_file(dir / "huge.bps", kLargestPatchFile + 1);  // sparse: takes no room
    const struct {
        const char* name;
        PatchStatus status;
        const char* message;
    } cases[] = {
        {"notes.txt", PatchStatus::IpsRefused, "The PATCH file ends in the middle of a record."},
        {"bps.txt", PatchStatus::NotAPatch, "Not a valid \"PATCH\" file!"},
        {"pipe.ips", PatchStatus::CannotOpen, "File not found or is invalid. No patching performed."},
        {"folder.ips", PatchStatus::CannotOpen, "File not found or is invalid. No patching performed."},
        {"huge.bps", PatchStatus::CannotOpen, "File not found or is invalid. No patching performed."},
    };
    for (const auto& c : cases) {
        core::RomImage rom = tableRom(0);
        const std::vector<uint8_t> before = bytes(rom);
        const std::vector<std::filesystem::path> files = {dir / c.name};
        const PatchOutcome outcome = ApplyPatchFiles(rom, files);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(PatchMessage(outcome).find(c.message), 0u) << c.name << ": " << PatchMessage(outcome);
        EXPECT_EQ(bytes(rom), before) << c.name;
    }
}

}  // namespace
}  // namespace corv::patches
