// Compares the production compressor with the exhaustive-scan reference on three corpora of
// 64 KiB and prints how many times faster it is, measured in this one run. Then the maximising
// compressor: its time per 64 KiB of text-like data against the exhaustive scan (goal: at most
// 20 ms, and faster than the scan), and the bytes it saves against the standard compressor on
// the demo's text blocks with English-like translations inserted (goal: at least 9 % smaller).
//
//   build/bench/codec_bench

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/address.h"
#include "core/block_encoder.h"
#include "core/optimal_encoder.h"
#include "core/rom_image.h"
#include "script/block_data_file.h"
#include "check/block_fit.h"
#include "script/text_block.h"
#include "script/kana_dump.h"
#include "support/exhaustive_match_finder.h"
#include "bench/demo_inputs.h"
#include "bench/median_time.h"
#include "tools/demo/demo_game.h"
#include "tools/demo/demo_translation.h"

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
double medianSeconds(int runs, const std::function<size_t()>& work) { return bench::MedianMilliseconds(runs, work) / 1000; }

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

void timeMaximiser(const std::vector<uint8_t>& corpus) {
    const core::SourceWords words(corpus, static_cast<uint32_t>(corpus.size() / 2));
    const double maximised = medianSeconds(21, [&] { return core::EncodeMaximisedStream(words).bytes.size(); });
    const double exhaustive = medianSeconds(7, [&] { return testing::EncodeExhaustively(words).bytes.size(); });
    const double perBlock = maximised * 1000.0 * 65536.0 / static_cast<double>(corpus.size());
    std::printf("maximise text-like: %.2f ms per 64 KiB (goal at most 20 ms), %.1fx faster than the exhaustive "
                "standard scan\n",
                perBlock, exhaustive / maximised);
}

// Every demo text block with its kana dump translated into English-like text, laid out as the
// insertion lays it out, compressed by both compressors.
void translatedCorpus() {
    const bench::DemoInputs inputs;
    const script::BlockDataLoad& load = inputs.load;
    const script::TableFile& table = inputs.table;
    const core::RomImage& rom = inputs.rom;
    const script::CodeMaps* maps = inputs.maps.get();

    uint64_t standardTotal = 0;
    uint64_t maximisedTotal = 0;
    unsigned blocks = 0;
    unsigned fitStandard = 0;
    unsigned fitMaximised = 0;
    for (size_t n = 0; n < load.blocks.size(); ++n) {
        const auto block = script::LoadTextBlock(rom.data(), load.blocks, load.blocks[n].address).block;
        if (!block) continue;
        const std::string dump = script::KanaDump(block->bytes(), block->info.stringCount, false, *maps);
        script::MemoryScriptText script(demo::TranslateDemoScript(dump, demo::kEnglishLettersPerKana, 1000 + n));
        check::BlockFit fit(rom.data(), *block->buffer, block->info, block->end);
        fit.encodeAll(script, table);
        const check::FitFigures standard = fit.figures();
        if (standard.outcome != insert::InsertionOutcome::Inserted &&
            standard.outcome != insert::InsertionOutcome::DoesNotFit) {
            continue;
        }
        const check::FitFigures maximised = fit.figures(core::Compressor::Maximising);
        const auto header =
            core::ReadBlockHeader(rom.data(), core::AddressToRomOffset(block->info.blockAddress & 0xFFFFFF));
        const uint64_t headerBytes = header ? header->streamOffset() : 0;
        standardTotal += standard.needed - headerBytes;
        maximisedTotal += maximised.needed - headerBytes;
        ++blocks;
        fitStandard += standard.fits() ? 1 : 0;
        fitMaximised += maximised.fits() ? 1 : 0;
        if (standard.room > 20000) {
            std::printf("translated block %X: needs %llu bytes, room %lld: %lld %s; with the maximiser %llu: %lld %s\n",
                        unsigned(block->info.blockAddress), static_cast<unsigned long long>(standard.needed),
                        static_cast<long long>(standard.room), static_cast<long long>(std::llabs(standard.left())),
                        standard.left() >= 0 ? "left" : "over", static_cast<unsigned long long>(maximised.needed),
                        static_cast<long long>(std::llabs(maximised.left())), maximised.left() >= 0 ? "left" : "over");
        }
    }
    std::printf("translated corpus, %u text blocks: standard %llu stream bytes, maximised %llu (%.1f %% smaller, "
                "goal at least 9 %%); blocks that fit: %u standard, %u maximised\n",
                blocks, static_cast<unsigned long long>(standardTotal), static_cast<unsigned long long>(maximisedTotal),
                standardTotal ? 100.0 * double(standardTotal - maximisedTotal) / double(standardTotal) : 0.0,
                fitStandard, fitMaximised);
}

}  // namespace

int main() {
    compare("text-like", demoText());
    compare("random-words", randomWords());
    compare("repeated-word", repeatedWord());
    timeMaximiser(demoText());
    translatedCorpus();
    return 0;
}
