// The translation checks on the demo's largest text block: the median time to recompute the
// block fit after a change to one entry (what the editor does on every keystroke; the goal is
// under 2 ms), of a full check of the block, in memory and as the corvtool program, and of the
// editor's live checks: a block choice and one key typed into an entry.
//
//   build/bench/check_bench

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/rom_image.h"
#include "editor/logic/live_checks.h"
#include "script/block_data_file.h"
#include "check/block_check.h"
#include "check/block_fit.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "bench/demo_inputs.h"
#include "bench/median_time.h"
#include "tools/demo/demo_game.h"

using namespace corv;

namespace {

// The block's own entries, then copies of them numbered on up to 1,000 entries.
std::string thousandEntries(const std::string& dump, unsigned strings) {
    std::string text = dump;
    script::MemoryScriptText own(dump);
    for (unsigned n = strings; n < 1000; ++n) {
        const auto body = script::LookupEntry(own, int(n % strings));
        text += script::EntrySearchText(int(n)) + "\n";
        for (const std::string& line : body.value_or(std::vector<std::string>{})) text += line + "\n";
        text += ".ENDS\n\n";
    }
    return text;
}

}  // namespace

int main() {
    const bench::DemoInputs inputs;
    const demo::DemoGame& game = inputs.game;
    const script::BlockDataLoad& load = inputs.load;
    const script::TableFile& table = inputs.table;
    const core::RomImage& rom = inputs.rom;
    const script::CodeMaps* maps = inputs.maps.get();

    size_t largest = 0;
    uint32_t largestLength = 0;
    for (size_t n = 0; n < load.blocks.size(); ++n) {
        const auto block = script::LoadTextBlock(rom.data(), load.blocks, load.blocks[n].address).block;
        if (block && block->info.length > largestLength) {
            largest = n;
            largestLength = block->info.length;
        }
    }
    const auto block = script::LoadTextBlock(rom.data(), load.blocks, load.blocks[largest].address).block;
    const std::string dump = script::KanaDump(block->bytes(), block->info.stringCount, false, *maps);
    std::printf("block %X: %u bytes, %u strings\n", unsigned(block->info.blockAddress), unsigned(largestLength),
                unsigned(block->info.stringCount));

    // Typing into string 5: its entry gains and loses a character in turn.
    const unsigned changed = 5;
    const std::string opening = script::EntrySearchText(int(changed)) + "\n";
    std::string typed = dump;
    typed.insert(typed.find(opening) + opening.size(), "x");
    script::MemoryScriptText script(dump);
    check::BlockFit fit(rom.data(), *block->buffer, block->info, block->end);
    fit.encodeAll(script, table);
    int turn = 0;
    const double keystroke = bench::MedianMilliseconds(201, [&] {
        script.setText(++turn % 2 ? typed : dump);
        fit.updateEntry(changed, script, table);
        return int64_t(fit.figures().needed);
    });
    std::printf("block fit after a one-entry change: %.3f ms median (goal under 2 ms)\n", keystroke);

    const double fullFit = bench::MedianMilliseconds(21, [&] {
        check::BlockFit fresh(rom.data(), *block->buffer, block->info, block->end);
        fresh.encodeAll(script, table);
        return int64_t(fresh.figures().needed);
    });
    std::printf("block fit from scratch: %.3f ms median\n", fullFit);

    const double check = bench::MedianMilliseconds(11, [&] {
        const auto report = check::CheckBlock(rom.data(), *block, script, table, {});
        return int64_t(report.fit.needed + report.strings.size());
    });
    std::printf("full check of the block in memory: %.3f ms median\n", check);

    // The editor's live checks: the block choice (a full check), then one key typed into the
    // entry of the first and of the last string in turn, with the fit and the typed string's
    // findings brought up to date. The script holds 1,000 entries, as in the keystroke benchmark.
    const std::string big = thousandEntries(dump, block->info.stringCount);
    editor::LiveChecks live;
    const editor::LiveBlock liveBlock{rom.data(), block->buffer.get(), block->info, block->end, block->inserted};
    const double choice = bench::MedianMilliseconds(11, [&] {
        live.open(liveBlock, big, &table, {}, insert::InsertionCompressor::Standard);
        return int64_t(live.fit().needed);
    });
    std::printf("live checks, block choice (full check, 1,000-entry script): %.3f ms median (goal under 50 ms)\n",
                choice);
    for (const unsigned typedInto : {0u, unsigned(block->info.stringCount - 1)}) {
        const std::string entry = script::EntrySearchText(int(typedInto)) + "\n";
        std::string withKey = big;
        withKey.insert(withKey.find(entry) + entry.size(), "x");
        live.open(liveBlock, big, &table, {}, insert::InsertionCompressor::Standard);
        const size_t fullChecks = live.fullChecks();
        int key = 0;
        const double perKey = bench::MedianMilliseconds(201, [&] {
            (void)live.update(++key % 2 ? withKey : big);
            return int64_t(live.fit().needed);
        });
        if (live.fullChecks() != fullChecks) std::puts("(a key checked the whole block again)");
        std::printf("live checks, one key in string %u: %.3f ms median\n", typedInto, perKey);
    }

#ifdef CORVTOOL_PATH
    // The whole program: reading the files, the checks and the printing.
    const auto folder = std::filesystem::temp_directory_path() / ("check_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    if (demo::WriteDemoFiles(game, folder)) {
        std::ofstream(folder / "script.txt", std::ios::binary) << dump;
        char address[16];
        std::snprintf(address, sizeof address, "%X", unsigned(block->info.blockAddress));
        const std::string command = std::string("'") + CORVTOOL_PATH + "' check '" + (folder / "corvane.smc").string() +
                                    "' '" + (folder / "corvane.txt").string() + "' '" +
                                    (folder / "corvane.tbl").string() + "' " + address + " '" +
                                    (folder / "script.txt").string() + "' >/dev/null";
        const double program = bench::MedianMilliseconds(11, [&] {
            const int status = std::system(command.c_str());
            return int64_t(WIFEXITED(status) ? 1 : 0);
        });
        std::printf("corvtool check of the block: %.1f ms median\n", program);
    }
    std::filesystem::remove_all(folder);
#endif
    return 0;
}
