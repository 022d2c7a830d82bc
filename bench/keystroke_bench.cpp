// Time of one key typed into the Text Editor, from the key event to the repainted preview: the
// change signal, the quiet string choice (search of the script, copy of the entry, preview
// encoding), both text boxes drawn and the paint box repainted. The Text Editor holds a script
// of 1,000 entries made from the demo's kana dumps; the current block is the demo's largest
// text block. Typing goes into the entry of the block's first and of its last string (the
// search stops at the entry, so the last one is the longer walk). Every other key is a
// Backspace, so the script keeps its size; both count as key strokes.
//
// After the table it prints each median (wall clock and processor time) and its share of one
// 60 Hz frame (16.7 ms).
//
//   build/bench/keystroke_bench        (runs on the offscreen platform unless one is set)

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QtTest/QtTest>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/rom_image.h"
#include "editor/ui/script_memo.h"
#include "editor/ui/text_editor_window.h"
#include "preview/string_preview.h"
#include "preview/text_box_renderer.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "script/string_index.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

using namespace corv;

namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;
constexpr int kScriptEntries = 1000;

// The paint box: the preview bitmap stretched over the widget.
class PreviewBox final : public QWidget {
public:
    explicit PreviewBox(const preview::PreviewScreen& screen) : screen_(screen) { resize(320, 256); }

protected:
    void paintEvent(QPaintEvent*) override {
        const QImage image(reinterpret_cast<const uchar*>(screen_.bits()), int(screen_.width()), int(screen_.height()),
                           int(screen_.pitch() * sizeof(preview::Pixel)), QImage::Format_RGB16);
        QPainter(this).drawImage(rect(), image);
    }

private:
    const preview::PreviewScreen& screen_;
};

class NoUnsavedScript final : public script::UnsavedScriptHandler {
public:
    void unsavedScript(const std::filesystem::path&) override {}
};

// The lines between each ".STRING" line and its ".ENDS" in a kana dump.
std::vector<std::string> entryBodies(const std::string& dump) {
    std::vector<std::string> bodies;
    std::string body;
    bool inEntry = false;
    const script::MemoryScriptText text(dump);
    for (int n = 0; n < text.lineCount(); ++n) {
        const std::string line = text.line(n);
        if (line.rfind(".STRING", 0) == 0) {
            inEntry = true;
            body.clear();
        } else if (inEntry && line == ".ENDS") {
            bodies.push_back(body);
            inEntry = false;
        } else if (inEntry) {
            body += line + "\n";
        }
    }
    return bodies;
}

struct Index {
    size_t block = 0;
    unsigned strings = 0;
};

// The demo, its largest text block chosen in a string index, and the 1,000-entry script of that
// block loaded into a Text Editor wired to the preview as the main window wires it.
class KeystrokeFixture {
public:
    KeystrokeFixture() {
        maps_ = std::make_unique<script::CodeMaps>();
        load_ = script::ParseBlockDataFile(game_.blockDataFile, *maps_);
        script::ApplyOperations(menus_, load_.operations);
        format_ = load_.format;
        preview::InstallDefaultFormat(format_);
        rom_ = core::RomImage(game_.rom, "keystroke.smc");
        font_ = preview::LoadGameFont(rom_.data());
        index_.setBlocks(load_.blocks);

        std::vector<std::string> bodies;
        for (size_t n = 0; n < load_.blocks.size(); ++n) {
            (void)index_.chooseBlock(rom_, n, dumps_.path(), scratch_, unsaved_);
            if (index_.stringCount() > largest_.strings) largest_ = {n, index_.stringCount()};
        }
        // The largest block's entries first, so that its string k has entry k.
        (void)index_.chooseBlock(rom_, largest_.block, dumps_.path(), scratch_, unsaved_);
        bodies = entryBodies(script::KanaDump(index_.block(), index_.stringCount(), false, *maps_));
        for (size_t n = 0; n < load_.blocks.size(); ++n) {
            if (n == largest_.block) continue;
            (void)index_.chooseBlock(rom_, n, dumps_.path(), scratch_, unsaved_);
            for (std::string& body : entryBodies(script::KanaDump(index_.block(), index_.stringCount(), false, *maps_))) {
                bodies.push_back(std::move(body));
            }
        }
        std::string text = "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n";
        for (int k = 0; k < kScriptEntries; ++k) {
            text += script::EntrySearchText(k) + "\n" + bodies[size_t(k) % bodies.size()] + ".ENDS\n\n\n\n";
        }
        const uint32_t address = index_.blockAddress(largest_.block);
        if (!script::SaveScriptFile(script::ScriptPathFor(dumps_.path(), address), text)) std::abort();
        scriptBytes_ = text.size();

        editor_.show();
        (void)index_.chooseBlock(rom_, largest_.block, dumps_.path(), editor_.script(), unsaved_);
        video_.show();
        QObject::connect(&editor_, &editor::TextEditorWindow::scriptChanged, &editor_, [this] { chooseString(true); });
    }

    // Puts the caret at the start of the first text line of string `i`'s entry and chooses it.
    void startTypingIn(unsigned i) {
        current_ = i;
        chooseString(false);
        script::ScriptText& script = editor_.script();
        const auto opening = script::FindInScript(script, script::EntrySearchText(int(i)), true);
        if (!opening) std::abort();
        script.setCaret(script.text().find('\n', script.selectionStart()) + 1);
        editor_.TDMemo->setFocus();
    }

    void typeKey(Qt::Key key) { QTest::keyClick(editor_.TDMemo, key, Qt::NoModifier); }

    [[nodiscard]] unsigned largestStringCount() const { return largest_.strings; }
    [[nodiscard]] size_t scriptBytes() const { return scriptBytes_; }
    [[nodiscard]] int lineCount() const { return editor_.script().lineCount(); }
    [[nodiscard]] size_t previewLength() const { return index_.previewLength(); }
    [[nodiscard]] long choices() const { return choices_; }

private:
    // What the main window's string choice does for a change of the script text.
    void chooseString(bool quiet) {
        const auto choice = index_.chooseString(current_, editor_.script(), quiet);
        if (!choice) std::abort();
        preview::PreviewSources sources;
        sources.romData = rom_.data();
        sources.gameFont = font_;
        sources.block = index_.block();
        sources.previewBytes = index_.previewBytes();
        sources.dataFileLoaded = true;
        sources.stringIndex = current_;
        sources.blockIndex = uint32_t(largest_.block);
        renderer_.drawStringSelection(sources, menus_, format_, choice->matchLine.has_value());
        statusText_ = choice->offsetStatus;
        video_.repaint();
        ++choices_;
    }

    corv::testing::TempFolder dumps_{"keystroke-bench"};
    demo::DemoGame game_ = demo::BuildDemoGame();
    std::unique_ptr<script::CodeMaps> maps_;
    script::BlockDataLoad load_;
    script::MenuStates menus_;
    script::FormatSettings format_;
    core::RomImage rom_;
    std::vector<uint8_t> font_;
    script::StringIndex index_;
    script::MemoryScriptText scratch_;
    NoUnsavedScript unsaved_;
    Index largest_;
    size_t scriptBytes_ = 0;
    unsigned current_ = 0;
    long choices_ = 0;
    std::string statusText_;
    editor::TextEditorWindow editor_;
    preview::PreviewScreen screen_;
    preview::TextBoxRenderer renderer_{screen_};
    PreviewBox video_{screen_};
};

KeystrokeFixture* fixture = nullptr;

void typeInto(benchmark::State& state, bool lastString) {
    const unsigned i = lastString ? fixture->largestStringCount() - 1 : 0;
    fixture->startTypingIn(i);
    const long choicesBefore = fixture->choices();
    bool typeLetter = true;
    for (auto _ : state) {
        if (typeLetter) {
            fixture->typeKey(Qt::Key_A);
        } else {
            fixture->typeKey(Qt::Key_Backspace);
        }
        typeLetter = !typeLetter;
    }
    // Every key must have rerun the string choice, or the figure measures nothing.
    if (fixture->choices() - choicesBefore != long(state.iterations())) state.SkipWithError("a key did not redraw");
    state.counters["string"] = double(i);
    state.counters["preview_bytes"] = double(fixture->previewLength());
}

void BM_KeyInFirstEntry(benchmark::State& state) { typeInto(state, false); }
void BM_KeyInLastStringEntry(benchmark::State& state) { typeInto(state, true); }

BENCHMARK(BM_KeyInFirstEntry)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyInLastStringEntry)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(15)->ReportAggregatesOnly(true);

// The console table, plus the median real time of each benchmark for the summary lines.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.function_name] = {run.real_accumulated_time / double(run.iterations),
                                                        run.cpu_accumulated_time / double(run.iterations)};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    struct Median {
        double realSeconds = 0;
        double cpuSeconds = 0;
    };
    [[nodiscard]] const std::map<std::string, Median>& medians() const { return medians_; }

private:
    std::map<std::string, Median> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    KeystrokeFixture keystrokes;
    fixture = &keystrokes;
    std::printf("script: %d entries, %d lines, %zu bytes; block of %u strings\n", kScriptEntries,
                keystrokes.lineCount(), keystrokes.scriptBytes(), keystrokes.largestStringCount());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // On a shared machine the wall-clock figure also holds the time other processes ran; the
    // processor time is this program's own work.
    for (const auto& [name, median] : reporter.medians()) {
        std::printf("%s: median key to repainted preview %.1f us = %.2f %% of a 60 Hz frame "
                    "(processor time %.1f us = %.2f %%; goal: under 2 ms)\n",
                    name.c_str(), median.realSeconds * 1e6, 100.0 * median.realSeconds / kFrameSeconds,
                    median.cpuSeconds * 1e6, 100.0 * median.cpuSeconds / kFrameSeconds);
    }
    fixture = nullptr;
    return 0;
}
