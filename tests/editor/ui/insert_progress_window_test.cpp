// The insertion progress window on the offscreen platform: its parts, the gauge's percentage,
// and a real insertion of a demo block driven through it with the Text Editor's script text,
// which must give the same ROM and log as the in-memory script text with a plain recorder.

#include <QListWidget>
#include <QProgressBar>
#include <QtTest/QtTest>

#include <fstream>
#include <memory>

#include "core/block_decoder.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/text_editor_window.h"
#include "support/widget_lookup.h"
#include "script/block_data_file.h"
#include "script/kana_dump.h"
#include "script/text_block.h"
#include "support/temp_folder.h"
#include "tools/demo/demo_game.h"

namespace corv::editor {

using corv::testing::Named;

namespace {

QStringList itemsOf(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

class LogRecorder final : public insert::InsertionProgress {
public:
    void addLogLine(const std::string& line) override { log << QString::fromLatin1(line); }
    void start() override { log.clear(); }
    void setCaption(std::string_view) override {}
    void setGaugeRange(int, int) override {}
    void setGaugePosition(int) override {}
    void processPendingMessages() override {}
    QStringList log;
};

struct DemoInsertion {
    insert::InsertionResult result;
    std::vector<uint8_t> rom;
};

// Inserts the kana dump of the demo's first text block as its script.
DemoInsertion insertFirstTextBlock(const demo::DemoGame& game, script::ScriptText& script,
                                   insert::InsertionProgress& progress) {
    const corv::testing::TempFolder folder;
    {
        std::ofstream(folder.path() / "demo.tbl", std::ios::binary) << game.tableFile;
    }
    script::TableFile table;
    if (table.load(folder.path() / "demo.tbl") != script::TableLoadResult::Loaded) return {};
    auto maps = std::make_unique<script::CodeMaps>();
    (void)script::ParseBlockDataFile(game.blockDataFile, *maps);

    const demo::DemoBlock& demoBlock = game.blocks[static_cast<size_t>(game.textBlocks.front())];
    core::RomImage rom(game.rom, "demo.smc");
    auto buffer = std::make_unique<core::BlockBuffer>();
    uint32_t endOfRoom = core::DecompressBlock(rom.data(), demoBlock.address, *buffer);
    const std::span<const uint8_t> block = buffer->lower();
    const unsigned count = script::CountStringRecords(block).value_or(0);
    script.setText(script::KanaDump(block, count, false, *maps));

    insert::InsertionBlock insertion;
    insertion.blockAddress = demoBlock.address;
    insertion.stringCount = static_cast<uint16_t>(count);
    insertion.length = core::DecompressedLength(*buffer);
    std::vector<uint8_t> preview(script::kPreviewByteBufferSize);
    DemoInsertion out;
    out.result = insert::InsertScript(rom, *buffer, insertion, endOfRoom, script, table, preview, progress);
    out.rom.assign(rom.data().begin(), rom.data().end());
    return out;
}

}  // namespace

class InsertProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    void gaugeShowsThePercentOfItsRange();
    void startClearsTheLogAndShowsTheWindow();
    void demoInsertionThroughTheWindows();
};

void InsertProgressWindowTest::gaugeShowsThePercentOfItsRange() {
    InsertProgressWindow window;
    window.setGaugeRange(0, 9);
    window.setGaugePosition(4);
    QCOMPARE(Named<QProgressBar>(window, "CGauge1")->text(), QStringLiteral("44%"));
    window.setGaugePosition(10);  // one past the maximum, as the layout phase ends
    QCOMPARE(Named<QProgressBar>(window, "CGauge1")->text(), QStringLiteral("100%"));
    QCOMPARE(Named<QProgressBar>(window, "CGauge1")->palette().color(QPalette::Text), QColor(Qt::blue));
}

void InsertProgressWindowTest::startClearsTheLogAndShowsTheWindow() {
    InsertProgressWindow window;
    window.addLogLine("old line");
    window.start();
    QVERIFY(window.isVisible());
    QCOMPARE(Named<QListWidget>(window, "ListBox1")->count(), 0);
    window.setCaption("Converting Text...");
    QCOMPARE(window.windowTitle(), QStringLiteral("Converting Text..."));
    window.addLogLine("caf\xe9");
    QCOMPARE(itemsOf(Named<QListWidget>(window, "ListBox1")), QStringList{QStringLiteral("caf\u00e9")});
}

void InsertProgressWindowTest::demoInsertionThroughTheWindows() {
    const demo::DemoGame game = demo::BuildDemoGame();
    script::MemoryScriptText memoryScript;
    LogRecorder recorder;
    const DemoInsertion expected = insertFirstTextBlock(game, memoryScript, recorder);
    QCOMPARE(expected.result.outcome, insert::InsertionOutcome::Inserted);

    TextEditorWindow editor;
    InsertProgressWindow window;
    const DemoInsertion actual = insertFirstTextBlock(game, editor.script(), window);
    QCOMPARE(actual.result.outcome, insert::InsertionOutcome::Inserted);
    QVERIFY(actual.rom == expected.rom);
    QCOMPARE(itemsOf(Named<QListWidget>(window, "ListBox1")), recorder.log);
    QVERIFY(itemsOf(Named<QListWidget>(window, "ListBox1"))
                .join('\n')
                .contains(QStringLiteral("compressed successfully!")));
    // The window stays open on the last phase with a full gauge.
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), QStringLiteral("Inserting Text..."));
    QCOMPARE(Named<QProgressBar>(window, "CGauge1")->text(), QStringLiteral("100%"));
}

}  // namespace corv::editor

QTEST_MAIN(corv::editor::InsertProgressWindowTest)
#include "insert_progress_window_test.moc"
