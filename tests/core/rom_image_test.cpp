#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "core/address.h"
#include "core/rom_image.h"

namespace fs = std::filesystem;
using namespace corv::core;

namespace {

std::vector<uint8_t> romWithTitle(size_t dataSize, std::string_view title, size_t headerSize = 0) {
    std::vector<uint8_t> bytes(headerSize + dataSize, 0);
    for (size_t i = 0; i < headerSize; ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i % 7);
    for (size_t i = 0; i < title.size() && headerSize + kTitleOffset + i < bytes.size(); ++i) {
        bytes[headerSize + kTitleOffset + i] = static_cast<uint8_t>(title[i]);
    }
    bytes[headerSize] = 0x5A;  // first ROM byte, to tell header and data apart
    return bytes;
}

class RomFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("corv_rom_test_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    fs::path dir_;
};

}  // namespace

TEST(CopierHeader, FollowsBitNineOfTheLength) {
    constexpr uint64_t mib3 = 3u << 20;
    EXPECT_EQ(CopierHeaderSize(mib3 + 512), 512u);
    EXPECT_EQ(CopierHeaderSize(mib3), 0u);
    EXPECT_EQ(CopierHeaderSize(mib3 + 1024), 0u);
    EXPECT_EQ(CopierHeaderSize(mib3 + 1536), 512u);
    EXPECT_EQ(CopierHeaderSize(0x100200), 512u);
    EXPECT_EQ(CopierHeaderSize(0x100000), 0u);
}

TEST(AddressMapping, ClearsTheTwoTopBankBits) {
    EXPECT_EQ(AddressToRomOffset(0x060000), 0x060000u);
    EXPECT_EQ(AddressToRomOffset(0xC60000), 0x060000u);
    EXPECT_EQ(AddressToRomOffset(0x461234), 0x061234u);
    EXPECT_EQ(AddressToRomOffset(0), 0u);
}

TEST(GameTitle, ComparesExactlySevenBytesCaseSensitively) {
    EXPECT_TRUE(HasGameTitle(romWithTitle(0x10000, "CORVANE")));
    EXPECT_TRUE(HasGameTitle(romWithTitle(0x10000, "CORVANE EXTRA")));
    EXPECT_FALSE(HasGameTitle(romWithTitle(0x10000, "corvane")));
    EXPECT_FALSE(HasGameTitle(romWithTitle(0x10000, "CORVAN")));
    // Too short to hold the whole title field: fails, whatever bytes it has.
    EXPECT_FALSE(HasGameTitle(romWithTitle(kTitleOffset + 6, "CORVANE")));
    EXPECT_TRUE(HasGameTitle(romWithTitle(kTitleOffset + 7, "CORVANE")));
}

TEST(FileSize, LeavesThePositionWhereItWas) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs("0123456789", file);
    std::fseek(file, 3, SEEK_SET);
    EXPECT_EQ(FileSizeOf(file), 10);
    EXPECT_EQ(std::ftell(file), 3);
    std::fclose(file);
    EXPECT_EQ(FileSizeOf(nullptr), -1);
}

TEST_F(RomFiles, HeaderedThenPlainFileEachGetTheirOwnHeaderSize) {
    RomImage image;
    const auto headered = write("h.smc", romWithTitle(0x10400, "CORVANE", 512));
    ASSERT_EQ(OpenRomFile(image, headered), RomOpenResult::Opened);
    EXPECT_EQ(image.headerSize(), 512u);
    EXPECT_EQ(image.size(), 0x10400u + 512);
    EXPECT_EQ(image.data()[0], 0x5A);

    const auto plain = write("p.smc", romWithTitle(0x10000, "CORVANE"));
    ASSERT_EQ(OpenRomFile(image, plain), RomOpenResult::Opened);
    EXPECT_EQ(image.headerSize(), 0u);
    EXPECT_EQ(image.data()[0], 0x5A);
    EXPECT_EQ(image.path(), plain);
    EXPECT_FALSE(image.modified());
}

TEST_F(RomFiles, FailedOpenKeepsThePreviousImageAndWrongTitleDropsIt) {
    RomImage image;
    const auto good = write("good.smc", romWithTitle(0x10000, "CORVANE"));
    ASSERT_EQ(OpenRomFile(image, good), RomOpenResult::Opened);

    EXPECT_EQ(OpenRomFile(image, dir_ / "missing.smc"), RomOpenResult::CannotOpen);
    EXPECT_EQ(OpenRomFile(image, dir_), RomOpenResult::CannotOpen);  // a folder is no ROM file
    EXPECT_TRUE(image.loaded());
    EXPECT_EQ(image.path(), good);

    const auto wrong = write("wrong.smc", romWithTitle(0x10000, "corvane"));
    EXPECT_EQ(OpenRomFile(image, wrong), RomOpenResult::WrongTitle);
    EXPECT_FALSE(image.loaded());
    EXPECT_EQ(image.path(), wrong);

    const auto tooShort = write("short.smc", romWithTitle(kTitleOffset + 3, "CORVANE"));
    ASSERT_EQ(OpenRomFile(image, good), RomOpenResult::Opened);
    EXPECT_EQ(OpenRomFile(image, tooShort), RomOpenResult::WrongTitle);
    EXPECT_FALSE(image.loaded());
}

TEST_F(RomFiles, SaveWritesTheWholeImageHeaderFirstAndClearsModified) {
    RomImage image;
    const auto original = romWithTitle(0x10400, "CORVANE", 512);
    const auto path = write("h.smc", original);
    ASSERT_EQ(OpenRomFile(image, path), RomOpenResult::Opened);
    image.data()[1] = 0x77;
    image.setModified(true);

    ASSERT_EQ(SaveRomFile(image).result, RomSaveResult::Saved);
    EXPECT_FALSE(image.modified());
    auto saved = ReadWholeFile(path);
    ASSERT_TRUE(saved.has_value());
    auto expected = original;
    expected[513] = 0x77;
    EXPECT_EQ(*saved, expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);  // no temporary file left
}

TEST_F(RomFiles, FailedSaveLeavesTheOldFileIntactAndStaysModified) {
    RomImage image;
    const auto original = romWithTitle(0x10000, "CORVANE");
    const auto path = write("rom.smc", original);
    ASSERT_EQ(OpenRomFile(image, path), RomOpenResult::Opened);
    image.data()[1] = 0x77;
    image.setModified(true);

    // The temporary file cannot be created (the disk is full).
    struct NoRoom final : SaveStepHook {
        int beforeStep(SaveStep step) override { return step == SaveStep::CreateTemporary ? ENOSPC : 0; }
    } noRoom;
    EXPECT_EQ(SaveRomFile(image, {.hook = &noRoom}).result, RomSaveResult::CannotWrite);
    EXPECT_TRUE(image.modified());
    EXPECT_EQ(ReadWholeFile(path), original);

    // A ROM path whose folder vanished cannot be written either.
    image.setPath(dir_ / "gone" / "rom.smc");
    EXPECT_EQ(SaveRomFile(image).result, RomSaveResult::CannotWrite);
    EXPECT_TRUE(image.modified());

    RomImage empty;
    EXPECT_EQ(SaveRomFile(empty).result, RomSaveResult::NoRom);
}

TEST_F(RomFiles, SavingThroughSymbolicLinksReplacesTheFileTheyNameAndKeepsTheLinks) {
    RomImage image;
    const auto original = romWithTitle(0x10000, "CORVANE");
    fs::create_directory(dir_ / "real");
    const fs::path real = write("real/rom.smc", original);
    // A relative link, and a link to that link from another folder.
    fs::create_symlink("real/rom.smc", dir_ / "link.smc");
    fs::create_directory(dir_ / "other");
    fs::create_symlink(dir_ / "link.smc", dir_ / "other" / "chain.smc");
    ASSERT_EQ(OpenRomFile(image, dir_ / "other" / "chain.smc"), RomOpenResult::Opened);
    image.data()[1] = 0x77;
    ASSERT_EQ(SaveRomFile(image).result, RomSaveResult::Saved);

    EXPECT_TRUE(fs::is_symlink(dir_ / "link.smc"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "other" / "chain.smc"));
    auto expected = original;
    expected[1] = 0x77;
    EXPECT_EQ(ReadWholeFile(real), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "other"), fs::directory_iterator()), 1);

    // A link whose file does not exist yet gets it created where it points.
    fs::create_symlink("new.bin", dir_ / "dangling.bin");
    const std::vector<uint8_t> bytes = {1, 2, 3};
    ASSERT_TRUE(WriteFileSafely(dir_ / "dangling.bin", bytes));
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.bin"));
    EXPECT_EQ(ReadWholeFile(dir_ / "new.bin"), bytes);

    // A loop of links names no file: nothing is written.
    fs::create_symlink(dir_ / "loop_b", dir_ / "loop_a");
    fs::create_symlink(dir_ / "loop_a", dir_ / "loop_b");
    EXPECT_FALSE(WriteFileSafely(dir_ / "loop_a", bytes));
    EXPECT_TRUE(fs::is_symlink(dir_ / "loop_a"));
}

