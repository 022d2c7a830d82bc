// Wrapping a whole block to the box: a script of 1,000 entries, each one paragraph of 40 to 90
// English words with the codes a script uses, wrapped as corvtool wrap and Wrap Block to Box do
// (fixed and variable width), and wrapping the wrapped script again, which changes nothing.
//
//   build/bench/wrap_bench

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "check/script_wrap.h"

namespace {

using namespace corv;

std::string longScript() {
    static const char* const kWords[] = {"The", "dragon", "sleeps", "in", "the", "old", "tower,", "and", "you", "must",
                                         "wake", "[Player]", "before", "the", "king", "returns.", "Beware", "[SFX]the",
                                         "north", "wind![Pause$10]", "Who", "goes", "there?"};
    std::mt19937 random(5);
    std::string script;
    for (int n = 0; n < 1000; ++n) {
        script += ".STRING " + std::to_string(n) + "\n";
        const int words = 40 + int(random() % 51);
        for (int k = 0; k < words; ++k) script += std::string(k ? " " : "") + kWords[random() % std::size(kWords)];
        script += "[Key]\n.ENDS\n\n";
    }
    return script;
}

void wrapBlock(benchmark::State& state, bool variableWidth, bool wrappedAlready) {
    check::BoxMetrics box;
    box.variableWidth = variableWidth;
    check::BoxWrapper wrapper(box, {});
    std::string script = longScript();
    if (wrappedAlready) script = check::WrapScript(script, wrapper).text;
    unsigned changed = 0;
    for (auto _ : state) {
        const check::ScriptWrap wrapped = check::WrapScript(script, wrapper);
        changed = wrapped.entriesChanged;
        benchmark::DoNotOptimize(wrapped.text.data());
    }
    if (wrappedAlready && changed != 0) state.SkipWithError("wrapping wrapped text changed it");
    if (!wrappedAlready && changed != 1000) state.SkipWithError("not every entry was wrapped");
    state.counters["entries_changed"] = double(changed);
}

void BM_WrapBlockFixedWidth(benchmark::State& state) { wrapBlock(state, false, false); }
void BM_WrapBlockVariableWidth(benchmark::State& state) { wrapBlock(state, true, false); }
void BM_WrapWrappedBlock(benchmark::State& state) { wrapBlock(state, true, true); }

BENCHMARK(BM_WrapBlockFixedWidth)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WrapBlockVariableWidth)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WrapWrappedBlock)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
