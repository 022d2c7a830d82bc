// Time of one key typed into the Text Editor of the real editor, from the key event to the
// repainted preview and room panel: the change signal, the main window's quiet string choice
// (search of the script, copy of the entry, preview encoding), both text boxes drawn, the status
// bar and the Video paint box repainted, and the live checks (the block fit after the changed
// entry, that entry's findings, the room and progress panels, List Data's marks and the
// Problems window). A key that leaves the preview unpainted or the room panel not brought up to
// date fails the run. The demo game is opened as the command line opens it; its largest
// text block is chosen, with a script of 1,000 entries made from the demo's kana dumps. Typing
// goes into the entry of the block's first and of its last string (the search stops at the
// entry, so the last one is the longer walk). Every other key is a Backspace, so the script
// keeps its size; both count as key strokes.
//
// After the table it prints each median (wall clock and processor time) and its share of one
// 60 Hz frame (16.7 ms).
//
//   build/bench/keystroke_bench        (runs on the offscreen platform unless one is set)

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QtTest/QtTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/block_decoder.h"
#include "dialogs/scripted_dialogs.h"
#include "editor/logic/live_texts.h"
#include "editor/ui/list_data_window.h"
#include "editor/ui/live_check_panels.h"
#include "editor/ui/live_check_wiring.h"
#include "editor/ui/main_window.h"
#include "editor/ui/script_memo.h"
#include "editor/ui/text_editor_window.h"
#include "editor/ui/video_box.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "script/text_block.h"
#include "support/temp_folder.h"
#include "support/widget_lookup.h"
#include "tools/demo/demo_game.h"

using namespace corv;
using corv::testing::Named;

namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;
constexpr int kScriptEntries = 1000;

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

struct DemoScript {
    size_t block = 0;       // position in the block list of the block with the most strings
    unsigned strings = 0;
    std::string text;       // 1,000 entries: that block's own first, then the other blocks'
};

DemoScript makeScript(const demo::DemoGame& game) {
    auto maps = std::make_unique<script::CodeMaps>();
    const script::BlockDataLoad load = script::ParseBlockDataFile(game.blockDataFile, *maps);
    auto buffer = std::make_unique<core::BlockBuffer>();
    std::vector<std::vector<std::string>> perBlock;
    DemoScript made;
    for (size_t n = 0; n < load.blocks.size(); ++n) {
        (void)core::DecompressBlock(game.rom, load.blocks[n].address, *buffer);
        const auto block = buffer->lower();
        const unsigned count = script::CountStringRecords(block).value_or(0);
        perBlock.push_back(entryBodies(script::KanaDump(block, count, false, *maps)));
        if (count > made.strings) made = {n, count, {}};
    }
    std::vector<std::string> bodies = perBlock[made.block];
    for (size_t n = 0; n < perBlock.size(); ++n) {
        if (n != made.block) bodies.insert(bodies.end(), perBlock[n].begin(), perBlock[n].end());
    }
    made.text = "// Do not erase these: \n// .STRING #\n// .ENDS\n\n\n";
    for (int k = 0; k < kScriptEntries; ++k) {
        made.text += script::EntrySearchText(k) + "\n" + bodies[size_t(k) % bodies.size()] + ".ENDS\n\n\n\n";
    }
    return made;
}

// Counts the paint events of one widget.
class PaintCounter final : public QObject {
public:
    long paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The editor on the demo game, opened from the command line, with the largest text block and
// its 1,000-entry script chosen.
class KeystrokeFixture {
public:
    KeystrokeFixture() {
        if (!demo::WriteDemoFiles(game_, folder_.path())) std::abort();
        const std::filesystem::path dumps = folder_.path() / "Dumps";
        std::filesystem::create_directory(dumps);
        const uint32_t address = game_.blocks[size_t(game_.textBlocks[script_.block])].address;
        if (!script::SaveScriptFile(script::ScriptPathFor(dumps, address), script_.text)) std::abort();

        form_.showWindowSet();
        form_.openWithFiles(folder_.path() / demo::kRomFileName, folder_.path() / demo::kBlockDataFileName);
        listData_->selectBlock(int(script_.block));
        form_.chooseBlock();
        if (textEditor_->script().text() != script_.text) std::abort();
        Named<editor::VideoBox>(form_, "Video")->installEventFilter(&paints_);
    }

    // Chooses string `i`, puts the caret at the start of its entry's first text line and makes
    // the Text Editor the active window, as when the translator types there.
    void startTypingIn(unsigned i) {
        listData_->selectString(int(i));
        form_.chooseString(editor::ChoiceSender::User);
        script::ScriptText& script = textEditor_->script();
        if (!script::FindInScript(script, script::EntrySearchText(int(i)), true)) std::abort();
        script.setCaret(script.text().find('\n', script.selectionStart()) + 1);
        textEditor_->activateWindow();
        (void)QTest::qWaitForWindowActive(textEditor_);
        memo_->setFocus();
        QCoreApplication::processEvents();
    }

    // One key, then the pending paint of the preview.
    void typeKey(Qt::Key key) {
        QTest::keyClick(memo_, key, Qt::NoModifier);
        QCoreApplication::processEvents();
    }

    // View > Wrap While Typing on or off.
    void wrapWhileTyping(bool on) {
        QAction* item = Named<QAction>(form_, "WrapWhileTyping1");
        if (item->isChecked() != on) item->trigger();
    }

    [[nodiscard]] unsigned stringCount() const { return script_.strings; }
    [[nodiscard]] size_t scriptBytes() const { return script_.text.size(); }
    [[nodiscard]] int lineCount() const { return textEditor_->script().lineCount(); }
    [[nodiscard]] size_t previewLength() const { return form_.session().index().previewLength(); }
    [[nodiscard]] long paints() const { return paints_.paints; }
    [[nodiscard]] size_t panelUpdates() const { return form_.liveChecks().panels()->updates(); }
    // The room panel shows the figures of the text in the Text Editor.
    [[nodiscard]] bool panelMatchesText() {
        const editor::LiveChecks& checks = form_.liveChecks().checks();
        return checks.text() == textEditor_->script().text() &&
               form_.liveChecks().panels()->roomText().toStdString() == editor::RoomPanelText(checks);
    }

private:
    demo::DemoGame game_ = demo::BuildDemoGame();
    DemoScript script_ = makeScript(game_);
    corv::testing::TempFolder folder_{"keystroke-bench"};
    dialogs::ScriptedDialogs dialogs_;
    editor::MainWindow form_{dialogs_};
    // Found once by name: the keys are timed, the look-up is not.
    editor::ListDataWindow* listData_ = Named<editor::ListDataWindow>(form_, "cmForm");
    editor::TextEditorWindow* textEditor_ = Named<editor::TextEditorWindow>(form_, "TxtForm");
    QPlainTextEdit* memo_ = Named<QPlainTextEdit>(form_, "TDMemo");
    PaintCounter paints_;
};

KeystrokeFixture* fixture = nullptr;

void typeInto(benchmark::State& state, bool lastString, bool wrapping = false) {
    const unsigned i = lastString ? fixture->stringCount() - 1 : 0;
    fixture->wrapWhileTyping(wrapping);
    fixture->startTypingIn(i);
    const long paintsBefore = fixture->paints();
    const size_t panelBefore = fixture->panelUpdates();
    bool typeLetter = true;
    for (auto _ : state) {
        fixture->typeKey(typeLetter ? Qt::Key_A : Qt::Key_Backspace);
        typeLetter = !typeLetter;
    }
    // Every key must have repainted the preview and brought the room panel up to date, or the
    // figure measures nothing.
    if (fixture->paints() - paintsBefore < long(state.iterations())) state.SkipWithError("a key did not repaint");
    if (fixture->panelUpdates() - panelBefore < size_t(state.iterations()) || !fixture->panelMatchesText()) {
        state.SkipWithError("a key did not update the room panel");
    }
    state.counters["string"] = double(i);
    state.counters["preview_bytes"] = double(fixture->previewLength());
}

void BM_KeyInFirstEntry(benchmark::State& state) { typeInto(state, false); }
void BM_KeyInLastStringEntry(benchmark::State& state) { typeInto(state, true); }
// The same with View > Wrap While Typing on: each key also wraps the entry it is typed into.
void BM_KeyInLastStringEntryWrapping(benchmark::State& state) { typeInto(state, true, true); }

BENCHMARK(BM_KeyInFirstEntry)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyInLastStringEntry)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeyInLastStringEntryWrapping)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(15)->ReportAggregatesOnly(true);

// The console table, plus the median times of each benchmark for the summary lines.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    struct Median {
        double realSeconds = 0;
        double cpuSeconds = 0;
    };

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
                keystrokes.lineCount(), keystrokes.scriptBytes(), keystrokes.stringCount());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // On a shared machine the wall-clock figure also holds the time other processes ran; the
    // processor time is this program's own work.
    for (const auto& [name, median] : reporter.medians()) {
        std::printf("%s: median key to repainted preview and room panel %.1f us = %.2f %% of a 60 Hz frame "
                    "(processor time %.1f us = %.2f %%; goal: under 2 ms)\n",
                    name.c_str(), median.realSeconds * 1e6, 100.0 * median.realSeconds / kFrameSeconds,
                    median.cpuSeconds * 1e6, 100.0 * median.cpuSeconds / kFrameSeconds);
    }
    fixture = nullptr;
    return 0;
}
