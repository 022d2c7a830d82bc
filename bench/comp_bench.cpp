// The compression utility's two batch jobs on the demo ROM: decompressing the graphics, data and
// text areas into block files and listings, and recompressing every unchanged file from those
// listings. File writing and reading are part of what is timed, as they are of the commands.
//
//   build/bench/comp_bench

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "comp/area_walk.h"
#include "comp/listing_recompress.h"
#include "comp/utility_state.h"
#include "tools/demo/demo_game.h"

using namespace corv;

namespace {

constexpr std::array kAreas = {comp::Area::Graphics, comp::Area::Data, comp::Area::Text};

// The demo ROM written to a folder of its own and opened as the utility opens it.
class DemoSetup {
public:
    DemoSetup() {
        std::random_device seed;
        folder_ = std::filesystem::temp_directory_path() / ("corvcomp-bench-" + std::to_string(seed()));
        std::filesystem::create_directories(folder_);
        const demo::DemoGame game = demo::BuildDemoGame();
        if (!demo::WriteDemoFiles(game, folder_)) std::fprintf(stderr, "cannot write the demo files\n");
        state.startDirectory = folder_;
        if (comp::OpenRom(state, folder_ / demo::kRomFileName).status != comp::OpenRomStatus::Opened) {
            std::fprintf(stderr, "cannot open the demo ROM\n");
        }
        original_.assign(state.rom.data().begin(), state.rom.data().end());
    }
    ~DemoSetup() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    DemoSetup(const DemoSetup&) = delete;
    DemoSetup& operator=(const DemoSetup&) = delete;

    // Recompression rewrites blocks; every round starts from the ROM as it was opened.
    void restoreRom() { std::copy(original_.begin(), original_.end(), state.rom.data().begin()); }

    size_t unpackAll() {
        size_t files = 0;
        for (comp::Area area : kAreas) files += comp::DecompressArea(state, area).lines.size();
        return files;
    }

    comp::RecompressSummary repackAll() {
        comp::RecompressSummary total;
        for (comp::Area area : kAreas) {
            auto listing = comp::OpenListing(comp::AreaDirectory(folder_, area) / comp::kListingFileName);
            if (!listing) continue;
            const comp::RecompressSummary summary = comp::RecompressListing(state, *listing, nullptr);
            total.entries += summary.entries;
            total.written += summary.written;
        }
        return total;
    }

    comp::UtilityState state;

private:
    std::filesystem::path folder_;
    std::vector<uint8_t> original_;
};

void BM_UnpackThreeAreas(benchmark::State& bench) {
    DemoSetup setup;
    size_t files = 0;
    for (auto _ : bench) {
        files = setup.unpackAll();
        benchmark::DoNotOptimize(files);
    }
    bench.counters["files"] = static_cast<double>(files);
}
BENCHMARK(BM_UnpackThreeAreas)->Unit(benchmark::kMillisecond);

void BM_RepackUnchangedFiles(benchmark::State& bench) {
    DemoSetup setup;
    setup.unpackAll();
    comp::RecompressSummary summary;
    for (auto _ : bench) {
        bench.PauseTiming();
        setup.restoreRom();
        bench.ResumeTiming();
        summary = setup.repackAll();
    }
    bench.counters["entries"] = summary.entries;
    bench.counters["written"] = summary.written;
}
BENCHMARK(BM_RepackUnchangedFiles)->Unit(benchmark::kMillisecond);

// Both jobs back to back: what a round trip of the whole ROM through the utility costs.
void BM_UnpackAndRepackAll(benchmark::State& bench) {
    DemoSetup setup;
    comp::RecompressSummary summary;
    for (auto _ : bench) {
        bench.PauseTiming();
        setup.restoreRom();
        bench.ResumeTiming();
        benchmark::DoNotOptimize(setup.unpackAll());
        summary = setup.repackAll();
    }
    bench.counters["entries"] = summary.entries;
    bench.counters["written"] = summary.written;
}
BENCHMARK(BM_UnpackAndRepackAll)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
