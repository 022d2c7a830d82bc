// The editor's main window driven through its menu on the demo game: opening, the data file's
// replay of menu states and windows, block and string choice, typing in the Text Editor, the
// ROM-writing commands, the raw dump, and the questions of closing.

#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>

#include "editor/logic/editor_texts.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/main_window_fixture.h"
#include "script/script_file.h"
#include "script/string_decoder.h"

namespace corv::editor {

namespace {

template <typename... Values>
QString Printed(const char* format, Values... values) {
    char text[96];
    std::snprintf(text, sizeof text, format, values...);
    return QString::fromLatin1(text);
}

}  // namespace

using corv::testing::Named;
using testing::EditorFixture;
using testing::Items;
using testing::Messages;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void openingTheDemoShowsStringZeroOfTheFirstBlock() {
        EditorFixture f;
        f.open(demo::kHeaderedRomFileName);
        MainWindow& form = *f.form;
        QVERIFY(f.dialogs.unexpected().empty());
        QCOMPARE(Messages(f.dialogs), QStringList());
        QCOMPARE(form.session().rom().headerSize(), 512u);
        QCOMPARE(form.windowTitle(), QStringLiteral("Script Editor: Corvane - [corvane.txt ]"));

        QStringList blocks;
        for (size_t n = 0; n < f.game().textBlocks.size(); ++n) blocks << Printed("Block %X", f.textBlock(n).address);
        QCOMPARE(Items(Named<QListWidget>(form, "bList")), blocks);
        QCOMPARE(Named<QListWidget>(form, "bList")->currentRow(), 0);
        const demo::DemoBlock& block = f.textBlock(0);
        const int strings = static_cast<int>(block.records.size());
        QCOMPARE(Named<QListWidget>(form, "pList")->count(), strings);
        QCOMPARE(Named<QListWidget>(form, "pList")->item(7)->text(), QStringLiteral("String# 7    "));
        QCOMPARE(Named<QListWidget>(form, "pList")->toolTip(), QStringLiteral("%1 item(s)").arg(strings));
        QCOMPARE(Named<QListWidget>(form, "pList")->currentRow(), 0);

        const std::string skeleton = script::ScriptSkeleton(static_cast<unsigned>(strings));
        QCOMPARE(Named<TextEditorWindow>(form, "TxtForm")->script().text(), skeleton);
        QVERIFY(std::filesystem::exists(f.folder() / "Dumps" / script::ScriptPathFor({}, block.address).filename()));

        const unsigned pointer = block.records[0].textPointer;
        QCOMPARE(Named<QLabel>(form, "StatusPanel0")->text(),
                 Printed("Offset: 7E000E | PTR: %04X -> %06X", pointer, 0x7E0000 + pointer));
        QCOMPARE(Named<QLabel>(form, "StatusPanel1")->text(), QStringLiteral("Line {Kana, Ascii}: 0, 0"));
        QCOMPARE(Named<KanaTextWindow>(form, "KanaForm")->windowTitle(), QStringLiteral("Kana Text: String #0"));
        QCOMPARE(Named<VideoBox>(form, "Video")->picture(),
                 f.expectedPreview(0, skeleton).convertToFormat(QImage::Format_RGB16));

        // An unheadered ROM afterwards is read without a header.
        f.open();
        QCOMPARE(form.session().rom().headerSize(), 0u);
        QCOMPARE(Named<QListWidget>(form, "bList")->count(), blocks.size());
    }

    void statusPanelsHoldTheirWidestTextsAtTheDefaultSize() {
        EditorFixture f;
        MainWindow& form = *f.form;
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // A framed label starts its text half an "x" in from its frame.
        const auto room = [](const QLabel* panel) {
            return panel->contentsRect().width() - panel->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
        };
        const auto width = [](const QLabel* panel, const char* text) {
            return panel->fontMetrics().horizontalAdvance(QString::fromLatin1(text));
        };
        QTRY_COMPARE(Named<QLabel>(form, "StatusPanel0")->width(), 200);
        QVERIFY(width(Named<QLabel>(form, "StatusPanel0"), "Offset: 7E00CE | PTR: 0CEC -> 7E0CEC") <=
                room(Named<QLabel>(form, "StatusPanel0")));
        QVERIFY(width(Named<QLabel>(form, "StatusPanel1"), "Line {Kana, Ascii}: 42, 42") <=
                room(Named<QLabel>(form, "StatusPanel1")));
    }

    void openingAnotherGameOrCancellingLeavesTheWindowAsItShould() {
        EditorFixture f;
        MainWindow& form = *f.form;
        const QImage black = Named<VideoBox>(form, "Video")->picture();
        f.dialogs.replyOpenFile(std::nullopt);
        Named<QAction>(form, "OpenBinaryTextData1")->trigger();
        QCOMPARE(Messages(f.dialogs), QStringList());
        QVERIFY(!form.session().romLoaded());
        QCOMPARE(form.windowTitle(), QStringLiteral("Script Editor: Corvane"));
        QCOMPARE(Named<QLabel>(form, "StatusPanel0")->text(), QStringLiteral("Offset: 000000 | PTR: 0000"));
        QCOMPARE(Named<QLabel>(form, "StatusPanel1")->text(), QStringLiteral("Control Codes: Visible | VWF: Inactive"));

        f.open();
        std::vector<uint8_t> other = f.game().rom;
        std::copy_n("corvane", 7, other.begin() + 0xFFC0);
        testing::WriteBytes(f.file("other.smc"), std::string_view(reinterpret_cast<const char*>(other.data()), other.size()));
        f.dialogs.clearRecord();
        f.dialogs.replyOpenFile(f.file("other.smc"));
        Named<QAction>(form, "OpenBinaryTextData1")->trigger();
        QCOMPARE(Messages(f.dialogs),
                 QStringList{QStringLiteral("Error: This is not the ROM used.\nPlease load the correct ROM.")});
        QVERIFY(f.dialogs.unexpected().empty());
        QVERIFY(!form.session().romLoaded());
        // No ROM: the paint box stays black, also when it is asked to paint.
        Named<VideoBox>(form, "Video")->repaint();
        QCOMPARE(Named<VideoBox>(form, "Video")->picture(), black);
        QVERIFY(std::all_of(black.constBits(), black.constBits() + black.sizeInBytes(), [](uchar b) { return b == 0; }));
    }

    void dataFileReplaysItsMenuStatesAndWindows() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        Named<HexDataWindow>(form, "HexForm")->hide();
        Named<KanaTextWindow>(form, "KanaForm")->hide();
        QVERIFY(Named<TextEditorWindow>(form, "TxtForm")->isVisible());
        std::string text = ".textbox .color.red .solid\n.CONTROLCODES HIDE\n.VWF on\n.TextWindow hide\n"
                           ".HexWindow show\n.KanaWindow show\n";
        char line[32];
        for (size_t n = 0; n < 2; ++n) {
            std::snprintf(line, sizeof line, ".BLOCK %X\n", f.textBlock(n).address);
            text += line;
        }
        testing::WriteBytes(f.file("settings.txt"), text);
        f.dialogs.replyOpenFile(f.file("settings.txt"));
        QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.dialogs.unexpected().empty());
        QCOMPARE(f.dialogs.calls().back().request.title, std::string("Open Text Block Data File"));
        QVERIFY(Named<QAction>(form, "Red1")->isChecked() && !Named<QAction>(form, "Blue1")->isChecked());
        QVERIFY(Named<QAction>(form, "Solid1")->isChecked() && !Named<QAction>(form, "Gradient1")->isChecked());
        QVERIFY(Named<QAction>(form, "HideCodes")->isChecked());
        QVERIFY(Named<QAction>(form, "UseVWFRoutine1")->isChecked());
        QVERIFY(!Named<TextEditorWindow>(form, "TxtForm")->isVisible());
        QVERIFY(Named<HexDataWindow>(form, "HexForm")->isVisible());
        QVERIFY(Named<KanaTextWindow>(form, "KanaForm")->isVisible());
        QCOMPARE(form.windowTitle(), QStringLiteral("Script Editor: Corvane - [settings.txt ]"));
        QCOMPARE(Named<QListWidget>(form, "bList")->count(), 2);
        QCOMPARE(Named<QListWidget>(form, "bList")->toolTip(), QStringLiteral("2 item(s)"));
        // Both boxes are drawn with the new box, not left empty by a missing .FORMAT.
        const QImage picture = Named<VideoBox>(form, "Video")->picture();
        QVERIFY(picture.pixel(12, 12) != picture.pixel(0, 0));
    }

    void clickingTheListsChoosesBlocksAndStrings() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        QListWidget* pList = Named<QListWidget>(form, "pList");
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->visualItemRect(pList->item(2)).center());
        const demo::DemoBlock& first = f.textBlock(0);
        const unsigned pointer = first.records[2].textPointer;
        QCOMPARE(Named<QLabel>(form, "StatusPanel0")->text(),
                 Printed("Offset: 7E008E | PTR: %04X -> %06X", pointer, 0x7E0000 + pointer));
        QCOMPARE(Named<KanaTextWindow>(form, "KanaForm")->windowTitle(), QStringLiteral("Kana Text: String #2"));
        QVERIFY(!first.records[2].text.empty());
        QCOMPARE(Named<QPlainTextEdit>(form, "kanaEdit")->toPlainText(), KanaDisplayText(first.records[2].text));
        QCOMPARE(Named<ListDataWindow>(form, "cmForm")->focusWidget(), static_cast<QWidget*>(pList));

        // Another block: its strings, its own skeleton script, string 0 again.
        QListWidget* bList = Named<QListWidget>(form, "bList");
        QTest::mouseClick(bList->viewport(), Qt::LeftButton, {}, bList->visualItemRect(bList->item(1)).center());
        const demo::DemoBlock& second = f.textBlock(1);
        QCOMPARE(pList->count(), static_cast<int>(second.records.size()));
        QCOMPARE(pList->currentRow(), 0);
        QCOMPARE(Named<TextEditorWindow>(form, "TxtForm")->script().text(),
                 script::ScriptSkeleton(static_cast<unsigned>(second.records.size())));
        QCOMPARE(Named<KanaTextWindow>(form, "KanaForm")->windowTitle(), QStringLiteral("Kana Text: String #0"));
        QVERIFY(!second.records[0].text.empty());
        QCOMPARE(Named<QPlainTextEdit>(form, "kanaEdit")->toPlainText(), KanaDisplayText(second.records[0].text));
        QCOMPARE(form.session().index().scriptPath(), script::ScriptPathFor(f.folder() / "Dumps", second.address));
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void typingRedrawsTheLowerBoxAndKeepsCaretAndView() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        // String 1 with the ASCII view one line down, the editor's view at the top of the text.
        Named<ListDataWindow>(form, "cmForm")->selectString(1);
        form.chooseString(ChoiceSender::Program);
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(Named<QLabel>(form, "StatusPanel1")->text(), QStringLiteral("Line {Kana, Ascii}: 0, 1"));
        Named<TextEditorWindow>(form, "TxtForm")->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Named<TextEditorWindow>(form, "TxtForm")));
        f.memo()->verticalScrollBar()->setValue(0);
        const int entryLine = 6 + 1 * 7;  // the first text line of the entry of string 1
        f.caretToLine(entryLine);
        const QImage before = Named<VideoBox>(form, "Video")->picture();

        // The first line stays above the scrolled view; the second shows.
        QTest::keyClicks(f.memo(), "Hi");
        QTest::keyClick(f.memo(), Qt::Key_Return);
        QTest::keyClicks(f.memo(), "there");
        const std::string text = Named<TextEditorWindow>(form, "TxtForm")->script().text();
        QVERIFY(text.find(".STRING 1\nHi\nthere\n") != std::string::npos);
        QCOMPARE(Named<VideoBox>(form, "Video")->picture(),
                 f.expectedPreview(1, text, 0, 16).convertToFormat(QImage::Format_RGB16));
        QVERIFY(Named<VideoBox>(form, "Video")->picture() != before);
        QCOMPARE(Named<QLabel>(form, "StatusPanel1")->text(), QStringLiteral("Line {Kana, Ascii}: 0, 1"));
        QCOMPARE(f.memo()->textCursor().blockNumber(), entryLine + 1);
        QCOMPARE(f.memo()->textCursor().positionInBlock(), 5);
        QCOMPARE(Named<TextEditorWindow>(form, "TxtForm")->script().firstVisibleLine(), 0);
        QVERIFY(Named<TextEditorWindow>(form, "TxtForm")->script().modified());
        QCOMPARE(Named<KanaTextWindow>(form, "KanaForm")->windowTitle(), QStringLiteral("Kana Text: String #1"));
    }

    void insertionLogsAndMarksTheBlockAndClosingWaitsForIt() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        f.dialogs.replyOpenFile(f.file(demo::kTableFileName));
        Named<QAction>(form, "LoadTableFile1")->trigger();
        f.caretToLine(6);
        QTest::keyClicks(f.memo(), "Hello");

        // A close asked for while the insertion lets events through waits for its end.
        bool disabledMeanwhile = false;
        QStringList disabledNames;
        QObject::connect(Named<QListWidget>(form, "ListBox1")->model(), &QAbstractItemModel::rowsInserted, &form, [&] {
            if (!form.busy()) return;
            disabledMeanwhile = !Named<QAction>(form, "OpenBinaryTextData1")->isEnabled() &&
                                !Named<QAction>(form, "Insert1")->isEnabled() &&
                                !Named<ListDataWindow>(form, "cmForm")->isEnabled() &&
                                !Named<TextEditorWindow>(form, "TxtForm")->isEnabled() &&
                                !Named<QAction>(form, "DTT")->isEnabled() &&
                                Named<QAction>(form, "DisplayTextEditor1")->isEnabled() &&
                                Named<QAction>(form, "ShowProblems1")->isEnabled() &&
                                Named<QAction>(form, "FindText1")->isEnabled();
            disabledNames.clear();
            for (const QAction* action : form.findChildren<QAction*>()) {
                // A hidden item counts as disabled whatever its own state.
                if (action->isVisible() && !action->isEnabled()) disabledNames << action->objectName();
            }
            form.close();
        });
        f.dialogs.replyYesNo(false);  // TEXT data not saved
        f.dialogs.replyYesNo(false);  // ROM data modified
        QTest::keyClick(&form, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(disabledMeanwhile);
        // Only the commands that open, change or close the ROM or the script, and those that redraw
        // or read the block the insertion rewrites, wait (the hidden DTT too, checked above).
        disabledNames.sort();
        QStringList expectedDisabled{"OpenBinaryTextData1", "LoadDataFile",   "SaveTextFile1",
                                     "SaveRomFile1",        "Exit1",          "Insert1",
                                     "PATCHRomFile1",       "LoadTableFile1", "InsertCOMPRESSIONintoROM1",
                                     "HideCodes",           "UseVWFRoutine1", "Blue1",
                                     "Green1",              "Red1",           "Gradient1",
                                     "Solid1",              "DumpMemory1",    "DumpKanatoafile1",
                                     "ViewKanaDump1",       "NextUntranslated1", "PreviousUntranslated1",
                                     "NextProblem1",        "GoToString1",    "OpenProject1",
                                     "BuildProject1",       "ReplaceText1",   "ReplaceNext1",
                                     "ReplaceAll1",         "WrapString1",    "WrapBlock1"};
        expectedDisabled.sort();
        QCOMPARE(disabledNames, expectedDisabled);
        QVERIFY(!form.busy());
        QVERIFY(Named<QAction>(form, "OpenBinaryTextData1")->isEnabled() &&
                Named<ListDataWindow>(form, "cmForm")->isEnabled() &&
                Named<TextEditorWindow>(form, "TxtForm")->isEnabled());
        const QStringList log = Items(Named<QListWidget>(form, "ListBox1"));
        QVERIFY(log.size() >= 3);
        QCOMPARE(log[log.size() - 3], QStringLiteral("; All text was inserted successfully, and..."));
        QCOMPARE(Named<QProgressBar>(form, "CGauge1")->value(), 100);
        QVERIFY(form.session().rom().modified());
        QVERIFY(form.session().currentBlockInserted());
        // The close waited, then asked both questions in order.
        QVERIFY(!form.isVisible());
        const auto& calls = f.dialogs.calls();
        QCOMPARE(calls[calls.size() - 2].caption, std::string("TEXT File Modified..."));
        QCOMPARE(calls.back().caption, std::string("ROM File Modified..."));
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void patchDictionaryAndDumpWriteWhatTheyShould() {
        EditorFixture f;
        f.open();
        MainWindow& form = *f.form;
        const std::string patch = std::string("PATCH") + std::string("\x00\x00\x20\x00\x01\x5A", 6) + "EOF";
        testing::WriteBytes(f.file("fix.ips"), patch);
        f.dialogs.replyOpenFiles({f.file("fix.ips")});
        QTest::keyClick(&form, Qt::Key_P, Qt::ControlModifier);
        const auto& calls = f.dialogs.calls();
        QCOMPARE(calls[calls.size() - 2].request.title, std::string("Select PATCH file(s)..."));
        QCOMPARE(calls[calls.size() - 2].request.filter, std::string("IPS files (*.ips)|*.ips|BPS files (*.bps)|*.bps"));
        QCOMPARE(Messages(f.dialogs).back(), QStringLiteral("Patching is complete! Remember to SAVE the changes!"));
        QCOMPARE(form.session().rom().data()[0x20], 0x5A);

        f.dialogs.replyOpenFile(f.file(demo::kTableFileName));
        Named<QAction>(form, "LoadTableFile1")->trigger();
        Named<QAction>(form, "InsertCOMPRESSIONintoROM1")->trigger();
        QCOMPARE(Messages(f.dialogs).back(), QStringLiteral("Compression inserted successfully!"));
        // Pointer 1 follows the word in slot 0 and its end byte, or the placeholder's 8 bytes.
        const auto word = f.game().dictionaryWords.find(0);
        const unsigned second = 0x4F00 + (word == f.game().dictionaryWords.end() ? 8u : unsigned(word->second.size()) + 1);
        const auto rom = form.session().rom().data();
        QCOMPARE(unsigned(rom[0x134B00] | rom[0x134B01] << 8), 0x4F00u);
        QCOMPARE(unsigned(rom[0x134B02] | rom[0x134B03] << 8), second);

        f.dialogs.replySaveFile(f.file("ram.bin"));
        QTest::keyClick(&form, Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(testing::ReadBytes(f.file("ram.bin")), f.textBlock(0).data);

        // The kana dump of the block goes to a chosen file, one entry per string.
        f.dialogs.replySaveFile(f.file("kana.txt"));
        QTest::keyClick(&form, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(Messages(f.dialogs).back(), QStringLiteral("Text Data dumped to the file!"));
        const std::vector<uint8_t> kana = testing::ReadBytes(f.file("kana.txt"));
        const std::string kanaText(kana.begin(), kana.end());
        QVERIFY(kanaText.rfind(".STRING 0\r\n", 0) == 0);
        const std::string last = ".STRING " + std::to_string(f.textBlock(0).records.size() - 1) + "\r\n";
        QVERIFY(kanaText.find(last) != std::string::npos);

        // Saving writes the patched image, then closing asks nothing more.
        QTest::keyClick(&form, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Messages(f.dialogs).back(), QStringLiteral("ROM File saved successfully!"));
        QCOMPARE(testing::ReadBytes(f.file(demo::kRomFileName))[0x20], 0x5A);
        f.dialogs.clearRecord();
        form.close();
        QVERIFY(f.dialogs.calls().empty());
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::MainWindowTest)
#include "main_window_test.moc"
