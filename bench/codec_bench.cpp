// Compares the production compressor with the exhaustive-scan reference on three corpora of
// 64 KiB and prints how many times faster it is, measured in this one run.
//
//   build/bench/codec_bench

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/block_encoder.h"
#include "support/exhaustive_match_finder.h"
#include "tools/demo/demo_game.h"

using namespace corv;

namespace {

constexpr size_t kCorpusBytes = 65534;

// Text blocks of the demo game, back to back: records and kana strings as the game stores them.
std::vector<uint8_t> demoText() {
    const demo::DemoGame game = demo::BuildDemoGame();
    std::vector<uint8_t> text;
    for (const auto& block : game.blocks) {
        if (!block.isText()) continue;
        text.insert(text.end(), block.data.begin(), block.data.end());
        if (text.size() >= kCorpusBytes) break;
    }
    while (text.size() < kCorpusBytes) text.insert(text.end(), text.begin(), text.end());
    text.resize(kCorpusBytes);
    return text;
}

std::vector<uint8_t> randomWords() {
    std::mt19937 random(42);
    std::vector<uint8_t> bytes(kCorpusBytes);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

std::vector<uint8_t> repeatedWord() {
    std::vector<uint8_t> bytes(kCorpusBytes);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = i % 2 ? 0x81 : 0x42;
    return bytes;
}

// Median wall time of `runs` calls, in seconds.
double medianSeconds(int runs, const std::function<size_t()>& work) {
    std::vector<double> times;
    size_t sink = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        sink += work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    if (sink == 0) std::puts("(empty output)");
    return times[times.size() / 2];
}

void compare(const std::string& name, const std::vector<uint8_t>& corpus) {
    const core::SourceWords words(corpus, static_cast<uint32_t>(corpus.size() / 2));
    const double production = medianSeconds(51, [&] {
        auto finder = core::MakeIndexedMatchFinder(words);
        return core::EncodeBlockStream(words, *finder).bytes.size();
    });
    const double exhaustive = medianSeconds(7, [&] { return testing::EncodeExhaustively(words).bytes.size(); });
    std::printf("compress %s: %.1fx faster than the exhaustive scan (%.1f MB/s)\n", name.c_str(),
                exhaustive / production, static_cast<double>(corpus.size()) / production / 1e6);
}

}  // namespace

int main() {
    compare("text-like", demoText());
    compare("random-words", randomWords());
    compare("repeated-word", repeatedWord());
    return 0;
}
