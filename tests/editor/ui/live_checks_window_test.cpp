// The live checks in the real windows on the demo game: the room panel against corvtool check
// for the same script (fits, over, after typing, after undo), List Data's marks and the Problems
// window for untranslated, translated, overwide and unclosed entries, a Problems click, the
// navigation items and the insertion's room line.

#include <QAccessible>
#include <QPushButton>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>
#include <sstream>

#include "editor/logic/live_texts.h"
#include "editor/ui/live_check_panels.h"
#include "editor/logic/box_overflow.h"
#include "editor/ui/live_check_wiring.h"
#include "editor/ui/overflow_marks.h"
#include "editor/ui/problems_window.h"
#include "editor/ui/main_window_fixture.h"
#include "script/script_file.h"
#include "tools/corvtool/commands.h"

namespace corv::editor {

using testing::EditorFixture;
using testing::Items;
using corv::testing::Named;

class LiveChecksWindowTest : public QObject {
    Q_OBJECT

    static int largestRow() {
        int largest = 0;
        for (int n = 0; n < int(EditorFixture::game().textBlocks.size()); ++n) {
            if (EditorFixture::textBlock(size_t(n)).records.size() > EditorFixture::textBlock(size_t(largest)).records.size()) {
                largest = n;
            }
        }
        return largest;
    }

    // The demo opened, its table loaded and its largest block chosen by a click.
    static void openLargest(EditorFixture& f, bool withTable = true) {
        f.open();
        if (withTable) {
            f.dialogs.replyOpenFile(f.file(demo::kTableFileName));
            Named<QAction>(*f.form, "LoadTableFile1")->trigger();
        }
        QListWidget* bList = Named<QListWidget>(*f.form, "bList");
        const int row = largestRow();
        QTest::mouseClick(bList->viewport(), Qt::LeftButton, {}, bList->visualItemRect(bList->item(row)).center());
        QCOMPARE(f.form->session().index().currentBlock(), std::optional<size_t>(size_t(row)));
    }

    // corvtool check's summary for the editor's current script text, told as the room panel tells it.
    static QString corvtoolPanel(EditorFixture& f, const char* table = demo::kTableFileName) {
        const auto scriptPath = f.folder() / "live_check_script.txt";
        if (!script::SaveScriptFile(scriptPath, Named<TextEditorWindow>(*f.form, "TxtForm")->script().text())) return QStringLiteral("unsaved");
        char address[16];
        std::snprintf(address, sizeof address, "%X", unsigned(f.form->session().index().currentBlockAddress()));
        std::ostringstream out;
        std::ostringstream err;
        (void)tool::RunCorvtool({"check", f.file(demo::kRomFileName).string(), f.file(demo::kBlockDataFileName).string(),
                                 (f.folder() / table).string(), address, scriptPath.string()},
                                out, err);
        const std::string report = out.str();
        const size_t at = report.rfind("BLOCK ");
        if (at == std::string::npos) return QString::fromStdString(err.str());
        unsigned block = 0;
        long long needed = 0;
        long long room = 0;
        long long amount = 0;
        char word[8] = {};
        if (std::sscanf(report.c_str() + at, "BLOCK %X: needs %lld bytes, room %lld bytes, %lld bytes %7s", &block,
                        &needed, &room, &amount, word) != 5) {
            return QString::fromStdString(report.substr(at));
        }
        char name[16];
        std::snprintf(name, sizeof name, "%06X: ", block);
        const std::string text = std::string(word) == "over"
                                     ? name + GroupedNumber(amount) + " bytes over"
                                     : name + GroupedNumber(needed) + " of " + GroupedNumber(room) + " bytes, " +
                                           GroupedNumber(amount) + " left";
        return QString::fromStdString(text);
    }

    static QString room(EditorFixture& f) { return f.form->liveChecks().panels()->roomText(); }

    // Replaces the whole script text as the translator's paste would (an undoable edit).
    static void pasteScript(EditorFixture& f, const std::string& text) {
        f.memo()->selectAll();
        f.memo()->insertPlainText(QString::fromLatin1(text.data(), qsizetype(text.size())));
    }

    static int openingLine(EditorFixture& f, unsigned n) {
        script::MemoryScriptText copy(Named<TextEditorWindow>(*f.form, "TxtForm")->script().text());
        return script::FindInScript(copy, script::EntrySearchText(int(n)), true).value_or(-1);
    }

private slots:
    void roomPanelFollowsTypingAndUndoAndEqualsCorvtoolCheck() {
        EditorFixture f;
        openLargest(f);
        const QString before = room(f);
        QCOMPARE(before, corvtoolPanel(f));
        QVERIFY(before.endsWith(QStringLiteral(" left")));
        QVERIFY(f.form->liveChecks().panels()->progressText().endsWith(QStringLiteral(" strings translated")));

        // Each key changes the panel at once.
        f.caretToLine(openingLine(f, 3) + 1);
        f.memo()->setFocus();
        QTest::keyClicks(f.memo(), QStringLiteral("Hello there"));
        QVERIFY(room(f) != before);
        QCOMPARE(room(f), corvtoolPanel(f));

        // A long paste puts the block over its room.
        std::string lines;
        uint32_t seed = 18;
        for (int i = 0; i < 1000; ++i) {
            for (int k = 0; k < 30; ++k) {
                seed = seed * 1664525u + 1013904223u;
                lines += char('a' + (seed >> 24) % 26);
            }
            lines += '\n';
        }
        f.memo()->insertPlainText(QString::fromLatin1(lines.c_str()));
        QVERIFY2(room(f).endsWith(QStringLiteral(" bytes over")), qPrintable(room(f)));
        QCOMPARE(room(f), corvtoolPanel(f));

        // Undo of the paste and of the typing: the figures of the text as it was.
        f.memo()->undo();
        QCOMPARE(room(f), corvtoolPanel(f));
        while (f.memo()->document()->isUndoAvailable()) f.memo()->undo();
        QCOMPARE(room(f), before);
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void panelsAreReadableUnderTheTextEditorAtTheDefaultSize() {
        EditorFixture f;
        testing::WriteBytes(f.folder() / "empty.tbl", "");
        openLargest(f, false);  // the longest room text: with the no-table note
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        QVERIFY(QTest::qWaitForWindowExposed(Named<TextEditorWindow>(*f.form, "TxtForm")));
        const LiveCheckPanels* panels = f.form->liveChecks().panels();
        const QLabel* room = panels->roomPanel();
        const QLabel* notes = panels->notesPanel();
        const QLabel* progress = panels->progressPanel();
        QCOMPARE(room->window(), static_cast<QWidget*>(Named<TextEditorWindow>(*f.form, "TxtForm")));
        QVERIFY(room->isVisible() && notes->isVisible() && progress->isVisible());
        QCOMPARE(notes->text(), QStringLiteral("no table: dictionary words not counted"));
        QVERIFY(panels->roomText().endsWith(QStringLiteral(" left; no table: dictionary words not counted")));
        // The figures and the progress whole on their lines, every row of the wrapped notes shown.
        for (const QLabel* line : {room, progress}) {
            QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->contentsRect().width());
        }
        QTRY_VERIFY(notes->height() >= notes->heightForWidth(notes->width()));
        // With a table there is nothing to note, and the notes give their row back.
        f.dialogs.replyOpenFile(f.file(demo::kTableFileName));
        Named<QAction>(*f.form, "LoadTableFile1")->trigger();
        QVERIFY(!notes->isVisible());
        QCOMPARE(panels->roomText(), room->text());
        // The main window keeps its two status panels and its paint box of 320 by 256.
        QCOMPARE(Named<QLabel>(*f.form, "StatusPanel0")->parentWidget()->findChildren<QLabel*>().size(), qsizetype(2));
        QCOMPARE(Named<VideoBox>(*f.form, "Video")->size(), QSize(320, 256));
    }

    void aRoomTakenFromTheLastInsertionIsSaidInTheNextSession() {
        std::vector<uint8_t> inserted;
        {
            EditorFixture f;
            openLargest(f);
            QVERIFY(!room(f).contains(QStringLiteral("last insertion")));
            Named<QAction>(*f.form, "Insert1")->trigger();
            // In the session that inserted it the room is the one measured before the insertion.
            QVERIFY(f.form->session().currentBlockInserted());
            QVERIFY2(!room(f).contains(QStringLiteral("last insertion")), qPrintable(room(f)));
            Named<QAction>(*f.form, "SaveRomFile1")->trigger();
            QCOMPARE(testing::Messages(f.dialogs).last(), QStringLiteral("ROM File saved successfully!"));
            inserted = testing::ReadBytes(f.file(demo::kRomFileName));
        }
        // The next session, the data file giving no .ENDBLOCK: the room ends where the inserted data end.
        EditorFixture f;
        testing::WriteBytes(f.file(demo::kRomFileName),
                            std::string_view(reinterpret_cast<const char*>(inserted.data()), inserted.size()));
        openLargest(f);
        QVERIFY2(room(f).endsWith(QStringLiteral("; room taken from the last insertion")), qPrintable(room(f)));
        const QLabel* panel = f.form->liveChecks().panels()->roomPanel();
        QVERIFY(panel->toolTip().startsWith(QStringLiteral("room taken from the last insertion: ")));
        QCOMPARE(panel->accessibleDescription(), QStringLiteral("Room of the current block: ") + panel->toolTip());
        QTreeWidget* problems = f.form->liveChecks().problems()->list();
        QVERIFY(problems->topLevelItemCount() > 0);
        QCOMPARE(problems->topLevelItem(0)->text(0), QString());
        QCOMPARE(problems->topLevelItem(0)->text(2), panel->toolTip());
        // A click on the block's row chooses no string.
        Named<ListDataWindow>(*f.form, "cmForm")->selectString(3);
        f.form->chooseString(ChoiceSender::User);
        QTest::mouseClick(problems->viewport(), Qt::LeftButton, {},
                          problems->visualItemRect(problems->topLevelItem(0)).center());
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString(), std::optional<int>(3));
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void withoutATableThePanelSaysDictionaryWordsAreNotCounted() {
        EditorFixture f;
        testing::WriteBytes(f.folder() / "empty.tbl", "");
        openLargest(f, false);
        QCOMPARE(room(f), corvtoolPanel(f, "empty.tbl") + QStringLiteral("; no table: dictionary words not counted"));
    }

    void marksTooltipsAndProblemsForEachKindOfString() {
        EditorFixture f;
        openLargest(f);
        const unsigned count = f.form->session().index().stringCount();
        const LiveChecks& checks = f.form->liveChecks().checks();
        const unsigned translated = checks.strings()[0].number;
        const unsigned overwide = checks.strings()[1].number;
        const unsigned untranslated = checks.strings()[2].number;
        const unsigned unclosed = checks.strings().back().number;
        std::string text = script::ScriptSkeleton(count);
        // The body takes the place of the first of the entry's two empty lines: the entry ends
        // with its text, not with an empty line (a line break at the string's end).
        const auto fill = [&](unsigned n, const std::string& body) {
            const std::string opening = script::EntrySearchText(int(n)) + "\n";
            text.replace(text.find(opening) + opening.size(), 1, body);
        };
        fill(translated, "Hello.");
        fill(overwide, std::string(60, 'W'));
        fill(unclosed, "Bye.");
        text.erase(text.rfind(".ENDS"), 5);
        pasteScript(f, text);

        QListWidget* pList = Named<QListWidget>(*f.form, "pList");
        QCOMPARE(pList->item(int(translated))->text().toStdString(), StringListLine(translated));
        QCOMPARE(pList->item(int(translated))->data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("translated"));
        QCOMPARE(pList->item(int(untranslated))->data(Qt::AccessibleDescriptionRole).toString(),
                 QStringLiteral("not translated yet"));
        QCOMPARE(pList->item(int(overwide))->data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("warning"));
        QCOMPARE(pList->item(int(unclosed))->data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("error"));
        for (const unsigned n : {translated, overwide, untranslated, unclosed}) QVERIFY(!pList->item(int(n))->icon().isNull());
        // The list's hint "N item(s)" stays the first line of every line's tooltip.
        // (A line without a tooltip of its own, not a text string, shows the list's.)
        const QString hint = QStringLiteral("%1 item(s)\n").arg(pList->count());
        for (int row = 0; row < pList->count(); ++row) {
            const QString own = pList->item(row)->toolTip();
            const QString shown = own.isEmpty() ? pList->toolTip() + QLatin1Char('\n') : own;
            QVERIFY2(shown.startsWith(hint), qPrintable(shown));
        }
        QCOMPARE(pList->item(int(translated))->toolTip(), hint + QStringLiteral("translated"));
        QVERIFY(pList->item(int(overwide))->toolTip().startsWith(hint + QStringLiteral("warning: line 1: ")));
        QVERIFY(pList->item(int(overwide))->toolTip().contains(QStringLiteral(" pixel(s) wider than the box (216 pixels); wraps into ")));
        QVERIFY(pList->item(int(unclosed))->toolTip().contains(
            QStringLiteral("error: the entry has no closing line \".ENDS\"")));

        QTreeWidget* problems = f.form->liveChecks().problems()->list();
        QStringList rows;
        for (int r = 0; r < problems->topLevelItemCount(); ++r) {
            rows << problems->topLevelItem(r)->text(0) + QLatin1Char(' ') + problems->topLevelItem(r)->text(1);
        }
        QVERIFY(rows.contains(QStringLiteral("%1 warning").arg(overwide)));
        QVERIFY(rows.contains(QStringLiteral("%1 error").arg(unclosed)));
        QVERIFY(!rows.join(QLatin1Char('|')).contains(QStringLiteral("%1 ").arg(translated) + QStringLiteral("w")));
        for (int r = 1; r < problems->topLevelItemCount(); ++r) {
            QVERIFY(problems->topLevelItem(r - 1)->text(0).toInt() <= problems->topLevelItem(r)->text(0).toInt());
        }
        QVERIFY(f.form->liveChecks().panels()->progressText().startsWith(QStringLiteral("3 of ")));
    }

    void markOverflowIsOnAtStartAndOffLeavesThePreviewsOwnPixels() {
        EditorFixture f;
        openLargest(f);
        LiveCheckWiring& live = f.form->liveChecks();
        QAction* markOverflow = Named<QAction>(*f.form, "MarkOverflow1");
        QCOMPARE(markOverflow->text(), QStringLiteral("Mark Overflow"));
        QVERIFY(Named<QMenu>(*f.form, "View1")->actions().contains(markOverflow));
        QVERIFY(markOverflow->isChecked());
        const unsigned wide = live.checks().strings()[1].number;
        std::string text = Named<TextEditorWindow>(*f.form, "TxtForm")->script().text();
        const std::string opening = script::EntrySearchText(int(wide)) + "\n";
        text.insert(text.find(opening) + opening.size(), std::string(60, 'W') + "\n");
        pasteScript(f, text);
        Named<ListDataWindow>(*f.form, "cmForm")->selectString(int(wide));
        f.form->chooseString(ChoiceSender::User);
        QWidget* marks = live.overflowMarks();
        QVERIFY(marks->isVisible());
        // The bar at the box's right edge, on the first text row (screen row 144 + 8, x 233).
        const QImage shown = Named<VideoBox>(*f.form, "Video")->grab().toImage();
        const double sx = double(Named<VideoBox>(*f.form, "Video")->width()) / f.form->session().screen().width();
        const double sy = double(Named<VideoBox>(*f.form, "Video")->height()) / f.form->session().screen().height();
        QCOMPARE(shown.pixelColor(int(233 * sx), int(152 * sy)), QColor(0xE0, 0x20, 0x20));

        markOverflow->trigger();
        QVERIFY(!markOverflow->isChecked());
        QVERIFY(!marks->isVisible());
        const QImage plain = Named<VideoBox>(*f.form, "Video")->grab().toImage().convertToFormat(QImage::Format_RGB16);
        QCOMPARE(plain, Named<VideoBox>(*f.form, "Video")->picture().convertToFormat(QImage::Format_RGB16));
        QCOMPARE(Named<VideoBox>(*f.form, "Video")->picture(),
                 f.expectedPreview(wide, Named<TextEditorWindow>(*f.form, "TxtForm")->script().text()).convertToFormat(QImage::Format_RGB16));
    }

    void problemsClickChoosesTheStringAndPutsTheCaretAtItsEntry() {
        EditorFixture f;
        openLargest(f);
        const LiveChecks& checks = f.form->liveChecks().checks();
        const unsigned bad = checks.strings()[4].number;
        std::string text = Named<TextEditorWindow>(*f.form, "TxtForm")->script().text();
        const std::string opening = script::EntrySearchText(int(bad)) + "\n";
        text.insert(text.find(opening) + opening.size(), "[$F\n");
        pasteScript(f, text);

        QTest::keyClick(f.form.get(), Qt::Key_E, Qt::ControlModifier);
        ProblemsWindow* window = f.form->liveChecks().problems();
        QVERIFY(window->isVisible());
        QTreeWidget* list = window->list();
        QTreeWidgetItem* row = nullptr;
        // The string's row of the line typed (the demo's entry may have findings of its own).
        for (int r = 0; r < list->topLevelItemCount() && row == nullptr; ++r) {
            QTreeWidgetItem* item = list->topLevelItem(r);
            if (item->text(0).toUInt() == bad && item->text(2).startsWith(QStringLiteral("line 1: "))) row = item;
        }
        QVERIFY(row != nullptr);
        QCOMPARE(row->text(1), QStringLiteral("error"));
        QCOMPARE(row->text(2), QStringLiteral("line 1: \"[$\" without \"]\"; the rest of the line is lost"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString(), std::optional<int>(int(bad)));
        QCOMPARE(f.memo()->textCursor().blockNumber(), openingLine(f, bad));

        // A row activated from the keyboard chooses its string as a click does: the same mistake
        // typed into a later string gives a row of its own.
        const unsigned later = checks.strings()[6].number;
        text = Named<TextEditorWindow>(*f.form, "TxtForm")->script().text();
        const std::string laterOpening = script::EntrySearchText(int(later)) + "\n";
        text.insert(text.find(laterOpening) + laterOpening.size(), "[$F\n");
        pasteScript(f, text);
        QTreeWidgetItem* other = nullptr;
        for (int r = 0; r < list->topLevelItemCount() && other == nullptr; ++r) {
            QTreeWidgetItem* item = list->topLevelItem(r);
            if (item->text(0).toUInt() == later && item->text(2).startsWith(QStringLiteral("line 1: "))) other = item;
        }
        QVERIFY(other != nullptr);
        list->setCurrentItem(other);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString(), std::optional<int>(int(later)));
        QCOMPARE(f.memo()->textCursor().blockNumber(), openingLine(f, later));
    }

    void problemsRemoveEmptyLineTakesTheEntrysLastEmptyLineInOneUndoStep() {
        EditorFixture f;
        openLargest(f);
        const unsigned count = f.form->session().index().stringCount();
        // One-line translations typed on the first of the skeleton's two empty lines: each entry
        // ends with the other one.
        std::string text = script::ScriptSkeleton(count);
        for (unsigned n = 0; n < 10 && n < count; ++n) {
            const std::string opening = script::EntrySearchText(int(n)) + "\n";
            text.insert(text.find(opening) + opening.size(), "Hello");
        }
        pasteScript(f, text);
        QTest::keyClick(f.form.get(), Qt::Key_E, Qt::ControlModifier);
        ProblemsWindow* window = f.form->liveChecks().problems();
        QTreeWidget* list = window->list();
        QTreeWidgetItem* row = nullptr;
        for (int r = 0; r < list->topLevelItemCount() && row == nullptr; ++r) {
            QTreeWidgetItem* item = list->topLevelItem(r);
            if (item->text(2).contains(QStringLiteral("the entry ends with an empty line"))) row = item;
        }
        QVERIFY(row != nullptr);
        const unsigned string = row->text(0).toUInt();
        QVERIFY(!window->removeEmptyLine()->isEnabled());  // no row chosen yet
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
        QVERIFY(window->removeEmptyLine()->isEnabled());
        QTest::mouseClick(window->removeEmptyLine(), Qt::LeftButton);

        const std::string opening = script::EntrySearchText(int(string)) + "\nHello\n";
        std::string expected = text;
        expected.erase(text.find(opening) + opening.size(), 1);
        QCOMPARE(Named<TextEditorWindow>(*f.form, "TxtForm")->script().text(), expected);
        const LiveString* live = f.form->liveChecks().checks().string(string);
        QVERIFY(live != nullptr);
        QVERIFY(std::none_of(live->findings.begin(), live->findings.end(), [](const check::Finding& finding) {
            return finding.kind == check::FindingKind::TrailingLineBreak;
        }));
        // A warning of another kind offers nothing.
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            QTreeWidgetItem* item = list->topLevelItem(r);
            if (item->text(2).contains(QStringLiteral("the entry ends with an empty line"))) continue;
            if (item->text(0).isEmpty()) continue;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
            QVERIFY(!window->removeEmptyLine()->isEnabled());
            break;
        }
        f.memo()->undo();
        QCOMPARE(Named<TextEditorWindow>(*f.form, "TxtForm")->script().text(), text);
    }

    void navigationItemsChooseTheNextPieceOfWork() {
        EditorFixture f;
        openLargest(f);
        const unsigned count = f.form->session().index().stringCount();
        pasteScript(f, script::ScriptSkeleton(count));
        const LiveChecks& checks = f.form->liveChecks().checks();
        const unsigned first = checks.strings().front().number;
        const unsigned second = checks.strings()[1].number;
        const unsigned last = checks.strings().back().number;
        QAction* nextUntranslated = Named<QAction>(*f.form, "NextUntranslated1");
        QCOMPARE(nextUntranslated->shortcut(), QKeySequence(QStringLiteral("F3")));
        QVERIFY(Named<QMenu>(*f.form, "Edit1")->actions().contains(nextUntranslated));

        // Next Untranslated at the last string goes round to the first.
        Named<ListDataWindow>(*f.form, "cmForm")->selectString(int(last));
        f.form->chooseString(ChoiceSender::User);
        QTest::keyClick(f.form.get(), Qt::Key_F3);
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString(), std::optional<int>(int(first)));
        QCOMPARE(f.memo()->textCursor().blockNumber(), openingLine(f, first));
        QTest::keyClick(f.form.get(), Qt::Key_F3);
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString(), std::optional<int>(int(second)));
        QTest::keyClick(f.form.get(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString(), std::optional<int>(int(first)));

        f.dialogs.replyText(std::string("7"));
        QTest::keyClick(f.form.get(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString(), std::optional<int>(7));
        f.dialogs.replyText(std::to_string(count));
        QTest::keyClick(f.form.get(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString(), std::optional<int>(7));
        QCOMPARE(testing::Messages(f.dialogs).last(), QStringLiteral("There is no string %1 in this block.").arg(count));
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void insertionLogGivesTheRoomBeforeItsOutcome() {
        EditorFixture f;
        openLargest(f);
        const QString panel = corvtoolPanel(f);
        Named<QAction>(*f.form, "Insert1")->trigger();
        const QStringList log = Items(Named<QListWidget>(*f.form, "ListBox1"));
        QVERIFY(!log.filter(QStringLiteral("compressed successfully!")).isEmpty());
        // "D46D00: 3,151 of 23,063 bytes, 19,912 left" -> "; Room: 3,151 of 23,063 bytes used, 19,912 left."
        QString expected = panel.mid(panel.indexOf(QLatin1Char(' ')) + 1);
        expected.replace(QStringLiteral(" bytes, "), QStringLiteral(" bytes used, "));
        QCOMPARE(log.filter(QStringLiteral("; Room: ")), QStringList{QStringLiteral("; Room: ") + expected + QLatin1Char('.')});
        // It stands just before the outcome, which still ends the log between its two rules.
        const int at = int(log.indexOf(QStringLiteral("; Room: ") + expected + QLatin1Char('.')));
        QCOMPARE(log[at + 1], log.last());
        QCOMPARE(log[log.size() - 3], QStringLiteral("; All text was inserted successfully, and..."));
    }

    void anInsertionRefusedBeforeItStartsAddsNoRoomLineToTheLogOthersWrote() {
        EditorFixture f;
        openLargest(f, false);  // no table: the insertion refuses before it writes its log
        // Another program writes the script: the editor loads it again and says so in the log.
        std::string text = script::ScriptSkeleton(f.form->session().index().stringCount());
        const std::string opening = script::EntrySearchText(0) + "\n";
        text.replace(text.find(opening) + opening.size(), 1, "Hello.");
        QVERIFY(script::SaveScriptFile(f.form->session().index().scriptPath(), text));
        QListWidget* list = Named<QListWidget>(*f.form, "ListBox1");
        QTRY_VERIFY(!Items(list).isEmpty() && Items(list).last().endsWith(QStringLiteral(" changed on disk: loaded again.")));
        const QStringList before = Items(list);
        f.dialogs.clearRecord();
        QTest::keyClick(f.form.get(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(testing::Messages(f.dialogs), QStringList{QStringLiteral("Error: Must load a table file first!")});
        QCOMPARE(Items(list), before);
    }

    void overflowMarksStandOnTheRowsTheBoxDrawsAfterEveryLineBreakCode() {
        EditorFixture f;
        openLargest(f);
        const LiveChecks& checks = f.form->liveChecks().checks();
        const unsigned n = checks.strings()[0].number;
        const std::string skeleton = script::ScriptSkeleton(f.form->session().index().stringCount());
        const auto withBody = [&](const std::string& body) {
            std::string text = skeleton;
            const std::string opening = script::EntrySearchText(int(n)) + "\n";
            text.replace(text.find(opening) + opening.size(), 1, body);
            return text;
        };
        // The first pixel row where two drawings of the string differ: where the text added shows.
        const auto firstDifference = [&](const std::string& a, const std::string& b) {
            const QImage one = f.expectedPreview(n, withBody(a));
            const QImage two = f.expectedPreview(n, withBody(b));
            for (int y = 0; y < one.height(); ++y) {
                for (int x = 0; x < one.width(); ++x) {
                    if (one.pixel(x, y) != two.pixel(x, y)) return y;
                }
            }
            return -1;
        };
        const int rowZero = firstDifference("W", "");
        QVERIFY(rowZero >= 0);
        const std::string wide(40, 'W');
        for (const std::string code : {"[CLRWIN]", "[NEWLINE]", "Hi[CLRWIN]", "Hi[NEWLINE]there"}) {
            const std::string before = "W\n" + code + "\n";
            pasteScript(f, withBody(before + wide));
            const std::vector<MarkedRow> marked =
                MarkedRows(checks.entryLines(n), *checks.string(n), checks.box(), checks.characters(), true);
            QVERIFY2(!marked.empty(), code.c_str());
            const int drawnAt = firstDifference(before + wide, before);
            QVERIFY(drawnAt > rowZero);
            QCOMPARE(marked.front().row, (drawnAt - rowZero) / 16);
        }
    }

    void insertionLogWithCheckErrorsEndsWithItsOutcomeAndShowsEveryLine() {
        EditorFixture f;
        openLargest(f);
        std::string text = script::ScriptSkeleton(f.form->session().index().stringCount());
        text.erase(text.rfind(".ENDS"), 5);  // the last entry runs to the end: a check error
        pasteScript(f, text);
        QTest::keyClick(f.form.get(), Qt::Key_I, Qt::ControlModifier);
        QListWidget* list = Named<QListWidget>(*f.form, "ListBox1");
        const QStringList log = Items(list);
        const QStringList checks = log.filter(QStringLiteral("; Check: "));
        QVERIFY(!checks.isEmpty());
        const QStringList rooms = log.filter(QStringLiteral("; Room: "));
        QCOMPARE(rooms.size(), 1);
        const int room = int(log.indexOf(rooms[0]));
        for (const QString& line : checks) QVERIFY(log.indexOf(line) < room);
        // The room line, then the outcome between its two rules, last.
        QCOMPARE(log[room + 1], log.last());
        QVERIFY(log.last().startsWith(QStringLiteral(";####")));
        QCOMPARE(log.count(log.last()), 2);
        // Every line shows whole: the window grew instead of scrolling.
        QTRY_COMPARE(list->horizontalScrollBar()->maximum(), 0);
        QTRY_COMPARE(list->verticalScrollBar()->maximum(), 0);
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::LiveChecksWindowTest)
#include "live_checks_window_test.moc"
