// Drives the real CorvComp window through its menu actions on the offscreen platform, with the
// dialogs answered by a script: the demo ROM is opened, every area decompressed and checked
// against the demo game's own description, a block edited, recompressed, saved and read back.

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QtTest/QtTest>

#include <algorithm>
#include <fstream>
#include <memory>

#include "about/version.h"
#include "comp/area_walk.h"
#include "comp/utility_window.h"
#include "dialogs/scripted_dialogs.h"
#include "core/block_encoder.h"
#include "support/widget_lookup.h"
#include "tools/demo/demo_game.h"

namespace corv::comp {
namespace {

namespace fs = std::filesystem;
using corv::testing::Named;
using dialogs::ScriptedDialogs;

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Lines as Qt strings, so that a failed comparison prints both sides.
QStringList qtLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines) out << QString::fromStdString(line);
    return out;
}

QStringList fileLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return qtLines(lines);
}

QStringList listItems(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

QStringList messagesOf(const ScriptedDialogs& dialogs) { return qtLines(dialogs.messages()); }

std::string hex8(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

}  // namespace

class CompWindowTest : public QObject {
    Q_OBJECT

private:
    demo::DemoGame game_;
    std::unique_ptr<QTemporaryDir> dir_;
    fs::path start_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<UtilityWindow> form_;

    fs::path file(const char* name) const { return start_ / name; }

    // Opens `path` through the menu and returns the messages it showed.
    QStringList open(const fs::path& path) {
        dialogs_.clearRecord();
        dialogs_.replyOpenFile(path);
        Named<QAction>(*form_, "OpenROMFile1")->trigger();
        return messagesOf(dialogs_);
    }

    // Recompresses `listing` through the menu.
    void recompress(const fs::path& listing) {
        dialogs_.clearRecord();
        dialogs_.replyOpenFile(listing);
        Named<QAction>(*form_, "RecompressBlock1")->trigger();
    }

    const demo::DemoPointerTable& tableOf(Area area) const {
        switch (area) {
            case Area::Graphics: return game_.graphicsTable;
            case Area::Data: return game_.dataTable;
            case Area::Text: return game_.textTable;
        }
        return game_.textTable;
    }

    const demo::DemoBlock* blockOf(const demo::DemoTableEntry& entry) const {
        return entry.block < 0 ? nullptr : &game_.blocks.at(static_cast<size_t>(entry.block));
    }

    // The block files an area's walk writes: one per entry that points to a valid block.
    std::vector<std::string> blockFileNames(Area area) const {
        std::vector<std::string> names;
        const demo::DemoPointerTable& table = tableOf(area);
        for (size_t i = 0; i < table.entries.size(); ++i) {
            const demo::DemoBlock* block = blockOf(table.entries[i]);
            if (block != nullptr && block->kind != demo::BlockKind::BadCheck) {
                names.push_back(BlockFileName(static_cast<uint32_t>(i)));
            }
        }
        return names;
    }

    // Checks the list box, the listing and every block file of `area` against the demo game.
    void checkArea(Area area) {
        const demo::DemoPointerTable& table = tableOf(area);
        const fs::path out = start_ / AreaDirectoryName(area);
        std::vector<std::string> wantItems;
        std::vector<std::string> wantListing;
        for (size_t i = 0; i < table.entries.size(); ++i) {
            const std::string name = BlockFileName(static_cast<uint32_t>(i));
            const demo::DemoBlock* block = blockOf(table.entries[i]);
            if (block == nullptr || block->kind == demo::BlockKind::BadCheck) {
                if (block != nullptr) wantListing.push_back(".INVALID_DATA " + hex8(block->romOffset));
                QVERIFY2(!fs::exists(out / name), name.c_str());
                continue;
            }
            wantItems.push_back("Sucessfully decompressed \"" + name + "\"");
            wantListing.push_back(".COMP " + (out / name).string() + "  " + hex8(block->romOffset) + "  " +
                                  hex8(block->end));
            // The file holds what the groups produced: the data first, then what the last group's
            // spare commands (at most 7 x 32 bytes) and any padding groups (16 each) produced.
            const std::vector<uint8_t> bytes = readBytes(out / name);
            QVERIFY2(bytes.size() >= block->data.size(), name.c_str());
            QVERIFY2(bytes.size() <= block->data.size() + 7u * 32u + 16u * block->paddingGroups, name.c_str());
            QVERIFY2(std::equal(block->data.begin(), block->data.end(), bytes.begin()), name.c_str());
        }
        QVERIFY(!wantItems.empty());
        QCOMPARE(listItems(Named<QListWidget>(*form_, "ListBox1")), qtLines(wantItems));
        QCOMPARE(fileLines(out / "compfile.txt"), qtLines(wantListing));
    }

private slots:
    void initTestCase() {
        game_ = demo::BuildDemoGame();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        start_ = fs::path(dir_->path().toStdString());
        QVERIFY(demo::WriteDemoFiles(game_, start_));
    }

    // Every test gets a fresh window whose start folder is the temporary folder.
    void init() {
        QVERIFY(QDir::setCurrent(dir_->path()));
        dialogs_ = ScriptedDialogs();
        form_ = std::make_unique<UtilityWindow>(dialogs_);
        form_->show();
    }

    void cleanup() {
        const std::string unexpected = dialogs_.unexpected().empty() ? "" : dialogs_.unexpected().front();
        form_.reset();
        QVERIFY2(unexpected.empty(), unexpected.c_str());
    }

    void windowAndMenu() {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Compression Utility: Corvane"));
        QCOMPARE(form_->objectName(), QStringLiteral("cmForm"));
        QCOMPARE(form_->pos(), QPoint(8, 61));
        QCOMPARE(form_->size(), QSize(290, 279));
        QCOMPARE(form_->centralWidget(), Named<QListWidget>(*form_, "ListBox1"));
        QCOMPARE(Named<QListWidget>(*form_, "ListBox1")->objectName(), QStringLiteral("ListBox1"));
        QCOMPARE(QString::fromStdString(form_->state().startDirectory.string()), dir_->path());

        QCOMPARE(form_->menuBar()->objectName(), QStringLiteral("MainMenu1"));
        QCOMPARE(form_->findChild<QMenuBar*>(QStringLiteral("MainMenu1")), form_->menuBar());
        // File and Edit as the utility always had them, then Help (version and About) added last
        // so that nothing of the first two moves.
        const QList<QAction*> top = form_->menuBar()->actions();
        QCOMPARE(top.size(), 3);
        QCOMPARE(top[0]->text(), QStringLiteral("&File"));
        QCOMPARE(top[1]->text(), QStringLiteral("&Edit"));
        QCOMPARE(top[2]->text(), QStringLiteral("&Help"));
        const QList<QAction*> fileItems = Named<QMenu>(*form_, "File1")->actions();
        QCOMPARE(fileItems.size(), 4);
        QCOMPARE(fileItems[0], Named<QAction>(*form_, "OpenROMFile1"));
        QCOMPARE(fileItems[1], Named<QAction>(*form_, "SaveROMFile1"));
        QVERIFY(fileItems[2]->isSeparator());
        QCOMPARE(fileItems[3], Named<QAction>(*form_, "Exit1"));
        QCOMPARE(Named<QAction>(*form_, "OpenROMFile1")->text(), QStringLiteral("&Open ROM File"));
        QCOMPARE(Named<QAction>(*form_, "OpenROMFile1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(Named<QAction>(*form_, "SaveROMFile1")->text(), QStringLiteral("&Save ROM File"));
        QCOMPARE(Named<QAction>(*form_, "SaveROMFile1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(Named<QAction>(*form_, "Exit1")->text(), QStringLiteral("E&xit "));
        QCOMPARE(Named<QAction>(*form_, "Exit1")->shortcut(), QKeySequence(QStringLiteral("Alt+X")));

        const QList<QAction*> editItems = Named<QMenu>(*form_, "Edit1")->actions();
        QCOMPARE(editItems.size(), 3);
        QCOMPARE(editItems[0]->menu(), Named<QMenu>(*form_, "DecompressBlock1"));
        QCOMPARE(Named<QMenu>(*form_, "DecompressBlock1")->title(), QStringLiteral("Decompress Block..."));
        QCOMPARE(editItems[1], Named<QAction>(*form_, "RecompressBlock1"));
        QCOMPARE(Named<QAction>(*form_, "RecompressBlock1")->text(), QStringLiteral("Recompress Block..."));
        // The one item added to the standard menu: the maximiser for blocks that are over, off at start.
        QCOMPARE(editItems[2], Named<QAction>(*form_, "FitHarderWhenOver1"));
        QCOMPARE(editItems[2]->text(), QStringLiteral("Fit Harder When Over"));
        QVERIFY(editItems[2]->isCheckable());
        QVERIFY(!editItems[2]->isChecked());
        const QList<QAction*> areas = Named<QMenu>(*form_, "DecompressBlock1")->actions();
        QCOMPARE(areas.size(), 3);
        QCOMPARE(areas[0]->text(), QStringLiteral("Graphics - $30200"));
        QCOMPARE(areas[1]->text(), QStringLiteral("Data - $C0200"));
        QCOMPARE(areas[2]->text(), QStringLiteral("Text - $100200"));
        for (int tag = 0; tag < 3; ++tag) QCOMPARE(areas[tag]->data().toInt(), tag);
        for (QAction* action : {Named<QAction>(*form_, "OpenROMFile1"), Named<QAction>(*form_, "SaveROMFile1"),
                                Named<QAction>(*form_, "Exit1"), Named<QAction>(*form_, "RecompressBlock1")}) {
            QVERIFY(action->isEnabled());
        }
    }

    void openHeaderedAndPlainDemoRom() {
        QCOMPARE(open(file(demo::kHeaderedRomFileName)), QStringList{});
        QVERIFY(form_->state().romLoaded());
        QCOMPARE(form_->state().rom.headerSize(), 512u);
        QCOMPARE(QString::fromStdString(dialogs_.calls().at(0).request.filter), QStringLiteral("Snes file | *.smc"));
        QVERIFY(dialogs_.calls().at(0).request.directory == start_);
        QVERIFY(std::equal(game_.rom.begin(), game_.rom.end(), form_->state().rom.data().begin()));

        QCOMPARE(open(file(demo::kRomFileName)), QStringList{});
        QCOMPARE(form_->state().rom.headerSize(), 0u);
        QVERIFY(form_->state().rom.path() == file(demo::kRomFileName));
        QVERIFY(std::equal(game_.rom.begin(), game_.rom.end(), form_->state().rom.data().begin()));
        QCOMPARE(Named<QListWidget>(*form_, "ListBox1")->count(), 0);  // opening writes nothing to the list

        // Cancelling the dialog changes nothing.
        dialogs_.replyOpenFile(std::nullopt);
        Named<QAction>(*form_, "OpenROMFile1")->trigger();
        QVERIFY(form_->state().romLoaded());
        QCOMPARE(messagesOf(dialogs_), QStringList{});
    }

    void helpAboutShowsTheVersion() {
        auto* help = form_->findChild<QMenu*>(QStringLiteral("Help1"));
        QVERIFY(help != nullptr);
        QCOMPARE(help->menuAction(), form_->menuBar()->actions().last());
        const QList<QAction*> items = help->actions();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->objectName(), QStringLiteral("About1"));
        QCOMPARE(items[0]->text(), QStringLiteral("&About"));
        items[0]->trigger();
        const QStringList shown = messagesOf(dialogs_);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith(QString::fromStdString(about::VersionLine("CorvComp")) + "\n\n"),
                 qPrintable(shown[0]));
        QVERIFY2(shown[0].endsWith(QStringLiteral("recompresses edited files back into it.")), qPrintable(shown[0]));
        QVERIFY(!form_->state().romLoaded());
    }

    // A ROM named on the command line (a file manager's "Open with") opens as through the menu,
    // without a dialog, and a file that is not the game is refused with the menu's messages.
    void openRomFileGivenOnTheCommandLine() {
        form_->openRomAt(file(demo::kHeaderedRomFileName));
        QVERIFY(dialogs_.calls().empty());
        QVERIFY(form_->state().romLoaded());
        QCOMPARE(form_->state().rom.headerSize(), 512u);
        QVERIFY(form_->state().rom.path() == file(demo::kHeaderedRomFileName));
        QVERIFY(std::equal(game_.rom.begin(), game_.rom.end(), form_->state().rom.data().begin()));

        form_->openRomAt(file("no_such_file.smc"));
        QCOMPARE(messagesOf(dialogs_), QStringList{QStringLiteral("Error: Could not open ROM file.")});
        QVERIFY(form_->state().romLoaded());
        QVERIFY(form_->state().rom.path() == file(demo::kHeaderedRomFileName));
    }

    void refuseWrongTitleAndUnreadableFile() {
        QCOMPARE(open(file(demo::kRomFileName)), QStringList{});
        std::vector<uint8_t> wrong = game_.rom;
        wrong[0xFFC0] = 'c';
        const fs::path wrongPath = file("wrong_title.smc");
        writeBytes(wrongPath, wrong);

        // An unreadable file keeps the loaded ROM.
        QCOMPARE(open(file("no_such_file.smc")), QStringList{QStringLiteral("Error: Could not open ROM file.")});
        QVERIFY(form_->state().romLoaded());
        QVERIFY(form_->state().rom.path() == file(demo::kRomFileName));

        QCOMPARE(open(wrongPath),
                 QStringList{QStringLiteral("This is not the correct ROM.\nPlease load the correct ROM file.")});
        QVERIFY(!form_->state().romLoaded());
        QVERIFY(form_->state().rom.path() == wrongPath);

        // With no ROM, Save, Decompress and Recompress do nothing and ask nothing.
        dialogs_.clearRecord();
        Named<QAction>(*form_, "SaveROMFile1")->trigger();
        Named<QAction>(*form_, "Text1")->trigger();
        Named<QAction>(*form_, "RecompressBlock1")->trigger();
        QVERIFY(dialogs_.calls().empty());
        QVERIFY(readBytes(wrongPath) == wrong);
        QCOMPARE(Named<QListWidget>(*form_, "ListBox1")->count(), 0);
    }

    void decompressEachArea() {
        QCOMPARE(open(file(demo::kHeaderedRomFileName)), QStringList{});
        Named<QAction>(*form_, "Graphics1")->trigger();
        checkArea(Area::Graphics);
        Named<QAction>(*form_, "Data1")->trigger();
        checkArea(Area::Data);
        Named<QAction>(*form_, "Text1")->trigger();
        checkArea(Area::Text);
        QCOMPARE(messagesOf(dialogs_), QStringList{});
        // The walk leaves the ROM as it was.
        QVERIFY(std::equal(game_.rom.begin(), game_.rom.end(), form_->state().rom.data().begin()));
    }

    void editRecompressSaveReopen() {
        const fs::path romPath = file("edited.smc");
        writeBytes(romPath, game_.rom);
        QCOMPARE(open(romPath), QStringList{});
        Named<QAction>(*form_, "Text1")->trigger();
        checkArea(Area::Text);

        // Change one byte inside the second text block; the padding groups after its stream
        // leave room for the slightly different encoding.
        const std::string name = blockFileNames(Area::Text).at(1);
        const fs::path blockFile = start_ / "00100200" / name;
        std::vector<uint8_t> edited = readBytes(blockFile);
        QVERIFY(edited.size() > 0x200);
        const size_t at = edited.size() / 2;
        edited[at] = static_cast<uint8_t>(edited[at] ^ 0x5A);
        writeBytes(blockFile, edited);

        recompress(start_ / "00100200" / "compfile.txt");
        QCOMPARE(QString::fromStdString(dialogs_.calls().at(0).request.filter), QStringLiteral("All Files | *.*"));
        QVERIFY(dialogs_.calls().at(0).request.directory == start_);
        std::vector<std::string> want;
        for (const std::string& each : blockFileNames(Area::Text)) {
            want.push_back("Success: Data was recompressed completely! [ " + each + " ] ");
        }
        QCOMPARE(listItems(Named<QListWidget>(*form_, "ListBox1")), qtLines(want));

        dialogs_.clearRecord();
        Named<QAction>(*form_, "SaveROMFile1")->trigger();
        QCOMPARE(messagesOf(dialogs_), QStringList{QStringLiteral("\"edited.smc\" has been saved!")});
        QVERIFY(readBytes(romPath) != game_.rom);

        // Read the saved file back and decompress again: the edited bytes come out.
        QCOMPARE(open(romPath), QStringList{});
        Named<QAction>(*form_, "Text1")->trigger();
        const std::vector<uint8_t> again = readBytes(blockFile);
        QVERIFY(again.size() >= edited.size());
        QVERIFY(std::equal(edited.begin(), edited.end(), again.begin()));
    }

    void resultLines() {
        const fs::path romPath = file("lines.smc");
        writeBytes(romPath, game_.rom);
        QCOMPARE(open(romPath), QStringList{});
        Named<QAction>(*form_, "Graphics1")->trigger();
        Named<QAction>(*form_, "Text1")->trigger();

        const std::string graphicsName = blockFileNames(Area::Graphics).at(0);
        const std::string textName = blockFileNames(Area::Text).at(2);
        const fs::path graphicsFile = start_ / "00030200" / graphicsName;
        const fs::path textFile = start_ / "00100200" / textName;
        const auto entryBlock = [&](Area area, const std::string& name) {
            const size_t index = static_cast<size_t>(std::stoi(name.substr(5, 3)));
            return blockOf(tableOf(area).entries.at(index));
        };
        const demo::DemoBlock* graphicsBlock = entryBlock(Area::Graphics, graphicsName);
        const demo::DemoBlock* textBlock = entryBlock(Area::Text, textName);
        const auto bad = std::find_if(game_.blocks.begin(), game_.blocks.end(),
                                      [](const auto& b) { return b.kind == demo::BlockKind::BadCheck; });
        QVERIFY(bad != game_.blocks.end());

        // The excess the compressor itself gives for the unchanged graphics file in a fresh work area.
        std::vector<uint8_t> romCopy = game_.rom;
        std::vector<uint8_t> source = readBytes(graphicsFile);
        const auto fileSize = static_cast<uint32_t>(source.size());
        source.resize(0x10000, 0);
        const uint32_t code =
            core::CompressBlock(romCopy, graphicsBlock->romOffset, graphicsBlock->end, fileSize, source);
        QVERIFY(core::IsTooLarge(code));
        QVERIFY(core::ExcessBytes(code) > 0);

        const fs::path listing = start_ / "mixed.txt";
        {
            std::ofstream out(listing);
            out << ".COMP " << graphicsFile.string() << "  " << hex8(graphicsBlock->romOffset) << "  "
                << hex8(graphicsBlock->end) << "\n"
                << ".COMP " << textFile.string() << "  " << hex8(bad->romOffset) << "  " << hex8(bad->end) << "\n"
                << ".COMP " << (start_ / "00100200" / "corv_999.dat").string() << "  00101000  00102000\n"
                << "   .COMP " << textFile.string() << "  " << hex8(textBlock->romOffset) << "  "
                << hex8(textBlock->end) << "\n"
                << ".INVALID_DATA " << hex8(bad->romOffset) << "\n"
                << ".comp " << textFile.string() << "  " << hex8(textBlock->romOffset) << "  "
                << hex8(textBlock->end) << "\n";
        }
        recompress(listing);
        QCOMPARE(listItems(Named<QListWidget>(*form_, "ListBox1")),
                 qtLines({
                     "Error: Data size too large to recompress. [ " + graphicsName + " ] [ " +
                         std::to_string(core::ExcessBytes(code)) + " BYTES over ]",
                     "Error: Invalid data block. [ " + textName + " ] ",
                     "Fatal Error: Could not open \"corv_999.dat\".",
                     "Success: Data was recompressed completely! [ " + textName + " ] ",
                 }));
        QCOMPARE(messagesOf(dialogs_), QStringList{});

        // A listing that cannot be opened: a message, and the list keeps its lines.
        recompress(start_ / "no_listing.txt");
        QCOMPARE(messagesOf(dialogs_), QStringList{QStringLiteral("Error: Could not open TEXT SOURCE file.")});
        QCOMPARE(Named<QListWidget>(*form_, "ListBox1")->count(), 4);
    }

    void saveOfAReadOnlyRomWritesNothing() {
        const fs::path romPath = file("ro.smc");
        writeBytes(romPath, game_.rom);
        QCOMPARE(open(romPath), QStringList{});
        Named<QAction>(*form_, "Text1")->trigger();
        recompress(start_ / "00100200" / "compfile.txt");  // the image now differs from the file
        QVERIFY(!std::equal(game_.rom.begin(), game_.rom.end(), form_->state().rom.data().begin()));

        const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
        fs::permissions(romPath, readOnly);
        dialogs_.clearRecord();
        Named<QAction>(*form_, "SaveROMFile1")->trigger();
        const QStringList shown = messagesOf(dialogs_);
        fs::permissions(romPath, readOnly | fs::perms::owner_write);
        QCOMPARE(shown, QStringList{QStringLiteral("Error: Could not open ROM file.")});
        QVERIFY(readBytes(romPath) == game_.rom);
        QVERIFY(form_->state().romLoaded());
    }

    void areaTablePastTheEndOfAShortRom() {
        // Long enough for the title and the data table, but the text table starts at its end.
        const fs::path romPath = file("short.smc");
        writeBytes(romPath, std::vector<uint8_t>(game_.rom.begin(), game_.rom.begin() + 0x100000));
        QCOMPARE(open(romPath), QStringList{});
        Named<QAction>(*form_, "Data1")->trigger();
        const QStringList dataLines = listItems(Named<QListWidget>(*form_, "ListBox1"));
        QVERIFY(!dataLines.isEmpty());
        fs::remove_all(start_ / "00100200");

        dialogs_.clearRecord();
        Named<QAction>(*form_, "Text1")->trigger();
        QCOMPARE(messagesOf(dialogs_),
                 QStringList{QStringLiteral("Error: The table of this area lies past the end of the ROM.")});
        QCOMPARE(listItems(Named<QListWidget>(*form_, "ListBox1")), dataLines);
        QVERIFY(!fs::exists(start_ / "00100200"));
    }

    void openAndExitWaitWhileAListingRuns() {
        QCOMPARE(open(file(demo::kRomFileName)), QStringList{});
        Named<QAction>(*form_, "Text1")->trigger();
        bool ranDuringListing = false;
        bool sawDisabled = false;
        bool stillLoaded = false;
        // Fires while the listing's lines let events through.
        QTimer::singleShot(0, form_.get(), [&] {
            ranDuringListing = form_->busy();
            sawDisabled = !Named<QAction>(*form_, "OpenROMFile1")->isEnabled() &&
                          !Named<QAction>(*form_, "Exit1")->isEnabled() &&
                          !Named<QAction>(*form_, "RecompressBlock1")->isEnabled();
            Named<QAction>(*form_, "Exit1")->trigger();
            Named<QAction>(*form_, "OpenROMFile1")->trigger();
            form_->close();
            stillLoaded = form_->state().romLoaded() && form_->isVisible();
        });
        recompress(start_ / "00100200" / "compfile.txt");
        QVERIFY(ranDuringListing);
        QVERIFY(sawDisabled);
        QVERIFY(stillLoaded);
        QCOMPARE(Named<QListWidget>(*form_, "ListBox1")->count(), static_cast<int>(blockFileNames(Area::Text).size()));
        // The close asked for meanwhile happens once the listing is done.
        QVERIFY(!form_->isVisible());
        QVERIFY(Named<QAction>(*form_, "OpenROMFile1")->isEnabled());
        QVERIFY(Named<QAction>(*form_, "Exit1")->isEnabled());
    }

    void exitReleasesTheRomAndCloses() {
        QCOMPARE(open(file(demo::kRomFileName)), QStringList{});
        QVERIFY(form_->isVisible());
        Named<QAction>(*form_, "Exit1")->trigger();
        QVERIFY(!form_->state().romLoaded());
        QVERIFY(form_->state().workArea == nullptr);
        QVERIFY(!form_->isVisible());
    }
};

}  // namespace corv::comp

QTEST_MAIN(corv::comp::CompWindowTest)
#include "comp_window_test.moc"
