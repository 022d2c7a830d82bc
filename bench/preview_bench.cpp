// Time of one full redraw of the two text boxes (untranslated and translated pass) for a string
// of four lines in each box, the work the editor does on every key press in the script and on
// every change of a display option. After the table it prints the median over the repetitions
// and its share of one 60 Hz frame (16.7 ms).
//
//   build/bench/preview_bench

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <span>
#include <vector>

#include "core/block_decoder.h"
#include "preview/string_preview.h"
#include "preview/text_box_renderer.h"
#include "script/block_data_file.h"
#include "script/preview_encoder.h"
#include "script/string_decoder.h"
#include "tools/demo/demo_game.h"

using namespace corv;

namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;
constexpr unsigned kFourLineString = 0;  // the demo's string with every control code: 4 lines

struct Fixture {
    demo::DemoGame game = demo::BuildDemoGame();
    std::unique_ptr<script::CodeMaps> maps = std::make_unique<script::CodeMaps>();
    script::BlockDataLoad load = script::ParseBlockDataFile(game.blockDataFile, *maps);
    std::vector<uint8_t> font = preview::LoadGameFont(game.rom);
    std::unique_ptr<core::BlockBuffer> buffer = std::make_unique<core::BlockBuffer>();
    std::vector<uint8_t> previewBytes = std::vector<uint8_t>(script::kPreviewBufferSize, 0);

    Fixture() {
        (void)core::DecompressBlock(game.rom, load.blocks.at(0).address, *buffer);
        const std::vector<std::string> entry = {
            ".STRING 0",
            "[FADEIN]Welcome to Corvane, [PLAYER]![KEY]",
            "The king awaits you in the castle.",
            "[PAUSE$05]Bring the sword and some water.",
            "Will you go?[YES-NO][$34_12][$78_56]",
            ".ENDS",
        };
        (void)script::EncodePreview(entry, previewBytes, script::CharacterMap{});
    }
};

void BM_RedrawBothBoxes(benchmark::State& state) {
    static const Fixture fixture;
    script::DataFileSettings settings;
    script::ApplySettings(settings, fixture.load.operations);
    const preview::PreviewOptions options = preview::PreviewOptionsOf(settings);
    script::FormatSettings format = fixture.load.format;

    preview::PreviewSources sources;
    sources.romData = fixture.game.rom;
    sources.gameFont = fixture.font;
    sources.previewBytes = fixture.previewBytes;

    preview::PreviewScreen screen;
    preview::TextBoxRenderer renderer(screen);
    for (auto _ : state) {
        // The string is resolved for every drawing, as the editor does.
        sources.romText = script::ResolveString(fixture.buffer->lower(), kFourLineString,
                                                script::BlockIsInserted(fixture.game.rom, 0));
        renderer.redraw(sources, options, format);
        benchmark::DoNotOptimize(screen.bits());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_RedrawBothBoxes)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(25)->ReportAggregatesOnly(true);

// The console table, plus the median real time of each benchmark for the summary line.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medianSeconds_ = run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    [[nodiscard]] double medianSeconds() const { return medianSeconds_; }

private:
    double medianSeconds_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.medianSeconds() > 0) {
        std::printf("median full redraw of both boxes: %.1f us = %.2f %% of a 60 Hz frame (16.7 ms)\n",
                    reporter.medianSeconds() * 1e6, 100.0 * reporter.medianSeconds() / kFrameSeconds);
    }
    return 0;
}
