// The editor on a translation project of the demo game, with the real windows: the game strings
// and the room of the original ROM, a build through the menu equal to the project library's and
// never a byte of the original written, a block over its room stopping the build, the state the
// project file keeps, and a broken project file leaving the editor as it was.

#include <QMenu>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "editor/ui/live_check_wiring.h"
#include "editor/ui/problems_window.h"
#include "editor/ui/main_window_fixture.h"
#include "editor/ui/project_fixture.h"
#include "project/project_build.h"
#include "project/project_file.h"
#include "script/kana_dump.h"
#include "script/script_file.h"
#include "script/string_decoder.h"
#include "tools/corvtool/commands.h"
#include "tools/demo/demo_translation.h"

namespace corv::editor {

using testing::ChooseBlock;
using testing::EditorFixture;
using testing::ProjectText;
using testing::RowOf;
using testing::ScriptOf;
using testing::Translate;
using testing::WriteProject;
using testing::ReadBytes;
using corv::testing::Named;
namespace fs = std::filesystem;

namespace {

// What the project library builds from the files as they are now.
project::BuildResult LibraryBuild(const fs::path& file) {
    const project::ProjectFile project = project::LoadProjectFile(file).project.value();
    auto inputs = project::LoadProjectInputs(project);
    return project::BuildProject(project, *std::get<0>(inputs), {});
}

// "needs N bytes, room M bytes" of corvtool check on the original ROM for one block's script.
std::pair<long long, long long> CorvtoolFit(const EditorFixture& f, const demo::DemoBlock& block) {
    char address[16];
    std::snprintf(address, sizeof address, "%X", unsigned(block.address));
    std::ostringstream out;
    std::ostringstream err;
    (void)tool::RunCorvtool({"check", f.file(demo::kRomFileName).string(), f.file(demo::kBlockDataFileName).string(),
                             f.file(demo::kTableFileName).string(), address, ScriptOf(f, block).string()},
                            out, err);
    const std::string report = out.str();
    const size_t at = report.rfind("BLOCK ");
    long long needed = -1;
    long long room = -1;
    unsigned shown = 0;
    if (at != std::string::npos) {
        (void)std::sscanf(report.c_str() + at, "BLOCK %X: needs %lld bytes, room %lld bytes", &shown, &needed, &room);
    }
    return {needed, room};
}

QString KanaText(const EditorFixture& f) { return Named<QPlainTextEdit>(*f.form, "kanaEdit")->toPlainText(); }

// What the upper box draws for the chosen string: the game string, or the message in its place.
script::ResolvedString Shown(const EditorFixture& f) {
    const EditorSession& session = f.form->session();
    return script::ResolveString(session.index().block(), unsigned(session.index().currentString()),
                                 session.currentBlockInserted());
}

}  // namespace

class ProjectWindowTest : public QObject {
    Q_OBJECT

private slots:
    void gameStringsAndRoomComeFromTheOriginal() {
        EditorFixture f;
        const fs::path file = WriteProject(f);
        const demo::DemoBlock& block = EditorFixture::textBlock(1);
        QVERIFY(Translate(f, block, 1.3));
        const project::BuildResult built = LibraryBuild(file);
        QCOMPARE(int(built.outcome), int(project::BuildOutcome::Built));
        QVERIFY(project::WriteBuildOutputs(project::LoadProjectFile(file).project.value(), built).outcome ==
                project::WriteOutcome::Written);

        // The translated ROM opened as a plain ROM cannot show the block's game strings.
        f.dialogs.replyOpenFile(f.folder() / "build/translated.smc");
        f.dialogs.replyOpenFile(f.file(demo::kBlockDataFileName));
        Named<QAction>(*f.form, "OpenBinaryTextData1")->trigger();
        ChooseBlock(f, RowOf(block));
        QVERIFY(f.form->session().currentBlockInserted());
        QCOMPARE(Shown(f).message(), std::string(script::kHackedTextMessage));
        QVERIFY(KanaText(f).isEmpty());

        // The project shows them, and measures the room the block has in the original.
        f.form->openProjectFile(file);
        QVERIFY(f.form->project().has_value());
        QCOMPARE(f.form->session().rom().path(), f.file(demo::kRomFileName));
        QCOMPARE(f.form->session().dumpsDirectory(), f.folder() / "Dumps");
        ChooseBlock(f, RowOf(block));
        QVERIFY(!f.form->session().currentBlockInserted());
        QVERIFY(!Shown(f).messageFlag());
        QVERIFY(!KanaText(f).isEmpty());
        QVERIFY(Named<TextEditorWindow>(*f.form, "TxtForm")->script().text().find(".STRING 0") != std::string::npos);
        const auto [needed, room] = CorvtoolFit(f, block);
        QVERIFY(room > 0);
        QCOMPARE(static_cast<long long>(f.form->liveChecks().checks().fit().needed), needed);
        QCOMPARE(static_cast<long long>(f.form->liveChecks().checks().fit().room), room);
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void buildInsertAndSaveWriteTheOutputsNeverTheOriginal() {
        EditorFixture f;
        const fs::path file = WriteProject(f);
        const demo::DemoBlock& block = EditorFixture::textBlock(0);
        QVERIFY(Translate(f, block, 1.1));
        const std::vector<uint8_t> original = ReadBytes(f.file(demo::kRomFileName));
        f.form->openProjectFile(file);
        ChooseBlock(f, RowOf(block));

        // An edit not saved yet: the build saves it first and builds from it.
        ScriptMemo* memo = f.memo();
        memo->moveCursor(QTextCursor::End);
        memo->insertPlainText(QStringLiteral("\n"));
        QVERIFY(Named<TextEditorWindow>(*f.form, "TxtForm")->script().modified());
        QTest::keyClick(f.form.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!Named<TextEditorWindow>(*f.form, "TxtForm")->script().modified());
        QCOMPARE(ReadBytes(ScriptOf(f, block)).back(), uint8_t('\n'));
        const project::BuildResult expected = LibraryBuild(file);
        QCOMPARE(int(expected.outcome), int(project::BuildOutcome::Built));
        QVERIFY(ReadBytes(f.folder() / "build/translated.smc") == expected.rom);
        QVERIFY(ReadBytes(f.folder() / "build/translated.ips") == expected.ips);
        QVERIFY(ReadBytes(f.file(demo::kRomFileName)) == original);
        const QStringList log = testing::Items(Named<QListWidget>(*f.form, "ListBox1"));
        QVERIFY(log.filter(QStringLiteral("BLOCK ")).size() >= int(EditorFixture::game().textBlocks.size()));
        QVERIFY(!log.filter(QStringLiteral("TOTAL: ")).isEmpty());
        QVERIFY(log.last().contains(QStringLiteral("translated.ips written")));
        QVERIFY(f.dialogs.messages().empty());

        // Insert and Save Rom File build too; the patch and dictionary commands change nothing.
        fs::remove(f.folder() / "build/translated.smc");
        Named<QAction>(*f.form, "Insert1")->trigger();
        QVERIFY(ReadBytes(f.folder() / "build/translated.smc") == expected.rom);
        fs::remove(f.folder() / "build/translated.ips");
        Named<QAction>(*f.form, "SaveRomFile1")->trigger();
        QVERIFY(ReadBytes(f.folder() / "build/translated.ips") == expected.ips);
        Named<QAction>(*f.form, "PATCHRomFile1")->trigger();
        Named<QAction>(*f.form, "InsertCOMPRESSIONintoROM1")->trigger();
        QCOMPARE(f.dialogs.messages().size(), size_t(2));
        QVERIFY(!f.form->session().rom().modified());
        f.form->close();
        QVERIFY(ReadBytes(f.file(demo::kRomFileName)) == original);
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void buildProjectWritesTheReleaseTheProjectNames() {
        EditorFixture f;
        const std::string text = ProjectText() + "[release]\ndir = 'release'\ntitle = 'T'\n";
        const fs::path file = WriteProject(f, text);
        QVERIFY(Translate(f, EditorFixture::textBlock(0), 1.1));
        f.form->openProjectFile(file);
        // Without a version the build writes nothing, and says which key of which line is missing.
        Named<QAction>(*f.form, "BuildProject1")->trigger();
        QCOMPARE(f.dialogs.messages().size(), size_t(1));
        const std::string line = std::to_string(1 + std::count(text.begin(), text.begin() + long(text.find("[release]")), '\n'));
        QVERIFY2(f.dialogs.messages().back().find(":" + line + ": the key 'release.version' is missing") !=
                     std::string::npos,
                 f.dialogs.messages().back().c_str());
        QVERIFY(!fs::exists(f.folder() / "build"));
        QVERIFY(!fs::exists(f.folder() / "release"));

        testing::WriteBytes(file, text + "version = '2'\n");
        f.form->openProjectFile(file);
        Named<QAction>(*f.form, "BuildProject1")->trigger();
        const project::BuildResult expected = LibraryBuild(file);
        QCOMPARE(int(expected.outcome), int(project::BuildOutcome::Built));
        QVERIFY(ReadBytes(f.folder() / "build/translated.bps") == expected.bps);
        QVERIFY(ReadBytes(f.folder() / "release/translated.bps") == expected.bps);
        QVERIFY(ReadBytes(f.folder() / "release/translated.ips") == expected.ips);
        QCOMPARE(std::distance(fs::directory_iterator(f.folder() / "release"), fs::directory_iterator()), 3L);
        const QStringList log = testing::Items(Named<QListWidget>(*f.form, "ListBox1"));
        QVERIFY2(log.last().contains(QStringLiteral("README.txt written")), qPrintable(log.join(QLatin1Char('\n'))));
        QCOMPARE(f.dialogs.messages().size(), size_t(1));
    }

    void insertInAProjectLogsTheBuildsLinesOnly() {
        EditorFixture f;
        const fs::path file = WriteProject(f);
        QVERIFY(Translate(f, EditorFixture::textBlock(0), 1.1));
        f.form->openProjectFile(file);
        QTest::keyClick(f.form.get(), Qt::Key_I, Qt::ControlModifier);
        const QStringList log = testing::Items(Named<QListWidget>(*f.form, "ListBox1"));
        QVERIFY(!log.filter(QStringLiteral("TOTAL: ")).isEmpty());
        QVERIFY(log.filter(QStringLiteral("; Room: ")).isEmpty());
        QVERIFY(log.last().contains(QStringLiteral("translated.ips written")));
    }

    void aBlockOverItsRoomStopsTheBuildAndNothingIsWritten() {
        EditorFixture f;
        const fs::path file = WriteProject(f);
        const demo::DemoBlock* largest = &EditorFixture::textBlock(0);
        for (size_t n = 0; n < EditorFixture::game().textBlocks.size(); ++n) {
            if (EditorFixture::textBlock(n).data.size() > largest->data.size()) largest = &EditorFixture::textBlock(n);
        }
        QVERIFY(Translate(f, *largest, 4.0));
        const std::vector<uint8_t> original = ReadBytes(f.file(demo::kRomFileName));
        f.form->openProjectFile(file);
        Named<QAction>(*f.form, "BuildProject1")->trigger();
        const QStringList log = testing::Items(Named<QListWidget>(*f.form, "ListBox1"));
        QVERIFY2(!log.filter(QStringLiteral("bytes over")).isEmpty(), qPrintable(log.join(QLatin1Char('\n'))));
        QVERIFY(log.last().startsWith(QStringLiteral("Nothing was written: ")));
        QCOMPARE(f.dialogs.messages().size(), size_t(1));
        QVERIFY(!fs::exists(f.folder() / "build/translated.smc"));
        QVERIFY(!fs::exists(f.folder() / "build/translated.ips"));
        QVERIFY(ReadBytes(f.file(demo::kRomFileName)) == original);
    }

    void theProjectFileKeepsTheEditorStateAndEveryOtherByte() {
        EditorFixture f;
        const std::string text = ProjectText();
        const fs::path file = WriteProject(f, text);
        const demo::DemoBlock& block = EditorFixture::textBlock(2);
        f.form->openProjectFile(file);
        ChooseBlock(f, RowOf(block));
        QListWidget* pList = Named<QListWidget>(*f.form, "pList");
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, pList->visualItemRect(pList->item(3)).center());
        Named<QAction>(*f.form, "ShowProblems1")->trigger();
        Named<QAction>(*f.form, "MarkOverflow1")->setChecked(false);
        Named<TextEditorWindow>(*f.form, "TxtForm")->setFontSize(17);
        f.form->close();

        const std::vector<uint8_t> written = ReadBytes(file);
        const std::string after(written.begin(), written.end());
        QCOMPARE(after.substr(0, text.size()), text);
        const project::EditorState kept = project::LoadProjectFile(file).project.value().editor;
        QCOMPARE(kept.block, std::optional<uint32_t>(block.address));
        QCOMPARE(kept.string, std::optional<unsigned>(3));
        QCOMPARE(kept.problemsShown, std::optional<bool>(true));
        QCOMPARE(kept.markOverflow, std::optional<bool>(false));
        QCOMPARE(kept.fontSize, std::optional<int>(17));

        // Opened again in a new editor, it is where it was.
        f.form = std::make_unique<MainWindow>(f.dialogs);
        f.form->showWindowSet();
        f.form->openProjectFile(file);
        QCOMPARE(f.form->session().index().currentBlockAddress(), block.address);
        QCOMPARE(Named<QListWidget>(*f.form, "pList")->currentRow(), 3);
        QVERIFY(f.form->liveChecks().problems()->isVisible());
        // Shown as View > Problems shows it: beside the Text Editor, never over the menu bar.
        const QRect editor = Named<TextEditorWindow>(*f.form, "TxtForm")->frameGeometry();
        QWidget* problems = f.form->liveChecks().problems();
        QCOMPARE(problems->frameGeometry().topLeft(), QPoint(editor.right() + 3, editor.top()));
        QVERIFY(problems->isWindow());
        // Moved, and the project opened again: where it was left.
        problems->move(400, 300);
        const QPoint left = problems->frameGeometry().topLeft();
        f.form->openProjectFile(file);
        QVERIFY(problems->isVisible());
        QCOMPARE(problems->frameGeometry().topLeft(), left);
        QVERIFY(!Named<QAction>(*f.form, "MarkOverflow1")->isChecked());
        QCOMPARE(Named<TextEditorWindow>(*f.form, "TxtForm")->fontSize(), 17);
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void openingARomLeavesTheProjectAndKeepsItsState() {
        EditorFixture f;
        // Outside a project the build has nothing to build from.
        Named<QAction>(*f.form, "BuildProject1")->trigger();
        QCOMPARE(f.dialogs.messages().size(), size_t(1));
        QVERIFY(!Named<QWidget>(*f.form, "InsertForm")->isVisible());

        const fs::path file = WriteProject(f);
        f.dialogs.replyOpenFile(file);
        QTest::keyClick(f.form.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(f.form->project().has_value());
        QCOMPARE(f.dialogs.calls().back().request.title, std::string("Open Translation Project"));
        QCOMPARE(f.dialogs.calls().back().request.filter, std::string("Translation Project | *.toml"));
        // Ctrl with the wheel over the script makes its font larger, then smaller.
        TextEditorWindow* editor = Named<TextEditorWindow>(*f.form, "TxtForm");
        const int size = editor->fontSize();
        QWheelEvent up(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.memo()->viewport(), &up);
        QApplication::sendEvent(f.memo()->viewport(), &up);
        QCOMPARE(editor->fontSize(), size + 2);
        QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ControlModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.memo()->viewport(), &down);
        QCOMPARE(editor->fontSize(), size + 1);

        // A cancelled Open ROM File keeps the project; an opened ROM leaves it, keeping its state.
        f.dialogs.replyOpenFile(std::nullopt);
        Named<QAction>(*f.form, "OpenBinaryTextData1")->trigger();
        QVERIFY(f.form->project().has_value());
        QCOMPARE(project::LoadProjectFile(file).project.value().editorLine, 0);
        f.open();
        QVERIFY(!f.form->project().has_value());
        QCOMPARE(project::LoadProjectFile(file).project.value().editor.fontSize, std::optional<int>(size + 1));
        // Outside the project Save Rom File is the plain save again: no build log.
        Named<QWidget>(*f.form, "InsertForm")->hide();
        Named<QAction>(*f.form, "SaveRomFile1")->trigger();
        QVERIFY(!Named<QWidget>(*f.form, "InsertForm")->isVisible());
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void fitHarderShowsTheProjectsCompressorKeyAndWritesItBack() {
        EditorFixture f;
        // Left on from work outside a project: a project without the key uses the standard one.
        Named<QAction>(*f.form, "FitHarderWhenOver1")->trigger();
        QVERIFY(f.form->session().fitHarderWhenOver());
        const fs::path file = WriteProject(f);
        f.form->openProjectFile(file);
        QVERIFY(!Named<QAction>(*f.form, "FitHarderWhenOver1")->isChecked());
        QVERIFY(!f.form->session().fitHarderWhenOver());

        // Turned on, it is the project's compressor when the project closes; the builds read it.
        Named<QAction>(*f.form, "FitHarderWhenOver1")->trigger();
        QVERIFY(f.form->session().fitHarderWhenOver());
        f.form->close();
        const project::ProjectFile kept = project::LoadProjectFile(file).project.value();
        QCOMPARE(kept.compressor, core::Compressor::Maximising);
        QVERIFY(kept.compressorLine > 0);

        // Opened again, it shows; turned off, the key says so.
        f.form = std::make_unique<MainWindow>(f.dialogs);
        f.form->showWindowSet();
        f.form->openProjectFile(file);
        QVERIFY(Named<QAction>(*f.form, "FitHarderWhenOver1")->isChecked());
        QVERIFY(f.form->session().fitHarderWhenOver());
        Named<QAction>(*f.form, "FitHarderWhenOver1")->trigger();
        f.form->close();
        QCOMPARE(project::LoadProjectFile(file).project.value().compressor, core::Compressor::Standard);
        QVERIFY(f.dialogs.unexpected().empty());
    }

    void aBrokenProjectFileIsNamedByKeyAndLineAndChangesNothing() {
        EditorFixture f;
        f.open();
        ChooseBlock(f, 2);
        const uint32_t address = f.form->session().index().currentBlockAddress();
        const fs::path file = WriteProject(f, ProjectText() + "\n[output.extra]\nx = 1\n");

        f.form->openProjectFile(file);
        QCOMPARE(f.dialogs.messages().size(), size_t(1));
        const QString message = QString::fromStdString(f.dialogs.messages().front());
        // The table's heading is the second line after the file's own.
        const std::string text = ProjectText();
        const auto line = std::count(text.begin(), text.end(), '\n') + 2;
        QVERIFY2(message.endsWith(QStringLiteral("corvane-project.toml:%1: unknown key 'output.extra' (a misspelling?)")
                                      .arg(line)),
                 qPrintable(message));

        // A file it names that is not there: the key and its line.
        std::string missing = ProjectText();
        missing.replace(missing.find(demo::kRomFileName), std::string(demo::kRomFileName).size(), "gone.smc");
        WriteProject(f, missing);
        f.form->openProjectFile(file);
        const QString second = QString::fromStdString(f.dialogs.messages().back());
        QVERIFY2(second.contains(QStringLiteral("corvane-project.toml:5: key 'rom': ")) &&
                     second.contains(QStringLiteral("gone.smc")),
                 qPrintable(second));

        QVERIFY(!f.form->project().has_value());
        QCOMPARE(f.form->session().rom().path(), f.file(demo::kRomFileName));
        QCOMPARE(f.form->session().index().currentBlockAddress(), address);
        QCOMPARE(f.form->session().dumpsDirectory(), f.folder() / "Dumps");
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::ProjectWindowTest)
#include "project_window_test.moc"
