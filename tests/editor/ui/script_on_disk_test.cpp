// A script changed on disk while the editor has it open, by corvtool import-po as a teammate
// would run it: loaded again quietly without unsaved edits, asked about with them, a save that
// asks before it replaces the imported text, and the save waiting for the project's lock.

#include <QListWidget>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>

#include "core/file_lock.h"
#include "editor/ui/live_check_wiring.h"
#include "editor/ui/main_window_fixture.h"
#include "project/project_lock.h"
#include "editor/ui/project_fixture.h"
#include "tools/corvtool/commands.h"

namespace corv::editor {

using corv::testing::Named;
using testing::EditorFixture;
using testing::ReadBytes;
namespace fs = std::filesystem;

namespace {

constexpr int kImported = 13;

const demo::DemoBlock& Block() { return EditorFixture::textBlock(0); }

std::string ImportedLine(int n) { return "Imported line " + std::to_string(n) + "."; }

// corvtool import-po with 13 translations of the first text block, as a teammate runs it.
void ImportThirteen(EditorFixture& f) {
    char address[16];
    std::snprintf(address, sizeof address, "%X", unsigned(Block().address));
    std::string po = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    for (int n = 0; n < kImported; ++n) {
        po += "msgctxt \"BLOCK " + std::string(address) + " STRING " + std::to_string(n) + "\"\nmsgid \"x\"\nmsgstr \"" +
              ImportedLine(n) + "\"\n\n";
    }
    const fs::path file = f.folder() / "team.po";
    testing::WriteBytes(file, po);
    std::ostringstream out;
    std::ostringstream err;
    QCOMPARE(tool::RunCorvtool({"import-po", f.folder().string(), file.string()}, out, err), 0);
}

int ImportedIn(const std::string& text) {
    int found = 0;
    for (int n = 0; n < kImported; ++n) found += text.find(ImportedLine(n)) != std::string::npos ? 1 : 0;
    return found;
}

std::string Text(const EditorFixture& f) { return Named<TextEditorWindow>(*f.form, "TxtForm")->script().text(); }

std::string OnDisk(const EditorFixture& f) {
    const std::vector<uint8_t> bytes = ReadBytes(testing::ScriptOf(f, Block()));
    return {bytes.begin(), bytes.end()};
}

void OpenProject(EditorFixture& f) {
    QVERIFY(testing::OpenTranslatedProject(f));
    Named<ListDataWindow>(*f.form, "cmForm")->selectString(5);
    f.form->chooseString(ChoiceSender::User);
}

void TypeAtEnd(EditorFixture& f) {
    f.memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.memo(), QStringLiteral("q"));
    QVERIFY(Named<TextEditorWindow>(*f.form, "TxtForm")->script().modified());
}

}  // namespace

class ScriptOnDiskTest : public QObject {
    Q_OBJECT

private slots:
    void withoutEditsTheImportIsLoadedQuietlyOnTheSameString() {
        EditorFixture f;
        OpenProject(f);
        const size_t neededBefore = f.form->liveChecks().checks().fit().needed;
        ImportThirteen(f);
        QTRY_COMPARE(ImportedIn(Text(f)), kImported);
        QVERIFY(f.dialogs.calls().empty());
        QVERIFY(!Named<TextEditorWindow>(*f.form, "TxtForm")->script().modified());
        QCOMPARE(Named<ListDataWindow>(*f.form, "cmForm")->selectedString().value_or(-1), 5);
        // The caret is on string 5's entry, which the import left alone.
        const int caretLine = f.memo()->textCursor().blockNumber();
        QVERIFY(f.memo()->document()->findBlockByNumber(caretLine).text().startsWith(QStringLiteral(".STRING 5")));
        // The checks ran on the new text: thirteen entries translated anew change the room needed.
        QVERIFY(f.form->liveChecks().checks().fit().needed != neededBefore);
        const QStringList log = testing::Items(Named<QListWidget>(*f.form, "ListBox1"));
        QVERIFY(!log.isEmpty());
        QVERIFY(log.last().endsWith(QStringLiteral(" changed on disk: loaded again.")));
        // A save afterwards asks nothing and keeps all thirteen.
        TypeAtEnd(f);
        QTest::keyClick(f.memo(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ImportedIn(OnDisk(f)), kImported);
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void withEditsYesLoadsTheImportAndDropsThem() {
        EditorFixture f;
        OpenProject(f);
        TypeAtEnd(f);
        f.dialogs.replyYesNo(true);
        ImportThirteen(f);
        QTRY_COMPARE(ImportedIn(Text(f)), kImported);
        QCOMPARE(f.dialogs.calls().size(), size_t{1});
        QCOMPARE(f.dialogs.calls()[0].caption, std::string("Script Changed on Disk..."));
        const std::string name = testing::ScriptOf(f, Block()).filename().string();
        QCOMPARE(f.dialogs.calls()[0].text,
                 "\"" + name + "\" was changed on disk by another program.\nLoad it from disk and drop your edits?");
        QVERIFY(!Named<TextEditorWindow>(*f.form, "TxtForm")->script().modified());
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void withEditsNoKeepsThemAndTheSaveAsksBeforeReplacingTheImport() {
        EditorFixture f;
        OpenProject(f);
        TypeAtEnd(f);
        const std::string edited = Text(f);
        f.dialogs.replyYesNo(false);
        ImportThirteen(f);
        QTRY_COMPARE(f.dialogs.calls().size(), size_t{1});
        QTest::qWait(50);
        QCOMPARE(Text(f), edited);
        QCOMPARE(f.dialogs.calls().size(), size_t{1});  // not asked again about the same bytes

        // Save: No leaves the imported file; Yes replaces it with the editor's text.
        f.dialogs.replyYesNo(false);
        QTest::keyClick(f.memo(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.dialogs.calls().size(), size_t{2});
        QVERIFY(f.dialogs.calls()[1].text.find("since the editor loaded it.\nReplace it with the editor's text?") !=
                std::string::npos);
        QCOMPARE(ImportedIn(OnDisk(f)), kImported);
        QVERIFY(Named<TextEditorWindow>(*f.form, "TxtForm")->script().modified());
        QVERIFY(f.dialogs.messages().empty());

        // A build saves the script first and asks the same.
        f.dialogs.replyYesNo(false);
        QTest::keyClick(f.memo(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(f.dialogs.calls().size(), size_t{3});
        QVERIFY(!fs::exists(f.folder() / "build/translated.smc"));
        QCOMPARE(ImportedIn(OnDisk(f)), kImported);

        f.dialogs.replyYesNo(true);
        QTest::keyClick(f.memo(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ImportedIn(OnDisk(f)), 0);
        QVERIFY(!Named<TextEditorWindow>(*f.form, "TxtForm")->script().modified());
        // Saved, the file is the editor's again: the next save asks nothing.
        TypeAtEnd(f);
        QTest::keyClick(f.memo(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(f.dialogs.unexpected().empty());
        QCOMPARE(f.dialogs.messages().size(), size_t{2});
    }

    void theSaveWaitsForTheProjectsLock() {
        EditorFixture f;
        OpenProject(f);
        TypeAtEnd(f);
        core::FileLock held = project::LockProject(f.folder(), std::chrono::milliseconds(0));
        QCOMPARE(int(held.status()), int(core::LockStatus::Locked));
        const auto start = std::chrono::steady_clock::now();
        std::thread releaser([&held] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            held.release();
        });
        QTest::keyClick(f.memo(), Qt::Key_S, Qt::ControlModifier);
        const auto waited = std::chrono::steady_clock::now() - start;
        releaser.join();
        QVERIFY(waited >= std::chrono::milliseconds(350));
        QCOMPARE(OnDisk(f).back(), 'q');
        QVERIFY(f.dialogs.unexpected().empty());
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::ScriptOnDiskTest)
#include "script_on_disk_test.moc"
