// The check commands of corvtool run as the real program on the demo files: check against the
// insertion's own verdict, room and its round trip, readback after an insertion, make-ips.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <regex>

#include "core/address.h"
#include "core/rom_image.h"
#include "script/block_data_file.h"
#include "patches/ips_patch.h"
#include "script/kana_dump.h"
#include "script/text_block.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

namespace corv::tool {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class CorvtoolCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(demo::WriteDemoFiles(game(), dir()));
        rom_ = q(dir() / demo::kRomFileName);
        files_ = rom_ + " " + q(dir() / demo::kBlockDataFileName) + " " + q(dir() / demo::kTableFileName);
    }

    static const demo::DemoGame& game() {
        static const demo::DemoGame game = demo::BuildDemoGame();
        return game;
    }
    const fs::path& dir() const { return folder_.path(); }
    static std::string q(const fs::path& path) { return "'" + path.string() + "'"; }

    ToolRun corvtool(const std::string& arguments) const {
        const std::string command = std::string("'") + CORVTOOL_PATH + "' " + arguments + " >" +
                                    q(dir() / "out.txt") + " 2>" + q(dir() / "err.txt");
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(dir() / "out.txt"), readText(dir() / "err.txt")};
    }

    // The kana dump of text block n (the script a translation starts from), in the code table's bytes.
    std::string kanaDump(size_t n) const {
        auto maps = std::make_unique<script::CodeMaps>();
        (void)script::ParseBlockDataFile(game().blockDataFile, *maps);
        const demo::DemoBlock& block = game().blocks[size_t(game().textBlocks[n])];
        std::vector<uint8_t> bytes(block.data);
        bytes.resize(0x10000);
        return script::KanaDump(bytes, unsigned(block.records.size()), false, *maps);
    }
    std::string address(size_t n) const {
        char text[16];
        std::snprintf(text, sizeof text, "%X", unsigned(game().blocks[size_t(game().textBlocks[n])].address));
        return text;
    }

    corv::testing::TempFolder folder_{"corvtool-check"};
    std::string rom_;
    std::string files_;
};

// A script that cannot fit: random letters after every text line.
std::string lengthened(const std::string& script) {
    std::mt19937 random(5);
    std::string out;
    size_t start = 0;
    while (start < script.size()) {
        const size_t end = script.find('\n', start);
        std::string line = script.substr(start, end - start);
        if (!line.empty() && line[0] != '.') {
            for (int i = 0; i < 200; ++i) line += static_cast<char>('a' + random() % 26);
        }
        out += line + "\n";
        start = end + 1;
    }
    return out;
}

TEST_F(CorvtoolCheck, CheckAgreesWithTheInsertionOnBytesLeftAndOver) {
    const fs::path script = dir() / "script.txt";
    writeText(script, lengthened(kanaDump(2)));
    const ToolRun over = corvtool("check " + files_ + " " + address(2) + " " + q(script));
    EXPECT_EQ(over.exitCode, 1) << over.err;
    std::smatch overBy;
    ASSERT_TRUE(std::regex_search(over.out, overBy, std::regex("BLOCK " + address(2) + ": needs \\d+ bytes, room \\d+ bytes, (\\d+) bytes over\n$")))
        << over.out.substr(over.out.size() > 300 ? over.out.size() - 300 : 0);
    const ToolRun refused = corvtool("insert " + files_ + " " + address(2) + " " + q(script));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("[ " + overBy[1].str() + " BYTE(S) OVER ]"), std::string::npos) << refused.out;

    writeText(script, kanaDump(2));
    const ToolRun fits = corvtool("check " + files_ + " " + address(2) + " " + q(script));
    EXPECT_EQ(fits.exitCode, 0) << fits.err;  // untranslated kana lacks glyphs: warnings only
    EXPECT_NE(fits.out.find("warning: "), std::string::npos);
    EXPECT_TRUE(std::regex_search(fits.out, std::regex("bytes left\n$")));
    EXPECT_EQ(corvtool("check " + files_ + " " + address(2) + " " + q(script) + " --strict").exitCode, 2);

    const ToolRun json = corvtool("check --json " + files_ + " " + address(2) + " " + q(script));
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.out.rfind("{\"block\": \"" + address(2) + "\", \"outcome\": \"fits\"", 0), 0u) << json.out.substr(0, 200);
}

TEST_F(CorvtoolCheck, ErrorsAndBadArguments) {
    const fs::path script = dir() / "script.txt";
    std::string dump = kanaDump(0);
    // Without its own entry, string 2's search lands on the entry of string 20.
    const size_t entry = dump.find(".STRING 2\n");
    dump.erase(entry, dump.find(".STRING 3\n") - entry);
    // The last entry has no such neighbour: it is simply missing.
    const size_t last = dump.rfind(".STRING ");
    const std::string lastNumber = dump.substr(last + 8, dump.find('\n', last) - last - 8);
    dump.erase(last);
    writeText(script, dump);
    const ToolRun missing = corvtool("check " + files_ + " " + address(0) + " " + q(script));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(std::regex_search(missing.out, std::regex("\nSTRING 2: error: the search for \".STRING 2\" first finds "
                                                          "the line \".STRING 2\\d\"\n")));
    EXPECT_NE(missing.out.find("STRING " + lastNumber + ": error: the script has no entry \".STRING " + lastNumber + "\""),
              std::string::npos);

    EXPECT_EQ(corvtool("check " + files_ + " " + address(0)).exitCode, 3);
    EXPECT_EQ(corvtool("check " + files_ + " " + address(0) + " " + q(script) + " --fast").exitCode, 3);
    EXPECT_EQ(corvtool("check " + files_ + " 123456 " + q(script)).exitCode, 2);  // no such block
    EXPECT_EQ(corvtool("check " + files_ + " " + address(0) + " " + q(dir() / "none.txt")).exitCode, 2);
}

TEST_F(CorvtoolCheck, RoomListsEveryBlockAndFindsACorruptedHeader) {
    const ToolRun run = corvtool("room " + rom_ + " " + q(dir() / demo::kBlockDataFileName));
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    for (size_t n = 0; n < game().textBlocks.size(); ++n) {
        EXPECT_TRUE(std::regex_search(run.out, std::regex("\n" + address(n) + " .* ok\n"))) << address(n);
    }

    std::vector<uint8_t> rom = game().rom;
    const uint32_t offset = core::AddressToRomOffset(game().blocks[size_t(game().textBlocks[2])].address);
    ++rom[offset + 6];  // the check word
    const fs::path damaged = dir() / "damaged.smc";
    std::ofstream(damaged, std::ios::binary).write(reinterpret_cast<const char*>(rom.data()), long(rom.size()));
    const ToolRun bad = corvtool("room " + q(damaged) + " " + q(dir() / demo::kBlockDataFileName));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(std::regex_search(bad.out, std::regex("\n" + address(2) + " +the header at ROM offset [0-9A-F]{6} fails its check\n")))
        << bad.out;
    EXPECT_NE(bad.out.find("1 failed"), std::string::npos);
}

TEST_F(CorvtoolCheck, ReadbackShowsWhatTheInsertionWrote) {
    const fs::path script = dir() / "script.txt";
    writeText(script, ".STRING 0\nHello there, [PLAYER]![KEY]\nthe king waits.\n.ENDS\n\n" + kanaDump(0).substr(kanaDump(0).find(".STRING 1\n")));
    EXPECT_EQ(corvtool("readback " + files_ + " " + address(0)).exitCode, 2);  // not inserted yet
    ASSERT_EQ(corvtool("insert " + files_ + " " + address(0) + " " + q(script)).exitCode, 0);

    const ToolRun run = corvtool("readback " + files_ + " " + address(0));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind(".STRING 0\nHello there, [PLAYER]![KEY]\nthe king waits.\n.ENDS\n\n.STRING 1\n", 0), 0u)
        << run.out.substr(0, 200);

    const ToolRun check = corvtool("check " + files_ + " " + address(0) + " " + q(script));
    EXPECT_TRUE(std::regex_search(check.out, std::regex("\nROM: (\\d+) of \\1 strings equal the script's encoding\n")))
        << check.out.substr(check.out.size() > 300 ? check.out.size() - 300 : 0);
}

TEST_F(CorvtoolCheck, MakeIpsWritesAPatchThatReproducesTheTarget) {
    const fs::path original = dir() / demo::kHeaderedRomFileName;
    const fs::path patch = dir() / "out.ips";
    std::vector<uint8_t> target(game().rom.begin(), game().rom.end());
    target.insert(target.begin(), 512, 0);
    target[512 + 0x140000] ^= 0xFF;
    target.resize(target.size() - 4096);  // a shorter target: the length after "EOF"
    const fs::path modified = dir() / "modified.smc";
    std::ofstream(modified, std::ios::binary).write(reinterpret_cast<const char*>(target.data()), long(target.size()));

    const ToolRun run = corvtool("make-ips " + q(original) + " " + q(modified) + " " + q(patch));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto bytes = core::ReadWholeFile(patch);
    const auto image = core::ReadWholeFile(original);
    ASSERT_TRUE(bytes && image);
    std::vector<uint8_t> patched = *image;
    EXPECT_EQ(patches::ApplyIpsPatch(patched, *bytes), patches::IpsStatus::Applied);
    EXPECT_EQ(patched, target);

    const fs::path never = dir() / "never.ips";
    EXPECT_EQ(corvtool("make-ips " + q(original) + " " + q(dir() / "none.smc") + " " + q(never)).exitCode, 2);
    EXPECT_FALSE(fs::exists(never));
    EXPECT_EQ(corvtool("make-ips " + q(original) + " " + q(modified)).exitCode, 3);
}

}  // namespace
}  // namespace corv::tool
