// Reading and writing files that other people made: the bounded read, where a write through
// links lands, control characters kept off the terminal, saves prepared together, and the
// leftovers of a killed save removed by the next one.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/file_read.h"
#include "core/file_save.h"
#include "core/path_resolve.h"
#include "core/printable_text.h"
#include "core/rom_image.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace corv::core;

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string readText(const fs::path& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<unreadable>");
}

std::span<const uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(BoundedRead, OnlyRegularFilesUpToTheLimitAreRead) {
    corv::testing::TempFolder folder;
    const fs::path file = folder.path() / "a.txt";
    writeText(file, "12345");
    const fs::path fifo = folder.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(file, folder.path() / "link");
    struct Case {
        fs::path path;
        uint64_t limit;
        FileReadStatus status;
    };
    const Case cases[] = {
        {file, 5, FileReadStatus::Read},          {file, 4, FileReadStatus::TooLarge},
        {folder.path() / "link", 5, FileReadStatus::Read},
        {fifo, 100, FileReadStatus::NotAFile},    // never waits for a writer
        {"/dev/zero", kNoReadLimit, FileReadStatus::NotAFile},
        {folder.path(), 100, FileReadStatus::NotAFile},
        {folder.path() / "missing", 100, FileReadStatus::CannotRead},
    };
    for (const Case& c : cases) {
        const FileRead read = ReadBoundedFile(c.path, c.limit);
        EXPECT_EQ(read.status, c.status) << c.path << " limit " << c.limit;
        if (read.status == FileReadStatus::Read) {
            EXPECT_EQ(std::string(read.bytes.begin(), read.bytes.end()), "12345");
        }
    }
}

TEST(BoundedRead, ARomLargerThanTheGameCanBeIsRefusedUnreadAndTheOpenImageStays) {
    corv::testing::TempFolder folder;
    const fs::path huge = folder.path() / "huge.smc";
    {
        std::ofstream out(huge, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(kLargestRomFile));  // a sparse file one byte too large
        out.put('\0');
    }
    std::vector<uint8_t> good(0x10000, 0);
    std::copy(kGameTitle.begin(), kGameTitle.end(), good.begin() + kTitleOffset);
    RomImage image(good, folder.path() / "good.smc");
    EXPECT_EQ(OpenRomFile(image, huge), RomOpenResult::TooLarge);
    EXPECT_TRUE(image.loaded());
    EXPECT_EQ(image.path(), folder.path() / "good.smc");
    fs::resize_file(huge, kLargestRomFile);  // the largest the game can be is read (and has no title)
    EXPECT_EQ(OpenRomFile(image, huge), RomOpenResult::WrongTitle);
}

TEST(PathResolve, WritesThroughLinksLandWhereTheLinksLead) {
    corv::testing::TempFolder folder;
    const fs::path root = fs::canonical(folder.path());
    fs::create_directories(root / "proj/sub");
    fs::create_directories(root / "elsewhere");
    fs::create_symlink(root / "elsewhere", root / "proj/out");          // a folder link
    fs::create_symlink("../elsewhere/x.smc", root / "proj/dangling");   // a link to nothing yet
    fs::create_symlink("sub/../../elsewhere", root / "proj/relative");  // ".." after a link is the system's
    fs::create_symlink("loop", root / "proj/loop");
    struct Case {
        fs::path path;
        fs::path leadsTo;
        bool inside;
    };
    const Case cases[] = {
        {root / "proj/build/a.smc", root / "proj/build/a.smc", true},
        {root / "proj/sub/../b.smc", root / "proj/b.smc", true},
        {root / "proj/../c.smc", root / "c.smc", false},
        {root / "proj/out/d.smc", root / "elsewhere/d.smc", false},
        {root / "proj/dangling", root / "elsewhere/x.smc", false},
        {root / "proj/relative/e", root / "elsewhere/e", false},
        {root / "proj/new/../out/f", root / "elsewhere/f", false},  // a folder made on the way
    };
    for (const Case& c : cases) {
        const ResolvedPath resolved = ResolveThroughLinks(c.path);
        ASSERT_EQ(resolved.status, PathResolveStatus::Resolved) << c.path;
        EXPECT_EQ(resolved.path, c.leadsTo) << c.path;
        EXPECT_EQ(LiesInside(resolved.path, root / "proj"), c.inside) << c.path;
    }
    EXPECT_EQ(ResolveThroughLinks(root / "proj/loop/x").status, PathResolveStatus::LinkLoop);
    EXPECT_FALSE(LiesInside(root / "projector", root / "proj"));  // names, not characters
}

TEST(PrintableText, ControlCharactersBecomeEscapesAndTextStays) {
    // The text as read, and as printed.
    const std::pair<std::string, std::string> cases[] = {
        {"plain \xC3\xA9 text", "plain \xC3\xA9 text"},
        {"\x1B]0;owned\x07", "\\x1B]0;owned\\x07"},
        {"a\tb\rc\nd\x7F", "a\\x09b\\x0Dc\\x0Ad\\x7F"},
        {"\xC2\x9B" "2J", "\\u009B2J"},                           // C1 written in UTF-8
        {"\x9B" "2J \xE2\x80\x98q\xE2\x80\x99", "\\x9B2J \xE2\x80\x98q\xE2\x80\x99"},  // alone, and inside quotes
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(EscapeControlCharacters(text), shown);
}

TEST(PreparedSave, NothingIsReplacedBeforeTheCommitAndAnAbandonedSaveLeavesNothing) {
    corv::testing::TempFolder folder;
    const fs::path a = folder.path() / "a.bin";
    const fs::path b = folder.path() / "b.bin";
    writeText(a, "old a");
    const std::string newA = "new a", newB = "new b";
    PreparedSave first = PreparedSave::prepare(a, bytesOf(newA));
    PreparedSave second = PreparedSave::prepare(b, bytesOf(newB));
    ASSERT_TRUE(first.ready() && second.ready());
    EXPECT_EQ(readText(a), "old a");
    EXPECT_FALSE(fs::exists(b));
    EXPECT_TRUE(first.commit().ok());
    EXPECT_EQ(readText(a), "new a");
    second.abandon();
    EXPECT_FALSE(second.commit().ok());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);

    const fs::path fifo = folder.path() / "out.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    SaveOptions together;
    together.refuseStreams = true;
    EXPECT_EQ(PreparedSave::prepare(fifo, bytesOf(newA), together).result().status, SaveStatus::NotAFile);
}

TEST(PreparedSave, LeftoversOfEarlierSavesAreRemovedOnlyWhenOlderThanTheLockAndPlain) {
    corv::testing::TempFolder folder;
    const fs::path target = folder.path() / "rom.smc";
    writeText(target, "old");
    const fs::path stale = folder.path() / "rom.smc.saving-Ab3xY9";
    const fs::path otherTarget = folder.path() / "rom.smc.ips.saving-Ab3xY9";
    const fs::path wrongShape = folder.path() / "rom.smc.saving-Ab3x";
    const fs::path link = folder.path() / "rom.smc.saving-LINK00";
    for (const fs::path& path : {stale, otherTarget, wrongShape}) writeText(path, "left over");
    fs::create_symlink(stale, link);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto lockedAt = std::chrono::system_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const fs::path fresh = folder.path() / "rom.smc.saving-Fresh1";  // a writer after the lock was taken
    writeText(fresh, "being written");

    SaveOptions options;
    options.leftoversBefore = lockedAt;
    const std::string bytes = "new";
    ASSERT_TRUE(WriteFileSafely(target, bytesOf(bytes), options).ok());
    EXPECT_EQ(readText(target), "new");
    EXPECT_FALSE(fs::exists(stale));
    for (const fs::path& kept : {otherTarget, wrongShape, fresh}) EXPECT_TRUE(fs::exists(kept)) << kept;
    EXPECT_TRUE(fs::is_symlink(link));  // never removed through or as a link
}

}  // namespace
