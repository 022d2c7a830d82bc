// What the editor adds for a desktop: Help > About after the menus it always had, and a ROM given
// on the command line (a file manager's "Open with") opened with the data file still asked for.

#include <QMenuBar>

#include <algorithm>

#include "about/version.h"
#include "editor/ui/main_window_fixture.h"

namespace corv::editor {

using testing::EditorFixture;
using testing::Named;
using testing::Items;
using testing::Messages;

class HelpMenuAndStartTest : public QObject {
    Q_OBJECT

private slots:
    void helpIsTheLastMenuAndAboutShowsTheVersion() {
        EditorFixture f;
        MainWindow& form = *f.form;
        const QList<QAction*> top = form.menuBar()->actions();
        QStringList titles;
        for (const QAction* menu : top) titles << menu->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Program", "&Window", "&Help"}));
        QCOMPARE(top[0]->menu(), Named<QMenu>(form, "File1"));
        QCOMPARE(top[4]->menu(), Named<QMenu>(form, "Window1"));

        auto* help = form.findChild<QMenu*>(QStringLiteral("Help1"));
        QVERIFY(help != nullptr);
        QCOMPARE(top[5]->menu(), help);
        QCOMPARE(help->actions().size(), 1);
        QAction* about = help->actions()[0];
        QCOMPARE(about->objectName(), QStringLiteral("About1"));
        // No shortcut: every Ctrl key of the editor keeps its standard meaning.
        QVERIFY(about->shortcut().isEmpty());
        about->trigger();
        const QStringList shown = Messages(f.dialogs);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith(QString::fromStdString(about::VersionLine("CorvaneText")) + "\n\n"),
                 qPrintable(shown[0]));
        QVERIFY(!form.session().romLoaded());
    }

    void aRomOnTheCommandLineOpensAndAsksForTheDataFile() {
        EditorFixture f;
        MainWindow& form = *f.form;
        f.dialogs.replyOpenFile(f.file(demo::kBlockDataFileName));
        form.openWithRom(f.file(demo::kHeaderedRomFileName));
        QVERIFY(f.dialogs.unexpected().empty());
        QCOMPARE(f.dialogs.calls().size(), size_t{1});  // only the data file was asked for
        QCOMPARE(f.dialogs.calls()[0].request.title, std::string("Open Text Block Data File"));
        QCOMPARE(Messages(f.dialogs), QStringList());
        QVERIFY(form.session().romLoaded());
        QCOMPARE(form.session().rom().headerSize(), 512u);
        QCOMPARE(Named<QListWidget>(form, "bList")->count(), static_cast<int>(f.game().textBlocks.size()));
        QCOMPARE(Named<QListWidget>(form, "bList")->currentRow(), 0);

        // Not the game: refused with the menu's message, and no data file is asked for.
        std::vector<uint8_t> other = f.game().rom;
        std::copy_n("corvane", 7, other.begin() + 0xFFC0);
        testing::WriteBytes(f.file("other.smc"), std::string_view(reinterpret_cast<const char*>(other.data()), other.size()));
        f.dialogs.clearRecord();
        form.openWithRom(f.file("other.smc"));
        QCOMPARE(Messages(f.dialogs),
                 QStringList{QStringLiteral("Error: This is not the ROM used.\nPlease load the correct ROM.")});
        QCOMPARE(f.dialogs.calls().size(), size_t{1});
        QVERIFY(!form.session().romLoaded());
    }
};

}  // namespace corv::editor

QTEST_MAIN(corv::editor::HelpMenuAndStartTest)
#include "help_menu_and_start_test.moc"
